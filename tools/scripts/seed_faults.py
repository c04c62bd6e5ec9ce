#!/usr/bin/env python3
"""The fault seeder behind seed-faults.sh (see there for its use).

The fault list holds one block per fault:

    === name | path/from/the/root.cpp | what the slip does
    <<<
    the exact text to replace (one or more lines; it occurs once in the file)
    ---
    the text put in its place
    >>>

Lines outside blocks that start with '#' and empty lines are ignored. The
texts are taken verbatim, so C++ needs no quoting.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class Fault:
    def __init__(self, number, name, path, description, find, replace):
        self.number, self.name, self.path = number, name, path
        self.description, self.find, self.replace = description, find, replace

    def problem(self):
        """Why the fault cannot be applied, or None."""
        full = os.path.join(ROOT, self.path)
        if not os.path.isfile(full):
            return "no such file"
        with open(full, "rb") as f:
            count = f.read().decode("utf-8").count(self.find)
        if count != 1:
            return "snippet found %d times" % count
        if self.find == self.replace:
            return "replacement changes nothing"
        return None


def parse(list_path):
    faults, header, part, lines = [], None, None, {}
    with open(list_path, encoding="utf-8") as f:
        for number, raw in enumerate(f.read().split("\n"), 1):
            if header is None:
                if raw.startswith("=== "):
                    fields = [x.strip() for x in raw[4:].split("|", 2)]
                    if len(fields) != 3 or not all(fields):
                        sys.exit("%s:%d: want '=== name | file | description'" % (list_path, number))
                    header, part, lines = fields, None, {"find": [], "replace": []}
                elif raw.strip() and not raw.startswith("#"):
                    sys.exit("%s:%d: text outside a fault block" % (list_path, number))
            elif raw == "<<<" and part is None:
                part = "find"
            elif raw == "---" and part == "find":
                part = "replace"
            elif raw == ">>>" and part == "replace":
                faults.append(Fault(len(faults) + 1, header[0], header[1], header[2],
                                    "\n".join(lines["find"]), "\n".join(lines["replace"])))
                header = None
            elif part in ("find", "replace"):
                lines[part].append(raw)
            else:
                sys.exit("%s:%d: want '<<<' after the fault's header" % (list_path, number))
    if header is not None:
        sys.exit("%s: the last fault block is not closed by '>>>'" % list_path)
    names = [f.name for f in faults]
    for name in names:
        if names.count(name) > 1:
            sys.exit("%s: fault name %s used twice" % (list_path, name))
    return faults


def select(faults, only):
    if not only:
        return faults
    chosen = []
    for item in only.split(","):
        item = item.strip()
        if re.fullmatch(r"\d+", item):
            chosen += [f for f in faults if f.number == int(item)]
        elif re.fullmatch(r"\d+-\d+", item):
            lo, hi = map(int, item.split("-"))
            chosen += [f for f in faults if lo <= f.number <= hi]
        else:
            chosen += [f for f in faults if item in f.name]
    seen, result = set(), []
    for f in chosen:
        if f.number not in seen:
            seen.add(f.number)
            result.append(f)
    return sorted(result, key=lambda f: f.number)


class Restorer:
    """Keeps the pristine bytes of the file under a fault, on disk too, and
    puts them back on every way out (also on a signal or a crash: the next
    run restores a file left behind)."""

    def __init__(self, state_dir):
        self.state_dir = state_dir
        self.saved = os.path.join(state_dir, "pristine")
        self.saved_path = os.path.join(state_dir, "pristine.path")
        os.makedirs(state_dir, exist_ok=True)
        self.restore()

    def save(self, path):
        with open(path, "rb") as f:
            data = f.read()
        with open(self.saved, "wb") as f:
            f.write(data)
        with open(self.saved_path, "w") as f:
            f.write(path)

    def restore(self):
        if not os.path.exists(self.saved_path):
            return
        with open(self.saved_path) as f:
            path = f.read()
        with open(self.saved, "rb") as f:
            data = f.read()
        # A fresh time stamp: the faulty object file must be rebuilt.
        with open(path, "wb") as f:
            f.write(data)
        os.remove(self.saved_path)
        os.remove(self.saved)


def run(command, log, timeout=None, cwd=None):
    with open(log, "a") as out:
        out.write("\n$ %s\n" % " ".join(command))
        out.flush()
        try:
            return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, cwd=cwd,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write("\n(timed out after %d s)\n" % timeout)
            return 124


def failed_tests(log_text):
    """The ctest tests and GoogleTest cases that failed, from ctest's output."""
    tests = re.findall(r"^\s*\d+ - (\S+) \(", log_text, re.M)
    cases = re.findall(r"^\[  FAILED  \] ([A-Za-z_]\w*\.[\w/]+)", log_text, re.M)
    cases = list(dict.fromkeys(cases))
    return tests, cases


