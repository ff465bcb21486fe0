#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Mutation testing of src/: do the tests catch a small fault anywhere?

Each mutant changes one place of one file in src/ (an operator, a literal,
a condition, a call or a return value), is built incrementally in a copy of
the tree and has the tests run against it.  A mutant is killed when a test
fails or hangs past the timeout, survives when every test passes, and did
not compile when the build fails.  A surviving mutant is a fault the tests
would let through, unless it cannot change what the tool does: those are
listed with their reason in tools/mutation-equivalent.txt, and only the
others are reported as survivors.

    tools/mutate.py                      every mutant (the full run)
    tools/mutate.py --sample 40 --seed 1 a fixed sample, as CI runs it
    tools/mutate.py --list               the mutants, without running them
    tools/mutate.py --sanitize           built with ASan and UBSan instead

Exit status: 0 when no survivor is missing from the list, 1 otherwise,
2 when the tree itself does not build or pass its tests.

Standard library only: no packaged C++ mutation tool fits this project.
"""

import argparse
import concurrent.futures
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time
from dataclasses import dataclass

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))
DEFAULT_LIST = os.path.join(ROOT, "tools", "mutation-equivalent.txt")

# Binary operators stand between blanks in this code base (clang-format
# keeps them so), which tells a "<" that compares from a template's "<".
BINARY_SWAPS = {
    "<": ["<=", ">"],
    "<=": ["<", ">"],
    ">": [">=", "<"],
    ">=": [">", "<"],
    "==": ["!="],
    "!=": ["=="],
    "+": ["-"],
    "-": ["+"],
    "*": ["/"],
    "/": ["*"],
    "%": ["/"],
    "&&": ["||"],
    "||": ["&&"],
    "+=": ["-="],
    "-=": ["+="],
}
BINARY_RE = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||\+=|-=|<|>|\+|-|\*|/|%)(?= )")
INCREMENT_RE = re.compile(r"\+\+|--")
INTEGER_RE = re.compile(r"(?<![\w.'\\])(0[xX][0-9a-fA-F]+|\d[\d']*)([uUlL]*)(?![\w.'])")
CHAR_RE = re.compile(r"'(\\.|[^'\\])'")
BOOL_RE = re.compile(r"\b(true|false)\b")
CONDITION_RE = re.compile(r"\b(if|while) \(")
RETURN_RE = re.compile(r"\breturn (.+);")
CALL_STATEMENT_RE = re.compile(r"^(\s*)((?:std::)?[A-Za-z_][\w.:>-]*\(.*\);)\s*$")
CALL_AFTER_CONDITION_RE = re.compile(r"^(\s*(?:if|while) \(.*\) )([A-Za-z_][\w.:>-]*\(.*\);)$")


@dataclass
class Mutant:
    path: str  # relative to the root, such as src/driver.cc
    line: int  # 1-based
    column: int  # 0-based, in the line as it stands
    original: str
    replacement: str
    text: str  # the line, stripped, for the reader and the identity
    indent: int  # blanks before the line's text
    repeat: int = 0  # how many lines of the same text come before it in the file

    @property
    def ident(self):
        # Names the mutant by what it changes, not by where the line stands,
        # so edits elsewhere in the file keep the names of the list valid.
        key = (f"{self.path}\0{self.text}\0{self.column - self.indent}\0{self.original}\0"
               f"{self.replacement}")
        if self.repeat:
            key += f"\0{self.repeat}"
        return hashlib.sha1(key.encode()).hexdigest()[:10]

    def describe(self):
        return (f"{self.ident} {self.path}:{self.line}: '{self.original}' -> "
                f"'{self.replacement}' in: {self.text}")


def code_spans(line, in_comment):
    """The parts of a line that are code: not a comment, string or preprocessor line.

    Returns a list of (start, end) pairs and whether a block comment is still open.
    """
    spans = []
    i = 0
    start = 0
    if not in_comment and line.lstrip().startswith("#"):
        return [], False
    while i < len(line):
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                return spans, True
            i = start = end + 2
            in_comment = False
            continue
        if line.startswith("//", i):
            break
        if line.startswith("/*", i):
            spans.append((start, i))
            in_comment = True
            i += 2
            continue
        if line[i] == '"':
            spans.append((start, i))
            i += 1
            while i < len(line) and line[i] != '"':
                i += 2 if line[i] == "\\" else 1
            i += 1
            start = i
            continue
        if line[i] == "'" and CHAR_RE.match(line, i):
            i = CHAR_RE.match(line, i).end()
            continue
        i += 1
    if not in_comment:
        spans.append((start, min(i, len(line))))
    return [(a, b) for a, b in spans if b > a], in_comment


def matching_paren(line, open_at):
    depth = 0
    for i in range(open_at, len(line)):
        if line[i] == "(":
            depth += 1
        elif line[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def mutants_of_line(path, number, line, spans):
    found = []

    def add(column, original, replacement):
        found.append(Mutant(path, number, column, original, replacement, line.strip(),
                            len(line) - len(line.lstrip())))

    def in_code(position):
        return any(a <= position < b for a, b in spans)

    stripped = line.strip()
    if stripped.startswith("static_assert") or stripped.startswith("template"):
        return found
    for match in BINARY_RE.finditer(line):
        if in_code(match.start()):
            for swap in BINARY_SWAPS[match.group(1)]:
                add(match.start(), match.group(1), swap)
    for match in INCREMENT_RE.finditer(line):
        if in_code(match.start()):
            add(match.start(), match.group(0), "--" if match.group(0) == "++" else "++")
    for match in INTEGER_RE.finditer(line):
        if not in_code(match.start()):
            continue
        digits, suffix = match.group(1), match.group(2)
        value = int(digits.replace("'", ""), 0)
        form = hex if digits.lower().startswith("0x") else str
        add(match.start(), match.group(0), form(value + 1) + suffix)
        if value > 0:
            add(match.start(), match.group(0), form(value - 1) + suffix)
    for match in CHAR_RE.finditer(line):
        if not in_code(match.start()):
            continue
        # Another character: the one after it in the code table.
        body = match.group(1)
        value = ord(body) if len(body) == 1 else {"\\r": 13, "\\n": 10, "\\0": 0,
                                                   "\\t": 9}.get(body, -1)
        if value >= 0:
            add(match.start(), match.group(0), f"'\\x{value + 1:02x}'")
    for match in BOOL_RE.finditer(line):
        if in_code(match.start()):
            add(match.start(), match.group(0), "false" if match.group(0) == "true" else "true")
    for match in CONDITION_RE.finditer(line):
        if not in_code(match.start()):
            continue
        open_at = match.end() - 1
        close_at = matching_paren(line, open_at)
        if close_at > 0:
            condition = line[open_at + 1:close_at]
            add(open_at + 1, condition, f"!({condition})")
    match = RETURN_RE.search(line)
    if match and in_code(match.start()):
        value = match.group(1).strip()
        if value in ("true", "false"):
            pass  # BOOL_RE swaps these already.
        elif value not in ("{}", "0", "nullptr", "std::nullopt"):
            add(match.start(1), match.group(1), "{}")
    match = CALL_STATEMENT_RE.match(line)
    if match and in_code(len(match.group(1))) and not re.match(
            r"(return|if|while|for|switch|case|delete)\b", match.group(2)):
        add(len(match.group(1)), match.group(2), ";")
    match = CALL_AFTER_CONDITION_RE.match(line)
    if match and in_code(len(match.group(1))):
        add(len(match.group(1)), match.group(2), ";")
    return found


def find_mutants(paths):
    mutants = []
    for path in paths:
        lines = original(path).split("\n")
        in_comment = False
        seen_lines = {}
        for number, line in enumerate(lines, start=1):
            spans, in_comment_after = code_spans(line, in_comment)
            in_comment = in_comment_after
            found = mutants_of_line(path, number, line, spans)
            for mutant in found:
                mutant.repeat = seen_lines.get(line.strip(), 0)
            seen_lines[line.strip()] = seen_lines.get(line.strip(), 0) + 1
            mutants.extend(found)
    return mutants


# The sources as they stood when the run began: edits made to the tree
# meanwhile must not mix with the mutants.
ORIGINALS = {}


def original(path):
    if path not in ORIGINALS:
        with open(os.path.join(ROOT, path), encoding="utf-8") as source:
            ORIGINALS[path] = source.read()
    return ORIGINALS[path]


def apply(mutant, text):
    lines = text.split("\n")
    line = lines[mutant.line - 1]
    assert line[mutant.column:].startswith(mutant.original), mutant.describe()
    lines[mutant.line - 1] = (line[:mutant.column] + mutant.replacement +
                              line[mutant.column + len(mutant.original):])
    return "\n".join(lines)


def read_equivalent_list(path):
    listed = {}
    if not os.path.exists(path):
        return listed
    with open(path, encoding="utf-8") as entries:
        for number, entry in enumerate(entries, start=1):
            entry = entry.strip()
            if not entry or entry.startswith("#"):
                continue
            ident = entry.split()[0]
            if " -- " not in entry:
                sys.exit(f"{path}:{number}: an entry needs its reason after ' -- '")
            listed[ident] = entry
    return listed


class Worker:
    """A copy of the tree with a build of its own, mutated one file at a time."""

    def __init__(self, base, number, sanitize, timeout):
        self.tree = os.path.join(base, f"tree-{number}")
        self.build = os.path.join(base, f"build-{number}")
        self.timeout = timeout
        self.sanitize = sanitize
        self.mutated = None  # the path changed in the copy, if any

    def set_up(self):
        ignore = shutil.ignore_patterns(".git", "build*", "__pycache__", "node_modules")
        if os.path.exists(self.tree):
            shutil.rmtree(self.tree)
        # Fresh times on every copied file: objects left in the build by an
        # earlier run, perhaps of a mutant, are then older and get rebuilt.
        shutil.copytree(ROOT, self.tree, ignore=ignore, symlinks=True,
                        copy_function=shutil.copy)
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        # Debug builds check the standard library's bounds; without -g, a
        # mutant that compiles to the very code of the tree is told at once.
        options = ["-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS_DEBUG=-O0"]
        if self.sanitize:
            options.append("-DHREFTRACK_SANITIZE=ON")
        run(["cmake", "-S", self.tree, "-B", self.build, *generator, *options], check=True)
        run(["cmake", "--build", self.build], check=True)
        self.tree_code = self.tool_code()

    def tool_code(self):
        """A digest of the tool's object code, which the tests do not enter."""
        digest = hashlib.sha1()
        for directory in ("hreftrack_core.dir", "hreftrack.dir"):
            objects = os.path.join(self.build, "CMakeFiles", directory, "src")
            for name in sorted(os.listdir(objects)):
                if name.endswith(".o"):
                    with open(os.path.join(objects, name), "rb") as code:
                        digest.update(code.read())
        return digest.hexdigest()

    def write(self, path, text):
        with open(os.path.join(self.tree, path), "w", encoding="utf-8") as target:
            target.write(text)

    def restore(self):
        if self.mutated:
            self.write(self.mutated, original(self.mutated))
            self.mutated = None

    def verdict(self, mutant):
        """'killed', 'survived', 'same code' or 'did not compile'."""
        if self.mutated != mutant.path:
            self.restore()
        self.write(mutant.path, apply(mutant, original(mutant.path)))
        self.mutated = mutant.path
        if run(["cmake", "--build", self.build]).returncode != 0:
            return "did not compile"
        # The same object code cannot behave otherwise: nothing to test.
        if self.tool_code() == self.tree_code:
            return "same code"
        return "survived" if self.tests_pass() else "killed"

    def tests_pass(self):
        # The unit tests first, as they are the quickest to fail; then every
        # other test, one after another, stopping at the first failure.  The
        # web player's tests are left out: they test the page, and the
        # tracks they play are those the golden cases pin byte for byte.
        unit = os.path.join(self.build, "tests", "hreftrack_tests")
        if run([unit, "--gtest_brief=1", "--gtest_fail_fast"], timeout=self.timeout,
               ).returncode != 0:
            return False
        return run(["ctest", "--test-dir", self.build, "--stop-on-failure", "--timeout",
                    str(self.timeout), "-LE", "unit|player"], timeout=self.timeout * 10,
                   ).returncode == 0


