#!/usr/bin/env python3
"""Prints one table of benchmark figures beside their targets.

    table.py TARGETS RESULT.json...

Each RESULT is the --benchmark_out JSON of one program (named PROGRAM.json). For every
benchmark the median of its repetitions is taken (or its only run): its wall time and each of
its counters is one row; a row with a line in TARGETS shows the target and the figure's ratio
to it, and whether it is met.
"""
import json
import os
import sys

UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
STANDARD = {"name", "family_index", "per_family_instance_index", "run_name", "run_type",
            "repetitions", "repetition_index", "threads", "aggregate_name", "aggregate_unit",
            "iterations", "real_time", "cpu_time", "time_unit", "bytes_per_second",
            "items_per_second", "label", "error_occurred", "error_message"}


def read_targets(path):
    targets = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split(None, 5)
            if len(parts) < 5 or parts[2] not in ("<=", ">="):
                sys.exit("%s: cannot read: %s" % (path, line))
            key, figure, direction, value, unit = parts[:5]
            targets[(key, figure)] = (direction, float(value), unit, parts[5] if len(parts) > 5 else "")
    return targets


def short_name(run):
    """The run name without the iteration and repetition counts the program set."""
    return "/".join(p for p in run.split("/")
                    if not p.startswith("iterations:") and not p.startswith("repeats:"))


def medians(path):
    """(run name, entry) of each benchmark: its median, else its single run."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    chosen = {}
    for b in data.get("benchmarks", []):
        run = short_name(b.get("run_name", b["name"]))
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                chosen[run] = b
        elif run not in chosen:
            chosen[run] = b
    return list(chosen.items())


def fmt(v):
    if v == 0 or 0.01 <= abs(v) < 1e6:
        return ("%.3f" % v).rstrip("0").rstrip(".") if abs(v) < 100 else "%.1f" % v
    return "%.3g" % v


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    targets = read_targets(sys.argv[1])
    used = set()
    rows = []
    for path in sys.argv[2:]:
        program = os.path.splitext(os.path.basename(path))[0]
        for run, b in medians(path):
            key = program + "/" + run
            if b.get("error_occurred"):
                rows.append((key, "error", b.get("error_message", ""), "", "", "", "", ""))
                continue
            figures = [("time", b["real_time"], b["time_unit"])]
            figures += [(k, v, "") for k, v in b.items()
                        if k not in STANDARD and isinstance(v, (int, float))]
            for figure, value, unit in figures:
                target = targets.get((key, figure))
                if not target:
                    rows.append((key, figure, fmt(value), unit, "", "", "", ""))
                    continue
                used.add((key, figure))
                direction, goal, goal_unit, source = target
                if figure == "time":  # the target's unit
                    value = value * UNITS[unit] / UNITS[goal_unit]
                    unit = goal_unit
                ratio = value / goal if goal else float("inf")
                met = ratio <= 1 if direction == "<=" else ratio >= 1
                rows.append((key, figure, fmt(value), unit, direction + " " + fmt(goal),
                             fmt(ratio), "yes" if met else "NO", source))
    for key, figure in sorted(set(targets) - used):
        rows.append((key, figure, "not run", "", targets[(key, figure)][0] + " " +
                     fmt(targets[(key, figure)][1]), "", "", targets[(key, figure)][3]))

    head = ("benchmark", "figure", "value", "unit", "target", "ratio", "met", "target set by")
    widths = [max(len(str(r[i])) for r in rows + [head]) for i in range(7)]
    for r in [head] + rows:
        line = "  ".join(str(c).rjust(widths[i]) if i in (2, 5) else str(c).ljust(widths[i])
                         for i, c in enumerate(r[:7]))
        print((line + "  " + r[7]).rstrip())


if __name__ == "__main__":
    main()
