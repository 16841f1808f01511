#!/usr/bin/env python3
"""Puts realistic faults into the code one at a time and checks that the tests catch each.

    python3 scripts/mutate.py            # every mutant of scripts/mutants.txt
    python3 scripts/mutate.py ID ...     # only these
    python3 scripts/mutate.py --check    # only check that every mutant still applies
    python3 scripts/mutate.py --resume LOG  # carries the results a stopped run printed (same tree)

Works on a copy of the tracked files (as they are in the working tree) in its own build
directory, so the checkout and build/ are left alone. A mutant is killed when any test
fails or the tests run past the time limit; one that does not build is a mistake in the list
and is reported, not counted. Mutants marked as equivalent
(no user could notice them) are listed but not counted.

Mutant file format: blocks separated by blank lines; '#' lines are comments.
    @ ID path/to/file.cpp
    - text that occurs exactly once in the file
    + its replacement
    = reason the mutant is equivalent (optional)
In the - and + lines, \\n stands for a line break and \\t for a tab.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MUTANTS = os.path.join(ROOT, "scripts", "mutants.txt")
# A mutant's tests may take this many times as long as the unmutated tree's
# before they count as hanging (a hang is a fault the tests caught).
TIMEOUT_FACTOR = 3


class Mutant:
    def __init__(self, ident, path):
        self.ident, self.path = ident, path
        self.find = self.replace = None
        self.equivalent = None

    @property
    def folder(self):
        return self.path.split("/")[0]


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def read_mutants():
    mutants, current = [], None
    with open(MUTANTS, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            kind, _, rest = line.partition(" ")
            if kind == "@":
                ident, _, path = rest.partition(" ")
                current = Mutant(ident, path.strip())
                mutants.append(current)
            elif current is None:
                sys.exit(f"{MUTANTS}:{number}: a mutant starts with '@ ID file'")
            elif kind == "-":
                current.find = unescape(rest)
            elif kind == "+":
                current.replace = unescape(rest)
            elif kind == "=":
                current.equivalent = rest
            else:
                sys.exit(f"{MUTANTS}:{number}: unknown line")
    idents = [m.ident for m in mutants]
    duplicates = {i for i in idents if idents.count(i) > 1}
    if duplicates:
        sys.exit(f"mutant ids used twice: {sorted(duplicates)}")
    return mutants


def check_applies(mutant, root):
    if mutant.find is None or mutant.replace is None:
        return "needs a - and a + line"
    path = os.path.join(root, mutant.path)
    if not os.path.exists(path):
        return "file not found"
    count = open(path, encoding="utf-8").read().count(mutant.find)
    if count != 1:
        return f"text found {count} times"
    return None


def copy_tree(destination):
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, capture_output=True, check=True).stdout
    for name in files.decode().split("\0"):
        if not name or not os.path.exists(os.path.join(ROOT, name)):
            continue
        target = os.path.join(destination, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(os.path.join(ROOT, name), target)


last_output = ""


def run(command, cwd, timeout=None):
    global last_output
    # A session of its own, so that a timeout ends everything it started.
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
        last_output = output.decode(errors="replace")
        return process.returncode == 0, False
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        last_output = "timed out"
        return False, True


def end_wine(build_dir):
    """Ends what a mutant left running in the build's Wine prefixes: a test
    killed at its time limit can leave a spinning process that the next
    mutant's tests would wait for."""
    for name in os.listdir(build_dir):
        if name.startswith("wineprefix"):
            env = dict(os.environ, WINEPREFIX=os.path.join(build_dir, name))
            subprocess.run(["wineserver", "-k"], env=env, capture_output=True)


def build(build_dir):
    return run(["cmake", "--build", build_dir, "-j2"], cwd=build_dir)[0]


def tests_pass(build_dir, limit, first=None):
    """False when a test fails. `first` (the ctest suites and groups of gtest
    tests that killed earlier mutants of the file or its folder) runs before
    the whole suite: the verdict is the same, it only comes sooner."""
    # The first failure is enough to count a mutant as killed.
    os.environ["GTEST_FAIL_FAST"] = "1"
    passes = []
    if first:
        suites = sorted({suite for suite, _ in first})
        tests = sorted({test for _, test in first if test})
        passes.append((["-R", "^(" + "|".join(suites) + ")$"], ":".join(tests) or "*"))
    passes.append(([], "*"))
    for selection, gtest_filter in passes:
        os.environ["GTEST_FILTER"] = gtest_filter
        # The runner's own limit, since a test's TIMEOUT property outlasts ctest's.
        ok, timed_out = run(["ctest", "--stop-on-failure", "--output-on-failure", "--timeout", str(limit)] +
                            selection, build_dir, timeout=limit)
        end_wine(build_dir)
        if not ok or timed_out:
            return False
    return True


def failed_suite():
    """The ctest suite that failed (unit, program, install), if any."""
    for line in last_output.splitlines():
        if "***Failed" in line or "***Timeout" in line:
            return line.split(":")[1].split()[0]
    return None


