"""The Test Panel's scan: about two seconds of the running light, step by step against the scan cycle,
with the status polls between the steps; scan off switches the lit line off; the saved log shows the same
story; closing the main window leaves the Test Panel's close steps out."""

import harness
from expected import (CLOSE, DATA_PORT, DRIVER_INIT_CALLS, DRIVER_INIT_LOG, SCAN_OFF_CALLS, SCAN_ON_LINE,
                      STATUS_LINE, STATUS_POLL, follow_scan)
from harness import check, check_equal, step

# About two seconds of scanning: a step usually writes the data register three times.
SCAN_WRITES = 60


def scan_writes(journal):
    return sum(1 for line in journal[len(DRIVER_INIT_CALLS):] if line.startswith(f"MMPOutp(0x{DATA_PORT:X},"))


def contains(journal, calls, start):
    return any(journal[index:index + len(calls)] == calls for index in range(start, len(journal)))


def scenario(suite):
    program = suite.program_run("scan").start()
    program.initialise_driver()
    _, panel_layout = program.open_test_panel()

    step("click the scan button")
    program.desktop.click(*panel_layout.scan_button())
    program.wait_journal(lambda journal: scan_writes(journal) >= SCAN_WRITES, f"{SCAN_WRITES} scan writes")
    step("click the scan button again")
    program.desktop.click(*panel_layout.scan_button())
    program.wait_journal(lambda journal: contains(journal, SCAN_OFF_CALLS, len(DRIVER_INIT_CALLS)),
                         "the scan-off calls")

    log_file = program.save_log_as("activity-log.rtf")
    program.activate_main()
    program.check_ended_cleanly(program.close_by_keys())

    journal = program.journal()
    check_equal(journal[:len(DRIVER_INIT_CALLS)], DRIVER_INIT_CALLS, "driver calls of the initialisation")
    first_step = len(DRIVER_INIT_CALLS)
    while journal[first_step] == STATUS_POLL:
        first_step += 1
    polls_before = first_step - len(DRIVER_INIT_CALLS)
    steps, scan_end, scan_log = follow_scan(journal, first_step)
    step(f"the journal shows {steps} scan steps in the cycle's order, then scan off")
    check(steps >= 15, f"expected some two seconds of scanning, found only {steps} steps")
    check_equal(journal[scan_end:], [STATUS_POLL] * (len(journal) - scan_end - 1) + [CLOSE],
                "driver calls after scan off: status polls only, then the close (no all-off from the Test Panel)")

    # The log: the same story, with the scan-on line where the click came, before the first step.
    (lines,) = harness.read_rtf_lines([log_file], program.folder)
    check_equal(lines.count(SCAN_ON_LINE), 1, f'the number of "{SCAN_ON_LINE}" lines in the log')
    scan_on = lines.index(SCAN_ON_LINE)
    check(len(DRIVER_INIT_LOG) <= scan_on <= len(DRIVER_INIT_LOG) + polls_before,
          f'"{SCAN_ON_LINE}" is line {scan_on + 1} of the log; expected it after the initialisation and '
          f"before the first scan step")
    del lines[scan_on]
    polls_after = len(journal) - scan_end - 1
    expected = DRIVER_INIT_LOG + [STATUS_LINE] * polls_before + scan_log + [STATUS_LINE] * polls_after
    check(len(lines) >= len(expected) - polls_after, "the saved log ends before the scan-off lines")
    check_equal(lines, expected[:len(lines)], "the lines of the saved log")


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
