"""Editing the script in its grid: a value typed into a cell of the first row, and a row appended after
the last one, are in the database file after the program has ended, each in its place."""

import harness
from harness import check_equal, step

COLUMNS = '"ID", "Script Command", "Data"'


def script_table(program):
    return program.query(f'SELECT {COLUMNS} FROM "Script" ORDER BY "SortKey"')


def scenario(suite):
    program = suite.program_run("grid").start()
    before = script_table(program)
    step(f"the fresh database holds {len(before)} script rows")

    step("click the first row's Data cell, type 123 and Enter, then Down")
    program.desktop.click(*program.layout.script_cell(0, "Data"))
    program.desktop.type_text("123")
    program.press("Return")
    program.press("Down")

    step("Ctrl+End to the last row, Down appends a row: Data 42, Command 7")
    program.press("ctrl+End")
    program.press("Down")
    program.desktop.type_text("42")
    program.press("Return")
    program.press("Left")
    program.desktop.type_text("7")
    program.press("Return")
    program.check_ended_cleanly(program.close_by_keys())

    after = script_table(program)
    edited_first = [before[0][:2] + ["123"]]
    check_equal(after[:1], edited_first, "the first script row after typing 123 into its Data cell")
    check_equal(after[1:len(before)], before[1:], "the script rows that were not edited")
    check_equal([row[1:] for row in after[len(before):]], [["7", "42"]],
                "the row appended after the last one (Script Command, Data)")


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
