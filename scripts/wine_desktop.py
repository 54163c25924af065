#!/usr/bin/env python3
"""A private Windows desktop under Wine: a prefix of its own and an X display
of its own (Xvfb with openbox, so focus and keyboard work as on a desktop).

    wine_desktop.py prepare STATE      the prefix alone
    wine_desktop.py start STATE        the display, the window manager and
                                       the prefix, kept in folder STATE
    wine_desktop.py run STATE [--dpi N] [--timeout S] PROGRAM [ARGS...]
                                       PROGRAM under Wine on that desktop
                                       (at N dots per inch, then back to 96);
                                       its exit code is the program's
    wine_desktop.py stop STATE         ends Wine, the window manager and Xvfb
    wine_desktop.py dpi STATE N        N dots per inch for programs started
                                       from now on
    wine_desktop.py show STATE TITLE PROGRAM [ARGS...]
                                       starts PROGRAM and prints the X id of
                                       its window TITLE once shown (10 s)

The Windows build's tests run through scripts/wine-run (their emulator),
which reads what `prepare` writes into STATE; `start` and `stop` are the
set-up and clean-up of the tests. Running works before `start` too, without
a display, as listing the tests does.
The prefix stays in STATE between runs; remove the folder to start afresh.
"""

import fcntl
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

# Test-machine settings: the window's first-choice Chinese face maps onto the
# CJK font installed here, so Chinese shows as characters; 96 dots per inch.
SETTINGS = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Microsoft YaHei UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
"""


def wine_variables(state):
    return {"WINEPREFIX": str(Path(state).resolve() / "prefix"), "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            # No Mono or Gecko download prompts in a fresh prefix.
            "WINEDLLOVERRIDES": "mscoree,mshtml="}


def environment(state):
    """The environment for Wine on the desktop in `state` (no display when
    it is not started)."""
    state = Path(state).resolve()
    env = dict(os.environ)
    env.update(wine_variables(state))
    display = state / "display"
    if display.exists():
        env["DISPLAY"] = display.read_text().strip()
    else:
        env.pop("DISPLAY", None)
    return env


def quiet(args, env, timeout):
    """Runs a helper with no output and a time limit; its exit code."""
    try:
        return subprocess.run(args, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout, check=False).returncode
    except subprocess.TimeoutExpired:
        return 124


def ensure_prefix(state):
    """Makes the prefix once; callers at the same time wait for the first."""
    state = Path(state).resolve()
    state.mkdir(parents=True, exist_ok=True)
    env = environment(state)
    # For scripts/wine-run, which runs the tests without starting Python.
    (state / "env").write_text("".join(f"export {name}='{value}'\n"
                                       for name, value in wine_variables(state).items()))
    with open(state / "lock", "w", encoding="ascii") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        # The first wine call starts wineserver and services that keep its
        # output open (a test's, ctest's pipe): start them here, detached,
        # with their output going nowhere.
        started = quiet(["wineserver", "-p"], env, 30) == 0
        if (state / "prefix" / "ready").exists():
            if started:
                quiet(["wine", "wineboot"], env, 120)
            return
        if quiet(["wine", "wineboot", "-i"], env, 180) != 0:
            sys.exit("wine_desktop: wineboot failed")
        reg = state / "settings.reg"
        reg.write_text(SETTINGS, encoding="ascii")
        quiet(["wine", "regedit", "/S", "Z:" + str(reg).replace("/", "\\")], env, 60)
        (state / "prefix" / "ready").touch()


def daemon(args, **kwargs):
    return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True, **kwargs)


def start(state):
    state = Path(state).resolve()
    stop(state)
    state.mkdir(parents=True, exist_ok=True)
    read, write = os.pipe()
    xvfb = daemon(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", "-noreset"], pass_fds=[write])
    os.close(write)
    with os.fdopen(read) as numbers:
        number = numbers.readline().strip()
    if not number:
        sys.exit("wine_desktop: Xvfb did not start")
    display = ":" + number
    wm = daemon(["openbox", "--sm-disable"], env=dict(os.environ, DISPLAY=display))
    (state / "pids").write_text(f"{xvfb.pid} {wm.pid}\n")
    (state / "display").write_text(display + "\n")
    ensure_prefix(state)
    print(f"wine_desktop: display {display}, prefix {state / 'prefix'}")


def stop(state):
    state = Path(state).resolve()
    if (state / "prefix").exists():
        env = environment(state)
        quiet(["wineserver", "-k"], env, 30)
        quiet(["wineserver", "-w"], env, 30)
    pids = state / "pids"
    if pids.exists():
        for pid in pids.read_text().split():
            try:
                os.kill(int(pid), signal.SIGTERM)
            except ProcessLookupError:
                pass
        pids.unlink()
    (state / "display").unlink(missing_ok=True)


def set_dpi(state, dpi):
    """LogPixels for the programs started from now on."""
    env = environment(state)
    quiet(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
           "/t", "REG_DWORD", "/d", str(dpi), "/f"], env, 60)
    # Wine reads it when its server starts: start a new one.
    quiet(["wineserver", "-k"], env, 30)
    quiet(["wineserver", "-w"], env, 30)


def run(state, program, dpi=None, timeout=None):
    ensure_prefix(state)
    if dpi:
        set_dpi(state, dpi)
    try:
        return subprocess.run(["wine", *program], env=environment(state),
                              stdin=subprocess.DEVNULL, timeout=timeout,
                              check=False).returncode
    except subprocess.TimeoutExpired:
        print(f"wine_desktop: {program[0]} still ran after {timeout} s", file=sys.stderr)
        return 124
    finally:
        if dpi:
            set_dpi(state, 96)


def wait_for(test, seconds, step):
    """What test() gave once it gave something true, asked every `step`
    seconds for `seconds` at most; None when it never did."""
    deadline = time.monotonic() + seconds
    while not (result := test()):
        if time.monotonic() > deadline:
            return None
        time.sleep(step)
    return result


def find_window(title, env, pid=None):
    """The X id of a shown window whose name is `title` (of process `pid`),
    or None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                           env=env, capture_output=True, text=True, check=False).stdout.split()
    for window in found:
        if pid is None or window_pid(window, env) == pid:
            return window
    return None


