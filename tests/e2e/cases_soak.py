"""A compressed week in the tray: browser windows opened (48), maximized
and closed, the hotkey pressed, the dialogs and the about box opened and closed,
update checks made, over and over, while Pellorin's use of the machine is
measured. It must stay flat between the end of the first quarter and the end.

Wine reports no GDI objects, USER objects or handles for a process (each reads
0), so what is measured is what can be: the private memory Linux gives the
process (its private dirty pages), its windows (top-level and child, counted
from outside), its open files (the file descriptors of the process, where
Wine keeps the files its handles stand for) and its threads.
"""

import os
import time

import cases
import cases_about
import cases_dialogs
import harness
from cases import IE, TITLE, VK_CONTROL, VK_MENU, VK_Q

ROUNDS = 24
GROWTH_LIMITS = {"private_kb": 1024, "windows": 20, "files": 20, "threads": 20}


def usage(c):
    """What the running Pellorin uses now."""
    pid = c.pellorin.pid
    private = 0
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            if line.startswith("Private_Dirty:"):
                private = int(line.split()[1])
    with open("/proc/%d/status" % pid) as f:
        threads = int(next(line for line in f if line.startswith("Threads:")).split()[1])
    _, r = c.probe("usage", TITLE)
    reported = {k: int(r.get(k, ["0"])[0]) for k in ("private", "gdi", "user", "handles")}
    return {"private_kb": private, "windows": int(r.get("windows", ["0"])[0]),
            "files": len(os.listdir("/proc/%d/fd" % pid)), "threads": threads, "wine_reports": reported}


def one_round(c, number):
    # Two browser windows a round: one opens minimized, out of the watcher's
    # way (a window it maximizes comes to the front), the other takes the focus.
    behind, page = "Behind %d%s" % (number, IE), "Round %d%s" % (number, IE)
    c.testwin({"title": behind, "minimized": True}, page)
    w = c.wait_window_state(page, lambda w: w["zoomed"] == 1)
    c.check(w and w["zoomed"] == 1, "round %d: the new browser window is maximized" % number, "zoomed=1", w)
    for press, kind in (("hides", "HIDE"), ("shows", "SHOW")):
        before = {t: len(cases.events(c, kind, t)) for t in (behind, page)}
        c.probe("foreground", TITLE)
        c.keys(500, VK_CONTROL, VK_MENU, VK_Q)
        c.check(c.wait_for(lambda: all(len(cases.events(c, kind, t)) > before[t] for t in before), 3),
                "round %d: the hotkey %s both windows" % (number, press))
        # The next press is a new one only once the poll has seen the keys let go.
        time.sleep(0.4)
    for t in (behind, page):
        c.probe("close", t)
    c.check(c.probe("gone", page, 10000)[0] == 0 and c.probe("gone", behind, 10000)[0] == 0,
            "round %d: the browser windows close" % number)

    cases_dialogs.open_setup(c)
    c.probe("click", cases_dialogs.SETUP, cases_dialogs.CANCEL)
    c.check(c.probe("gone", cases_dialogs.SETUP, 5000)[0] == 0, "round %d: Cancel closes the dialog" % number)
    cases_about.open_about(c)
    if number % 4 == 0:
        cases_about.open_update(c)
        c.check(c.wait_for(lambda: cases_about.status(c) == cases_about.LATEST, 15),
                "round %d: the update check gives its verdict" % number)
        c.probe("click", cases_about.UPDATE, cases_about.UPDATE_CLOSE)
        c.probe("gone", cases_about.UPDATE, 5000)
    c.probe("click", cases_about.ABOUT, cases_about.CLOSE)
    c.check(c.probe("gone", cases_about.ABOUT, 5000)[0] == 0, "round %d: Close closes the about box" % number)


def t_soak(c):
    body = b"<html><head><title>2.2</title></head><body>Pellorin 2.2</body></html>"
    server = cases_about.Server(lambda h: cases_about.page(h, body))
    try:
        c.write("setup.cfg", b'"Explorer"\r\n"hide"\r\n')
        cases_about.with_documents(c)
        c.start_and_wait()
        t0 = time.time()
        first_quarter = None
        for number in range(1, ROUNDS + 1):
            one_round(c, number)
            if number == ROUNDS // 4:
                first_quarter = usage(c)
                harness.log("  SOAK: after round %d (%.0f s): %s" % (number, time.time() - t0, first_quarter))
            if c.failures:
                break
        end = usage(c)
        harness.log("  SOAK: after round %d (%.0f s): %s" % (number, time.time() - t0, end))
        c.require(first_quarter is not None, "the first quarter was measured")
        for what, limit in GROWTH_LIMITS.items():
            grown = end[what] - first_quarter[what]
            c.check(grown <= limit, "%s grows by %d at most from the first quarter to the end" % (what, limit),
                    "<= %d" % limit, "%d (%d -> %d)" % (grown, first_quarter[what], end[what]))
        c.check(server.requests, "update checks reached the server", "requests", server.requests)
    finally:
        server.close()
    c.exit_by_button()


TESTS = {"soak": t_soak}
LIMITS = {"soak": 420}
# Measured once per run, on the first build the tests run.
ONE_WIDTH = {"soak"}
