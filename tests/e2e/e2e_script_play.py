"""Playing the script that a fresh database holds, with Loop ticked: F5 plays it from the first row and
past its end; F6 stops it, so nothing plays while the save dialog is open; F5 goes on from the next row;
F7 switches all lines off and stops. The journal shows the rows in order, each once per round, and the
saved log the rows played before F6."""

import itertools

import harness
from expected import CLOSE, DRIVER_INIT_CALLS, DRIVER_INIT_LOG, STOP_OFF_CALLS, script_effect
from harness import check, check_equal, fail, step, wait_for

# Where a click ticks the Loop box: its check mark, at the left of the box (264, 336; 49 x 17).
LOOP_BOX = (264 + 8, 336 + 8)


def script_rows(program):
    rows = program.query('SELECT "Script Command", "Data" FROM "Script" ORDER BY "SortKey"')
    return [tuple(int(value) if value != "" else None for value in row) for row in rows]


def looped(rows, count):
    """The calls and log lines of the first count rows played in a loop from the first row."""
    calls, log, _ = script_effect(itertools.islice(itertools.cycle(rows), count), register=0xFF)
    return calls, log


def rows_played(rows, calls):
    """Every number of looped rows that makes exactly these calls (a wait row makes none)."""
    counts, count = [], 0
    while len(looped(rows, count)[0]) <= len(calls):
        if looped(rows, count)[0] == calls:
            counts.append(count)
        count += 1
    if not counts:
        fail(f"the journal's script calls are not the script's rows played in order from the first:\n  {calls}")
    return counts


def scenario(suite):
    program = suite.program_run("play").start()
    rows = script_rows(program)
    step(f"the fresh database holds a script of {len(rows)} rows")
    one_round, _ = looped(rows, len(rows))
    check(len(one_round) > 6, "the script of a fresh database does too little to test playing it")
    program.initialise_driver()
    start = len(DRIVER_INIT_CALLS)

    step("click the Loop box")
    program.desktop.click(*program.layout.point(*LOOP_BOX))
    program.press("F5")
    program.wait_journal_length(start + len(one_round) + 3, "the script played past its end, from the first row again")
    program.press("F6")
    # The save dialog opens after F6 has been handled; while it is open a script that still played would go on.
    program.press("ctrl+s")
    dialog = program.desktop.wait_window(harness.SAVE_DIALOG_TITLE)
    stopped = program.journal()
    log_file = program.fill_save_dialog(dialog, "activity-log.rtf")
    check_equal(program.journal(), stopped, "driver calls made while the save dialog was open after F6")

    def played_on():
        if len(program.journal()) == len(stopped):
            program.press("F5")  # Play is ignored while the stopped script's wait runs on.
        return len(program.journal()) > len(stopped)
    wait_for(played_on, "F5 to play the script on after F6")
    program.wait_journal_length(len(stopped) + 6, "a few more rows played")
    program.press("F7")
    program.check_ended_cleanly(program.close_by_keys())

    journal = program.journal()
    check_equal(journal[:start], DRIVER_INIT_CALLS, "driver calls of the initialisation")
    check_equal(journal[-len(STOP_OFF_CALLS) - 1:], STOP_OFF_CALLS + [CLOSE], "the last driver calls")
    played = max(rows_played(rows, journal[start:-len(STOP_OFF_CALLS) - 1]))
    step(f"the journal shows {played} rows played in order, Stop/Off, the close")
    check(played > len(rows), f"Loop was ticked, yet the script stopped after {played} of its {len(rows)} rows")

    (lines,) = harness.read_rtf_lines([log_file], program.folder)
    saved = [DRIVER_INIT_LOG + looped(rows, count)[1] for count in rows_played(rows, stopped[start:])]
    if lines not in saved:
        check_equal(lines, saved[0], "the lines of the log saved after F6")


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
