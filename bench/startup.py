#!/usr/bin/env python3
"""Start-up time (start until the window is shown) and idle resident memory of
the program against a minimal window of the same toolkit, N runs each,
alternating after one warm-up run of each; medians and ratios.

    bench/startup.py linux [BUILD] [N]     under Xvfb, against a bare Qt
                                           window; then the time from a key
                                           release in a field to the three
                                           other fields written
    bench/startup.py windows [BUILD] [N]   under Wine, against the bare Win32
                                           window of bench/win32; then the DLLs
                                           each has loaded at start
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE / "scripts"))
import wine_desktop  # noqa: E402


def linux_run(build, program):
    """One start of `program` through bench/mapwait: (ms, KiB)."""
    out = subprocess.run([build / "bench/mapwait", "1000", program], capture_output=True,
                         text=True, check=True).stdout.split()
    return float(out[0]), int(out[1])


def windows_run(state, program, title):
    """One start of `program` under Wine until its window shows: (ms, KiB)."""
    start = time.monotonic()
    process, window = wine_desktop.show(state, [program], title, seconds=20, poll=0.005)
    shown = time.monotonic()
    if not window:
        process.kill()
        raise RuntimeError(f"{program} did not show its window")
    pid = wine_desktop.window_pid(window, wine_desktop.environment(state))
    time.sleep(1)
    rss = next(int(line.split()[1]) for line in Path(f"/proc/{pid}/status").open()
               if line.startswith("VmRSS:"))
    wine_desktop.close(window, state, title)
    process.wait()
    return (shown - start) * 1000, rss


def report(runs, rows):
    """rows: {name: [(ms, KiB), ...]}, the baseline first."""
    (base, b), (name, m) = rows.items()
    ms = [statistics.median(r[0] for r in x) for x in (b, m)]
    kib = [statistics.median(r[1] for r in x) for x in (b, m)]
    print(f"runs each:              {runs}")
    print(f"start-up median (ms):   {base} {ms[0]:.1f}  {name} {ms[1]:.1f}  "
          f"ratio {ms[1] / ms[0]:.2f}")
    print(f"resident median (KiB):  {base} {kib[0]:.0f}  {name} {kib[1]:.0f}  "
          f"ratio {kib[1] / kib[0]:.2f}")


def measure(runs, one, baseline, program):
    rows = {"baseline": [], "mensurel": []}
    for i in range(runs + 1):
        for name, exe in (("baseline", baseline), ("mensurel", program)):
            result = one(exe)
            if i:  # the first of each is the warm-up
                rows[name].append(result)
    report(runs, rows)


def linux(build, runs):
    if not os.environ.get("MENSUREL_BENCH_IN_XVFB"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24 -nolisten tcp",
                               "env", "MENSUREL_BENCH_IN_XVFB=1", sys.executable, __file__,
                               "linux", str(build), str(runs)])
    os.environ.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp())
    measure(runs, lambda exe: linux_run(build, exe), build / "bench/baseline_window",
            build / "app/mensurel")
    subprocess.run([build / "bench/keyup_bench", "5000"], check=True)


def windows(build, runs):
    baseline = build / "bench/win32/baseline_window.exe"
    program = build / "app/win32/mensurel.exe"
    titles = {baseline: "Baseline", program: "Mensurel"}
    with tempfile.TemporaryDirectory() as state:
        wine_desktop.start(state)
        try:
            measure(runs, lambda exe: windows_run(state, exe, titles[exe]), baseline, program)
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
