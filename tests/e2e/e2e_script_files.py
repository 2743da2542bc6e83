"""Script files: F3 saves the script as CSV; after an edit in the grid F2 loads the saved file back, then a
file written by Python's csv module; the script panel's Insert, Delete and Clear buttons and F4 change the
script; every change is in the database file, read with sqlite3 after the program has ended."""

import csv

import harness
from harness import Failed, check, check_equal, step, wait_for

COLUMNS = '"ID", "Script Command", "Data"'
OPEN_DIALOG_TITLE = "Open"
CONFIRM_TITLE = "Confirm"
PYTHON_ROWS = [["10", "19", ""], ["20", "20", "250"], ["30", "2", ""]]


def script_table(program):
    return program.query(f'SELECT {COLUMNS} FROM "Script" ORDER BY "SortKey"')


def csv_bytes(rows):
    return ("Line,Command,Data\r\n" + "".join(",".join(row) + "\r\n" for row in rows)).encode()


def wait_table(program, expected, what):
    wait_for(lambda: script_table(program) == expected, f"the Script table to hold {what}")


def panel_button(program, index):
    """The script panel's buttons: 32 x 32 each, in a row from (112, 384)."""
    return program.layout.point(112 + 32 * index + 16, 384 + 16)


def choose_file(program, title, name):
    """Replaces whatever name the file dialog offers by the typed one and presses Enter; a second Enter
    when the first one only took a completion."""
    dialog = program.desktop.wait_window(title)
    program.desktop.wait_active(dialog, title)
    step(f'type {name} into the "{title}" dialog')
    program.desktop.key("ctrl+a")
    program.desktop.type_text(name)
    for _ in range(2):
        program.desktop.key("Return")
        try:
            program.desktop.wait_window_gone(title, timeout=2)
            return
        except Failed:
            pass
    program.desktop.wait_window_gone(title)


def answer_confirm(program, key):
    box = program.desktop.wait_window(CONFIRM_TITLE)
    program.desktop.wait_active(box, CONFIRM_TITLE)
    program.press(key)
    program.desktop.wait_window_gone(CONFIRM_TITLE)


def scenario(suite):
    program = suite.program_run("files").start()
    program.initialise_driver()
    original = script_table(program)
    step(f"the fresh database holds {len(original)} script rows")

    program.press("F3")
    choose_file(program, harness.SAVE_DIALOG_TITLE, "script.csv")
    saved = program.home / "script.csv"
    wait_for(saved.exists, f"{saved} to be written")
    check_equal(saved.read_bytes(), csv_bytes(original), f"the bytes of {saved.name}")

    step("click the first row's Data cell, type 123 and Enter, then Down")
    program.desktop.click(*program.layout.script_cell(0, "Data"))
    program.desktop.type_text("123")
    program.press("Return")
    program.press("Down")
    wait_table(program, [original[0][:2] + ["123"]] + original[1:], "the edited first row")

    program.press("F2")
    choose_file(program, OPEN_DIALOG_TITLE, "script.csv")
    answer_confirm(program, "Return")
    wait_table(program, original, f"the rows of {saved.name} again")

    python_file = program.home / "from-python.csv"
    with open(python_file, "w", newline="", encoding="utf-8-sig") as out:
        writer = csv.writer(out, delimiter=";", quoting=csv.QUOTE_ALL)
        writer.writerow(["Line", "Command", "Data"])
        writer.writerows(PYTHON_ROWS)
    program.press("F2")
    choose_file(program, OPEN_DIALOG_TITLE, python_file.name)
    answer_confirm(program, "Return")
    wait_table(program, PYTHON_ROWS, f"the rows of {python_file.name}")

    step("panel button 3 (Insert Command) before the first row, then Command 7 and Data 42 in the grid")
    program.desktop.click(*panel_button(program, 3))
    program.desktop.click(*program.layout.script_cell(0, "Command"))
    program.desktop.type_text("7")
    program.press("Return")
    program.desktop.click(*program.layout.script_cell(0, "Data"))
    program.desktop.type_text("42")
    program.press("Return")
    program.press("Down")
    wait_table(program, [["31", "7", "42"]] + PYTHON_ROWS, "the inserted row first")

    step("panel button 4 (Delete Command) on the second row, confirmed")
    program.desktop.click(*panel_button(program, 4))
    answer_confirm(program, "Return")
    wait_table(program, [["31", "7", "42"]] + PYTHON_ROWS[1:], "the second row deleted")

    step("panel button 5 (Clear Script), cancelled")
    program.desktop.click(*panel_button(program, 5))
    answer_confirm(program, "Escape")
    program.press("F4")
    answer_confirm(program, "Return")
    wait_table(program, [], "no rows")

    program.press("F4")
    step("on an empty script F4 asks nothing")
    try:
        program.desktop.wait_window(CONFIRM_TITLE, timeout=2)
        asked = True
    except Failed:
        asked = False
    check(not asked, "F4 asked a question although the script is empty")

    program.press("F2")
    choose_file(program, OPEN_DIALOG_TITLE, "script.csv")
    wait_table(program, original, f"the rows of {saved.name}, loaded with no question into the empty script")

    program.check_ended_cleanly(program.close_by_keys())
    check_equal(script_table(program), original, "the Script table after the program has ended")
    check_equal(program.query('SELECT count(*) FROM "CommandTable"'), [["21"]], "the command reference rows")


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
