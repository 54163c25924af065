#!/usr/bin/env python3
"""Adds up the JUnit reports of the test command's ctest runs:
    count_tests.py REPORT...
prints "tests: P passed, F failed, S skipped"; a report that is missing or
unreadable (a stage that did not get as far as its tests) counts as one
failure. Exits 1 when anything failed."""

import sys
import xml.etree.ElementTree as tree

passed = failed = skipped = 0
for report in sys.argv[1:]:
    try:
        suite = tree.parse(report).getroot()
    except (OSError, tree.ParseError):
        print(f"no test report {report}")
        failed += 1
        continue
    bad = int(suite.get("failures", 0)) + int(suite.get("errors", 0))
    skip = int(suite.get("skipped", 0)) + int(suite.get("disabled", 0))
    passed += int(suite.get("tests", 0)) - bad - skip
    failed += bad
    skipped += skip
print(f"tests: {passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
