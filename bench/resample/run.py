#!/usr/bin/python3
"""Runs the resampling benchmark in one go: ours on one thread and on both,
Pillow in-process, libvips as a command, on the same generated pictures, and
prints medians, spreads and ratios.

    bench/resample/run.py [--build BUILD_DIR] [--runs N]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# case: (vips command after "vips", or None where libvips has no peer)
CASES = {
    "lanczos3-down": ["reduce", "{src}/6000x4000.v", "{out}", "4", "4", "--kernel", "lanczos3"],
    "box-thumb": None,
    "lanczos3-up": ["resize", "{src}/640x480.v", "{out}", "2.5", "--kernel", "lanczos3"],
    "mitchell-down": ["reduce", "{src}/6000x4000.v", "{out}", "4", "4", "--kernel", "mitchell"],
    "spline-down": ["reduce", "{src}/6000x4000.v", "{out}", "4", "4", "--kernel", "cubic"],
}
LABELS = {
    "lanczos3-down": "6000x4000 -> 1500x1000 Lanczos3",
    "box-thumb": "6000x4000 -> 196x131 Box",
    "lanczos3-up": "640x480 -> 1600x1200 Lanczos3",
    "mitchell-down": "6000x4000 -> 1500x1000 Mitchell",
    "spline-down": "6000x4000 -> 1500x1000 Spline",
}


def times_of(line):
    return [float(t) for t in line.split()[-RUNS:]]


def ours(binary, case, threads):
    out = subprocess.run([binary, "--case", case, "--threads", str(threads), "--runs", str(RUNS)],
                         check=True, capture_output=True, text=True).stdout.strip()
    fields = out.split()
    return fields[2], [float(t) for t in fields[3:]]


def pillow(folder, case):
    out = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "pillow_resize.py"), folder, case, str(RUNS)],
                         check=True, capture_output=True, text=True).stdout.strip()
    return [float(t) for t in out.split()[1:]]


def vips(command, folder, threads):
    env = dict(os.environ, VIPS_CONCURRENCY=str(threads))
    args = ["vips"] + [a.format(src=folder, out=os.path.join(folder, "out.v")) for a in command]
    result = []
    for run in range(RUNS + 1):
        start = time.perf_counter()
        subprocess.run(args, check=True, env=env)
        took = (time.perf_counter() - start) * 1000.0
        if run > 0:
            result.append(took)
    return result


def summary(values):
    med = statistics.median(values)
    return med, f"{med:8.1f} ({min(values):.1f}-{max(values):.1f})"


def main():
    global RUNS
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(HERE, "..", "..", "build-resample"))
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    RUNS = args.runs
    binary = os.path.join(args.build, "bench", "resample", "tessaria_bench_resample")
    if not os.path.exists(binary):
        sys.exit(f"no {binary}: build the target tessaria_bench_resample first")

    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([binary, "--write", folder], check=True)
        for name in ("6000x4000", "640x480"):
            subprocess.run(["vips", "copy", f"{folder}/{name}.ppm", f"{folder}/{name}.v"], check=True)

        print(f"milliseconds, median of {RUNS} runs (min-max); x = ratio of medians")
        _, before = ours(binary, "lanczos3-down", 1)
        copy1 = vips(["copy", "{src}/6000x4000.v", "{out}"], folder, 1)
        print(f"vips copy 6000x4000 (load + save, no resampling), 1 thread: {summary(copy1)[1]}")
        for case, command in CASES.items():
            kernels, one = ours(binary, case, 1)
            _, two = ours(binary, case, 2)
            pil = pillow(folder, case)
            m1, s1 = summary(one)
            m2, s2 = summary(two)
            mp, sp = summary(pil)
            print(f"\n{LABELS[case]}  [ours: {kernels}]")
            print(f"  ours 1 thread  {s1}")
            print(f"  ours 2 threads {s2}   1 thread / 2 threads = {m1 / m2:.2f}")
            print(f"  Pillow         {sp}   ours 1 thread / Pillow = {m1 / mp:.3f}")
            if command:
                v1 = vips(command, folder, 1)
                v2 = vips(command, folder, 2)
                mv1, sv1 = summary(v1)
                mv2, sv2 = summary(v2)
                print(f"  vips {command[0]:6s} 1T {sv1}   ours 1T / vips 1T = {m1 / mv1:.3f}")
                print(f"  vips {command[0]:6s} 2T {sv2}   ours 2T / vips 2T = {m2 / mv2:.3f}")
        _, after = ours(binary, "lanczos3-down", 1)
        b, a = statistics.median(before), statistics.median(after)
        print(f"\nnoise: ours 1 thread Lanczos3 reduction at the start {b:.1f} ms, at the end {a:.1f} ms "
              f"({abs(a - b) / min(a, b) * 100:.0f}% apart)")


if __name__ == "__main__":
    main()
