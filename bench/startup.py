#!/usr/bin/env python3
"""Start-up time (start until the window is shown) and idle resident memory of
the program against a minimal window of the same toolkit, N runs each,
alternating after one warm-up run of each; medians and ratios.

    bench/startup.py linux [BUILD] [N]     under Xvfb, against a bare Qt
                                           window; then the time from a key
                                           release in a field to the three
                                           other fields written
    bench/startup.py windows [BUILD] [N]   under Wine, against the bare Win32
                                           window of bench/win32 and the same
                                           window holding the program's
                                           controls; then the DLLs each has
                                           loaded at start
"""

import os
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE / "scripts"))
import wine_desktop  # noqa: E402


def mapwait_run(tool, command, name=None, env=None):
    """One start of `command` through bench/mapwait, until its window (the
    one named `name`) is mapped: (ms, KiB)."""
    out = subprocess.run([tool, *(["--name", name] if name else []), "1000", *command], env=env,
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), int(out[1])


def report(runs, rows):
    """rows: {name: [(ms, KiB), ...]}, the floor first, the program last;
    each against the floor, and the program against each other row."""
    medians = {name: (statistics.median(r[0] for r in x), statistics.median(r[1] for r in x))
               for name, x in rows.items()}
    names = list(medians)
    floor, program = names[0], names[-1]
    print(f"runs each:              {runs}")
    for i, (label, unit) in enumerate((("start-up median (ms): ", ".1f"),
                                       ("resident median (KiB):", ".0f"))):
        figures = "  ".join(f"{name} {medians[name][i]:{unit}}" for name in names)
        print(f"{label}  {figures}  ratio {medians[program][i] / medians[floor][i]:.2f}")
    for other in names[1:-1]:
        print(f"{program} against {other}: start-up "
              f"{medians[program][0] / medians[other][0]:.2f}  "
              f"memory {medians[program][1] / medians[other][1]:.2f}")


def measure(runs, one, commands):
    """commands: {name: what `one` starts}, alternating, after a warm-up
    run of each."""
    rows = {name: [] for name in commands}
    for i in range(runs + 1):
        for name, command in commands.items():
            result = one(command)
            if i:
                rows[name].append(result)
    report(runs, rows)


def linux(build, runs):
    if not os.environ.get("MENSUREL_BENCH_IN_XVFB"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24 -nolisten tcp",
                               "env", "MENSUREL_BENCH_IN_XVFB=1", sys.executable, __file__,
                               "linux", str(build), str(runs)])
    os.environ.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp())
    measure(runs, lambda exe: mapwait_run(build / "bench/mapwait", [exe]),
            {"baseline": build / "bench/baseline_window", "mensurel": build / "app/mensurel"})
    subprocess.run([build / "bench/keyup_bench", "5000"], check=True)


def windows(build, runs):
    baseline = build / "bench/win32/baseline_window.exe"
    program = build / "app/win32/mensurel.exe"
    titles = {baseline: "Baseline", program: "Mensurel"}
    with tempfile.TemporaryDirectory() as state:
        # The same waiting as on Linux, built for this machine.
        mapwait = Path(state) / "mapwait"
        subprocess.run(["c++", "-O2", "-std=c++20", SOURCE / "bench/mapwait.cpp", "-lX11", "-o",
                        mapwait], check=True)
        wine_desktop.start(state)
        try:
            env = wine_desktop.environment(state)
            measure(runs, lambda command: mapwait_run(mapwait, ["wine", *command],
                                                      titles[command[0]], env),
                    {"baseline": [baseline], "same-controls": [baseline, "controls"],
                     "mensurel": [program]})
            print(f"mensurel.exe:           {program.stat().st_size} bytes")
            dlls = {exe: wine_desktop.loaded_dlls(state, exe, title)
                    for exe, title in titles.items()}
            print(f"DLLs at start:          baseline {len(dlls[baseline])}  "
                  f"mensurel {len(dlls[program])}")
            print(f"mensurel loads:         {' '.join(dlls[program])}")
            print(f"beyond the baseline:    "
                  f"{' '.join(sorted(set(dlls[program]) - set(dlls[baseline])))}")
        finally:
            wine_desktop.stop(state)


def main(argv):
    if not argv or argv[0] not in ("linux", "windows"):
        sys.exit(__doc__)
    linux_default = argv[0] == "linux"
    build = Path(argv[1] if len(argv) > 1 else "build" if linux_default else "build-windows")
    runs = int(argv[2]) if len(argv) > 2 else 15 if linux_default else 11
    if runs < 3:
        sys.exit("N must be at least 3")
    (linux if linux_default else windows)(build.resolve(), runs)


if __name__ == "__main__":
    main(sys.argv[1:])
