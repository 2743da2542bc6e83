"""What the end-to-end tests share: a private X server with a window manager, the installed program
started under a fresh HOME with the recording driver in place of ours, input given as a person gives it
(keys and pointer clicks through xdotool), and readers for what comes out: the driver journal, the saved
RTF log (read back by LibreOffice), the database file (read by the sqlite3 tool) and screenshots.

Every wait polls for a condition with a time limit and fails saying what it expected."""

import argparse
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import traceback
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent

MAIN_TITLE = "Quillet 2005"
TEST_PANEL_TITLE = "Test Panel"
ABOUT_TITLE = "About Quillet 2005"
SAVE_DIALOG_TITLE = "Save As"

WINDOW_TIMEOUT = 30
SCREEN = (1024, 768)
# How long a new window must stand still before its controls are clicked.
SETTLE_TIME = 0.25
CONDITION_TIMEOUT = 20
EXIT_TIMEOUT = 20

TOOLS = {  # tool: Debian package
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "xprop": "x11-utils",
    "xwininfo": "x11-utils",
    "import": "imagemagick",
    "convert": "imagemagick",
    "soffice": "libreoffice-writer-nogui",
    "sqlite3": "sqlite3",
    "readelf": "binutils",
    "ldd": "libc-bin",
}


class Failed(Exception):
    """A check did not hold; the message says what was expected and what was found."""


def fail(message):
    raise Failed(message)


def check(condition, message):
    if not condition:
        fail(message)


def check_equal(actual, expected, what):
    if actual != expected:
        fail(f"{what}:\n{describe_difference(actual, expected)}")


def describe_difference(actual, expected):
    if not isinstance(actual, list) or not isinstance(expected, list):
        return f"  expected {expected!r}\n  found    {actual!r}"
    for index, (found, wanted) in enumerate(zip(actual, expected)):
        if found != wanted:
            return (f"  first difference at item {index}: expected {wanted!r}, found {found!r}\n"
                    f"  expected around it: {expected[max(0, index - 3):index + 4]!r}\n"
                    f"  found around it:    {actual[max(0, index - 3):index + 4]!r}")
    return (f"  expected {len(expected)} items, found {len(actual)}; the longer one goes on with "
            f"{(actual if len(actual) > len(expected) else expected)[min(len(actual), len(expected)):][:6]!r}")


