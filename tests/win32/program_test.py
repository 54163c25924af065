#!/usr/bin/env python3
"""Checks of the built Windows program and installer as files and processes.

    program_test.py imports PROGRAM SETUP
                                         the program imports only DLLs every
                                         Windows has; it and its installer ask
                                         for Windows' exploit protections
    program_test.py startup BUILD STATE  once its window is up, mensurel.exe
                                         has loaded no DLL the bare window of
                                         bench/win32 does not load (on the
                                         Wine desktop in STATE)
"""

import sys
from pathlib import Path

from pe_file import PeFile

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
import wine_desktop  # noqa: E402

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "oleacc.dll", "msimg32.dll", "msvcrt.dll", "shlwapi.dll", "advapi32.dll",
    "windowscodecs.dll", "uxtheme.dll", "shcore.dll",
}


def imports(program, setup):
    faults = [f"{program.name} needs {dll}, which Windows does not ship"
              for dll in PeFile(program).imports() if dll not in SYSTEM_DLLS]
    faults += [f"{path.name} lacks {flag}" for path in (program, setup)
               for flag in PeFile(path).missing_protections()]
    return faults


def startup(build, state):
    base = wine_desktop.loaded_dlls(state, build / "bench/win32/baseline_window.exe", "Baseline")
    program = wine_desktop.loaded_dlls(state, build / "app/win32/mensurel.exe", "Mensurel")
    if base is None or program is None:
        return ["a window did not show within 10 s"]
    extra = sorted(set(program) - set(base))
    return [f"mensurel.exe loads at start what the bare window does not: {' '.join(extra)}"] \
        if extra else []


def main(argv):
    checks = {"imports": imports, "startup": startup}
    if len(argv) < 2 or argv[0] not in checks:
        sys.exit(__doc__)
    faults = checks[argv[0]](*map(Path, argv[1:]))
    print("\n".join(faults) or f"{argv[0]}: fine")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