def run(command, check=False, timeout=None):
    try:
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, timeout=timeout, start_new_session=True)
    except subprocess.TimeoutExpired:
        # A hang: the test did not pass.
        return subprocess.CompletedProcess(command, 124, b"")
    if check and result.returncode != 0:
        sys.stdout.write(result.stdout.decode(errors="replace"))
        raise SystemExit(2)
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sample", type=int, default=0, help="run this many mutants, not all")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample")
    parser.add_argument("--sanitize", action="store_true", help="build with ASan and UBSan")
    parser.add_argument("--jobs", type=int, default=2, help="mutants built and tested at once")
    parser.add_argument("--timeout", type=int, default=30, help="seconds a test may take")
    parser.add_argument("--work", default=os.path.join(ROOT, "build-mutate"),
                        help="where the copies of the tree and their builds go")
    parser.add_argument("--equivalent", default=DEFAULT_LIST, help="the list of equivalents")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("files", nargs="*", help="files of src/ to mutate (default: all)")
    args = parser.parse_args()

    paths = args.files or sorted(os.path.join("src", name)
                                 for name in os.listdir(os.path.join(ROOT, "src"))
                                 if name.endswith((".cc", ".h")))
    paths = [os.path.relpath(os.path.realpath(p), ROOT) if os.path.exists(p) else p
             for p in paths]
    mutants = find_mutants(paths)
    listed = read_equivalent_list(args.equivalent)
    if args.list:
        for mutant in mutants:
            mark = "  (equivalent)" if mutant.ident in listed else ""
            print(mutant.describe() + mark)
        print(f"{len(mutants)} mutants")
        return 0
    if args.sample:
        chosen = set(id(m) for m in random.Random(args.seed).sample(
            mutants, min(args.sample, len(mutants))))
        mutants = [m for m in mutants if id(m) in chosen]

    started = time.monotonic()
    os.makedirs(args.work, exist_ok=True)
    workers = [Worker(args.work, n, args.sanitize, args.timeout) for n in range(args.jobs)]
    with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(Worker.set_up, workers))
    # The tree as it stands must pass, or no verdict means anything.
    if not workers[0].tests_pass():
        print("the tests fail on the unmutated tree: fix that first")
        return 2

    # Mutants of one file stay together, so a worker seldom rebuilds a
    # restored file; the workers take them from one queue.
    lock = threading.Lock()
    queue = list(mutants)
    verdicts = {}

    def work(worker):
        while True:
            with lock:
                if not queue:
                    break
                mutant = queue.pop(0)
            verdict = worker.verdict(mutant)
            with lock:
                verdicts[mutant.ident] = verdict
                done = len(verdicts)
                if verdict == "survived" and mutant.ident not in listed:
                    print(f"survived: {mutant.describe()}", flush=True)
                elif verdict == "killed" and mutant.ident in listed:
                    print(f"listed as equivalent, yet killed: {mutant.describe()}", flush=True)
                if done % 50 == 0:
                    print(f"... {done} of {len(mutants)} in {time.monotonic() - started:.0f} s",
                          flush=True)
        worker.restore()

    with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(work, workers))

    counts = {v: sum(1 for x in verdicts.values() if x == v)
              for v in ("killed", "survived", "same code", "did not compile")}
    unlisted = [m for m in mutants if verdicts[m.ident] == "survived" and m.ident not in listed]
    if not args.sample:
        known = set(m.ident for m in find_mutants(paths))
        for ident, entry in listed.items():
            if ident not in known:
                print(f"stale entry, no such mutant any more: {entry}")
    survived = counts["survived"] + counts["same code"]
    print(f"of {survived} survivors, {counts['same code']} compile to the tree's own code, "
          f"{counts['survived'] - len(unlisted)} are listed as equivalent and {len(unlisted)} "
          f"are not; {time.monotonic() - started:.0f} s")
    print(f"{len(mutants)} mutants, {counts['killed']} killed, {survived} survived, "
          f"{counts['did not compile']} did not compile")
    return 1 if unlisted else 0


if __name__ == "__main__":
    sys.exit(main())