def window_pid(window, env):
    out = subprocess.run(["xdotool", "getwindowpid", window], env=env, capture_output=True,
                         text=True, check=False).stdout.strip()
    return int(out) if out else None


def show(state, program, title, extra_env=None, seconds=10, poll=0.05, **popen):
    """Starts PROGRAM under Wine on the desktop and waits until its window
    TITLE is shown; the process and the window's X id (None when it did not
    show in time)."""
    env = environment(state)
    env.update(extra_env or {})
    process = subprocess.Popen(["wine", *program], env=env, stdin=subprocess.DEVNULL,
                               **({"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
                                  | popen))
    return process, wait_for(lambda: find_window(title, env), seconds, poll)


def close(window, state, title):
    """Ends the process of `window` and waits (5 s) until no window TITLE is shown."""
    env = environment(state)
    pid = window_pid(window, env)
    if pid:
        os.kill(pid, signal.SIGTERM)
    wait_for(lambda: not find_window(title, env), 5, 0.05)


def loaded_dlls(state, program, title):
    """The DLLs PROGRAM's own process has loaded once its window is up and
    has had a second to settle, lower case and sorted; None when the window
    did not show."""
    with tempfile.TemporaryFile("w+") as log:
        process, window = show(state, [program], title, {"WINEDEBUG": "+pid,+loaddll"},
                               stderr=log)
        if window:
            time.sleep(1)
            close(window, state, title)
        process.kill()
        process.wait()
        if not window:
            return None
        log.seek(0)
        # Lines "PID:TID:trace:loaddll:... Loaded L"C:\\...\\name.dll" ...": the
        # program's process is the one that loaded the program.
        exe, owner, names = Path(program).name.lower(), None, set()
        for match in re.finditer(r'^([0-9a-f]+):(?:[0-9a-f]+:)?trace:loaddll:.* Loaded L"([^"]*)"', log.read(), re.M):
            name = match[2].split("\\")[-1].lower()
            if owner is None and name == exe:
                owner = match[1]
            elif match[1] == owner:
                names.add(name)
        return sorted(names)


def main(argv):
    if len(argv) < 2 or argv[0] not in ("prepare", "start", "run", "stop", "dpi", "show"):
        sys.exit(__doc__)
    command, state, rest = argv[0], argv[1], argv[2:]
    if command == "prepare":
        ensure_prefix(state)
        return 0
    if command == "start":
        start(state)
        return 0
    if command == "stop":
        stop(state)
        return 0
    if command == "dpi":
        set_dpi(state, int(rest[0]))
        return 0
    if command == "show":
        window = show(state, rest[1:], rest[0])[1]
        print(window or f"{rest[1]}: no window {rest[0]}")
        return 0 if window else 1
    options = {}
    while rest and rest[0] in ("--dpi", "--timeout"):
        options[rest[0][2:]] = int(rest[1])
        rest = rest[2:]
    if not rest:
        sys.exit(__doc__)
    return run(state, rest, **options)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
