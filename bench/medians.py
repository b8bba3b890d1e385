#!/usr/bin/env python3
"""Prints the median of each command of a hyperfine JSON export and each median's ratio to the first."""
import json
import sys

for path in sys.argv[1:]:
    results = json.load(open(path))["results"]
    base = results[0]["median"]
    for r in results:
        print(f"{r['command']:<32} median {r['median'] * 1000:8.1f} ms   x{r['median'] / base:5.2f}")
