"""Screenshots of the main window after the driver initialisation, the Test Panel while it scans and the
About box, kept as test output; a few pixels that the layout fixes are checked in each."""

import re

import harness
from expected import DRIVER_INIT_CALLS
from harness import ABOUT_TITLE, MAIN_TITLE, Picture, check, check_equal, step

NAVY, YELLOW, BLACK = (0, 0, 128), (255, 255, 0), (0, 0, 0)


def yellow_over_navy(colour):
    """An antialiased pixel of yellow text on the navy pane: red = green, blue fading as they rise."""
    red, green, blue = colour
    return red == green and abs(blue - 128 * (255 - red) / 255) <= 2


def main_window_problems(layout):
    def problems(picture):
        found = []
        background = picture.pixel(*layout.in_picture(400, 24 + 60))
        if background != NAVY:
            found.append(f"the log pane's background is {background}, expected navy {NAVY}")
        # Inside the pane's border, right of the caret's column at its left edge.
        left, top = layout.in_picture(8, 24 + 2)
        right, bottom = layout.in_picture(200, 24 + 110)
        text = [colour for y in range(top, bottom) for x in range(left, right)
                if (colour := picture.pixel(x, y)) != NAVY]
        strays = sorted({colour for colour in text if not yellow_over_navy(colour)})
        if strays:
            found.append(f"the log pane's text has pixels that are no blend of yellow over navy: {strays[:5]}")
        if len(text) < 300 or max(text, default=NAVY)[0] < 230:
            found.append(f"the log pane shows too little yellow {YELLOW} text for the seven lines")
        return found
    return problems


def test_panel_problems(picture):
    # The gradient in the margin left of the data panel: blue shading to black, black in the bottom row.
    column = [picture.pixel(3, y) for y in range(32, picture.height)]
    found = [f"({3}, {32 + y}) is {colour}, not a shade of blue" for y, colour in enumerate(column)
             if colour[0] or colour[1]][:3]
    if any(lower[2] > upper[2] for upper, lower in zip(column, column[1:])):
        found.append("the blue of the left margin does not shade darker downwards")
    if column[-1] != BLACK:
        found.append(f"the bottom row is {column[-1]}, expected black")
    return found


# The About box's gradient fill, 193 x 97: Panel1 at (8, 8), its 2-pixel border, the fill at (6, 6) inside
# it. Rows 0-1 are band 0, rows 8-10 band 4, rows 95-96 band 45. Columns 150..190 of the fill are clear of
# the icon and the labels.
ABOUT_FILL_LEFT, ABOUT_FILL_TOP = 8 + 2 + 6, 8 + 2 + 6
ABOUT_ROWS = {0: (255, 0, 255), 1: (255, 0, 255), 8: (232, 0, 232), 9: (232, 0, 232), 10: (232, 0, 232),
              95: BLACK, 96: BLACK}


def about_box_problems(picture):
    found = []
    for row, colour in ABOUT_ROWS.items():
        shades = {picture.pixel(ABOUT_FILL_LEFT + x, ABOUT_FILL_TOP + row) for x in range(150, 191)}
        if shades != {colour}:
            found.append(f"gradient row {row} shows {sorted(shades)}, expected {colour}")
    return found


ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def check_desktop_integration(suite, desktop, window):
    """The installed desktop entry names the window class the program's windows carry; the icon is installed
    in every size and offered by the window in every size."""
    step("the desktop entry, the installed icons and the window icon")
    share = suite.program.parent.parent / "share"
    entry = (share / "applications" / "quillet2005.desktop").read_text()
    wm_class = re.search(r'= "([^"]*)", "([^"]*)"', desktop.run(["xprop", "-id", window, "WM_CLASS"]).stdout)
    check(wm_class and f"StartupWMClass={wm_class.group(2)}\n" in entry,
          f"the desktop entry does not name the window class {wm_class and wm_class.group(2)}:\n{entry}")
    check((share / "icons/hicolor/scalable/apps/quillet2005.svg").is_file(), "no scalable icon is installed")
    for size in ICON_SIZES:
        icon = Picture.load(share / f"icons/hicolor/{size}x{size}/apps/quillet2005.png")
        check_equal((icon.width, icon.height), (size, size), f"the size of the installed {size}x{size} icon")
    # xprop reads only the start of a long property unless told more; the eight icons take about 360 kB.
    offered = desktop.run(["xprop", "-len", "4000000", "-id", window, "_NET_WM_ICON"]).stdout
    sizes = sorted({int(width) for width, height in re.findall(r"Icon \((\d+) x (\d+)\)", offered)
                    if width == height})
    check_equal(sizes, ICON_SIZES, "the sizes of the window icon")


def scenario(suite):
    program = suite.program_run("screenshots").start()
    desktop = program.desktop
    check_desktop_integration(suite, desktop, program.main)
    shots = suite.output
    program.initialise_driver()
    desktop.move_pointer_aside()
    desktop.wait_picture(program.main, shots / "main-window.png", main_window_problems(program.layout),
                         "the main window after the driver initialisation")

    step("open the Test Panel and start the scan")
    panel, panel_layout = program.open_test_panel()
    desktop.click(*panel_layout.scan_button())
    program.wait_journal_length(len(DRIVER_INIT_CALLS) + 12, "a few scan steps")
    desktop.move_pointer_aside()
    desktop.wait_picture(panel, shots / "test-panel.png", test_panel_problems, "the Test Panel while scanning")
    desktop.click(*panel_layout.scan_button())

    step("Help > About with the menu's mnemonics")
    program.activate_main()
    program.press("alt+h")
    program.press("a")
    about = desktop.wait_window(ABOUT_TITLE)
    desktop.move_pointer_aside()
    desktop.wait_picture(about, shots / "about-box.png", about_box_problems, "the About box's gradient")
    program.press("Return")
    desktop.wait_window_gone(ABOUT_TITLE)
    desktop.wait_active(program.main, MAIN_TITLE)
    program.check_ended_cleanly(program.close_by_keys())


if __name__ == "__main__":
    raise SystemExit(harness.main(scenario))
