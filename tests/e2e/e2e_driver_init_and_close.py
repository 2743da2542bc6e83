"""Driver initialisation, Stop/Off before it, and the three ways a run ends: Alt+F4, File > Exit, and
closing without ever opening the driver."""

import harness
from expected import CLOSE, DRIVER_INIT_CALLS, STOP_OFF_CALLS
from harness import check_equal, step


def stop_off_then_initialise_then_alt_f4(suite):
    program = suite.program_run("stop-off-init-alt-f4").start()
    program.press("F7")
    check_equal(program.wait_journal_length(2, "Stop/Off's write and read-back"), STOP_OFF_CALLS,
                "driver calls of Stop/Off before the driver was opened")
    program.initialise_driver()
    check_equal(program.journal()[2:], DRIVER_INIT_CALLS, "driver calls of the initialisation")
    program.check_ended_cleanly(program.close_by_keys())
    check_equal(program.journal(), STOP_OFF_CALLS + DRIVER_INIT_CALLS + [CLOSE], "driver calls of the whole run")


def initialise_then_file_exit(suite):
    program = suite.program_run("init-file-exit").start()
    program.initialise_driver()
    step("File > Exit with the menu's mnemonics")
    program.press("alt+f")
    program.press("x")
    program.check_ended_cleanly(program.wait_exit())
    check_equal(program.journal(), DRIVER_INIT_CALLS + [CLOSE], "driver calls of the whole run")


def close_without_driver(suite):
    program = suite.program_run("close-without-driver").start()
    program.check_ended_cleanly(program.close_by_keys())
    check_equal(program.journal(), [CLOSE], "driver calls of a run that never opened the driver")


def scenario(suite):
    harness.check_installed_layout(suite)
    stop_off_then_initialise_then_alt_f4(suite)
    initialise_then_file_exit(suite)
    close_without_driver(suite)


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
