#!/usr/bin/env python3
"""Times Python's configparser reading a message file, as a reference for the store's reader.

Usage: configparser_reference.py FILE [ROUNDS]
"""
import configparser
import sys
import time


def main():
    path = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    best = None
    count = 0
    for _ in range(rounds):
        start = time.perf_counter()
        parser = configparser.RawConfigParser(strict=False, interpolation=None)
        parser.read(path, encoding="latin-1")
        count = sum(1 for name in parser.sections() if name.lower().startswith("message"))
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    print(f"configparser: {count} sections, best of {rounds}: {best * 1000:.1f} ms")


if __name__ == "__main__":
    main()