def wait_for(condition, what, timeout=CONDITION_TIMEOUT):
    """Polls condition() until it returns something true and returns that; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    pause = 0.01
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            fail(f"timed out after {timeout} s waiting for {what}")
        time.sleep(pause)
        pause = min(pause * 2, 0.1)


def step(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


@dataclass
class Geometry:
    x: int
    y: int
    width: int
    height: int


class Desktop:
    """A private X server (a display number of its own, chosen by the server) with a window manager."""

    def __init__(self, folder):
        self.folder = folder
        self.home = folder / "desktop-home"
        self.home.mkdir(parents=True)
        self.runtime = Path(tempfile.mkdtemp(prefix="e2e-runtime-"))
        self.processes = []
        self.display = None

    def __enter__(self):
        self._start_x_server()
        self._start_window_manager()
        return self

    def __exit__(self, *exception):
        for process in reversed(self.processes):
            stop_process(process)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def environment(self, home):
        """The whole environment of a client of this display: nothing inherited but PATH."""
        return {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "LANG": "C.UTF-8",
            "DISPLAY": self.display,
            "HOME": str(home),
            "XDG_CONFIG_HOME": str(home / ".config"),
            "XDG_DATA_HOME": str(home / ".local" / "share"),
            "XDG_CACHE_HOME": str(home / ".cache"),
            "XDG_STATE_HOME": str(home / ".local" / "state"),
            "XDG_RUNTIME_DIR": str(self.runtime),
        }

    def run(self, command, check_status=True, timeout=CONDITION_TIMEOUT):
        result = subprocess.run(command, env=self.environment(self.home), capture_output=True, text=True,
                                timeout=timeout)
        if check_status and result.returncode != 0:
            fail(f"{' '.join(map(str, command))} exited with {result.returncode}: {result.stderr.strip()}")
        return result

    def _start_x_server(self):
        read_end, write_end = os.pipe()
        with open(self.folder / "xvfb.log", "w") as log:
            self.processes.append(subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=log, stderr=log))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                fail(f"Xvfb gave no display number within {WINDOW_TIMEOUT} s (see {self.folder / 'xvfb.log'})")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        step(f"X server on display {self.display}")

    def _start_window_manager(self):
        with open(self.folder / "openbox.log", "w") as log:
            self.processes.append(subprocess.Popen(
                ["openbox", "--sm-disable", "--config-file", str(HERE / "openbox-rc.xml")],
                env=self.environment(self.home), stdin=subprocess.DEVNULL, stdout=log, stderr=log))
        wait_for(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                 check_status=False).stdout,
                 "the window manager to take over the display", WINDOW_TIMEOUT)

    # Windows.

    def visible_windows(self, title):
        pattern = "^" + re.sub(r"([.^$*+?()\[\]{}|\\])", r"\\\1", title) + "$"
        return self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check_status=False).stdout.split()

    def wait_window(self, title, timeout=WINDOW_TIMEOUT):
        return wait_for(lambda: (self.visible_windows(title) or [None])[0],
                        f'a window titled "{title}" to be shown', timeout)

    def wait_window_gone(self, title, timeout=WINDOW_TIMEOUT):
        wait_for(lambda: not self.visible_windows(title), f'the window "{title}" to go away', timeout)

    def geometry(self, window):
        """The window's client area on the screen (without the window manager's frame)."""
        text = self.run(["xwininfo", "-id", window]).stdout
        value = lambda name: int(re.search(name + r":\s+(-?\d+)", text).group(1))
        return Geometry(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                        value("Height"))

    def frame_extents(self, window):
        text = self.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"]).stdout
        found = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", text)
        return tuple(map(int, found.groups())) if found else None

    def wait_settled(self, window, title):
        """The window's client area once it stands still where the program puts a new window: centred on
        the screen with its frame. The window manager may show it elsewhere first."""
        last = {"geometry": None, "since": 0.0}

        def settled():
            geometry, extents = self.geometry(window), self.frame_extents(window)
            now = time.monotonic()
            if geometry != last["geometry"]:
                last.update(geometry=geometry, since=now)
            return geometry if extents and centred(geometry, extents) and now - last["since"] >= SETTLE_TIME else None
        try:
            return wait_for(settled, f'the window "{title}" to stand still, centred on the screen', WINDOW_TIMEOUT)
        except Failed as timeout:
            fail(f"{timeout}; it was last seen at {last['geometry']} on a {SCREEN[0]}x{SCREEN[1]} screen")

    def active_window(self):
        result = self.run(["xdotool", "getactivewindow"], check_status=False)
        return result.stdout.strip() if result.returncode == 0 else None

    def input_focus(self):
        result = self.run(["xdotool", "getwindowfocus", "-f"], check_status=False)
        return result.stdout.strip() if result.returncode == 0 else None

    def wait_active(self, window, title):
        """Until the window manager calls the window active and the keyboard's input goes to it."""
        wait_for(lambda: self.active_window() == window and self.input_focus() == window,
                 f'the window "{title}" to be the active window with the keyboard focus')

    # Input, as a person gives it: the pointer and the keyboard of the display.

    def pointer(self):
        location = self.run(["xdotool", "getmouselocation", "--shell"]).stdout
        return tuple(int(re.search(rf"^{axis}=(-?\d+)", location, re.M).group(1)) for axis in "XY")

    def click(self, x, y):
        # A move onto the spot where the pointer already is makes "mousemove --sync" wait for motion that
        # never comes.
        if self.pointer() != (x, y):
            self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])
        self.run(["xdotool", "click", "1"])

    def move_pointer_aside(self):
        """Off every window, so that no hover, hint or tooltip shows in a screenshot."""
        if self.pointer() != (0, 0):
            self.run(["xdotool", "mousemove", "--sync", "0", "0"])

    def key(self, *keys):
        self.run(["xdotool", "key", "--clearmodifiers", *keys])

    def type_text(self, text):
        self.run(["xdotool", "type", "--clearmodifiers", "--delay", "20", text], timeout=60)

    # Pictures.

    def screenshot(self, window, path):
        self.run(["import", "-window", window, str(path)])
        return Picture.load(path)

    def wait_picture(self, window, path, problems, what):
        """Takes screenshots of the window until problems(picture) finds none; the last one is kept."""
        found = []

        def looks_right():
            found[:] = problems(self.screenshot(window, path))
            return not found
        try:
            wait_for(looks_right, what)
        except Failed as timeout:
            fail(f"{timeout}; in {path}:\n  " + "\n  ".join(found))


