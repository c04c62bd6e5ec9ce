#!/usr/bin/env python3
"""The fault seeder behind seed-faults.sh (see there for its use; the list's
format is described at the top of tools/scripts/faults.txt)."""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class Fault:
    def __init__(self, number, header):
        fields = [x.strip() for x in header.split("|", 2)]
        if len(fields) != 3 or not all(fields):
            sys.exit("want '=== name | file | description': " + header)
        self.number, (self.name, self.path, self.description) = number, fields
        self.find, self.replace = [], []

    def problem(self):
        """Why the fault cannot be applied, or None."""
        full = os.path.join(ROOT, self.path)
        if not os.path.isfile(full):
            return "no such file"
        with open(full, encoding="utf-8", newline="") as f:
            count = f.read().count("\n".join(self.find))
        if count != 1:
            return "snippet found %d times" % count
        return "replacement changes nothing" if self.find == self.replace else None


def parse(list_path):
    faults = []
    with open(list_path, encoding="utf-8") as f:
        for number, line in enumerate(f.read().splitlines(), 1):
            if line.startswith("=== "):
                faults.append(Fault(len(faults) + 1, line[4:]))
            elif line[:1] in "-+" and line[1:2] in ("", " ") and faults:
                (faults[-1].find if line[0] == "-" else faults[-1].replace).append(line[2:])
            elif line.strip() and not line.startswith("#"):
                sys.exit("%s:%d: not a fault line" % (list_path, number))
    names = [f.name for f in faults]
    if len(set(names)) != len(names):
        sys.exit("%s: a fault name is used twice" % list_path)
    return faults


def select(faults, only):
    """Faults by number (3), range (3-7) or part of the name, comma-separated."""
    if not only:
        return faults
    def chosen(f):
        for item in only.split(","):
            lo, _, hi = item.strip().partition("-")
            if re.fullmatch(r"\d+(-\d+)?", item.strip()):
                if int(lo) <= f.number <= int(hi or lo):
                    return True
            elif item.strip() in f.name:
                return True
        return False
    return [f for f in faults if chosen(f)]


def restore(saved):
    """Puts back the pristine file kept on disk (also one a killed run left)."""
    if os.path.exists(saved):
        with open(saved, "rb") as f:
            path, _, data = f.read().partition(b"\0")
        with open(path, "wb") as f:  # a fresh time stamp: rebuilt
            f.write(data)
        os.remove(saved)


def run(command, log, cwd=None):
    with open(log, "a") as out:
        out.write("\n$ %s\n" % " ".join(command))
        out.flush()
        return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, cwd=cwd).returncode


def first_failures(log, mark=0):
    with open(log, errors="replace") as f:
        f.seek(mark)
        text = f.read()
    tests = re.findall(r"^\s*\d+ - (\S+) \(", text, re.M)
    cases = list(dict.fromkeys(re.findall(r"^\[  FAILED  \] (\w+\.[\w/]+)", text, re.M)))
    return tests, cases


def try_fault(fault, args, saved, log):
    problem = fault.problem()
    if problem:
        return "INVALID: " + problem
    full = os.path.join(ROOT, fault.path)
    with open(full, encoding="utf-8", newline="") as f:
        text = f.read()
    with open(saved, "wb") as out:
        out.write(full.encode() + b"\0" + text.encode("utf-8"))
    try:
        with open(full, "w", encoding="utf-8", newline="") as f:
            f.write(text.replace("\n".join(fault.find), "\n".join(fault.replace)))
        if run(["cmake", "--build", args.build, "-j2"], log) != 0:
            return "does not build"
        ctest = ["ctest", "--output-on-failure", "--timeout", "300"]
        if run(ctest + ["-R", "^unit$"], log, cwd=args.build) != 0:
            cases = first_failures(log)[1]
            return "unit (%s)" % ", ".join(cases[:3]) if cases else "unit"
        if args.unit_only:
            return "NOT CAUGHT by unit"
        mark = os.path.getsize(log)
        rest = "^unit$" + ("|" + args.exclude if args.exclude else "")
        if run(ctest + ["-E", rest, "--stop-on-failure"], log, cwd=args.build) != 0:
            tests = first_failures(log, mark)[0]
            return tests[0] if tests else "ctest (see log)"
        return "NOT CAUGHT"
    finally:
        restore(saved)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="the 64-bit build folder")
    parser.add_argument("--faults", default=os.path.join(ROOT, "tools/scripts/faults.txt"))
    parser.add_argument("--only", help="numbers (3,7 or 3-7) or parts of names, comma-separated")
    parser.add_argument("--list", action="store_true", help="list the faults and check them")
    parser.add_argument("--unit-only", action="store_true", help="run the unit test only")
    # The package test checks the zips, which the seeder does not remake.
    parser.add_argument("--exclude", default="^e2e.test_package$", help="ctest tests left out")
    args = parser.parse_args()
    faults = select(parse(args.faults), args.only)
    if args.list:
        problems = [(f, f.problem()) for f in faults]
        for f, problem in problems:
            print("%3d  %-28s %-44s %s%s" % (f.number, f.name, f.path, f.description,
                                             "  [%s]" % problem if problem else ""))
        bad = sum(1 for _, p in problems if p)
        print("%d faults, %d with a snippet that does not apply" % (len(faults), bad))
        return 1 if bad else 0

    state_dir = os.path.join(args.build, "seed-faults")
    os.makedirs(os.path.join(state_dir, "logs"), exist_ok=True)
    saved = os.path.join(state_dir, "pristine")
    restore(saved)
    signal.signal(signal.SIGTERM, lambda n, _: sys.exit("signal %d" % n))
    results, started = [], time.time()
    try:
        for f in faults:
            t0 = time.time()
            log = os.path.join(state_dir, "logs", "%02d-%s.log" % (f.number, f.name))
            open(log, "w").close()
            print("[%d/%d] %02d %s ..." % (len(results) + 1, len(faults), f.number, f.name), flush=True)
            results.append((f, try_fault(f, args, saved, log)))
            print("      -> %s  [%.0f s]" % (results[-1][1], time.time() - t0), flush=True)
    except (KeyboardInterrupt, SystemExit):
        print("\ninterrupted: the file under the fault is restored", flush=True)
    finally:
        restore(saved)
        subprocess.run(["cmake", "--build", args.build, "-j2"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)  # the build as the pristine source makes it

    missed = [(f, v) for f, v in results if v.startswith("NOT CAUGHT")]
    broken = [(f, v) for f, v in results if v == "does not build" or v.startswith("INVALID")]
    lines = ["", "%-3s %-28s %-40s %s" % ("#", "fault", "file", "caught by"), "-" * 110]
    lines += ["%-3d %-28s %-40s %s" % (f.number, f.name, f.path, v) for f, v in results]
    lines.append("\n%d faults tried in %.0f s: %d caught, %d not caught, %d not valid faults" % (
        len(results), time.time() - started, len(results) - len(missed) - len(broken),
        len(missed), len(broken)))
    lines += ["NOT CAUGHT  %2d %s: %s (%s)" % (f.number, f.name, f.description, f.path)
              for f, _ in missed]
    lines += ["FIX THE LIST %2d %s: %s" % (f.number, f.name, v) for f, v in broken]
    print("\n".join(lines))
    with open(os.path.join(state_dir, "results.txt"), "w") as out:
        out.write("\n".join(lines) + "\n")
    return 1 if missed or broken else 0


if __name__ == "__main__":
    sys.exit(main())