def killer():
    """The test that failed and the line of its first failed check, as its
    output names them, so that a list of mutants shows which tests earn their place."""
    where = ""
    for line in last_output.splitlines():
        if not where and ": Failure" in line and "tests/" in line:
            where = " (" + line[line.index("tests/"):].split(": ")[0] + ")"
        if line.startswith("[  FAILED  ] ") and "." in line:
            return line[13:].split(" ")[0] + where
        if line.startswith("FAILED: "):
            return line[8:]
    return "timed out" if last_output == "timed out" else "?"


def resumed(log):
    """Results and killers printed by an earlier run of the same tree."""
    results, killers = {}, {}
    for line in open(log, encoding="utf-8"):
        parts = line.split(None, 4)
        if len(parts) < 5 or parts[2] != "s":
            continue
        ident, path, outcome = parts[0], parts[3], parts[4].strip()
        results[ident] = outcome
        found = re.match(r"killed by (?:(unit|program|install): )?(\S+)", outcome)
        if found:
            suite = found.group(1) or ("unit" if re.match(r"\w+\.\w+$", found.group(2)) else None)
            if suite:
                killers.setdefault(path, set()).add(focus(suite, found.group(2)))
    return results, killers


def focus(suite, name):
    """What runs first for later mutants of a file: the whole group of tests
    that killed one of its mutants."""
    return suite, name.split(".")[0] + ".*" if suite == "unit" and "." in name else None


def main():
    # A stopped run still removes its copy of the tree.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    args = sys.argv[1:]
    mutants = read_mutants()
    problems = [(m, check_applies(m, ROOT)) for m in mutants]
    problems = [(m, p) for m, p in problems if p]
    for m, p in problems:
        print(f"{m.ident} {m.path}: {p}")
    if "--check" in args:
        print(f"{len(mutants)} mutants, {len(problems)} that do not apply")
        return 1 if problems else 0
    if problems:
        return 1
    results, killers = {}, {}   # killers: per file, what killed a mutant of it
    if "--resume" in args:
        log = args[args.index("--resume") + 1]
        args.remove(log)
        results, killers = resumed(log)
    wanted = [a for a in args if not a.startswith("--")]
    if wanted:
        mutants = [m for m in mutants if m.ident in wanted]

    work = tempfile.mkdtemp(prefix="bramblewick-mutate-")
    # The install test runs the installed program as another user, who must
    # reach the build as it would a build directory of its own.
    os.chmod(work, 0o755)
    source, build_dir = os.path.join(work, "source"), os.path.join(work, "build")
    try:
        copy_tree(source)
        if not run(["cmake", "-S", source, "-B", build_dir], cwd=work)[0] or not build(build_dir):
            sys.exit("the unmutated tree does not build:\n" + last_output[-3000:])
        started = time.time()
        if not tests_pass(build_dir, 1800):
            sys.exit("the unmutated tree does not pass its tests:\n" + last_output[-3000:])
        limit = max(120, int(TIMEOUT_FACTOR * (time.time() - started)))

        for mutant in mutants:
            if mutant.ident in results:
                print(f"{mutant.ident:12} carried: {results[mutant.ident]}")
                continue
            if mutant.equivalent:
                print(f"{mutant.ident:12} equivalent: {mutant.equivalent}")
                continue
            path = os.path.join(source, mutant.path)
            original = open(path, encoding="utf-8").read()
            started = time.time()
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original.replace(mutant.find, mutant.replace, 1))
                if not build(build_dir):
                    outcome = "does not build"
                else:
                    # Without a kill in this file yet, what killed mutants of its folder.
                    first = killers.get(mutant.path) or set().union(
                        *[k for p, k in killers.items() if p.split("/")[0] == mutant.folder])
                    outcome = "survived" if tests_pass(build_dir, limit, first) else "killed"
                    if outcome == "killed":
                        suite = failed_suite()
                        outcome += " by " + (suite + ": " if suite else "") + killer()
                        if suite:
                            killers.setdefault(mutant.path, set()).add(focus(suite, killer().split(" ")[0]))
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            results[mutant.ident] = outcome
            print(f"{mutant.ident:12} {time.time() - started:5.0f} s  {mutant.path}  {outcome}", flush=True)
        build(build_dir)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    counted = [m for m in mutants if not m.equivalent and results[m.ident] != "does not build"]
    broken = [m.ident for m in mutants if results.get(m.ident) == "does not build"]
    if broken:
        print("do not build (fix the list):", " ".join(broken))
    if not counted:
        return 0
    print()
    for folder in sorted({m.folder for m in counted}):
        group = [m for m in counted if m.folder == folder]
        killed = sum(results[m.ident].startswith("killed") for m in group)
        print(f"{folder:10} {killed:3} of {len(group):3} killed  {100 * killed // len(group):3} %")
    killed = sum(results[m.ident].startswith("killed") for m in counted)
    print(f"{'all':10} {killed:3} of {len(counted):3} killed  {100 * killed // len(counted):3} %")
    survivors = [m.ident for m in counted if results[m.ident] == "survived"]
    if survivors:
        print("survived:", " ".join(survivors))
    return 0


if __name__ == "__main__":
    sys.exit(main())
