#!/usr/bin/env python3
"""Prints the speed table of `make bench`: for each piece of work, the real routine's time, the naive
baseline's time from the same run, their ratio, the goal and whether it is met.

Usage: benchtable.py RESULT.json...  (Google Benchmark's --benchmark_out files)
"""

import json
import sys

# (work, our benchmark, naive benchmark, steps per iteration, goal); a goal is ("ratio", r) or
# ("time", seconds per step).
# Rows measured at each display scale: (work, our benchmark, naive benchmark or None, steps per iteration,
# goal); a goal is ("ratio", r) or ("time", seconds per step). The benchmark's argument is the scale.
SCALED = [
    ("frame, start-up range", "BM_SurfaceFrameDefault", "BM_NaiveFrameDefault", 1, ("ratio", 0.3)),
    ("frame, spacing 0.001 on -10..10", "BM_SurfaceFrameDense", "BM_NaiveFrameDense", 1, ("ratio", 0.04)),
    ("drag step, x^2, start-up view", "BM_WindowDrag", "BM_NaiveDrag", 1000, ("time", 1 / 60)),
    ("drag step, x^2, -40..40 (zoomed out)", "BM_WindowDragZoomedOut", "BM_NaiveDragZoomedOut", 100,
     ("time", 1 / 60)),
    ("drag step, x^2, -1000..1000", "BM_WindowDragWide", "BM_NaiveDragWide", 1, ("time", 1 / 60)),
    ("drag step, x^2, spacing 0.001 on -10..10", "BM_WindowDragDense", "BM_NaiveDragDense", 10,
     ("time", 1 / 60)),
    ("drag step, 保留图象 with ten curves", "BM_WindowDragKeptTen", "BM_WindowDragKeptOne", 100,
     ("time", 1 / 60)),
    ("animation frame, Zelmora, start-up view", "BM_AnimationFrame", None, 1, ("time", 0.008)),
    ("animation frame, Zelmora, spacing 0.001", "BM_AnimationFrameDense", None, 1, ("time", 1 / 60)),
]
SCALES = (100, 200, 300)
# Goals of their own at 100 %: the dense frame keeps well clear of its ratio, so that noise cannot cross it,
# and the start-up drag keeps the ratio it has always had.
AT_100 = {"BM_SurfaceFrameDense": ("ratio", 0.035), "BM_WindowDrag": ("ratio", 0.25)}
# Rows with a goal at 100 % only: at the projector's scales they are shown for comparison.
ONLY_AT_100 = {"BM_SurfaceFrameDefault": None}

# Rows measured once.
ROWS = [
    ("y = x^2, start-up view", "BM_SurfaceSquareStartUp", "BM_NaiveSquareStartUp", 1, ("ratio", 0.3)),
    ("y = x^3 on -40..40", "BM_SurfaceCube40", "BM_NaiveCube40", 1, ("ratio", 0.1)),
    ("y = x^2 on -1000..1000", "BM_SurfaceSquare1000", "BM_NaiveSquare1000", 1, ("ratio", 0.005)),
    # 5 % of the 3 seconds the sound lasts.
    ("sound of y = x^2, 3 s", "BM_CurveSound3s", "BM_NaiveSound3s", 1, ("time", 0.15)),
] + [(f"{work} at {scale} %", f"{ours}/{scale}", naive and f"{naive}/{scale}", steps,
      AT_100.get(ours, goal) if scale == 100 else ONLY_AT_100.get(ours, goal))
     for work, ours, naive, steps, goal in SCALED for scale in SCALES]

SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def readable(seconds):
    for unit, size in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if seconds >= size:
            return f"{seconds / size:.3g} {unit}"
    return f"{seconds / 1e-9:.3g} ns"


def main(paths):
    times = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for b in json.load(f)["benchmarks"]:
                if b.get("run_type", "iteration") == "iteration":
                    times[b["name"]] = b["cpu_time"] * SECONDS[b["time_unit"]]
    header = ("Work", "Ours", "Naive", "Ratio", "Goal", "Met")
    lines = []
    all_met = True
    for work, ours, naive, steps, aim in ROWS:
        if ours not in times or (naive and naive not in times):
            lines.append((work, "-", "-", "-", "-", "not run"))
            all_met = False
            continue
        t_ours = times[ours] / steps
        kind, goal = aim if aim else (None, None)
        t_naive = times[naive] / steps if naive else float("nan")
        ratio = t_ours / t_naive if naive else float("nan")
        ratio_text = f"{ratio:.3f}" if naive else "-"
        naive_text = readable(t_naive) if naive else "-"
        if kind is None:
            lines.append((work, readable(t_ours), naive_text, ratio_text, "-", "-"))
            continue
        if kind == "ratio":
            met, goal_text = ratio <= goal, f"≤ {goal:g}"
        else:
            met, goal_text = t_ours <= goal, f"≤ {readable(goal)}"
        all_met &= met
        lines.append((work, readable(t_ours), naive_text, ratio_text, goal_text, "yes" if met else "NO"))
    widths = [max(len(row[i]) for row in [header] + lines) for i in range(len(header))]
    def show(row):
        print("| " + " | ".join(cell.ljust(w) for cell, w in zip(row, widths)) + " |")
    show(header)
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for row in lines:
        show(row)
    print("all goals met" if all_met else "some goals not met")


if __name__ == "__main__":
    main(sys.argv[1:])
