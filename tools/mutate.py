#!/usr/bin/python3
"""Plants small faults (mutants) in Qt-free source files, one at a time, and reports which
of them the tests catch.

For each file a seeded random sample of mutants is drawn: a relational operator swapped,
an arithmetic operator swapped, a number changed (0 <-> 1, n + 1, n - 1), && <-> ||, a
condition negated, a statement line deleted, std::max <-> std::min. Each mutant is written
into the file, the test programs it affects are rebuilt in a separate build tree (Qt left
out, ccache on), and their CTest cases run with a timeout. A failing test kills the mutant;
a mutant that does not compile is counted apart. The file is restored after every mutant,
also on Ctrl+C.

    tools/mutate.py                        # the Qt-free files changed against main
    tools/mutate.py core/Solver.cpp --count 20 --seed 3
    tools/mutate.py core/Period.cpp --tests '^(ComputePeriod|Solve)\.'

The build tree (default build-mutate/) is configured on first use; the first build takes a
while, later ones rebuild only the mutated file and relink.

Mutants that change nothing a program can observe (equivalent mutants) are listed, with the
reason, in tools/mutants-equivalent.txt and never drawn, so the score counts only faults a
test can catch. A survivor is printed in that file's form: copy it there, with a "why:" line,
once you have shown that no test could tell it apart.
"""
import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
QT_FREE_FOLDERS = ("core/", "workbook/", "logic/", "views/")

RELATIONAL = {"<": ["<=", ">"], "<=": ["<", ">"], ">": [">=", "<"], ">=": [">", "<"],
              "==": ["!="], "!=": ["=="]}
DECLARATION = re.compile(r"(?:(?:return|case|using|break|continue|const|constexpr|static|auto|"
                         r"double|int|bool|unsigned|size_t|char|float)\b"
                         r"|[A-Za-z][\w:]*(?:<.*>)?[&*]? \w+(?: =| \{|\(|;))")
ARITHMETIC = {"+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"]}
EQUIVALENT = os.path.join(ROOT, "tools", "mutants-equivalent.txt")


def equivalent_mutants():
    """The reviewed equivalent mutants as (file, original line, mutated line), stripped."""
    found = set()
    if not os.path.exists(EQUIVALENT):
        return found
    with open(EQUIVALENT, encoding="utf-8") as f:
        # Read line by line: a merge may join two blocks without the blank line between.
        lines = [l.rstrip("\n") for l in f if l.strip() and not l.startswith("#")]
    for k in range(len(lines) - 2):
        path, before, after = lines[k:k + 3]
        if (not path.startswith(("- ", "+ ", "why:")) and before.startswith("- ")
                and after.startswith("+ ")):
            after = after[2:].strip()
            found.add((path.strip(), before[2:].strip(), "" if after == "(deleted)" else after))
    return found


def changed_files():
    out = subprocess.run(["git", "diff", "--name-only", "main"], cwd=ROOT, check=True,
                         capture_output=True, text=True).stdout.split()
    return [f for f in out if qt_free_source(f)]


def qt_free_source(path):
    full = os.path.join(ROOT, path)
    if not path.startswith(QT_FREE_FOLDERS) or not path.endswith((".cpp", ".h")):
        return False
    if not os.path.exists(full):
        return False
    with open(full, encoding="utf-8") as f:
        return not re.search(r'#include\s*<Q', f.read())


def code_mask(lines):
    """Per line, the set of character positions that are code (not in a comment, string or
    character literal); preprocessor lines have none."""
    masks = []
    in_block = False
    for line in lines:
        code = set()
        if line.lstrip().startswith("#"):
            masks.append(code)
            continue
        k, quote = 0, None
        while k < len(line):
            c = line[k]
            if in_block:
                if line.startswith("*/", k):
                    in_block = False
                    k += 1
            elif quote:
                if c == "\\":
                    k += 1
                elif c == quote:
                    quote = None
            elif line.startswith("//", k):
                break
            elif line.startswith("/*", k):
                in_block = True
                k += 1
            elif c in "\"'":
                quote = c
            else:
                code.add(k)
            k += 1
        masks.append(code)
    return masks


