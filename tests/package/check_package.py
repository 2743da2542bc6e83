"""The Debian package, step by step: build it from the build folder with CPack, unpack it into a root
of its own, and check what it holds, what it depends on, what lintian says of it and whether
appstreamcli accepts its metadata. Each step is one command (see --help); each fails saying what it
expected and what it found."""

import argparse
import re
import shutil
import subprocess
import sys
from pathlib import Path

from harness import Failed, check, check_equal

PACKAGE = "quillet2005"

# Every file the package holds, as dpkg-deb lists them: mode and path. The driver is in a private folder
# beside the system's libraries of the architecture.
FILES = [
    ("-rwxr-xr-x", "./usr/bin/quillet2005"),
    ("lrwxrwxrwx", "./usr/lib/{multiarch}/quillet2005/libmmp.so.1 -> libmmp.so.1.0.0"),
    ("-rw-r--r--", "./usr/lib/{multiarch}/quillet2005/libmmp.so.1.0.0"),
    ("-rw-r--r--", "./usr/share/applications/quillet2005.desktop"),
    ("-rw-r--r--", "./usr/share/doc/quillet2005/changelog.gz"),
    ("-rw-r--r--", "./usr/share/doc/quillet2005/copyright"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/128x128/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/16x16/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/22x22/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/24x24/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/256x256/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/32x32/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/48x48/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/64x64/apps/quillet2005.png"),
    ("-rw-r--r--", "./usr/share/icons/hicolor/scalable/apps/quillet2005.svg"),
    ("-rw-r--r--", "./usr/share/man/man1/quillet2005.1.gz"),
    ("-rw-r--r--", "./usr/share/metainfo/org.example.quillet2005.metainfo.xml"),
]

# Dependencies that no linked library brings: the SQLite driver plugin and the faces the program draws
# with; and some that the linked libraries must bring.
DEPENDENCIES = ["libqt6sql6-sqlite", "fonts-wine", "fonts-dejavu-extra", "libqt6widgets6", "libqt6sql6", "libqt6gui6",
                "libqt6core6", "libieee1284-3", "libc6", "libstdc++6"]


def run(command, **options):
    result = subprocess.run(command, capture_output=True, text=True, **options)
    check(result.returncode == 0,
          f"{' '.join(map(str, command))} exited with {result.returncode}:\n{result.stdout}{result.stderr}")
    return result.stdout


def deb_path(arguments):
    architecture = run(["dpkg", "--print-architecture"]).strip()
    return Path(arguments.package_dir) / f"{PACKAGE}_{arguments.version}_{architecture}.deb"


def build(arguments):
    """cpack on the existing build: its install rules, stripped, with dpkg-shlibdeps."""
    folder = Path(arguments.package_dir)
    shutil.rmtree(folder, ignore_errors=True)
    run([arguments.cpack, "--config", str(Path(arguments.build_dir) / "CPackConfig.cmake"), "-B", str(folder)])
    built = sorted(path.name for path in folder.glob("*.deb"))
    check(built == [deb_path(arguments).name], f"expected the package {deb_path(arguments).name}, found {built}")
    print(f"built {deb_path(arguments)}")


def unpack(arguments):
    root = Path(arguments.root)
    shutil.rmtree(root, ignore_errors=True)
    run(["dpkg", "-x", str(deb_path(arguments)), str(root)])
    print(f"unpacked into {root}")


def listed_files(deb):
    """dpkg-deb -c's files as (mode, path); every entry owned by root, every folder 0755."""
    files = []
    for line in run(["dpkg-deb", "-c", str(deb)]).splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        check(owner == "root/root", f"owner {owner} instead of root/root: {line}")
        if mode.startswith("d"):
            check(mode == "drwxr-xr-x", f"folder mode {mode}: {line}")
        else:
            files.append((mode, path))
    return files


def check_dependencies(deb):
    depends = run(["dpkg-deb", "-f", str(deb), "Depends"]).strip()
    names = [re.match(r"[\w.+-]+", item.strip()).group(0) for item in depends.split(",")]
    missing = [name for name in DEPENDENCIES if name not in names]
    check(not missing, f"Depends lacks {missing}: {depends}")
    check("libmmp" not in depends, f"Depends names the package's own driver: {depends}")
    print(f"Depends: {depends}")


def contents(arguments):
    files = sorted(listed_files(deb_path(arguments)))
    multiarch = run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"]).strip()
    check_equal(files, sorted((mode, path.format(multiarch=multiarch)) for mode, path in FILES), "the package's files")
    print(f"{len(files)} files as expected")
    check_dependencies(deb_path(arguments))


def lintian(arguments):
    """No error and no warning; lintian's informational tags are shown but do not fail."""
    result = subprocess.run(["lintian", "--no-cfg", "--display-info", "--tag-display-limit", "0",
                             "--fail-on", "error,warning", str(deb_path(arguments))], capture_output=True, text=True)
    print(result.stdout + result.stderr, end="")
    check(result.returncode == 0, f"lintian exited with {result.returncode}: errors or warnings above")


def appstream(arguments):
    metainfo = Path(arguments.root) / "usr/share/metainfo/org.example.quillet2005.metainfo.xml"
    print(run(["appstreamcli", "validate", "--no-net", "--pedantic", str(metainfo)]), end="")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("step", choices=["build", "unpack", "contents", "lintian", "appstream"])
    parser.add_argument("--build-dir", required=True, help="the configured and built build folder")
    parser.add_argument("--package-dir", required=True, help="where the package is built")
    parser.add_argument("--root", required=True, help="where the package is unpacked")
    parser.add_argument("--version", required=True, help="the program's version")
    parser.add_argument("--cpack", default="cpack", help="the cpack command")
    arguments = parser.parse_args()
    try:
        globals()[arguments.step](arguments)
    except Failed as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
