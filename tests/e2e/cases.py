"""The end-to-end tests: Pellorin.exe as a user (and the other windows on the
desktop) sees it. Each test gets a fresh program folder; checks are collected
so one run reports every difference, each with what was expected and what came.
"""

import os
import shutil
import stat
import subprocess
import time
import traceback

import harness

TITLE = "Pellorin"
SIX = ["setup.cfg", "startup.cfg", "popup.cfg", "fullscreen.cfg", "stats.cfg", "hotkey.cfg"]
IE = " - Windows Internet Explorer"
ERROR_TEXT = b"Error, couldn\xb4t write to file setup.cfg, it might be write protected!"

# Control ids of the main window.
TEXT1, CMD_AUTO, TEXT2, TEXT3, CMD_CLEAR = 101, 102, 106, 107, 108
LIST1, CMD_REFRESH, OPTION1, OPTION2, LIST2 = 110, 112, 115, 116, 117
LBL_HOTKEY, CMD_EXIT = 118, 119

VK_CONTROL = 17
WATCH_WAIT = 10.0  # the watcher looks every 1.5 s; Wine can be slow to start windows


class Failed(Exception):
    pass


class Case:
    counter = 0

    def __init__(self, env, exe, name):
        self.env = env
        self.exe = exe
        self.name = name
        self.failures = []
        self.procs = []
        Case.counter += 1
        self.dir = os.path.join(env.root, "t-%s-%d-%d" % (name, os.getpid(), Case.counter))
        os.mkdir(self.dir)
        os.chmod(self.dir, 0o755)
        harness.give_to(self.dir, env.uid, env.gid)
        self.log_file = os.path.join(self.dir, "testwin.log")
        self.pellorin = None

    # ---- checks ------------------------------------------------------------

    def check(self, ok, what, expected=None, got=None):
        if ok:
            harness.log("  ok    %s" % what)
        else:
            msg = "  FAIL  %s" % what
            if expected is not None or got is not None:
                msg += "\n          expected: %r\n          got:      %r" % (expected, got)
            harness.log(msg)
            self.failures.append(what)
        return ok

    def equal(self, what, expected, got):
        return self.check(expected == got, what, expected, got)

    def require(self, ok, what, expected=None, got=None):
        if not self.check(ok, what, expected, got):
            raise Failed(what)

    # ---- files in the program folder ---------------------------------------

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        p = self.path(name)
        with open(p, "wb") as f:
            f.write(data)
        harness.give_to(p, self.env.uid, self.env.gid)

    def read(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read()
        except OSError as e:
            return "<%s>" % e.strerror

    def set_read_only(self, name, ro=True):
        # Wine maps the owner's write bit to the read-only attribute.
        mode = os.stat(self.path(name)).st_mode
        mode = mode & ~0o222 if ro else mode | stat.S_IWUSR
        os.chmod(self.path(name), mode)

    def is_read_only(self, name):
        return not (os.stat(self.path(name)).st_mode & stat.S_IWUSR)

    def files(self):
        return sorted(f for f in os.listdir(self.dir) if f not in ("Pellorin.exe", "testwin.log"))

    # ---- processes ---------------------------------------------------------

    def tool(self, name):
        return os.path.join(self.env.tools, name)

    def probe(self, *args, timeout=30):
        """Runs probe.exe once; returns (exit code, {key: [values]})."""
        argv = ["wine", self.tool("probe.exe")] + [str(a) for a in args]
        rc, out, err = self.env.run(argv, cwd=self.dir, timeout=timeout)
        res = {}
        for line in out.decode("latin-1").splitlines():
            line = line.strip()
            if "=" in line:
                k, v = line.split("=", 1)
                res.setdefault(k, []).append(v)
        return rc, res

    def start_pellorin(self):
        if not os.path.exists(self.exe):
            raise Failed("no program to test: %s does not exist (build it first)" % self.exe)
        dst = self.path("Pellorin.exe")
        if not os.path.exists(dst):
            shutil.copy(self.exe, dst)
            harness.give_to(dst, self.env.uid, self.env.gid)
        self.pellorin = self.env.popen(["wine", dst], cwd=self.env.home,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(self.pellorin)
        return self.pellorin

    def start_and_wait(self):
        self.start_pellorin()
        rc, _ = self.probe("find", TITLE, 20000, timeout=40)
        self.require(rc == 0, "window %r appears after start" % TITLE, "a window",
                     "none; the program %s" % ("runs" if self.pellorin.poll() is None
                                               else "ended with exit code %s" % self.pellorin.returncode))
        self.wait_ready()

    def wait_ready(self):
        # The window exists before its controls are filled in; wait for Text1.
        deadline = time.time() + 10
        while time.time() < deadline:
            c = self.ctl(TEXT1)
            if c.get("hwnd"):
                return
            time.sleep(0.2)

    def wait_exit(self, timeout=15):
        try:
            return self.pellorin.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def testwin(self, *specs, foreground=True):
        """Starts testwin.exe with windows given as (title, w, h) or dicts."""
        argv = ["wine", self.tool("testwin.exe"), "--log", self.log_file]
        if foreground:
            argv.append("--foreground")
        for s in specs:
            if isinstance(s, str):
                s = {"title": s}
            elif isinstance(s, tuple):
                s = {"title": s[0], "size": "%dx%d" % (s[1], s[2])}
            argv += ["--title", s["title"]]
            if "size" in s:
                argv += ["--size", s["size"]]
            if "pos" in s:
                argv += ["--pos", s["pos"]]
            if s.get("maximized"):
                argv.append("--maximized")
        p = self.env.popen(argv, cwd=self.dir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(p)
        return p

    def testwin_log(self):
        try:
            with open(self.log_file, "rb") as f:
                return [l.decode("latin-1").split(" ", 2) for l in f.read().splitlines() if l.strip()]
        except OSError:
            return []

    def wait_log(self, event, title, timeout=WATCH_WAIT):
        deadline = time.time() + timeout
        while True:
            for e in self.testwin_log():
                if e[0] == event and (len(e) > 2 and e[2] == title):
                    return e
            if time.time() >= deadline:
                return None
            time.sleep(0.2)

    def finish(self):
        for p in self.procs:
            harness.kill_group(p)
        harness.kill_user_processes_under(self.env, self.dir)

    # ---- the main window ---------------------------------------------------

    def ctl(self, cid):
        rc, r = self.probe("ctl", TITLE, cid)
        out = {k: v[0] for k, v in r.items()}
        if "text" in out:
            out["text"] = bytes.fromhex(out["text"])
        for k in ("enabled", "visible", "check"):
            if k in out:
                out[k] = int(out[k])
        return out

    def text(self, cid):
        return self.ctl(cid).get("text")

    def listbox(self, cid):
        rc, r = self.probe("list", TITLE, cid)
        return {"count": int(r.get("count", ["-1"])[0]), "enabled": int(r.get("enabled", ["-1"])[0]),
                "items": [bytes.fromhex(x) for x in r.get("item", [])]}

    def windows(self, title):
        rc, r = self.probe("windows", title)
        res = []
        for line in r.get("hwnd", []):
            parts = line.split()
            d = {"hwnd": int(parts[0])}
            for kv in parts[1:]:
                k, v = kv.split("=")
                d[k] = v if k == "rect" else int(v)
            res.append(d)
        return res

    def wait_window_state(self, title, pred, timeout=WATCH_WAIT):
        deadline = time.time() + timeout
        while True:
            w = self.windows(title)
            if w and pred(w[0]):
                return w[0]
            if time.time() >= deadline:
                return w[0] if w else None
            time.sleep(0.3)

    def exit_by_button(self):
        self.probe("click", TITLE, CMD_EXIT)
        rc = self.wait_exit()
        self.check(rc is not None, "the program ends after Exit is pressed")
        return rc


# ==========================================================================
# The tests
# ==========================================================================

def t_first_start(c):
    # Watch for the window from a probe that is already running, so the time
    # measured is not the probe's own start-up under Wine.
    watcher = c.env.popen(["wine", c.tool("probe.exe"), "visible", TITLE, "30000"], cwd=c.dir,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    c.procs.append(watcher)
    c.require(watcher.stdout.readline().startswith(b"ready="), "the window watching probe runs")
    t0 = time.time()
    c.start_pellorin()
    out = watcher.stdout.readline()
    elapsed = time.time() - t0
    c.require(out.startswith(b"hwnd="), "window %r becomes visible after start" % TITLE, "hwnd=...", out)
    harness.log("  STARTUP: process start -> window %r visible: %.2f s" % (TITLE, elapsed))
    c.wait_ready()
    c.equal("settings files created in the program folder", sorted(SIX), c.files())
    for f in SIX:
        expected = b"Q\r\n" if f == "hotkey.cfg" else b""
        c.equal("content of new %s" % f, expected, c.read(f))
    c.equal("Text1 shows the default title suffix", b"Explorer", c.text(TEXT1))
    c.equal("Option1 (Hide/show) is checked", 1, c.ctl(OPTION1).get("check"))
    c.equal("Option2 (Close) is not checked", 0, c.ctl(OPTION2).get("check"))
    c.equal("hotkey label", b"Hotkey: Ctrl+Alt+Q", c.text(LBL_HOTKEY))
    c.equal("Exit button", b"Exit", c.text(CMD_EXIT).replace(b"&", b""))
    c.equal("List2 is hidden", 0, c.ctl(LIST2).get("visible"))
    c.exit_by_button()


def t_exit_button(c):
    c.start_and_wait()
    c.exit_by_button()
    c.equal("stats.cfg after Exit", b" 0 \r\n 0 \r\n", c.read("stats.cfg"))
    c.equal("setup.cfg after Exit", b"Explorer\r\nhide\r\n", c.read("setup.cfg"))
    c.equal("no temporary files left", sorted(SIX), c.files())


def t_close_box(c):
    # Every way Windows closes the window ends the program as the Exit button does.
    for way, command in (("close box (WM_SYSCOMMAND SC_CLOSE)", "sysclose"), ("WM_CLOSE", "close"),
                         ("log-off", "logoff")):
        for f in ("stats.cfg", "setup.cfg"):
            if os.path.exists(c.path(f)):
                os.remove(c.path(f))
        c.start_and_wait()
        rc, r = c.probe(command, TITLE)
        if command == "logoff":
            c.equal("log-off allowed (WM_QUERYENDSESSION answer)", ["1"], r.get("queryendsession"))
        c.check(c.wait_exit() is not None, "the program ends on the %s" % way)
        c.equal("stats.cfg after the %s" % way, b" 0 \r\n 0 \r\n", c.read("stats.cfg"))
        c.equal("setup.cfg after the %s" % way, b"Explorer\r\nhide\r\n", c.read("setup.cfg"))


def t_close_option(c):
    c.write("setup.cfg", b"Explorer\r\nclose\r\n")
    c.start_and_wait()
    c.equal("Option1 not checked with 'close' in setup.cfg", 0, c.ctl(OPTION1).get("check"))
    c.equal("Option2 checked with 'close' in setup.cfg", 1, c.ctl(OPTION2).get("check"))
    c.equal("Text1 from setup.cfg", b"Explorer", c.text(TEXT1))
    c.exit_by_button()
    c.equal("setup.cfg written back", b"Explorer\r\nclose\r\n", c.read("setup.cfg"))


def t_read_only_setup(c):
    c.write("setup.cfg", b"Explorer\r\nhide\r\n")
    c.start_and_wait()
    c.set_read_only("setup.cfg")
    before = c.read("setup.cfg")
    c.probe("click", TITLE, CMD_EXIT)
    rc, box = c.probe("msgbox", "Error", 10000)
    c.require(rc == 0, "a message box titled 'Error' appears", "count=1", box.get("count"))
    c.equal("exactly one 'Error' box", ["1"], box.get("count"))
    texts = [bytes.fromhex(t) for t in box.get("text", [])]
    c.check(ERROR_TEXT in texts, "message box text", ERROR_TEXT, texts)
    buttons = [bytes.fromhex(t) for t in box.get("button", [])]
    c.equal("one OK button", [b"OK"], [b.replace(b"&", b"") for b in buttons])
    c.check(c.pellorin.poll() is None, "the program waits for OK")
    c.probe("msgbox-ok", "Error")
    rc = c.wait_exit()
    c.check(rc is not None, "the program ends after OK")
    if rc is None:
        _, again = c.probe("msgbox", "Error", 0)
        c.equal("no second 'Error' box", ["0"], again.get("count"))
    c.equal("stats.cfg still written", b" 0 \r\n 0 \r\n", c.read("stats.cfg"))
    c.equal("read-only setup.cfg unchanged", before, c.read("setup.cfg"))
    c.equal("no temporary files left", sorted(SIX), c.files())


def t_read_only_stats(c):
    c.write("stats.cfg", b" 3 \r\n 4 \r\n")
    c.set_read_only("stats.cfg")
    c.start_and_wait()
    c.check(not c.is_read_only("stats.cfg"), "read-only stats.cfg made writable at start",
            "writable", oct(os.stat(c.path("stats.cfg")).st_mode))
    c.exit_by_button()
    c.equal("stats.cfg holds the counts after exit", b" 3 \r\n 4 \r\n", c.read("stats.cfg"))


def t_bad_input(c):
    junk = bytes(range(256)) * 4
    cases = [
        # (name, files, expected Text1, expected hotkey label or None, expected stats after exit)
        ("binary junk", {f: junk for f in SIX}, None, None, None),
        ("NUL bytes", {"setup.cfg": b"\0\0\0\r\n\0hide\r\n", "stats.cfg": b"\0 5 \r\n 6 \r\n",
                       "hotkey.cfg": b"\0\0\r\n", "popup.cfg": b"\0" * 100}, None, None, None),
        ("1 MB line", {"setup.cfg": b"A" * (1 << 20) + b"\r\nhide\r\n", "hotkey.cfg": b"W" * (1 << 20),
                       "stats.cfg": b"9" * (1 << 20) + b"\r\n 2 \r\n"}, None, None, b" 0 \r\n 2 \r\n"),
        ("unterminated quote", {"setup.cfg": b"\"Explorer\r\nhide\r\n", "hotkey.cfg": b"\"Z",
                                "stats.cfg": b" 1 \r\n\" 2 \r\n", "popup.cfg": b"\"enabled"},
         None, None, None),
        ("out of range", {"stats.cfg": b" 40000 \r\n 7 \r\n"}, b"Explorer", b"Hotkey: Ctrl+Alt+Q", b" 0 \r\n 7 \r\n"),
        ("trailing letters", {"stats.cfg": b" 12abc \r\n 8 \r\n", "popup.cfg": b"enabled\r\n 4x \r\n 300 \r\nclose\r\n"},
         b"Explorer", b"Hotkey: Ctrl+Alt+Q", b" 0 \r\n 8 \r\n"),
        ("negative and quoted", {"stats.cfg": b"-5 \r\n -32768 \r\n", "setup.cfg": b"\"Ex, plorer\"\r\nclose\r\n",
                                 "hotkey.cfg": b"  K\r\n"},
         b"Ex, plorer", b"Hotkey: Ctrl+Alt+K", b"-5 \r\n-32768 \r\n"),
    ]
    for label, files, text1, hotkey, stats in cases:
        harness.log("  -- %s" % label)
        for f in SIX:
            if os.path.exists(c.path(f)):
                os.remove(c.path(f))
        for f, data in files.items():
            c.write(f, data)
        try:
            c.start_and_wait()
        except Failed:
            c.finish()
            continue
        if text1 is not None:
            c.equal("%s: Text1" % label, text1, c.text(TEXT1))
        if hotkey is not None:
            c.equal("%s: hotkey label" % label, hotkey, c.text(LBL_HOTKEY))
        else:
            lbl = c.text(LBL_HOTKEY) or b""
            c.check(lbl.startswith(b"Hotkey: Ctrl+Alt+"), "%s: hotkey label shown" % label,
                    b"Hotkey: Ctrl+Alt+...", lbl)
        shown_text1 = c.text(TEXT1)
        if c.exit_by_button() is None:
            c.finish()
            continue
        setup = c.read("setup.cfg")
        stats_now = c.read("stats.cfg")
        c.check(isinstance(setup, bytes) and setup.count(b"\r\n") == 2 and setup.endswith(b"\r\n")
                and setup.split(b"\r\n")[1] in (b"hide", b"close"),
                "%s: setup.cfg is two lines" % label, b"<Text1>\\r\\n(hide|close)\\r\\n", setup[:200])
        if isinstance(setup, bytes) and shown_text1 is not None:
            line1 = setup.split(b"\r\n")[0]
            # A control cannot show past a NUL; the rest is the reader's business.
            c.check(line1.split(b"\0")[0] == shown_text1, "%s: setup.cfg line 1 is Text1" % label,
                    shown_text1[:80], line1[:80])
            if b"\0" in line1:
                harness.log("  note  %s: setup.cfg line 1 written back with NUL bytes: %r" % (label, line1[:40]))
        if stats is not None:
            c.equal("%s: stats.cfg after exit" % label, stats, stats_now)
        else:
            c.check(isinstance(stats_now, bytes) and stats_now.count(b"\r\n") == 2,
                    "%s: stats.cfg is two lines" % label, b" n \\r\\n n \\r\\n", stats_now)


def t_window_list(c):
    # Nothing matching: the placeholder, disabled.
    c.start_and_wait()
    lb = c.listbox(LIST1)
    c.equal("List1 with no matching window: items", [b"no open IE windows found..."], lb["items"])
    c.equal("List1 with no matching window: disabled", 0, lb["enabled"])
    c.exit_by_button()

    a, b = "A" + IE, "B" + IE
    c.testwin(a, b, "Other window", foreground=False)
    for t in (a, b, "Other window"):
        c.require(c.probe("find", t, 15000)[0] == 0, "test window %r is up" % t)
    c.start_and_wait()
    lb = c.listbox(LIST1)
    c.equal("List1 count with two matching windows", 2, lb["count"])
    c.equal("List1 items", sorted([a.encode(), b.encode()]), sorted(lb["items"]))
    c.equal("List1 enabled", 1, lb["enabled"])

    if lb["items"]:
        idx = 0
        title = lb["items"][idx]
        hwnd = int(c.probe("find", title.decode("latin-1"))[1].get("hwnd", ["0"])[0])
        c.probe("select", TITLE, LIST1, idx)
        deadline = time.time() + 5
        while time.time() < deadline and c.text(TEXT2) != title:
            time.sleep(0.2)
        c.equal("Text2 after clicking an entry", title, c.text(TEXT2))
        c.equal("Text3 after clicking an entry (handle in decimal)", str(hwnd).encode(), c.text(TEXT3))
        c.probe("click", TITLE, CMD_CLEAR)
        deadline = time.time() + 5
        while time.time() < deadline and c.text(TEXT2):
            time.sleep(0.2)
        c.equal("Text2 after Clear", b"", c.text(TEXT2))
        c.equal("Text3 after Clear", b"", c.text(TEXT3))

    # A window that comes later shows up on Refresh.
    cc = "C" + IE
    c.testwin(cc, foreground=False)
    c.probe("find", cc, 15000)
    c.probe("foreground", TITLE)
    c.probe("click", TITLE, CMD_REFRESH)
    deadline = time.time() + 5
    while time.time() < deadline and c.listbox(LIST1)["count"] != 3:
        time.sleep(0.3)
    c.equal("List1 count after Refresh with a third window", 3, c.listbox(LIST1)["count"])
    c.exit_by_button()


def t_watcher_maximize(c):
    title = "Page one" + IE
    c.start_and_wait()
    c.testwin((title, 500, 400))
    c.require(c.probe("find", title, 15000)[0] == 0, "test window is up")
    t0 = time.time()
    w = c.wait_window_state(title, lambda w: w["zoomed"] == 1)
    took = time.time() - t0
    c.check(w is not None and w["zoomed"] == 1, "focused '...Explorer' window maximized (%.1f s)" % took,
            "zoomed=1", w)
    c.check(took <= 5.0, "maximized within about 3 s", "<= 5 s", "%.1f s" % took)

    other = "Other window"
    c.testwin((other, 500, 400))
    c.require(c.probe("find", other, 15000)[0] == 0, "other test window is up")
    time.sleep(4.0)  # more than two turns of the watcher
    w = c.windows(other)
    c.check(w and w[0]["zoomed"] == 0 and w[0]["iconic"] == 0, "window not ending in 'Explorer' left alone",
            "zoomed=0 iconic=0", w)
    c.exit_by_button()
    c.equal("stats.cfg counts the one maximized window", b" 1 \r\n 0 \r\n", c.read("stats.cfg"))
    c.equal("no F11 without fullscreen.cfg 'yes'", [], [e for e in c.testwin_log() if e[0] == "F11"])


def t_watcher_ctrl(c):
    title = "Held" + IE
    c.start_and_wait()
    # Held the way a keyboard holds it, auto-repeating: a single key-down is
    # forgotten by Wine when the new window is activated.
    hold = c.env.popen(["wine", c.tool("probe.exe"), "hold", str(VK_CONTROL), "7000"], cwd=c.dir,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    c.procs.append(hold)
    try:
        c.require(hold.stdout.readline().startswith(b"ready="), "Ctrl is held down")
        time.sleep(0.3)
        c.testwin((title, 500, 400))
        c.require(c.probe("find", title, 15000)[0] == 0, "test window is up")
        w = c.wait_window_state(title, lambda w: w["iconic"] == 1 or w["zoomed"] == 1, timeout=6)
        c.check(w is not None and w["iconic"] == 1 and w["zoomed"] == 0,
                "with Ctrl held the window is minimized", "iconic=1 zoomed=0", w)
    finally:
        try:
            hold.wait(timeout=10)
        except subprocess.TimeoutExpired:
            harness.kill_group(hold)
        c.probe("key", "up", VK_CONTROL)
    c.exit_by_button()
    c.equal("minimized window not counted", b" 0 \r\n 0 \r\n", c.read("stats.cfg"))


def t_watcher_popup(c):
    c.write("popup.cfg", b"enabled\r\n 400 \r\n 300 \r\nclose\r\n")
    title = "Ad" + IE
    c.start_and_wait()
    c.testwin((title, 400, 300))
    e = c.wait_log("CLOSE", title)
    c.check(e is not None, "a 400x300 '...Explorer' window gets WM_CLOSE", "CLOSE logged", c.testwin_log())
    big = "Big" + IE
    c.testwin((big, 401, 300))
    w = c.wait_window_state(big, lambda w: w["zoomed"] == 1)
    c.check(w is not None and w["zoomed"] == 1, "a 401x300 window is not a pop-up: maximized", "zoomed=1", w)
    c.exit_by_button()
    c.equal("stats.cfg: one maximized, one pop-up killed", b" 1 \r\n 1 \r\n", c.read("stats.cfg"))


def t_watcher_popup_none(c):
    c.write("popup.cfg", b"enabled\r\n 400 \r\n 300 \r\nnone\r\n")
    title = "Small" + IE
    c.start_and_wait()
    c.testwin((title, 300, 200))
    c.require(c.probe("find", title, 15000)[0] == 0, "test window is up")
    time.sleep(4.0)
    w = c.windows(title)
    c.check(w and w[0]["zoomed"] == 0 and w[0]["iconic"] == 0, "pop-up with 'none' left alone",
            "zoomed=0 iconic=0", w)
    c.check(c.wait_log("CLOSE", title, timeout=0) is None, "pop-up with 'none' not closed")
    c.exit_by_button()
    c.equal("stats.cfg: nothing counted", b" 0 \r\n 0 \r\n", c.read("stats.cfg"))


def t_watcher_fullscreen(c):
    c.write("fullscreen.cfg", b"yes\r\n")
    title = "Movie" + IE
    c.start_and_wait()
    c.testwin((title, 500, 400))
    w = c.wait_window_state(title, lambda w: w["zoomed"] == 1)
    c.check(w is not None and w["zoomed"] == 1, "window maximized", "zoomed=1", w)
    e = c.wait_log("F11", title, timeout=5)
    c.check(e is not None, "maximized window receives F11", "F11 logged", c.testwin_log())
    c.exit_by_button()
    c.equal("stats.cfg", b" 1 \r\n 0 \r\n", c.read("stats.cfg"))


def t_win32_files(c):
    # The file store on a real disk, as an unprivileged user: read-only
    # refusals and the replace-on-write that keeps old content on failure.
    exe = c.path("win32_files_test.exe")
    shutil.copy(c.tool("win32_files_test.exe"), exe)
    harness.give_to(exe, c.env.uid, c.env.gid)
    rc, out, _ = c.env.run(["wine", exe], cwd=c.dir, timeout=60)
    for line in out.decode("latin-1").splitlines():
        harness.log("  " + line)
    c.equal("every file store check passes (exit code)", 0, rc)


TESTS = {
    "first_start": t_first_start,
    "exit_button": t_exit_button,
    "close_box": t_close_box,
    "close_option": t_close_option,
    "read_only_setup": t_read_only_setup,
    "read_only_stats": t_read_only_stats,
    "bad_input": t_bad_input,
    "window_list": t_window_list,
    "watcher_maximize": t_watcher_maximize,
    "watcher_ctrl": t_watcher_ctrl,
    "watcher_popup": t_watcher_popup,
    "watcher_popup_none": t_watcher_popup_none,
    "watcher_fullscreen": t_watcher_fullscreen,
    "win32_files": t_win32_files,
}


def run_one(env, exe, name):
    harness.log("== %s" % name)
    # A test killed at its time limit leaves its programs running; they would
    # act on this test's windows.
    harness.kill_user_processes_under(env, os.path.join(env.root, "t-"))
    c = Case(env, exe, name)
    t0 = time.time()
    try:
        TESTS[name](c)
    except Failed as e:
        if str(e) not in c.failures:
            c.failures.append(str(e))
        harness.log("  stopped: %s" % e)
    except Exception:
        c.failures.append("exception")
        harness.log(traceback.format_exc())
    finally:
        c.finish()
    ok = not c.failures
    harness.log("== %s: %s (%d failed checks, %.1f s)" % (name, "PASSED" if ok else "FAILED", len(c.failures),
                                                      time.time() - t0))
    if ok and os.environ.get("PELLORIN_E2E_KEEP") != "1":
        shutil.rmtree(c.dir, ignore_errors=True)
    return ok