def matching_paren(line, open_at):
    depth = 0
    for k in range(open_at, len(line)):
        if line[k] == "(":
            depth += 1
        elif line[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def mutants(lines):
    """Every mutant of the file as (line number, new line, kind)."""
    found = []
    masks = code_mask(lines)

    def add(n, start, end, text, kind):
        if all(k in masks[n] for k in range(start, end)):
            found.append((n, lines[n][:start] + text + lines[n][end:], kind))

    for n, line in enumerate(lines):
        if not masks[n]:
            continue
        # Binary operators stand between spaces in formatted code; templates and pointers do not.
        for m in re.finditer(r"(?<= )(<=|>=|==|!=|<|>)(?= )", line):
            for new in RELATIONAL[m.group(1)]:
                add(n, m.start(), m.end(), new, "relational")
        for m in re.finditer(r"(?<= )([-+*/])(?= )", line):
            for new in ARITHMETIC[m.group(1)]:
                add(n, m.start(), m.end(), new, "arithmetic")
        for m in re.finditer(r"(?<= )(&&|\|\|)(?= )", line):
            add(n, m.start(), m.end(), "||" if m.group(1) == "&&" else "&&", "logical")
        for m in re.finditer(r"(?<![\w.])(\d+)(\.\d*)?(?![\w.'])", line):
            value = m.group(0)
            if m.group(2):
                news = [str(float(value) + 1)]
            else:
                k = int(m.group(1))
                news = {0: ["1"], 1: ["0", "2"]}.get(k, [str(k + 1), str(k - 1)])
            for new in news:
                add(n, m.start(), m.end(), new, "constant")
        for m in re.finditer(r"std::(max|min)\b", line):
            add(n, m.start(), m.end(), "std::" + ("min" if m.group(1) == "max" else "max"),
                "max/min")
        for m in re.finditer(r"\b(if|while) \(", line):
            close = matching_paren(line, m.end() - 1)
            if close > 0:
                cond = line[m.end():close]
                add(n, m.end(), close, "!(" + cond + ")", "negated condition")
        # A whole statement on its own line; declarations would only fail to compile.
        stripped = line.strip()
        before = next((lines[k].strip() for k in range(n - 1, -1, -1) if lines[k].strip()), "")
        if (stripped.endswith(";") and line.startswith("    ") and before.endswith((";", "{", "}"))
                and not DECLARATION.match(stripped)):
            found.append((n, "", "deleted statement"))
    return found


def run(cmd, timeout=None):
    # Objects another worktree's mutation tree built come from ccache.
    env = dict(os.environ, CCACHE_NOHASHDIR="1")
    return subprocess.run(cmd, cwd=ROOT, capture_output=True, text=True, timeout=timeout,
                          env=env)


def configure(build):
    if os.path.exists(os.path.join(build, "build.ninja")):
        return
    print("Configuring", build, "(Qt left out)", flush=True)
    run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
         "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DTERVALIS_QT=OFF", "-DTERVALIS_BENCH=OFF",
         # An index past a container's end then fails the test instead of passing unseen.
         "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS"],
        ).check_returncode()


def test_programs(build):
    """CTest's cases as (number, name, program)."""
    info = json.loads(run(["ctest", "--test-dir", build, "--show-only=json-v1"]).stdout)
    cases = []
    for number, test in enumerate(info["tests"], 1):
        command = test.get("command") or [""]
        cases.append((number, test["name"], command[0]))
    return cases


def build_programs(build, programs, jobs):
    """Builds the programs; returns those that were relinked, or None when the build failed."""
    before = {p: os.path.getmtime(p) if os.path.exists(p) else 0 for p in programs}
    targets = [os.path.relpath(p, build) for p in programs]
    r = run(["ninja", "-C", build, "-j", str(jobs)] + targets)
    if r.returncode != 0:
        return None
    return [p for p in programs if os.path.getmtime(p) != before[p]]


