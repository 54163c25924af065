#!/usr/bin/env python3
"""Builds the Debian package from a configured and built tree and checks it:
its file list, its dependencies, lintian's verdict (no error allowed) and,
for a tree built with Debian's hardening flags, hardening-check's.
    deb_test.py BUILD_DIR
"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path


def run(*args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, check=False, **kwargs)


def cache(build, name):
    found = re.search(rf"^{name}:[A-Z]+=(.*)$", (build / "CMakeCache.txt").read_text(), re.M)
    return found[1] if found else ""


def hardening_options(build, known):
    """hardening-check's options for protections that live in a mark every
    linked object must carry: asked for only where this release's C start
    files carry the mark too, since without it no program can have them."""
    start_files = run(cache(build, "CMAKE_CXX_COMPILER"), "-print-file-name=Scrt1.o").stdout
    marks = run("readelf", "-n", start_files.strip()).stdout
    options = []
    for option, mark in (("--nocfprotection", "x86 feature: IBT, SHSTK"),
                         ("--nobranchprotection", "AArch64 feature: BTI, PAC")):
        if option in known and mark not in marks:
            print(f'hardening: the C start files carry no "{mark}": {option}')
            options.append(option)
    return options


def check(build, out):
    subprocess.run(["cpack", "--config", build / "CPackConfig.cmake", "-G", "DEB", "-B", out],
                   check=True, stdout=subprocess.DEVNULL)
    deb = next(out.glob("mensurel_*.deb"))
    contents = {line.split()[5] for line in run("dpkg-deb", "-c", deb).stdout.splitlines()}
    depends = run("dpkg-deb", "-f", deb, "Depends").stdout
    app = cache(build, "MENSUREL_APP_ID")
    faults = [f"missing from the package: {path}" for path in (
        "./usr/bin/mensurel", f"./usr/share/applications/{app}.desktop",
        f"./usr/share/metainfo/{app}.metainfo.xml",
        f"./usr/share/icons/hicolor/16x16/apps/{app}.png",
        f"./usr/share/icons/hicolor/32x32/apps/{app}.png", "./usr/share/man/man1/mensurel.1.gz",
        "./usr/share/doc/mensurel/copyright", "./usr/share/doc/mensurel/changelog.gz")
        if path not in contents]
    faults += [f"missing dependency: {package}" for package in (
        "libqt6widgets6", "libqt6gui6", "fonts-liberation", "fonts-wqy-microhei",
        "qt6-translations-l10n") if package not in depends]
    if cache(build, "MENSUREL_DEBIAN_FLAGS") == "ON":
        run("dpkg-deb", "-x", deb, out / "unpacked")
        known = run("hardening-check", "--help")
        options = hardening_options(build, known.stdout + known.stderr)
        checked = run("hardening-check", *options, out / "unpacked/usr/bin/mensurel")
        print(checked.stdout, end="")
        if checked.returncode:
            faults.append("the packaged binary is not hardened")
    lintian = run("lintian", "--fail-on", "error", deb)
    print("".join(line for line in (lintian.stdout + lintian.stderr).splitlines(True)
                  if "running with root privileges" not in line), end="")
    if lintian.returncode:
        faults.append("lintian reports errors")
    return deb.name, faults


def main(argv):
    if len(argv) != 1:
        sys.exit(__doc__)
    with tempfile.TemporaryDirectory() as out:
        name, faults = check(Path(argv[0]).resolve(), Path(out))
    print("\n".join(faults) or f"{name}: contents, dependencies, hardening and lintian are fine")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
