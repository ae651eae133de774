#!/usr/bin/env python3
"""Fails when a test was skipped on this system without leave.

    check_skips.py JUNIT ALLOWED SYSTEM...

JUNIT is ctest's --output-junit report (run with the passed tests' output kept whole); ALLOWED
the list of skips allowed, by system, with their reasons (tests/allowed-skips.txt); SYSTEM the
names this run answers to (debian-12, sanitizers, windows, ...). ctest counts a test that skips
its cases as passed, so the skips are read from what each test printed: GoogleTest's
"[  SKIPPED ] Suite.Case", QtTest's "SKIP   : Class::case() reason", and a whole test that ctest
did not run. Prints every skip with its verdict; exits 1 if any is not allowed.
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

GTEST_SKIP = re.compile(r"^\[  SKIPPED \] (\S+\.\S+)")
QTEST_SKIP = re.compile(r"^SKIP   : \S+::(\S+?)\((.*?)\)\s*(.*)$")


def skips_of(report):
    """(test, case, reason) for every skip the report shows; case is "" for a whole test."""
    for case in ElementTree.parse(report).getroot().iter("testcase"):
        test = case.get("name")
        if case.get("status") == "notrun" or case.find("skipped") is not None:
            skipped = case.find("skipped")
            yield test, "", skipped.get("message", "") if skipped is not None else ""
            continue
        seen = set()
        for line in (case.findtext("system-out") or "").splitlines():
            line = line.rstrip("\r")
            if match := GTEST_SKIP.match(line):
                name = match.group(1)
                if name not in seen:
                    seen.add(name)
                    yield test, name, ""
            elif match := QTEST_SKIP.match(line):
                function, tag, reason = match.groups()
                name = f"{function}({tag})" if tag else function
                if name not in seen:
                    seen.add(name)
                    yield test, name, reason


def allowed(path, systems):
    """The skips allowed on these systems: a set of "test" and "test:case" entries."""
    entries = set()
    with open(path, encoding="utf-8") as listing:
        for line in listing:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split(None, 2)
            if len(fields) < 3:
                sys.exit(f"{path}: '{line}': wants SYSTEM TEST[:CASE] REASON")
            if fields[0] == "*" or fields[0] in systems:
                entries.add(fields[1])
    return entries


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    report, listing, systems = sys.argv[1], sys.argv[2], set(sys.argv[3:])
    leave = allowed(listing, systems)
    refused = 0
    for test, case, reason in skips_of(report):
        name = f"{test}:{case}" if case else test
        # A function's entry covers all its data rows.
        function = f"{test}:{case.split('(')[0]}" if case else test
        ok = name in leave or function in leave or test in leave
        refused += not ok
        verdict = "allowed" if ok else "NOT ALLOWED"
        print(f"skips: {name} {verdict}{': ' + reason if reason else ''}")
    if refused:
        print(f"skips: {refused} skipped without leave on {' '.join(sorted(systems))}; "
              f"make it run, or list it with its reason in {listing}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
