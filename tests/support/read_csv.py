#!/usr/bin/env python3
"""Reads a CSV file with Python's csv module and prints its records as JSON.

Usage: read_csv.py FILE ENCODING
Prints one JSON array of records, each an array of field strings.
"""
import csv
import json
import sys

with open(sys.argv[1], newline="", encoding=sys.argv[2]) as f:
    records = [row for row in csv.reader(f, strict=True)]
json.dump(records, sys.stdout)