def try_fault(fault, args, restorer, log_dir):
    log = os.path.join(log_dir, "%02d-%s.log" % (fault.number, fault.name))
    open(log, "w").close()
    full = os.path.join(ROOT, fault.path)
    problem = fault.problem()
    if problem:
        return "INVALID: " + problem, log
    restorer.save(full)
    try:
        with open(full, "rb") as f:
            text = f.read().decode("utf-8")
        with open(full, "wb") as f:
            f.write(text.replace(fault.find, fault.replace).encode("utf-8"))
        if run(["cmake", "--build", args.build, "-j%d" % args.jobs], log) != 0:
            return "does not build", log
        ctest = ["ctest", "--output-on-failure", "--timeout", str(args.timeout)]
        if run(ctest + ["-R", "^unit$"], log, cwd=args.build) != 0:
            with open(log, errors="replace") as f:
                _, cases = failed_tests(f.read())
            shown = ", ".join(cases[:3]) + (" +%d" % (len(cases) - 3) if len(cases) > 3 else "")
            return "unit" + (" (%s)" % shown if shown else ""), log
        if args.unit_only:
            return "NOT CAUGHT by unit", log
        mark = os.path.getsize(log)
        rest = "^unit$" + ("|" + args.exclude if args.exclude else "")
        if run(ctest + ["-E", rest, "--stop-on-failure"], log, cwd=args.build) != 0:
            with open(log, errors="replace") as f:
                f.seek(mark)
                tests, _ = failed_tests(f.read())
            return (tests[0] if tests else "ctest (see log)"), log
        return "NOT CAUGHT", log
    finally:
        restorer.restore()


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="the 64-bit build folder")
    parser.add_argument("--faults", default=os.path.join(ROOT, "tools/scripts/faults.txt"))
    parser.add_argument("--only", help="numbers (3,7 or 3-7) or parts of names, comma-separated")
    parser.add_argument("--list", action="store_true", help="list the faults and check them")
    parser.add_argument("--unit-only", action="store_true", help="run the unit test only")
    parser.add_argument("--jobs", type=int, default=2)
    # The package test checks the zips, which the seeder does not remake.
    parser.add_argument("--exclude", default="^e2e.test_package$",
                        help="ctest tests left out (regular expression; '' for none)")
    parser.add_argument("--timeout", type=int, default=300, help="per ctest test, seconds")
    args = parser.parse_args()

    faults = select(parse(args.faults), args.only)
    if args.list:
        bad = 0
        for f in faults:
            problem = f.problem()
            bad += problem is not None
            print("%3d  %-28s %-44s %s%s" % (f.number, f.name, f.path, f.description,
                                             "  [%s]" % problem if problem else ""))
        print("%d faults, %d with a snippet that does not apply" % (len(faults), bad))
        return 1 if bad else 0

    state_dir = os.path.join(args.build, "seed-faults")
    restorer = Restorer(state_dir)
    log_dir = os.path.join(state_dir, "logs")
    os.makedirs(log_dir, exist_ok=True)

    def on_signal(signum, _frame):
        raise KeyboardInterrupt("signal %d" % signum)
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGHUP, on_signal)

    results = []
    started = time.time()
    try:
        for f in faults:
            t0 = time.time()
            print("[%d/%d] %02d %s (%s) ..." % (len(results) + 1, len(faults), f.number, f.name,
                                              f.path), flush=True)
            verdict, log = try_fault(f, args, restorer, log_dir)
            results.append((f, verdict, time.time() - t0))
            print("      -> %s  [%.0f s, log %s]" % (verdict, time.time() - t0, log), flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted: the file under the fault is restored", flush=True)
    finally:
        restorer.restore()
    # The build is left as the pristine source makes it.
    with open(os.path.join(state_dir, "rebuild.log"), "w") as out:
        subprocess.run(["cmake", "--build", args.build, "-j%d" % args.jobs], stdout=out,
                       stderr=subprocess.STDOUT)

    lines = ["", "%-3s %-28s %-40s %s" % ("#", "fault", "file", "caught by"),
             "-" * 110]
    for f, verdict, seconds in results:
        lines.append("%-3d %-28s %-40s %s" % (f.number, f.name, f.path, verdict))
    missed = [(f, v) for f, v, _ in results if v.startswith("NOT CAUGHT")]
    broken = [(f, v) for f, v, _ in results if v == "does not build" or v.startswith("INVALID")]
    lines.append("")
    lines.append("%d faults tried in %.0f s: %d caught, %d not caught, %d not valid faults"
                 % (len(results), time.time() - started,
                    len(results) - len(missed) - len(broken), len(missed), len(broken)))
    for f, v in missed:
        lines.append("NOT CAUGHT  %2d %s: %s (%s)" % (f.number, f.name, f.description, f.path))
    for f, v in broken:
        lines.append("FIX THE LIST %2d %s: %s" % (f.number, f.name, v))
    text = "\n".join(lines)
    print(text)
    with open(os.path.join(state_dir, "results.txt"), "w") as out:
        out.write(text + "\n")
    return 1 if missed or broken else 0


if __name__ == "__main__":
    sys.exit(main())