def run_cases(build, numbers, timeout, jobs):
    """True when every case passes."""
    if not numbers:
        return True
    selection = "0,0,0," + ",".join(str(n) for n in numbers)
    try:
        r = run(["ctest", "--test-dir", build, "-I", selection, "-j", str(jobs), "--timeout",
                 str(timeout), "--stop-on-failure"], timeout=timeout * 4)
    except subprocess.TimeoutExpired:
        return False
    return r.returncode == 0


def interrupted(*_):
    # SIGTERM ends the run like Ctrl+C, so that the file is restored; a second one (a
    # repeated kill) must not cut the restore short.
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    raise KeyboardInterrupt()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="*", help="source files (default: Qt-free files "
                        "changed against main)")
    parser.add_argument("--count", type=int, default=20, help="mutants per file")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--timeout", type=int, default=120, help="seconds per test case")
    parser.add_argument("--build", default=os.path.join(ROOT, "build-mutate"))
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--tests", default="", help="only the CTest cases matching this "
                        "regular expression (faster; default: every case a mutant affects)")
    args = parser.parse_args()
    files = args.files or changed_files()
    if not files:
        print("No Qt-free source files changed against main.")
        return 0
    build = os.path.abspath(args.build)
    configure(build)
    print("Building the tests once ...", flush=True)
    if run(["ninja", "-C", build, "-j", str(args.jobs)]).returncode != 0:
        print("The unmutated tree does not build.")
        return 2
    # The GoogleTest cases are known once their programs are built.
    cases = [c for c in test_programs(build) if re.search(args.tests, c[1])]
    programs = sorted({p for _, _, p in cases if p.startswith(build)})
    # Without a mutant every case must pass, or each mutant would count as killed.
    if not run_cases(build, [k for k, _, _ in cases], args.timeout, args.jobs):
        print("The tests fail without a mutant; fix them first (ctest --test-dir %s)." % build)
        return 2
    signal.signal(signal.SIGTERM, interrupted)

    totals = [0, 0]
    equivalent = equivalent_mutants()
    rng = random.Random(args.seed)
    for path in files:
        full = os.path.join(ROOT, path)
        with open(full, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        candidates = [c for c in mutants(lines)
                      if (path, lines[c[0]].strip(), c[1].strip()) not in equivalent]
        sample = rng.sample(candidates, min(args.count, len(candidates)))
        killed, survived, broken, started = 0, [], 0, time.time()
        print("\n%s: %d of %d mutants" % (path, len(sample), len(candidates)), flush=True)
        try:
            for n, new, kind in sample:
                mutated = lines[:n] + ([new] if new else []) + lines[n + 1:]
                with open(full, "w", encoding="utf-8") as f:
                    f.write("\n".join(mutated))
                relinked = build_programs(build, programs, args.jobs)
                if relinked is None:
                    broken += 1
                    verdict = "does not compile"
                else:
                    numbers = [k for k, _, p in cases if p in relinked]
                    if run_cases(build, numbers, args.timeout, args.jobs):
                        survived.append((n, new, kind))
                        verdict = "SURVIVED"
                    else:
                        killed += 1
                        verdict = "killed"
                print("  line %d, %s: %s" % (n + 1, kind, verdict), flush=True)
        finally:
            with open(full, "w", encoding="utf-8") as f:
                f.write(original)
        scored = killed + len(survived)
        score = 100.0 * killed / scored if scored else 100.0
        print("%s: %d killed, %d survived, %d did not compile; score %.0f %% (%.0f s)"
              % (path, killed, len(survived), broken, score, time.time() - started))
        for n, new, kind in survived:
            print("\n# survived (%s), line %d\n%s\n- %s\n+ %s"
                  % (kind, n + 1, path, lines[n].strip(), new.strip() if new else "(deleted)"))
        totals[0] += killed
        totals[1] += scored
    if len(files) > 1 and totals[1]:
        print("\nAll files: %d of %d killed, %.0f %%"
              % (totals[0], totals[1], 100.0 * totals[0] / totals[1]))
    # The restored sources: the tree is built again, so that it matches them.
    build_programs(build, programs, args.jobs)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("\nInterrupted; the files are restored.")
        sys.exit(130)
