"""The program as the Debian package installs it, unpacked into a root of its own: it finds the driver
in its private library folder, the driver initialisation, the Test Panel with its status polls, and
the close."""

import harness
from expected import CLOSE, DRIVER_INIT_CALLS, STATUS_POLL
from harness import check, check_equal, step


def scenario(suite):
    harness.check_installed_layout(suite)
    program = suite.program_run("installed-package").start()
    program.initialise_driver()
    program.open_test_panel()
    program.wait_journal(lambda journal: STATUS_POLL in journal[len(DRIVER_INIT_CALLS):], "a status poll")
    step("close the main window")
    program.activate_main()
    program.check_ended_cleanly(program.close_by_keys())
    journal = program.journal()
    polls = len(journal) - len(DRIVER_INIT_CALLS) - 1
    check(polls >= 1, f"expected status polls between the initialisation and the close: {journal}")
    check_equal(journal, DRIVER_INIT_CALLS + [STATUS_POLL] * polls + [CLOSE], "driver calls of the whole run")


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
