#!/usr/bin/env python3
"""Reads a Shift_JIS CSV file with Python's strict CSV reader and prints, for
every row, its number of cells and whether the last one is empty. A malformed
file (a stray quote, say) ends with an error and exit status 1."""
import csv
import sys

with open(sys.argv[1], encoding="cp932", newline="") as f:
    for row in csv.reader(f, strict=True):
        print(len(row), "last", "empty" if row and row[-1] == "" else "filled")
