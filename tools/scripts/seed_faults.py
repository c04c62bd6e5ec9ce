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


def parse(list_path):
    """The faults as dicts: number, name, path, what, find and replace texts."""
    faults = []
    with open(list_path, encoding="utf-8") as f:
        for number, line in enumerate(f.read().splitlines(), 1):
            fields = [x.strip() for x in line[4:].split("|", 2)]
            if line.startswith("=== ") and len(fields) == 3 and all(fields):
                faults.append(dict(zip(("name", "path", "what"), fields), number=len(faults) + 1,
                                   find=[], replace=[]))
            elif line[:1] in "-+" and line[1:2] in ("", " ") and faults:
                faults[-1]["find" if line[0] == "-" else "replace"].append(line[2:])
            elif line.strip() and not line.startswith("#"):
                sys.exit("%s:%d: not a fault line" % (list_path, number))
    if len({f["name"] for f in faults}) != len(faults):
        sys.exit("%s: a fault name is used twice" % list_path)
    return faults


def chosen(fault, only):
    """Whether --only (numbers 3, ranges 3-7, parts of names; comma-separated) takes the fault."""
    for item in (only or "").split(","):
        lo, _, hi = item.strip().partition("-")
        number = re.fullmatch(r"\d+(-\d+)?", item.strip())
        if number and int(lo) <= fault["number"] <= int(hi or lo) or not number and item.strip() in fault["name"]:
            return True
    return not only


def problem(fault):
    """Why the fault cannot be applied, or None."""
    full = os.path.join(ROOT, fault["path"])
    if not os.path.isfile(full):
        return "no such file"
    with open(full, encoding="utf-8", newline="") as f:
        count = f.read().count("\n".join(fault["find"]))
    if count != 1:
        return "snippet found %d times" % count
    return "replacement changes nothing" if fault["find"] == fault["replace"] else None


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


def try_fault(fault, args, saved, log):
    """Which test caught the fault, or why it could not be tried."""
    if problem(fault):
        return "INVALID: " + problem(fault)
    full = os.path.join(ROOT, fault["path"])
    with open(full, encoding="utf-8", newline="") as f:
        text = f.read()
    with open(saved, "wb") as out:
        out.write(full.encode() + b"\0" + text.encode("utf-8"))
    try:
        with open(full, "w", encoding="utf-8", newline="") as f:
            f.write(text.replace("\n".join(fault["find"]), "\n".join(fault["replace"])))
        if run(["cmake", "--build", args.build, "-j2"], log) != 0:
            return "does not build"
        ctest = ["ctest", "--output-on-failure", "--timeout", "300"]
        if run(ctest + ["-R", "^unit$"], log, cwd=args.build) != 0:
            with open(log, errors="replace") as f:
                cases = list(dict.fromkeys(re.findall(r"^\[  FAILED  \] (\w+\.\w+)", f.read(), re.M)))
            return "unit (%s)" % ", ".join(cases[:3]) if cases else "unit"
        if args.unit_only:
            return "NOT CAUGHT by unit"
        mark = os.path.getsize(log)
        rest = "^unit$" + ("|" + args.exclude if args.exclude else "")
        if run(ctest + ["-E", rest, "--stop-on-failure"], log, cwd=args.build) != 0:
            with open(log, errors="replace") as f:
                f.seek(mark)
                tests = re.findall(r"^\s*\d+ - (\S+) \(", f.read(), re.M)
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
    faults = [f for f in parse(args.faults) if chosen(f, args.only)]
    if args.list:
        for f in faults:
            print("%3d  %-28s %-44s %s  %s" % (f["number"], f["name"], f["path"], f["what"],
                                               problem(f) or ""))
        bad = sum(1 for f in faults if problem(f))
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
            log = os.path.join(state_dir, "logs", "%02d-%s.log" % (f["number"], f["name"]))
            open(log, "w").close()
            print("[%d/%d] %02d %s ..." % (len(results) + 1, len(faults), f["number"], f["name"]), flush=True)
            results.append((f, try_fault(f, args, saved, log)))
            print("      -> %s  [%.0f s]" % (results[-1][1], time.time() - t0), flush=True)
    except (KeyboardInterrupt, SystemExit):
        print("\ninterrupted: the file under the fault is restored", flush=True)
    finally:
        restore(saved)
        subprocess.run(["cmake", "--build", args.build, "-j2"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)  # the build as the pristine source makes it

    missed = [f for f, v in results if v.startswith("NOT CAUGHT")]
    broken = [(f, v) for f, v in results if v == "does not build" or v.startswith("INVALID")]
    lines = ["", "%-3s %-28s %-40s %s" % ("#", "fault", "file", "caught by"), "-" * 110]
    lines += ["%-3d %-28s %-40s %s" % (f["number"], f["name"], f["path"], v) for f, v in results]
    lines.append("\n%d faults tried in %.0f s: %d caught, %d not caught, %d not valid faults" % (
        len(results), time.time() - started, len(results) - len(missed) - len(broken),
        len(missed), len(broken)))
    lines += ["NOT CAUGHT  %2d %s: %s (%s)" % (f["number"], f["name"], f["what"], f["path"]) for f in missed]
    lines += ["FIX THE LIST %2d %s: %s" % (f["number"], f["name"], v) for f, v in broken]
    print("\n".join(lines))
    with open(os.path.join(state_dir, "results.txt"), "w") as out:
        out.write("\n".join(lines) + "\n")
    return 1 if missed or broken else 0


if __name__ == "__main__":
    sys.exit(main())
