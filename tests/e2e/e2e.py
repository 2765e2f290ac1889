#!/usr/bin/env python3
"""Command line of the end-to-end tests (CTest calls this; so can you).

  e2e.py --state FILE --tools DIR [--bits 64] setup
                                              X server + Wine prefix for a run
  e2e.py --state FILE --exe Pellorin.exe run NAME...   one or more tests
  e2e.py --state FILE cleanup                 stop wineserver and X, delete
  e2e.py list [--limits]                      names of the tests [with their time limits, and
                                              ":once" for those run on one build only]
  e2e.py update-url                           the version page the tested build must load
  e2e.py --state FILE --exe Pellorin.exe pictures DIR   the README's pictures into DIR

Each module of tests (cases*.py) has a TESTS table, name to function, and may
give LIMITS, name to seconds, and ONE_WIDTH, the tests that run on the first
build of a run only; CTest takes the list from here.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
import cases  # noqa: E402
import cases_dialogs  # noqa: E402
import cases_about  # noqa: E402
import cases_scripts  # noqa: E402
import cases_launcher  # noqa: E402
import cases_keyboard  # noqa: E402
import cases_pictures  # noqa: E402
import cases_windows  # noqa: E402
import cases_soak  # noqa: E402
import cases_unicode  # noqa: E402
import cases_access  # noqa: E402

MODULES = [cases, cases_dialogs, cases_about, cases_scripts, cases_launcher, cases_keyboard, cases_pictures,
           cases_unicode, cases_windows, cases_soak, cases_access]
TESTS = {}
LIMITS = {}
ONE_WIDTH = set()  # run on the first build of a run only
for module in MODULES:
    TESTS.update(module.TESTS)
    for name in module.TESTS:
        LIMITS[name] = getattr(module, "LIMITS", {}).get(name, cases.DEFAULT_LIMIT)
    ONE_WIDTH |= getattr(module, "ONE_WIDTH", set())


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--state", default=os.path.join(os.getcwd(), "e2e-state", "state.json"))
    ap.add_argument("--tools", default=None)
    ap.add_argument("--exe", default=None)
    ap.add_argument("--bits", type=int, choices=[32, 64], default=32,
                    help="the tools' and the program's build: 64 runs them under Wine's 64-bit loader")
    ap.add_argument("command", choices=["setup", "cleanup", "run", "list", "update-url", "update-time-limit", "pictures"])
    ap.add_argument("--limits", action="store_true", help="list: name:seconds")
    ap.add_argument("names", nargs="*")
    a = ap.parse_args()

    if a.command == "update-url":
        print(cases_about.UPDATE_URL)
        return 0
    if a.command == "update-time-limit":
        print(cases_about.UPDATE_TIME_LIMIT * 1000)
        return 0
    if a.command == "list":
        print("\n".join("%s:%d%s" % (n, LIMITS[n], ":once" if n in ONE_WIDTH else "") if a.limits else n
                        for n in TESTS))
        return 0
    if a.command == "setup":
        if not a.tools:
            ap.error("setup needs --tools")
        if os.path.exists(a.state):
            # A previous run that never reached cleanup: don't leak its X server.
            harness.cleanup(a.state)
        return harness.setup(a.state, a.tools, a.bits)
    if a.command == "cleanup":
        return harness.cleanup(a.state)

    if not a.exe:
        ap.error("run needs --exe")
    if not os.path.exists(a.state):
        print("no Wine prefix: run the setup step first (%s missing)" % a.state)
        return 1
    env = harness.Env.load(a.state)
    if a.command == "pictures":
        if len(a.names) != 1:
            ap.error("pictures needs the folder to put them in")
        return cases_pictures.save_pictures(env, a.exe, os.path.abspath(a.names[0]))
    failed = 0
    for name in a.names or TESTS:
        if name not in TESTS:
            print("unknown test %r; known: %s" % (name, ", ".join(TESTS)))
            return 2
        failed += 0 if cases.run_one(env, a.exe, name, TESTS[name]) else 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
