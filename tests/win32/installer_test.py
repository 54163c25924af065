#!/usr/bin/env python3
"""The installer and the uninstaller under Wine, as a user meets them: a plain
install and removal, with the program running, with a copy that will not
close, into nested folders, over an older installation, into another folder,
after a killed setup, and a removal chained with a setup. One row per case;
each starts from a machine without Mensurel.

    installer_test.py --build BUILD_DIR --state STATE_DIR --version V
                      --old-version OLD [ROW...]
        the rows (all by default) on the Wine desktop in STATE_DIR, started
        with scripts/wine_desktop.py start STATE_DIR; the Windows build in
        BUILD_DIR

Exit codes are read from `wine setup.exe` itself, which returns the Windows
process's exit code. `uninstall.exe /S` starts a copy of itself from the Temp
folder and returns 0 at once, as on Windows: the rows that need the
uninstaller's own exit code run it the way that copy is run, from another
folder with `_?=<installation folder>`, through `cmd /c` so the folder
reaches it unquoted.
"""

import argparse
import hashlib
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "scripts"))
import wine_desktop  # noqa: E402
from wine_desktop import wait_for  # noqa: E402
from pe_file import PeFile  # noqa: E402

UNINSTALL_LIST = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
DEFAULT = r"C:\Program Files\Mensurel"
LINK = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Mensurel.lnk"
# What the rows may make; removed between rows.
FOLDERS = [DEFAULT, r"C:\Tools", r"C:\Apps", r"C:\Shared", r"C:\Other", r"C:\it-uninstall"]
# The command line of the copy uninstall.exe starts: ...\Temp\~nsu1.tmp\...
TEMP_COPY = re.compile(rb"\\~nsu[^\\]*\.tmp\\")


def ended(process, seconds=3):
    return wait_for(lambda: process.poll() is not None, seconds, 0.1)


def send(pids, number):
    """Sends a signal to each process still there."""
    for pid in pids:
        try:
            os.kill(pid, number)
        except ProcessLookupError:
            pass


def files(folder):
    """The names under a folder, relative to it ([] when it is missing)."""
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*"))