def centred(geometry, extents):
    """Whether the window, with the frame the window manager gave it, stands in the middle of the screen."""
    left, right, top, bottom = extents
    frame = (geometry.x - left + (left + geometry.width + right) / 2,
             geometry.y - top + (top + geometry.height + bottom) / 2)
    return abs(frame[0] - SCREEN[0] / 2) <= 2 and abs(frame[1] - SCREEN[1] / 2) <= 2


class Picture:
    """A screenshot's pixels, read through ImageMagick as a binary PPM."""

    def __init__(self, path, width, height, pixels):
        self.path, self.width, self.height, self._pixels = path, width, height, pixels

    @classmethod
    def load(cls, path):
        data = subprocess.run(["convert", str(path), "-depth", "8", "ppm:-"], capture_output=True,
                              check=True).stdout
        fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        check(fields and fields.group(3) == b"255", f"{path} did not convert to an 8-bit PPM")
        return cls(path, int(fields.group(1)), int(fields.group(2)), data[fields.end():])

    def pixel(self, x, y):
        check(0 <= x < self.width and 0 <= y < self.height,
              f"pixel ({x}, {y}) is outside the {self.width}x{self.height} picture {self.path}")
        offset = 3 * (y * self.width + x)
        return tuple(self._pixels[offset:offset + 3])


