"""The boxes that the program centres on the screen stand there with the window manager's frame, at their
final size: the overwrite question, the delete question and the error box. (The main window, the Test Panel
and the About box are checked wherever the other scenarios open them.)"""

import harness
from harness import MAIN_TITLE, SAVE_DIALOG_TITLE, step

CONFIRM_TITLE = "Confirm"
ERROR_TITLE = "Quillet2005"


def save_as(program, name=None):
    """File > Save As with the menu's mnemonics, then Enter: on the name the dialog offers (the last one
    saved), or on a name typed in its place that no name in HOME starts like, so no completion pops up."""
    program.press("alt+f")
    program.press("a")
    dialog = program.desktop.wait_window(SAVE_DIALOG_TITLE)
    program.desktop.wait_active(dialog, SAVE_DIALOG_TITLE)
    if name:
        program.press("ctrl+a")
        program.desktop.type_text(name)
    program.press("Return")


def check_centred_box(program, title, what, answer):
    step(f"{what}: centred with its frame")
    box = program.desktop.wait_window(title)
    program.desktop.wait_settled(box, title)
    program.desktop.wait_active(box, title)
    program.press(answer)
    program.desktop.wait_window_gone(title)


def scenario(suite):
    program = suite.program_run("boxes").start()
    program.save_log_as("log.rtf")

    save_as(program)
    check_centred_box(program, CONFIRM_TITLE, "the overwrite question", "Escape")

    save_as(program, "no-such-folder/log.rtf")
    check_centred_box(program, ERROR_TITLE, "the error box with the long path", "Return")

    step("Ctrl+Delete on the script grid's first row")
    program.desktop.click(*program.layout.script_cell(0, "Line"))
    program.press("ctrl+Delete")
    check_centred_box(program, CONFIRM_TITLE, "the delete question", "Escape")
    program.desktop.wait_active(program.main, MAIN_TITLE)
    program.check_ended_cleanly(program.close_by_keys())


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