class Machine:
    """The Wine prefix the rows run in, and what the rows ask of it."""

    def __init__(self, build, state, version, old_version):
        build = Path(build).resolve()
        self.env = wine_desktop.environment(state)
        self.prefix = Path(self.env["WINEPREFIX"])
        # The older release the update rows start from (tests/win32/CMakeLists.txt).
        self.version, self.old_version = version, old_version
        self.setup = str(build / f"packages/mensurel-{self.version}-setup.exe")
        self.old_setup = str(build / f"tests/win32/old/mensurel-{self.old_version}-setup.exe")
        self.exe = build / "app/win32/mensurel.exe"
        self.stubborn = build / "tests/win32/stubborn_window.exe"
        self.link = self.c(LINK)
        self.processes, self.failed = [], False
        self.names, self.entry = 0, None

    def c(self, path):
        """The Unix path of a Windows path on drive C:."""
        return self.prefix / "drive_c" / path.removeprefix("C:\\").replace("\\", "/")

    def check(self, condition, message):
        if not condition:
            print("    " + message, flush=True)
            self.failed = True
        return condition

    def wine(self, *args, timeout=120):
        """Runs `wine ARGS` with no output; the program's exit code."""
        return wine_desktop.quiet(["wine", *args], self.env, timeout)

    def spawn(self, *args):
        """Starts `wine ARGS` without waiting; it is ended at the next reset."""
        process = subprocess.Popen(["wine", *args], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def install(self, setup, *args, expected=0):
        code = self.wine(setup, *args)
        what = " ".join([Path(setup).name, *args])
        self.check(code == expected, f"{what}: exit code {code}, {expected} expected")

    def start(self, program):
        """Starts a program and waits up to 10 s for its Mensurel window."""
        process = self.spawn(program)
        shown = lambda: wine_desktop.find_window("Mensurel", self.env, process.pid)
        self.check(wait_for(shown, 10, 0.1),
                   f"{program} did not show its window")
        return process

    def read_list(self):
        """Reads the list of installed programs once (each wine start costs
        half a second): names, how many entries are named Mensurel; entry,
        the values of Mensurel's key (None when there is no such key)."""
        try:
            out = subprocess.run(["wine", "reg", "query", UNINSTALL_LIST, "/s"], env=self.env,
                                 stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 stdout=subprocess.PIPE, timeout=30, check=False).stdout
        except subprocess.TimeoutExpired:
            out = b""
        self.names, self.entry, values = 0, None, {}
        for line in out.decode("utf-8", "replace").replace("\r", "").splitlines():
            if line.startswith("HKEY_"):
                values = {}
                if line.endswith("\\Uninstall\\Mensurel"):
                    self.entry = values
            elif found := re.fullmatch(r" +(\S+) +REG_[A-Z_]+ *(.*)", line):
                values[found[1]] = found[2]
                self.names += found[1] == "DisplayName" and found[2] == "Mensurel"

    def listed(self):
        """Whether Mensurel is in the list, by name or by key."""
        return self.names > 0 or self.entry is not None

    def value(self, name):
        """A value's data in Mensurel's entry, as read_list last read it."""
        return (self.entry or {}).get(name, "")

    def is_new(self, folder):
        """Whether folder holds the build's mensurel.exe."""
        installed = self.c(folder) / "mensurel.exe"
        return installed.is_file() and installed.read_bytes() == self.exe.read_bytes()

    def snapshot(self, folder):
        """What an installation is made of: its files' checksums, the
        shortcut and the list entry."""
        root = self.c(folder)
        sums = [(name, hashlib.md5((root / name).read_bytes()).hexdigest())
                for name in files(root) if (root / name).is_file()]
        self.read_list()
        return sums, self.link.exists(), self.entry

    def gone(self, folder):
        """Checks nothing of an installation in folder is left: files,
        folder, shortcut, entry (as read_list last read it)."""
        root = self.c(folder)
        self.check(not root.exists(), f"left behind: {folder} ({' '.join(files(root))})")
        self.check(not self.link.exists(), "left behind: the Start-menu shortcut")
        self.check(not self.listed(), "left behind: the entry in the list of installed programs")

    def uninstall(self, folder):
        """Silent uninstall as a user runs it (QuietUninstallString); it
        returns at once, so this waits up to 15 s for the installation to go."""
        code = self.wine(folder + r"\uninstall.exe", "/S")
        self.check(code == 0, f"uninstall.exe /S: exit code {code}")

        def removed():
            if self.c(folder).exists() or self.link.exists():
                return False
            self.read_list()
            return not self.listed()

        if not wait_for(removed, 15, 0.2):
            self.read_list()

    def uninstall_code(self, folder):
        """The uninstaller's own exit code: copied out of the folder and run
        on it with _?=, as the copy uninstall.exe starts is."""
        self.c(r"C:\it-uninstall").mkdir(parents=True, exist_ok=True)
        shutil.copy(self.c(folder) / "uninstall.exe", self.c(r"C:\it-uninstall\u.exe"))
        return self.wine("cmd", "/c", rf"C:\it-uninstall\u.exe /S _?={folder}")

    def whole(self, folder):
        """Checks folder holds a whole installation: program, uninstaller,
        shortcut, one entry naming that folder."""
        root = self.c(folder)
        self.read_list()
        return self.check(
            (root / "mensurel.exe").is_file() and (root / "uninstall.exe").is_file()
            and self.link.is_file() and self.names == 1 and self.value("InstallLocation") == folder,
            f"not a whole installation in {folder}: files: {' '.join(files(root))}, shortcut: "
            f"{'yes' if self.link.is_file() else 'no'}, entries: {self.names}")

    def temp_copies(self):
        """Process ids of the copies uninstall.exe starts from Temp, in this
        prefix only."""
        mine = b"WINEPREFIX=" + os.fsencode(self.prefix)
        pids = []
        for proc in Path("/proc").glob("[0-9]*"):
            try:
                if (TEMP_COPY.search((proc / "cmdline").read_bytes())
                        and mine in (proc / "environ").read_bytes().split(b"\0")):
                    pids.append(int(proc.name))
            except OSError:  # ended meanwhile
                pass
        return pids

    def copies_ended(self):
        self.check(wait_for(lambda: not self.temp_copies(), 15, 0.2),
                   "the uninstaller's copy in Temp still runs")

    def reset(self):
        """Back to a machine without Mensurel."""
        for process in self.processes:
            if process.poll() is None:
                process.terminate()
        for process in self.processes:
            if not ended(process, 30):
                process.kill()
                process.wait()
        self.processes, self.failed = [], False
        self.wine("reg", "delete", UNINSTALL_LIST + r"\Mensurel", "/f", timeout=30)
        for folder in FOLDERS:
            shutil.rmtree(self.c(folder), ignore_errors=True)
        self.link.unlink(missing_ok=True)


def row_install_and_remove(m):
    m.install(m.setup, "/S")
    uninstaller = m.c(DEFAULT) / "uninstall.exe"
    m.check(m.is_new(DEFAULT), "mensurel.exe missing or not the build's")
    if m.check(uninstaller.is_file(), "uninstall.exe not installed"):
        try:
            missing = PeFile(uninstaller).missing_protections()
        except (ValueError, struct.error) as error:
            missing = [f"a readable PE header ({error})"]
        m.check(not missing, "uninstall.exe lacks " + ", ".join(missing))
    m.check(m.link.is_file(), "the Start-menu shortcut is missing")
    m.read_list()
    quoted = f'"{DEFAULT}\\uninstall.exe"'
    m.check(m.value("UninstallString") == quoted,
            f"UninstallString {m.value('UninstallString')}, {quoted} expected")
    m.uninstall(DEFAULT)
    m.gone(DEFAULT)


def row_update_running(m):
    m.install(m.old_setup, "/S")
    installed = m.start(DEFAULT + r"\mensurel.exe")
    # The zip's copy, run from elsewhere: not this installation's.
    portable = m.start(str(m.exe))
    m.install(m.setup, "/S")
    m.check(ended(installed), "the running installed copy was not closed")
    m.check(portable.poll() is None, "the copy outside the installation was closed")
    m.check(m.is_new(DEFAULT), "installed mensurel.exe is not the new one")
    m.read_list()
    m.check(m.value("DisplayVersion") == m.version,
            f"DisplayVersion {m.value('DisplayVersion')}, {m.version} expected")


def start_stubborn(m, folder):
    """Replaces the installed program with a stand-in that ignores the close
    message and starts it; the process and the installation as it is then."""
    shutil.copy(m.stubborn, m.c(folder) / "mensurel.exe")
    process = m.start(folder + r"\mensurel.exe")
    return process, m.snapshot(folder)


def row_install_stubborn(m):
    m.install(m.old_setup, "/S")
    process, before = start_stubborn(m, DEFAULT)
    m.install(m.setup, "/S", expected=2)
    m.check(m.snapshot(DEFAULT) == before, "the installation changed")
    m.check(process.poll() is None, "the stand-in is no longer running")


def row_uninstall_running(m):
    m.install(m.setup, "/S")
    process = m.start(DEFAULT + r"\mensurel.exe")
    m.check(m.wine("reg", "add", r"HKCU\Software\Mensurel", "/v", "WindowPlace",
                   "/d", "8 32 0 0 1280 1024 96", "/f", timeout=30) == 0, "reg add")
    m.uninstall(DEFAULT)
    m.check(ended(process), "the running program was not closed")
    m.gone(DEFAULT)
    m.check(m.wine("reg", "query", r"HKCU\Software\Mensurel", timeout=30) != 0,
            r"left behind: HKCU\Software\Mensurel")


def row_uninstall_stubborn(m):
    m.install(m.setup, "/S")
    process, before = start_stubborn(m, DEFAULT)
    code = m.uninstall_code(DEFAULT)
    m.check(code == 2, f"uninstall /S: exit code {code}, 2 expected")
    m.check(m.snapshot(DEFAULT) == before, "the installation changed")
    process.terminate()
    process.wait()
    m.uninstall(DEFAULT)
    m.gone(DEFAULT)


def row_nested_new(m):
    folder = r"C:\Tools\Mensurel\App"
    m.install(m.setup, "/S", "/D=" + folder)
    m.check((m.c(folder) / "mensurel.exe").is_file(), f"mensurel.exe not installed in {folder}")
    m.uninstall(folder)
    m.gone(r"C:\Tools")


def row_nested_existing(m):
    folder = r"C:\Shared\Mensurel\App"
    m.c(r"C:\Shared").mkdir(parents=True)
    m.install(m.setup, "/S", "/D=" + folder)
    m.check((m.c(folder) / "mensurel.exe").is_file(), f"mensurel.exe not installed in {folder}")
    m.uninstall(folder)
    m.gone(r"C:\Shared\Mensurel")
    m.check(m.c(r"C:\Shared").is_dir(), r"C:\Shared, which was there before, was removed")


def one_installation_in(m, folder):
    """Checks the list has one entry, naming folder, and nothing went to
    the default folder."""
    m.read_list()
    m.check(m.names == 1, f"{m.names} entries in the list of installed programs, 1 expected")
    m.check(m.value("InstallLocation") == folder,
            f"InstallLocation {m.value('InstallLocation')}, {folder} expected")
    m.check(not m.c(DEFAULT).exists(), f"a second copy in {DEFAULT}")


def row_update_older(m):
    folder = r"C:\Apps\Mensurel"
    m.install(m.old_setup, "/S", "/D=" + folder)
    m.read_list()
    m.check(m.value("DisplayVersion") == m.old_version, "the older version did not install")
    m.install(m.setup, "/S")
    one_installation_in(m, folder)
    m.check(m.value("DisplayVersion") == m.version,
            f"DisplayVersion {m.value('DisplayVersion')}, {m.version} expected")
    m.check(m.is_new(folder), f"mensurel.exe in {folder} is not the new one")
    m.uninstall(folder)
    m.gone(r"C:\Apps")


def row_reinstall_same(m):
    folder = r"C:\Apps\Mensurel"
    m.install(m.setup, "/S", "/D=" + folder)
    m.install(m.setup, "/S")
    one_installation_in(m, folder)
    m.uninstall(folder)
    m.gone(r"C:\Apps")


# An administrator's script that removes and installs again. When the two
# did not take turns, the copy in Temp was now and then still removing, or
# had not yet begun, while the setup wrote (12 runs in 32 here).
def row_remove_then_install(m):
    m.install(m.setup, "/S")
    for _ in range(6):
        m.wine(DEFAULT + r"\uninstall.exe", "/S")
        m.install(m.setup, "/S")
        m.copies_ended()
        if not m.whole(DEFAULT):
            return


# The race above made to come out the late way: the copy is stopped as soon
# as uninstall.exe has returned (nearly always before the copy has acted)
# and let go once the setup started after it has ended, or after 3 s should
# that setup be waiting for the copy's turn. Under Wine uninstall.exe
# returns only once its copy has started up: a copy stopped before that
# keeps uninstall.exe running and its file open, so the setup cannot write
# it, and now and then does not get going again.
def row_remove_held_back(m):
    m.install(m.setup, "/S")
    uninstaller = m.spawn(DEFAULT + r"\uninstall.exe", "/S")
    wait_for(lambda: uninstaller.poll() is not None, 5, 0.001)
    copies = m.temp_copies()
    if not m.check(copies, "uninstall.exe started no copy in Temp"):
        return
    send(copies, signal.SIGSTOP)
    setup = m.spawn(m.setup, "/S")
    ended(setup)
    send(copies, signal.SIGCONT)
    ended(setup, 120)
    code = setup.poll()
    m.check(code == 0, f"setup /S: exit code {code}, 0 expected")
    m.copies_ended()
    m.whole(DEFAULT)


# Killed as soon as mensurel.exe shows, before the setup's last steps.
def row_killed_first_install(m):
    folder = r"C:\Tools\Mensurel\App"
    setup = m.spawn(m.setup, "/S", "/D=" + folder)
    wait_for((m.c(folder) / "mensurel.exe").exists, 10, 0.01)
    setup.kill()
    setup.wait()
    m.install(m.setup, "/S", "/D=" + folder)
    m.uninstall(folder)
    m.gone(r"C:\Tools")


def row_other_folder(m):
    folder = r"C:\Other\Mensurel"
    m.install(m.setup, "/S")
    (m.c(DEFAULT) / "notes.txt").write_text("notes\n")
    m.install(m.setup, "/S", "/D=" + folder)
    m.whole(folder)
    left = files(m.c(DEFAULT))
    m.check(left == ["notes.txt"], f"in {DEFAULT}: {' '.join(left)}; only notes.txt expected")
    m.uninstall(folder)
    m.gone(r"C:\Other")


def row_other_folder_stubborn(m):
    m.install(m.setup, "/S")
    _, before = start_stubborn(m, DEFAULT)
    m.install(m.setup, "/S", r"/D=C:\Other\Mensurel", expected=2)
    m.check(m.snapshot(DEFAULT) == before, "the first installation changed")
    m.check(not m.c(r"C:\Other").exists(), r"C:\Other was made")


ROWS = [  # the row, then what it checks
    (row_install_and_remove, "silent install: exit 0, the build's mensurel.exe, a hardened "
     "uninstall.exe, the shortcut, a list entry naming uninstall.exe; silent uninstall "
     "removes folder, shortcut and entry"),
    (row_update_running, "silent install over a running older copy: it ends, the new "
     "mensurel.exe is in place, a copy outside the installation runs on, exit 0"),
    (row_install_stubborn, "silent install while a copy will not close: exit 2, "
     "installation unchanged"),
    (row_uninstall_running, "silent uninstall while the program runs: nothing of the "
     "installation left, nor the place the window kept"),
    (row_uninstall_stubborn, "silent uninstall while a copy will not close: exit 2, "
     "installation whole, removable once it has ended"),
    (row_nested_new, "nested /D= folder: after uninstall no folder the installer made is left"),
    (row_nested_existing, "nested /D= folder in an existing folder: that folder stays"),
    (row_update_older, "update of an older version in its own folder: one list entry, "
     "the new version, the files replaced there"),
    (row_reinstall_same, "the same version again: one list entry, same folder, still "
     "removed whole"),
    (row_remove_then_install, "uninstall.exe /S then at once setup.exe /S, 6 times: the "
     "program installed whole each time"),
    (row_remove_held_back, "the same with the uninstaller's copy in Temp held until the "
     "setup has ended: the installation stays"),
    (row_killed_first_install, "first install into a nested /D= folder killed, run again, "
     "removed: no folder the installer made is left"),
    (row_other_folder, "install into another folder: the first installation removed, the "
     "user's file in it kept, one installation"),
    (row_other_folder_stubborn, "install into another folder while the first one's copy "
     "will not close: exit 2, nothing changed"),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--state", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--old-version", required=True)
    parser.add_argument("rows", nargs="*", metavar="ROW")
    args = parser.parse_args()
    names = [row.__name__ for row, _ in ROWS]
    if unknown := sorted(set(args.rows) - set(names)):
        parser.error(f"no row {', '.join(unknown)}; the rows: {' '.join(names)}")
    m = Machine(args.build, args.state, args.version, args.old_version)
    if "DISPLAY" not in m.env:
        sys.exit(f"installer_test: no desktop in {args.state}: start it with wine_desktop.py")
    passed = failed = 0
    for row, what in ROWS:
        if args.rows and row.__name__ not in args.rows:
            continue
        start = time.monotonic()
        # A Wine process now and then dies at start without a word: a failed
        # row gets two more tries, its messages printed each time; a row that
        # fails on its merits fails all three.
        for attempt in (1, 2, 3):
            m.reset()
            row(m)
            if not m.failed:
                break
            if attempt < 3:
                print(f"  ({row.__name__} failed at try {attempt})", flush=True)
        seconds = round(time.monotonic() - start)
        if m.failed:
            failed += 1
            print(f"  FAIL {row.__name__} ({seconds} s, 3 tries): {what}", flush=True)
        else:
            passed += 1
            print(f"  ok   {row.__name__} ({seconds} s): {what}", flush=True)
    m.reset()
    print(f"installer-cases: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