class MainWindowLayout:
    """Screen points of the main window's controls: the client area is 537 x 505 design pixels below the
    menu bar, scaled by the default font's text height / 13, which the window's width gives back."""

    def __init__(self, geometry):
        self.geometry = geometry
        self.scale = geometry.width / 537
        self.menu_height = geometry.height - round(505 * self.scale)

    def point(self, left, top):
        """Design coordinates of the client area (y = 0 at the toolbar's top edge) to the screen."""
        return (self.geometry.x + round(left * self.scale),
                self.geometry.y + self.menu_height + round(top * self.scale))

    def in_picture(self, left, top):
        """The same point in a screenshot of the window."""
        x, y = self.point(left, top)
        return x - self.geometry.x, y - self.geometry.y

    # The toolbar (y 0..24): ToolButton3 at x 0..23, SpeedButton1 at 71..111, SpeedButton2 at 71..94
    # once SpeedButton1 is hidden.
    def save_button(self):
        return self.point(11, 11)

    def driver_button(self):
        return self.point(91, 11)

    def test_panel_button(self):
        return self.point(82, 11)

    def status_bar(self):
        return self.point(268, 495)

    # The script grid: 201 x 136 at (328, 192); inside its one-pixel frame a header as high as a row,
    # then rows of text height + 4 (17 design pixels); a row marker column 11 wide, then the columns
    # Line (39), Command (77) and Data (41).
    GRID_LEFT, GRID_TOP, ROW_HEIGHT = 328, 192, 17
    COLUMN_CENTRES = {"Line": 1 + 11 + 19, "Command": 1 + 11 + 39 + 38, "Data": 1 + 11 + 39 + 77 + 20}

    def script_cell(self, row, column):
        return self.point(self.GRID_LEFT + self.COLUMN_CENTRES[column],
                          self.GRID_TOP + 1 + self.ROW_HEIGHT * (row + 1) + self.ROW_HEIGHT // 2)


class TestPanelLayout:
    """Screen points of the Test Panel's toolbar buttons: all-off at (0, 2) and scan at (23, 2), 23 x 22,
    scaled like the 170 design pixels of its client width."""

    def __init__(self, geometry):
        self.geometry = geometry
        self.scale = geometry.width / 170

    def point(self, left, top):
        return (self.geometry.x + round(left * self.scale), self.geometry.y + round(top * self.scale))

    def all_off_button(self):
        return self.point(11, 13)

    def scan_button(self):
        return self.point(34, 13)


class Program:
    """One run of the installed program under a fresh HOME, with the recording driver."""

    def __init__(self, suite, name):
        self.suite = suite
        self.desktop = suite.desktop
        self.folder = suite.output / name
        self.home = self.folder / "home"
        self.home.mkdir(parents=True)
        self.journal_path = self.folder / "driver-journal.txt"
        self.stderr_path = self.folder / "stderr.txt"
        self.database_path = self.home / ".local" / "share" / "Quillet2005" / "Quillet2005.db"
        self.process = None
        self.main = None
        self.layout = None

    def start(self):
        environment = self.desktop.environment(self.home)
        environment.update({
            "QT_QPA_PLATFORM": "xcb",
            "LD_LIBRARY_PATH": str(self.suite.journal_driver_dir),
            "MMP_JOURNAL": str(self.journal_path),
        })
        step(f"start {self.suite.program} (HOME {self.home})")
        with open(self.folder / "stdout.txt", "w") as out, open(self.stderr_path, "w") as err:
            self.process = subprocess.Popen([str(self.suite.program)], env=environment, cwd=self.home,
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        self.main = self.desktop.wait_window(MAIN_TITLE)
        self.layout = MainWindowLayout(self.desktop.wait_settled(self.main, MAIN_TITLE))
        self.desktop.wait_active(self.main, MAIN_TITLE)
        return self

    def open_test_panel(self):
        """Clicks the Test Panel button; returns the panel's window and layout."""
        step("click the Test Panel button")
        self.desktop.click(*self.layout.test_panel_button())
        panel = self.desktop.wait_window(TEST_PANEL_TITLE)
        layout = TestPanelLayout(self.desktop.wait_settled(panel, TEST_PANEL_TITLE))
        self.desktop.wait_active(panel, TEST_PANEL_TITLE)
        return panel, layout

    def stop(self):
        if self.process:
            stop_process(self.process)

    # The journal.

    def journal(self):
        try:
            return self.journal_path.read_text().splitlines()
        except FileNotFoundError:
            return []

    def wait_journal(self, predicate, what, timeout=CONDITION_TIMEOUT):
        """Waits until predicate(journal lines) holds; returns the journal at that moment."""
        def holds():
            lines = self.journal()
            return lines if predicate(lines) else None
        return wait_for(holds, f"the driver journal to show {what}", timeout)

    def wait_journal_length(self, length, what):
        return self.wait_journal(lambda lines: len(lines) >= length, what)

    # Commands, as a person gives them.

    def activate_main(self):
        """Brings the main window to the front with a click on its status bar, which does nothing else."""
        self.desktop.click(*self.layout.status_bar())
        self.desktop.wait_active(self.main, MAIN_TITLE)

    def initialise_driver(self):
        step("click the driver button")
        before = len(self.journal())
        self.desktop.click(*self.layout.driver_button())
        self.wait_journal_length(before + 5, "the driver initialisation's five calls")

    def press(self, *keys):
        step(f"press {' '.join(keys)}")
        self.desktop.key(*keys)

    def save_log_as(self, name):
        """Ctrl+S with no file name yet: the save dialog opens, the name is typed and Enter pressed."""
        self.press("ctrl+s")
        return self.fill_save_dialog(self.desktop.wait_window(SAVE_DIALOG_TITLE), name)

    def fill_save_dialog(self, dialog, name):
        """Types a bare file name, so no completion pops up: the dialog opens in the program's working
        folder, which is its HOME here. Returns the path of the file written."""
        self.desktop.wait_active(dialog, SAVE_DIALOG_TITLE)
        step(f"type {name} into the save dialog")
        self.desktop.type_text(name)
        self.desktop.key("Return")
        self.desktop.wait_window_gone(SAVE_DIALOG_TITLE)
        path = self.home / name
        try:
            wait_for(path.exists, f"the log file {path} to be written")
        except Failed as timeout:
            files = sorted(str(found.relative_to(self.home)) for found in self.home.rglob("*") if found.is_file())
            fail(f"{timeout}; the program's HOME holds {files}")
        return path

    def close_by_keys(self):
        self.press("alt+F4")
        return self.wait_exit()

    def wait_exit(self):
        try:
            status = self.process.wait(EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            fail(f"the program did not end within {EXIT_TIMEOUT} s after its main window was closed")
        step(f"the program ended with exit status {status}")
        return status

    def check_ended_cleanly(self, status):
        """Exit status 0, and nothing on standard error but the recording driver's one diagnostic."""
        check_equal(status, 0, "exit status")
        expected = [f"mmp journal: recording to {self.journal_path}"] if self.journal_path.exists() else []
        check_equal(self.stderr_path.read_text().splitlines(), expected, "standard error")

    # The database file, read by the sqlite3 tool.

    def query(self, statement):
        result = subprocess.run(["sqlite3", "-batch", "-separator", "|", str(self.database_path), statement],
                                capture_output=True, text=True, timeout=CONDITION_TIMEOUT)
        check(result.returncode == 0, f"sqlite3 could not read {self.database_path}: {result.stderr.strip()}")
        return [line.split("|") for line in result.stdout.splitlines()]


def stop_process(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def read_rtf_lines(paths, folder):
    """The text of RTF files as a real RTF reader sees it: LibreOffice, headless, with a private profile.
    Returns one list of lines per file."""
    out = folder / "rtf-as-text"
    out.mkdir(exist_ok=True)
    profile = Path(tempfile.mkdtemp(prefix="e2e-office-"))
    step(f"read {', '.join(path.name for path in paths)} with LibreOffice")
    try:
        result = subprocess.run(
            ["soffice", f"-env:UserInstallation={profile.as_uri()}", "--headless", "--norestore",
             "--convert-to", "txt:Text (encoded):UTF8", "--outdir", str(out), *map(str, paths)],
            capture_output=True, text=True, timeout=180, env={**os.environ, "HOME": str(profile)})
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    texts = []
    for path in paths:
        text_path = out / (path.stem + ".txt")
        check(result.returncode == 0 and text_path.exists(),
              f"LibreOffice could not read {path} (exit {result.returncode}): {result.stdout}{result.stderr}")
        lines = text_path.read_text(encoding="utf-8-sig").splitlines()
        # The log ends with a line break, which ends its last paragraph; a reader may show an empty one after it.
        while lines and lines[-1] == "":
            lines.pop()
        texts.append(lines)
    return texts


class Suite:
    """The command line of one end-to-end test, its output folder and its desktop."""

    def __init__(self, arguments):
        self.program = Path(arguments.program).resolve()
        self.installed_driver_dir = Path(arguments.installed_driver_dir).resolve()
        self.journal_driver_dir = Path(arguments.journal_driver_dir).resolve()
        self.output = Path(arguments.output).resolve()
        self.desktop = None
        self.programs = []

    def program_run(self, name):
        self.programs.append(Program(self, name))
        return self.programs[-1]


def main(scenario):
    parser = argparse.ArgumentParser(description=scenario.__doc__)
    parser.add_argument("--program", required=True, help="the installed quillet2005 executable")
    parser.add_argument("--installed-driver-dir", required=True, help="where the installed libmmp.so.1 is")
    parser.add_argument("--journal-driver-dir", required=True, help="where the recording libmmp.so.1 is")
    parser.add_argument("--output", required=True, help="folder for journals, logs, screenshots")
    suite = Suite(parser.parse_args())

    missing = sorted({f"{tool} (package {package})" for tool, package in TOOLS.items() if not shutil.which(tool)})
    if missing:
        print("FAILED: missing tools: " + ", ".join(missing), file=sys.stderr)
        return 1
    shutil.rmtree(suite.output, ignore_errors=True)
    suite.output.mkdir(parents=True)
    started = time.monotonic()
    try:
        with Desktop(suite.output) as desktop:
            suite.desktop = desktop
            try:
                scenario(suite)
            finally:
                for program in suite.programs:
                    program.stop()
    except Failed as failure:
        print(f"FAILED: {failure}\n(output kept in {suite.output})", file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        print(f"FAILED with an error (output kept in {suite.output})", file=sys.stderr)
        return 1
    step(f"passed in {time.monotonic() - started:.1f} s")
    return 0


def check_installed_layout(suite):
    """The installed executable finds its own driver beside it and lets LD_LIBRARY_PATH put another in
    its place: RUNPATH, no RPATH."""
    dynamic = subprocess.run(["readelf", "-d", str(suite.program)], capture_output=True, text=True,
                             check=True).stdout
    check("(RPATH)" not in dynamic, f"{suite.program} has an RPATH, which LD_LIBRARY_PATH cannot override")
    check("(RUNPATH)" in dynamic, f"{suite.program} has no RUNPATH to find its driver:\n{dynamic}")

    def driver_found(library_path):
        environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
        if library_path:
            environment["LD_LIBRARY_PATH"] = str(library_path)
        listing = subprocess.run(["ldd", str(suite.program)], capture_output=True, text=True, env=environment,
                                 check=True).stdout
        found = re.search(r"libmmp\.so\.1 => (\S+)", listing)
        check(found, f"ldd lists no libmmp.so.1 for {suite.program}:\n{listing}")
        return Path(found.group(1)).resolve().parent

    check_equal(driver_found(None), suite.installed_driver_dir.resolve(), "the driver the installed program loads")
    check_equal(driver_found(suite.journal_driver_dir), suite.journal_driver_dir.resolve(),
                "the driver loaded with LD_LIBRARY_PATH set")
    step("installed layout: RUNPATH finds the installed driver, LD_LIBRARY_PATH the recording one")
