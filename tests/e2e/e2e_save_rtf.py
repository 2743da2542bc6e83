"""Saving the activity log: the first Ctrl+S asks for a path in the save dialog, a later click on the
Save button writes the same file again without asking; both files read back, with a real RTF reader,
as exactly the lines of the log."""

import shutil

import harness
from expected import CLOSE, DRIVER_INIT_CALLS, DRIVER_INIT_LOG, STOP_OFF_CALLS, STOP_OFF_LOG
from harness import check, check_equal, step, wait_for


def scenario(suite):
    program = suite.program_run("save").start()
    program.initialise_driver()
    log_file = program.save_log_as("activity-log.rtf")
    first_save = program.folder / "first-save.rtf"
    shutil.copyfile(log_file, first_save)

    program.press("F7")
    program.wait_journal_length(len(DRIVER_INIT_CALLS) + 2, "Stop/Off's write and read-back")
    step("click the Save button")
    program.desktop.click(*program.layout.save_button())
    wait_for(lambda: log_file.read_bytes() != first_save.read_bytes(),
             f"Save to write {log_file} again, with no dialog")
    check(not program.desktop.visible_windows(harness.SAVE_DIALOG_TITLE),
          "Save opened the save dialog although the log had been saved before")

    program.check_ended_cleanly(program.close_by_keys())
    check_equal(program.journal(), DRIVER_INIT_CALLS + STOP_OFF_CALLS + [CLOSE], "driver calls of the whole run")

    first, second = harness.read_rtf_lines([first_save, log_file], program.folder)
    check_equal(first, DRIVER_INIT_LOG, f"the lines of {first_save.name}, saved after the driver initialisation")
    check_equal(second, DRIVER_INIT_LOG + STOP_OFF_LOG, f"the lines of {log_file.name}, saved after Stop/Off")


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
