#!/usr/bin/env python3
"""Plants deliberate faults in a scratch copy of the game, one at a time, and reports which ones
the unit tests catch. It is how the test suite stays honest: a fault the suite used to catch and
no longer does is a hole in it.

Fault lists live in scripts/faults/*.txt, one fault per line:

    ID  FILE  TEXT ==> REPLACEMENT

TEXT must occur exactly once in FILE (give more of the line when it does not). `\\n` in TEXT or
REPLACEMENT stands for a line break. Blank lines and lines starting with # are skipped.

Usage: scripts/mutate.py [--scratch DIR] [--only SUBSTRING] [--tests GTEST_FILTER] [--e2e]
                         [--out FILE] [LIST ...]
With no LIST, every list in scripts/faults/ is run. Results: one line per fault,
`ID CAUGHT|MISSED|STALE|UNBUILT  [first failing test]`, then a summary; with --out the lines are
also written to FILE. Exit status 0 when every fault that applied was caught, else 1.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
TEST_ENV = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")


def read_faults(paths):
    faults = []
    for path in paths:
        for number, line in enumerate(path.read_text().splitlines(), 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            head, sep, replacement = line.partition(" ==> ")
            parts = head.split(None, 2)
            if not sep or len(parts) != 3:
                sys.exit(f"{path}:{number}: expected 'ID FILE TEXT ==> REPLACEMENT'")
            fault_id, file, text = parts
            faults.append((fault_id, file, text.replace("\\n", "\n"),
                           replacement.replace("\\n", "\n")))
    return faults


def sync_scratch(scratch):
    """Copies the tracked files into scratch/src, leaving files that did not change untouched so
    that the scratch build stays incremental."""
    src = scratch / "src"
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                           capture_output=True).stdout.decode().split("\0")
    tracked = set(filter(None, files))
    for name in tracked:
        source, target = ROOT / name, src / name
        if not source.is_file():
            continue
        if target.exists() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(source, target)
    # Files the tree no longer has must not stay behind in the copy (an old test, say).
    for target in src.rglob("*"):
        if target.is_file() and target.relative_to(src).as_posix() not in tracked:
            target.unlink()
    return src


UNIT_PROGRAMS = ["corvane_tests", "corvane_net_tests"]


def build(src, build_dir):
    if not (build_dir / "build.ninja").exists():
        subprocess.run(["cmake", "-S", src, "-B", build_dir, "-G", "Ninja", "-DCORVANE_BENCH=OFF",
                        "-DCMAKE_BUILD_TYPE=Debug"], check=True, capture_output=True)
    return subprocess.run(["cmake", "--build", build_dir, "--target", *UNIT_PROGRAMS,
                           "corvane-altor"], capture_output=True).returncode == 0


def run_tests(build_dir, e2e, tests="*"):
    """None when every test passed, else the name of the first failing test (or the reason)."""
    for program in UNIT_PROGRAMS:
        try:
            result = subprocess.run([build_dir / program, "--gtest_fail_fast", "--gtest_brief=1",
                                     f"--gtest_filter={tests}"], env=TEST_ENV,
                                    capture_output=True, text=True, timeout=180)
        except subprocess.TimeoutExpired:
            return "(hung)"
        if result.returncode != 0:
            for line in result.stdout.splitlines():
                if line.startswith("[  FAILED  ]"):
                    return line.split()[3] if len(line.split()) > 3 else line
            return f"(exit {result.returncode})"
    if e2e:
        result = subprocess.run(["ctest", "-L", "e2e", "--stop-on-failure"], cwd=build_dir,
                                capture_output=True, text=True)
        if result.returncode != 0:
            failed = [l for l in result.stdout.splitlines() if "***Failed" in l]
            return failed[0].split()[3] if failed else "(e2e)"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("lists", nargs="*", type=pathlib.Path)
    parser.add_argument("--scratch", type=pathlib.Path, default=ROOT / "build-mutate")
    parser.add_argument("--only", default="")
    parser.add_argument("--tests", default="*", help="run only these unit tests (a gtest filter)")
    parser.add_argument("--e2e", action="store_true", help="run the end-to-end tests too")
    parser.add_argument("--out", type=pathlib.Path)
    args = parser.parse_args()
    lists = args.lists or sorted((ROOT / "scripts" / "faults").glob("*.txt"))
    faults = [f for f in read_faults(lists) if args.only in f[0]]
    scratch = args.scratch.resolve()
    src = sync_scratch(scratch)
    build_dir = scratch / "build"
    if not build(src, build_dir):
        sys.exit("the unchanged scratch copy does not build")
    failing = run_tests(build_dir, args.e2e)
    if failing:
        sys.exit(f"the unchanged scratch copy fails its tests: {failing}")

    counts = {"CAUGHT": 0, "MISSED": 0, "STALE": 0, "UNBUILT": 0}
    out = open(args.out, "w") if args.out else None
    for fault_id, file, text, replacement in faults:
        target = src / file
        original = target.read_text() if target.exists() else ""
        started = time.time()
        detail = ""
        if original.count(text) != 1:
            verdict = "STALE"
            detail = f"(text found {original.count(text)} times in {file})"
        else:
            target.write_text(original.replace(text, replacement))
            try:
                if not build(src, build_dir):
                    verdict = "UNBUILT"
                else:
                    failing = run_tests(build_dir, args.e2e, args.tests)
                    verdict = "CAUGHT" if failing else "MISSED"
                    detail = failing or ""
            finally:
                target.write_text(original)
        counts[verdict] += 1
        line = f"{fault_id} {verdict} {detail}".rstrip()
        print(f"{line}   [{time.time() - started:.0f} s]", flush=True)
        if out:
            print(line, file=out, flush=True)
    applied = counts["CAUGHT"] + counts["MISSED"]
    summary = (f"caught {counts['CAUGHT']} of {applied} faults; {counts['STALE']} stale, "
               f"{counts['UNBUILT']} did not build")
    print(summary)
    if out:
        print(summary, file=out)
    build(src, build_dir)  # leave the scratch build matching the sources again
    return 0 if counts["MISSED"] == 0 and counts["STALE"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
