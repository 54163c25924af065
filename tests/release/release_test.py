#!/usr/bin/env python3
"""The release files of two builds of the same source (scripts/release.sh
twice DIR: DIR/first, DIR/second, DIR/epoch).

    release_test.py same DIR    every file, SHA256SUMS included, is the same
                                byte for byte in both builds
    release_test.py times DIR   every time in the Debian package (its ar
                                members, control and data files), in
                                mensurel.exe's PE header and in the zip's
                                entries is SOURCE_DATE_EPOCH (the zip's to its
                                format's two seconds). The installer's PE
                                header is NSIS's prebuilt stub's, not ours.
"""

import calendar
import filecmp
import io
import subprocess
import sys
import tarfile
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "win32"))
from pe_file import PeFile  # noqa: E402


def release_files(folder):
    return [line.split()[1] for line in (folder / "SHA256SUMS").read_text().splitlines()]


def same(folder):
    first, second = folder / "first", folder / "second"
    return [f"{name} differs between the two builds"
            for name in release_files(first) + ["SHA256SUMS"]
            if not filecmp.cmp(first / name, second / name, shallow=False)]


def deb_times(path):
    data = path.read_bytes()
    assert data.startswith(b"!<arch>\n"), f"{path} is not an ar archive"
    offset, times = 8, []
    while offset < len(data):
        header = data[offset:offset + 60]
        times.append(int(header[16:28]))
        offset += 60 + int(header[48:58]) + int(header[48:58]) % 2
    for part in ("--ctrl-tarfile", "--fsys-tarfile"):
        tar = subprocess.run(["dpkg-deb", part, path], capture_output=True, check=True).stdout
        with tarfile.open(fileobj=io.BytesIO(tar)) as members:
            times += [member.mtime for member in members]
    return times


def zip_times(path):
    with zipfile.ZipFile(path) as archive:
        return [calendar.timegm((*entry.date_time, 0, 0, 0)) for entry in archive.infolist()]


def times(folder):
    epoch = int((folder / "epoch").read_text())
    first = folder / "first"
    names = release_files(first)
    readers = [(name, reader, step) for name in names for suffix, reader, step in
               ((".deb", deb_times, 1), ("mensurel.exe", lambda p: [PeFile(p).time_stamp], 1),
                (".zip", zip_times, 2)) if name.endswith(suffix)]
    faults = []
    for name, reader, step in readers:
        found = reader(first / name)
        other = sorted({t for t in found if abs(t - epoch) >= step})
        if other or not found:
            faults.append(f"{name} holds a time other than {epoch}: {other or 'none at all'}")
    if len(readers) != 3:
        faults.append(f"the package, program and zip are not all among {names}")
    return faults


def main(argv):
    checks = {"same": same, "times": times}
    if len(argv) != 2 or argv[0] not in checks:
        sys.exit(__doc__)
    faults = checks[argv[0]](Path(argv[1]))
    print("\n".join(faults) or f"{argv[0]}: fine")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
