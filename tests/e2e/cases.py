"""The end-to-end tests: Pellorin.exe as a user (and the other windows on the
desktop) sees it. Each test gets a fresh program folder; checks are collected
so one run reports every difference, each with what was expected and what came.
"""

import os
import select
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
LIST1, CMD_REFRESH, CMD_MINIMIZE, OPTION1, OPTION2, LIST2 = 110, 112, 113, 115, 116, 117
LBL_HOTKEY, CMD_EXIT = 118, 119

VK_CONTROL, VK_MENU, VK_Q = 17, 18, 81
IDOK, IDYES, IDNO = 1, 6, 7
SW_MINIMIZE = 6
# What the shell reports, in lParam, of a click on the icon.
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK = 0x200, 0x201, 0x202, 0x203
WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK = 0x204, 0x205, 0x206
TRAY_MENU = ["Popup Action", "-", "Enable Maximize", "Disable Maximize", "-", "Restore", "-", "Exit"]
BROWSER_KEY = "HKCU\\Software\\Microsoft\\Internet Explorer\\Main"
DEFAULT_TITLE_TEXT = (b"The title of Internet Explorer seems to be set to default.If not, set it to default by "
                      b"clicking the setup button!")
SHORT_TITLE_TEXT = (b"The title of Internet Explorer has to be at least 8 characters long, do you want to set the "
                    b"title to default? Note: Registry change needed!")
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
        self.server = None  # the probe that serves this test's commands

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

    def run_check_tool(self, name, what, *args):
        """Runs a helper program of checks in the test folder as the test's
        user, logs what it says and passes when it exits with 0."""
        exe = self.path(name)
        shutil.copy(self.tool(name), exe)
        harness.give_to(exe, self.env.uid, self.env.gid)
        rc, out, _ = self.env.run([self.env.wine, exe] + list(args), cwd=self.dir, timeout=60)
        for line in out.decode("latin-1").splitlines():
            harness.log("  " + line)
        self.equal(what, 0, rc)

    def probe(self, *args, timeout=30, utf8=False):
        """Runs one probe command; returns (its exit status, {key: [values]}).
        Texts go in and out as Windows-1252, or as UTF-8 with utf8. The
        commands go to one probe.exe that serves the whole test: starting a
        Wine process for each would cost more than most commands take."""
        request = ("65001" if utf8 else "1252") + "".join(" x" + str(a).encode("utf-8").hex() for a in args) + "\n"
        try:
            server = self.probe_server()
            server.stdin.write(request.encode())
            server.stdin.flush()
            out = self.probe_answer(server, timeout)
        except (OSError, TimeoutError):
            # Stuck or gone: the next command gets a new one.
            harness.kill_group(self.server)
            self.server = None
            return 124, {}
        res = {}
        for line in out.decode("latin-1").splitlines():
            line = line.strip()
            if "=" in line:
                k, v = line.split("=", 1)
                res.setdefault(k, []).append(v)
        return int(res.pop("rc", ["1"])[-1]), res

    def probe_server(self):
        if self.server is None or self.server.poll() is not None:
            self.server = self.env.popen([self.env.wine, self.tool("probe.exe"), "serve"], cwd=self.dir,
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            self.procs.append(self.server)
        return self.server

    @staticmethod
    def probe_answer(server, timeout):
        """What the probe printed for one command, up to its end mark."""
        answer = b""
        deadline = time.time() + timeout
        fd = server.stdout.fileno()
        # (The C runtime writes text lines with CR LF.)
        while not answer.endswith((b"--end--\n", b"--end--\r\n")):
            left = deadline - time.time()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise TimeoutError("probe")
            chunk = os.read(fd, 65536)
            if not chunk:
                raise OSError("probe ended")
            answer += chunk
        return answer[:answer.rindex(b"--end--")]

    def start_pellorin(self, extra_env=None):
        if not os.path.exists(self.exe):
            raise Failed("no program to test: %s does not exist (build it first)" % self.exe)
        dst = self.path("Pellorin.exe")
        if not os.path.exists(dst):
            shutil.copy(self.exe, dst)
            harness.give_to(dst, self.env.uid, self.env.gid)
        self.pellorin = self.env.popen([self.env.wine, dst], cwd=self.env.home, extra_env=extra_env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(self.pellorin)
        return self.pellorin

    def start_and_wait(self, extra_env=None):
        self.start_pellorin(extra_env)
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

    def testwin(self, *specs, foreground=True, hang_ms=0):
        """Starts testwin.exe with windows given as (title, w, h) or dicts
        (title, size, pos, maximized, minimized, class, topmost); with hang_ms, the
        process stops answering for that long once its windows are up."""
        argv = [self.env.wine, self.tool("testwin.exe"), "--log", self.log_file]
        if foreground:
            argv.append("--foreground")
        if hang_ms:
            argv += ["--hang", str(hang_ms)]
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
            if s.get("minimized"):
                argv.append("--minimized")
            if "class" in s:
                argv += ["--class", s["class"]]
            if s.get("topmost"):
                argv.append("--topmost")
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

    def ctl_of(self, title, cid, utf8=False):
        """A control of the window titled title: class, enabled, visible, check, text."""
        rc, r = self.probe("ctl", title, cid, utf8=utf8)
        out = {k: v[0] for k, v in r.items()}
        if "text" in out:
            out["text"] = bytes.fromhex(out["text"])
        for k in ("enabled", "visible", "check"):
            if k in out:
                out[k] = int(out[k])
        return out

    def ctl(self, cid):
        return self.ctl_of(TITLE, cid)

    def text(self, cid):
        return self.ctl(cid).get("text")

    def listbox(self, cid, utf8=False):
        rc, r = self.probe("list", TITLE, cid, utf8=utf8)
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
                d[k] = v if k in ("rect", "client") else int(v)
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

    # ---- the notification area, menus, message boxes -----------------------

    def tray(self, count=None, wait=0):
        """The icons in the notification area as [(tip, (x, y))]; with count,
        waits up to wait seconds for that many."""
        args = ["tray"] + ([count, int(wait * 1000)] if count is not None else [])
        rc, r = self.probe(*args, timeout=wait + 30)
        icons = []
        for line in r.get("icon", []):
            at, _, tip = line.partition(" ")
            icons.append((bytes.fromhex(tip), tuple(int(v) for v in at.split(","))))
        return icons

    def tray_tips(self, count=None, wait=0):
        return [tip for tip, _ in self.tray(count, wait)]

    def menu(self, wait=0):
        """The open popup menus' items as (level, text, flags); separators as "-"."""
        rc, r = self.probe("menu", int(wait * 1000), timeout=wait + 30)
        items = []
        for line in r.get("item", []):
            parts = line.split(" ")
            level, flags = int(parts[0]), set(parts[1].split(",")) - {"-"}
            text = "-" if "separator" in flags else bytes.fromhex(parts[3] if len(parts) > 3 else "").decode("latin-1")
            items.append((level, text, flags))
        return items

    def menu_place(self):
        """Where the open popup menu lies on the screen, (left, top, right, bottom); None for none."""
        rc, r = self.probe("menu")
        for line in r.get("window", []):
            level, rect = line.split(" ")
            if level == "0":
                return tuple(int(v) for v in rect.split(","))
        return None

    def balloons(self, wait=0):
        """The texts of the notifications the notification area shows; with
        wait, waits up to that many seconds for one."""
        rc, r = self.probe("balloon", int(wait * 1000), timeout=wait + 30)
        return [bytes.fromhex(t) for t in r.get("text", [])]

    def menu_click(self, text, wait=3):
        rc, r = self.probe("menu-click", text, int(wait * 1000), timeout=wait + 30)
        self.require(rc == 0, "menu entry %r there to click" % text, text, self.menu())
        if r.get("clicks", ["1"])[0] != "1":
            # Wine's menus now and then miss a synthetic click; not the program's doing.
            harness.log("  note  menu entry %r took %s clicks" % (text, r["clicks"][0]))

    def open_tray_menu(self):
        """Right-clicks the icon; returns the menu's entries once it is open."""
        # A menu that is still closing takes the click for itself.
        self.wait_for(lambda: not self.menu(), 3)
        rc, r = self.probe("tray-click", TITLE, "right", 5000)
        self.require(rc == 0, "the icon is there to right-click", TITLE, r)
        items = self.menu(5)
        self.require(items, "a right click on the icon opens the menu", TRAY_MENU, items)
        return items

    def msgbox(self, title, wait=0):
        """The first dialog titled title: (count, [texts], [buttons without &])."""
        rc, r = self.probe("msgbox", title, int(wait * 1000), timeout=wait + 30)
        count = int(r.get("count", ["0"])[0])
        texts = [bytes.fromhex(t) for t in r.get("text", [])]
        buttons = [bytes.fromhex(t).replace(b"&", b"") for t in r.get("button", [])]
        return count, texts, buttons

    def wait_for(self, fn, timeout, step=0.3):
        """Calls fn until it returns something true or the time is up; returns the last result."""
        deadline = time.time() + timeout
        while True:
            got = fn()
            if got or time.time() >= deadline:
                return got
            time.sleep(step)

    def in_front_with_focus(self, title, cid):
        """The window titled title is the one in front and control cid of it
        has the keyboard focus: where typed keys go."""
        rc, fg = self.probe("fg")
        if bytes.fromhex(fg.get("title", [""])[0]) != title.encode("cp1252"):
            return False
        rc, r = self.probe("focused", title)
        return rc == 0 and r.get("id") == [str(cid)]

    def ready_to_type(self, title, cid, timeout=10):
        """Clicks into the control, as a user does before typing, until its
        window is in front with the control focused. Another window may
        still be taking the front (a browser window that was just maximized
        activates itself): keys sent before that settles would go there."""
        deadline = time.time() + timeout
        while not self.in_front_with_focus(title, cid) and time.time() < deadline:
            self.probe("foreground", title)
            self.probe("press", title, cid)
            self.wait_for(lambda: self.in_front_with_focus(title, cid), 1.0, step=0.1)
        self.require(self.in_front_with_focus(title, cid), "%r in front, control %d focused, before typing" % (
            title, cid))

    def main_window(self):
        w = self.windows(TITLE)
        return w[0] if w else None

    def keys(self, hold_ms, *vks, repeat_last=False):
        """Holds the keys for hold_ms (the others repeating, the last one
        pressed once, or repeating too as a held key on a keyboard does)."""
        self.probe("typematic" if repeat_last else "chord", hold_ms, *vks, timeout=hold_ms / 1000 + 30)

    def reg(self, *args):
        rc, out, err = self.env.run([self.env.wine, "reg"] + list(args), cwd=self.dir, timeout=60)
        return rc

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
    watcher = c.env.popen([c.env.wine, c.tool("probe.exe"), "visible", TITLE, "30000"], cwd=c.dir,
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


def t_held_settings(c):
    # A backup program holds setup.cfg and stats.cfg without sharing while
    # Pellorin starts; a write cut short left fullscreen.cfg's complete new
    # content beside the missing file, and a stale read-only temporary of
    # setup.cfg. Nothing the user had is lost, and nothing new is said.
    c.write("stats.cfg", b" 900 \r\n 40 \r\n")
    c.write("setup.cfg", b"e Chrome\r\nclose\r\n")
    c.write("fullscreen.cfg.new", b"yes\r\n")
    c.write("setup.cfg.new", b"left over\r\n")
    c.set_read_only("setup.cfg.new")
    for name in ("stats.cfg", "setup.cfg"):
        c.require(c.probe("hold-file", name)[0] == 0, "%s is held without sharing" % name)
    c.start_and_wait()
    c.equal("the held stats.cfg is kept through the start", b" 900 \r\n 40 \r\n", c.read("stats.cfg"))
    c.equal("the held setup.cfg is kept through the start", b"e Chrome\r\nclose\r\n", c.read("setup.cfg"))
    c.equal("the missing fullscreen.cfg takes the complete content left beside it", b"yes\r\n",
            c.read("fullscreen.cfg"))
    c.testwin("Home" + IE)
    c.check(c.wait_window_state("Home" + IE, lambda w: w["zoomed"] == 1), "a browser window is maximized meanwhile")
    for name in ("stats.cfg", "setup.cfg"):
        c.probe("let-go", name)
    c.exit_by_button()
    c.equal("no message at exit", 0, c.msgbox("Error")[0])
    c.equal("stats.cfg: this run's maximize added to the lifetime's", b" 901 \r\n 40 \r\n", c.read("stats.cfg"))
    c.equal("setup.cfg: not written over with the defaults shown", b"e Chrome\r\nclose\r\n", c.read("setup.cfg"))

    # Nothing held now: the stale read-only temporary does not stop a write.
    c.start_and_wait()
    c.equal("the stored suffix is read", b"e Chrome", c.text(TEXT1))
    c.probe("press", TITLE, OPTION1)
    c.check(c.wait_for(lambda: c.ctl(OPTION1).get("check") == 1, 5), "Hide/show chosen")
    c.exit_by_button()
    c.equal("setup.cfg written past the stale temporary", b"e Chrome\r\nhide\r\n", c.read("setup.cfg"))
    c.equal("no temporary left", [], [f for f in c.files() if f.endswith((".new", ".new1"))])


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
            # A text that would not read back as it is stands in quotes.
            stored = line1.split(b"\0")[0]
            if len(stored) >= 2 and stored.startswith(b'"') and stored.endswith(b'"'):
                stored = stored[1:-1]
            c.check(stored == shown_text1, "%s: setup.cfg line 1 reads back as Text1" % label,
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
    hold = c.env.popen([c.env.wine, c.tool("probe.exe"), "hold", str(VK_CONTROL), "7000"], cwd=c.dir,
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
    c.run_check_tool("win32_files_test.exe", "every file store check passes (exit code)")


# ---- the notification area ------------------------------------------------

def main_window_when(c, pred, timeout=5):
    """The main window's state once pred holds for it, or as it is at the time limit."""
    return c.wait_for(lambda: (lambda w: w if w and pred(w) else None)(c.main_window()), timeout) or c.main_window()


def in_tray(c, how):
    """Checks that the main window has gone to the notification area: hidden,
    off the task bar, one icon tipped "Pellorin"."""
    w = main_window_when(c, lambda w: w["visible"] == 0)
    c.check(w is not None and w["visible"] == 0 and w["taskbar"] == 0,
            "%s: the window is hidden and off the task bar" % how, "visible=0 taskbar=0", w)
    c.equal("%s: one icon, tipped %r" % (how, TITLE), [TITLE.encode()], c.tray_tips(1, 5))
    c.check(c.pellorin.poll() is None, "%s: the program still runs" % how)


def back_from_tray(c, how):
    """Checks that the main window is back as it was before the tray: shown
    in the normal state, on the task bar, and the icon gone."""
    # Shown first, then given its task-bar button back: the whole of it is waited for.
    back = lambda w: w["visible"] == 1 and w["iconic"] == 0 and w["zoomed"] == 0 and w["taskbar"] == 1  # noqa: E731
    w = main_window_when(c, back)
    c.check(w is not None and back(w),
            "%s: the window is shown, neither minimized nor maximized, on the task bar" % how,
            "visible=1 iconic=0 zoomed=0 taskbar=1", w)
    c.equal("%s: the icon is gone" % how, [], c.tray_tips(0, 5))


def t_tray_minimize(c):
    c.start_and_wait()
    w = c.main_window()
    c.check(w and w["visible"] == 1 and w["taskbar"] == 1, "the window starts shown, on the task bar",
            "visible=1 taskbar=1", w)
    c.equal("no icon before going to the tray", [], c.tray_tips())

    c.probe("click", TITLE, CMD_MINIMIZE)
    in_tray(c, "Minimize button")
    # Only a left button's release brings it back: the press, the pointer
    # passing over, double clicks and the right button's press do nothing.
    for lparam in (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK):
        c.probe("notify", TITLE, lparam)
    time.sleep(1.0)
    w = c.main_window()
    c.check(w and w["visible"] == 0, "other icon events leave the window in the tray", "visible=0", w)
    c.equal("other icon events open no menu", [], c.menu())
    c.equal("other icon events leave the icon", [TITLE.encode()], c.tray_tips())

    # A browser window opened meanwhile is in the list once the window is back.
    page = "Meanwhile" + IE
    c.testwin({"title": page, "pos": "40,40"}, foreground=False)
    c.require(c.probe("find", page, 15000)[0] == 0, "test window is up")
    rc, r = c.probe("tray-click", TITLE, "left", 5000)
    c.require(rc == 0, "the icon can be clicked", "an icon tipped %r" % TITLE, r)
    back_from_tray(c, "left click on the icon")
    items = c.wait_for(lambda: page.encode() in c.listbox(LIST1)["items"], 5)
    c.check(items, "the window list is refreshed on the way back", [page.encode()], c.listbox(LIST1)["items"])
    # Gone again: in front once Pellorin is minimized, the watcher would
    # maximize it over the notification area.
    c.probe("close", page)
    c.probe("gone", page, 5000)

    # Minimizing the window by any way goes to the tray too, and comes back normal.
    for how, args in (("the minimize box", ("sysmin", TITLE)),
                      ("ShowWindow(SW_MINIMIZE) from another program", ("show", TITLE, SW_MINIMIZE))):
        c.probe(*args)
        in_tray(c, how)
        c.probe("tray-click", TITLE, "left", 5000)
        back_from_tray(c, "back after %s" % how)

    c.exit_by_button()
    c.equal("no icon left after Exit", [], c.tray_tips())


def t_tray_minimized_start(c):
    c.write("startup.cfg", b'"minimized"\r\n')
    # Watch for the window from before the start: a minimized start should
    # not flash it up on the screen first.
    watcher = c.env.popen([c.env.wine, c.tool("probe.exe"), "visible", TITLE, "8000"], cwd=c.dir,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    c.procs.append(watcher)
    c.require(watcher.stdout.readline().startswith(b"ready="), "the window watching probe runs")
    c.start_pellorin()
    c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the (hidden) window exists after start")
    c.wait_ready()
    in_tray(c, "minimized start")
    flashed = watcher.stdout.readline()
    c.check(not flashed.startswith(b"hwnd="), "the window was never shown during the start", "not shown",
            flashed.strip())
    c.equal("startup.cfg left as it was", b'"minimized"\r\n', c.read("startup.cfg"))

    # A shell that starts after us (log-on) or restarts has none of our
    # icon: the window must not be left hidden with no way back.
    c.require(c.probe("untray", TITLE)[0] == 0, "the icon can be taken away as a restarting shell does")
    c.equal("the icon is gone with the shell", [], c.tray_tips(0, 5))
    c.probe("taskbar-created", TITLE)
    c.equal("the icon is back once the shell says it is there", [TITLE.encode()], c.tray_tips(1, 5))
    w = c.main_window()
    c.check(w and w["visible"] == 0, "and the window is still in the tray", "visible=0", w)

    c.probe("tray-click", TITLE, "left", 5000)
    back_from_tray(c, "left click after a minimized start")
    # Shown, the program puts up no icon when the shell comes back.
    c.probe("taskbar-created", TITLE)
    time.sleep(0.5)
    c.equal("no icon for a shown window", [], c.tray_tips())
    c.exit_by_button()


def t_tray_menu(c):
    c.write("popup.cfg", b'"enabled"\r\n400\r\n300\r\n"close"\r\n')
    c.start_and_wait()
    c.probe("click", TITLE, CMD_MINIMIZE)
    c.require(c.tray_tips(1, 5) == [TITLE.encode()], "the icon is there")

    items = c.open_tray_menu()
    c.equal("right click: the menu's entries", TRAY_MENU, [t for level, t, f in items if level == 0])
    flags = {t: f for level, t, f in items if level == 0}
    c.check("popup" in flags.get("Popup Action", ()), "'Popup Action' opens a submenu", "popup",
            flags.get("Popup Action"))
    c.check("grayed" in flags.get("Enable Maximize", ()), "'Enable Maximize' greyed while the watcher runs",
            "grayed", flags.get("Enable Maximize"))
    for t in ("Popup Action", "Disable Maximize", "Restore", "Exit"):
        c.check("grayed" not in flags.get(t, {"grayed"}), "'%s' enabled" % t, "not grayed", flags.get(t))
    w = c.main_window()
    c.check(w and w["visible"] == 0, "the window stays hidden while the menu is open", "visible=0", w)

    c.menu_click("Popup Action")
    sub = c.wait_for(lambda: [(t, f) for level, t, f in c.menu() if level == 1], 3)
    c.equal("'Popup Action' submenu entries", ["Close", "None"], [t for t, f in sub])
    sub = dict(sub)
    c.check("checked" in sub.get("Close", ()) and "checked" not in sub.get("None", {"checked"}),
            "with 'close' in popup.cfg: Close checked, None not", "Close checked", sub)
    c.check(not any("grayed" in f for f in sub.values()), "both pop-up actions enabled", "not grayed", sub)

    c.menu_click("None")
    c.check(c.wait_for(lambda: not c.menu(), 3), "the menu closes after a choice", "no menu", c.menu())
    want = b"enabled\r\n 400 \r\n 300 \r\nnone\r\n"
    c.check(c.wait_for(lambda: c.read("popup.cfg") == want, 3), "None: popup.cfg rewritten at once",
            want, c.read("popup.cfg"))
    w = c.main_window()
    c.check(w and w["visible"] == 0 and c.tray_tips() == [TITLE.encode()],
            "after a choice the window stays in the tray", "visible=0 and the icon", (w, c.tray_tips()))

    # The marks follow the choice, and Close goes back into the file.
    c.open_tray_menu()
    c.menu_click("Popup Action")
    sub = dict(c.wait_for(lambda: [(t, f) for level, t, f in c.menu() if level == 1], 3))
    c.check("checked" in sub.get("None", ()) and "checked" not in sub.get("Close", {"checked"}),
            "after None: None checked, Close not", "None checked", sub)
    c.menu_click("Close")
    want = b"enabled\r\n 400 \r\n 300 \r\nclose\r\n"
    c.check(c.wait_for(lambda: c.read("popup.cfg") == want, 3), "Close: popup.cfg rewritten at once",
            want, c.read("popup.cfg"))

    c.open_tray_menu()
    c.menu_click("Exit")
    ended = c.wait_exit() is not None
    c.check(ended, "Exit in the menu ends the program", "ended",
            None if ended else {"menu": c.menu(), "window": c.main_window()})
    c.equal("no icon left after Exit", [], c.tray_tips())
    c.equal("stats.cfg written at Exit", b" 0 \r\n 0 \r\n", c.read("stats.cfg"))
    c.equal("setup.cfg written at Exit", b"Explorer\r\nhide\r\n", c.read("setup.cfg"))


def t_tray_menu_watcher(c):
    c.start_and_wait()
    c.probe("click", TITLE, CMD_MINIMIZE)
    c.require(c.tray_tips(1, 5) == [TITLE.encode()], "the icon is there")
    c.open_tray_menu()
    c.menu_click("Disable Maximize")
    c.check(c.wait_for(lambda: not c.menu(), 3), "the menu closes after Disable Maximize")

    flags = {t: f for level, t, f in c.open_tray_menu() if level == 0}
    c.check("grayed" not in flags.get("Enable Maximize", {"grayed"}) and "grayed" in flags.get("Disable Maximize", ()),
            "with the watcher off: Enable Maximize enabled, Disable Maximize greyed", "Enable on, Disable off",
            {t: flags.get(t) for t in ("Enable Maximize", "Disable Maximize")})
    c.probe("menu-key", 27)  # Esc: leave the menu without a choice
    c.check(c.wait_for(lambda: not c.menu(), 3), "Esc closes the menu")

    page = "Not now" + IE
    c.testwin((page, 500, 400))
    c.require(c.probe("find", page, 15000)[0] == 0, "test window is up")
    time.sleep(4.0)  # more than two turns of the watcher
    w = c.windows(page)
    c.check(w and w[0]["zoomed"] == 0, "with the watcher off a new browser window is not maximized", "zoomed=0", w)

    c.open_tray_menu()
    c.menu_click("Enable Maximize")
    c.probe("foreground", page)
    w = c.wait_window_state(page, lambda w: w["zoomed"] == 1)
    c.check(w and w["zoomed"] == 1, "Enable Maximize: the watcher maximizes the browser window again", "zoomed=1", w)

    c.open_tray_menu()
    c.menu_click("Restore")
    back_from_tray(c, "Restore in the menu")
    c.exit_by_button()
    c.equal("stats.cfg counts the one window maximized", b" 1 \r\n 0 \r\n", c.read("stats.cfg"))


def t_tray_menu_dismiss(c):
    # A notification-area menu closes as every menu does: Esc typed on the
    # keyboard, or a click anywhere else. (Opened without its window in the
    # foreground, it did neither, and a second right click opened a second one.)
    c.start_and_wait()
    c.probe("click", TITLE, CMD_MINIMIZE)
    c.require(c.tray_tips(1, 5) == [TITLE.encode()], "the icon is there")

    c.open_tray_menu()
    c.probe("key", "tap", 27)
    c.check(c.wait_for(lambda: not c.menu(), 3), "Esc on the keyboard closes the tray menu", "no menu", c.menu())
    w = c.main_window()
    c.check(w and w["visible"] == 0, "after Esc the window stays in the tray", "visible=0", w)

    c.open_tray_menu()
    c.probe("mouse-click", 700, 300)
    c.check(c.wait_for(lambda: not c.menu(), 3), "a click elsewhere closes the tray menu", "no menu", c.menu())
    # Wine's notification area keeps the mouse after the right click on the
    # icon, so the release of that click reaches the icon as a left click and
    # brings the window back; Windows gives it to whatever lies under the
    # pointer. Either way the program is fine to close.
    c.probe("close", TITLE)
    c.check(c.wait_exit() is not None, "the program ends normally afterwards")


# ---- the hotkey -------------------------------------------------------------

def hotkey_windows(c):
    """Three browser windows and another one; the third browser window is
    excluded through the list. Returns (hwnd by title, the two acted on,
    the excluded one, the other one)."""
    a, b, x = "Alpha" + IE, "Beta" + IE, "Kept" + IE
    other = "Notes - Editor"
    # A suffix kept from an earlier run, whatever browser the prefix names
    # as the default.
    c.write("setup.cfg", b'"Explorer"\r\n"hide"\r\n')
    c.testwin(a, b, x, other, foreground=False)
    hwnd = {}
    for t in (a, b, x, other):
        rc, r = c.probe("find", t, 15000)
        c.require(rc == 0, "test window %r is up" % t)
        hwnd[t] = int(r["hwnd"][0])
    c.start_and_wait()
    items = c.listbox(LIST1)["items"]
    c.require(x.encode() in items, "the browser windows are listed", x.encode(), items)
    c.probe("select", TITLE, LIST1, items.index(x.encode()))
    c.check(c.wait_for(lambda: c.text(TEXT3) == str(hwnd[x]).encode(), 5), "the excluded window's handle in Text3",
            str(hwnd[x]).encode(), c.text(TEXT3))
    # Not a browser window in front: the watcher would act on it while Ctrl is down.
    c.probe("foreground", TITLE)
    return hwnd, (a, b), x, other


def events(c, kind, title):
    return [e for e in c.testwin_log() if e[0] == kind and len(e) > 2 and e[2] == title]


def no_hotkey_then_hotkey(c, acted, kept, others, hotkey, others_are, hotkey_is):
    """Keys that are not the hotkey hide nothing; then the hotkey hides each
    window acted on once, and the excluded one not at all."""
    c.keys(600, *others)
    time.sleep(0.9)
    c.equal("%s hides nothing" % others_are, [0] * len(acted), [len(events(c, "HIDE", t)) for t in acted])
    c.keys(600, *hotkey)
    for t in acted:
        c.check(c.wait_for(lambda: len(events(c, "HIDE", t)) == 1, 3), "%s hides %r" % (hotkey_is, t), 1,
                len(events(c, "HIDE", t)))
    c.equal("the excluded window stays", [], events(c, "HIDE", kept))


def t_hotkey_hide_show(c):
    hwnd, acted, kept, other = hotkey_windows(c)
    shown_before = {t: len(events(c, "SHOW", t)) for t in hwnd}

    # Held for two seconds, several turns of the 300 ms poll, the letter
    # auto-repeating: one action only.
    c.keys(2000, VK_CONTROL, VK_MENU, VK_Q, repeat_last=True)
    time.sleep(0.6)
    for t in acted:
        c.equal("Ctrl+Alt+Q held: %r hidden once" % t, 1, len(events(c, "HIDE", t)))
        c.equal("Ctrl+Alt+Q held: %r not shown again" % t, shown_before[t], len(events(c, "SHOW", t)))
        w = c.windows(t)
        c.check(w and w[0]["visible"] == 0, "Ctrl+Alt+Q: %r hidden" % t, "visible=0", w)
    for t, why in ((kept, "the excluded window"), (other, "a window not ending in 'Explorer'")):
        c.equal("Ctrl+Alt+Q: %s not hidden" % why, [], events(c, "HIDE", t))
        w = c.windows(t)
        c.check(w and w[0]["visible"] == 1, "Ctrl+Alt+Q: %s still shown" % why, "visible=1", w)

    c.probe("foreground", TITLE)
    c.keys(600, VK_CONTROL, VK_MENU, VK_Q)
    for t in acted:
        ok = c.wait_for(lambda: len(events(c, "SHOW", t)) == shown_before[t] + 1, 3)
        c.check(ok, "second press: %r shown again" % t, shown_before[t] + 1, len(events(c, "SHOW", t)))
        w = c.windows(t)
        c.check(w and w[0]["visible"] == 1, "second press: %r visible" % t, "visible=1", w)
    for t in (kept, other):
        c.equal("second press: %r left alone" % t, shown_before[t], len(events(c, "SHOW", t)))

    # Ctrl+Q alone, or the letter without Ctrl+Alt, is no hotkey.
    c.probe("foreground", TITLE)
    c.keys(600, VK_CONTROL, VK_Q)
    c.keys(600, VK_MENU, VK_Q)
    time.sleep(0.6)
    c.equal("Ctrl+Q and Alt+Q hide nothing", [1, 1], [len(events(c, "HIDE", t)) for t in acted])
    c.exit_by_button()


def t_hotkey_close(c):
    hwnd, acted, kept, other = hotkey_windows(c)
    c.probe("click", TITLE, OPTION2)
    c.check(c.wait_for(lambda: c.ctl(OPTION2).get("check") == 1, 5), "'Close' chosen as the hotkey action",
            1, c.ctl(OPTION2).get("check"))
    c.equal("'Hide/show' no longer chosen", 0, c.ctl(OPTION1).get("check"))
    c.probe("foreground", TITLE)

    c.keys(600, VK_CONTROL, VK_MENU, VK_Q)
    for t in acted:
        c.check(c.wait_log("CLOSE", t, timeout=5) is not None, "Ctrl+Alt+Q: %r gets WM_CLOSE" % t, "CLOSE",
                c.testwin_log())
    time.sleep(0.6)
    for t, why in ((kept, "the excluded window"), (other, "a window not ending in 'Explorer'")):
        c.equal("Ctrl+Alt+Q: %s not closed" % why, [], events(c, "CLOSE", t))
        c.equal("Ctrl+Alt+Q: %s still there" % why, 0, c.probe("find", t)[0])
    c.exit_by_button()
    c.equal("setup.cfg keeps the Close choice", b"Explorer\r\nclose\r\n", c.read("setup.cfg"))


# ---- the Auto button --------------------------------------------------------

RESET_SCRIPT = (b'Set fso = CreateObject("Scripting.FileSystemObject")\r\n'
                b'Set f = fso.CreateTextFile(fso.GetParentFolderName(WScript.ScriptFullName) & "\\setiedefault.ran", True)\r\n'
                b'f.WriteLine "ran"\r\n'
                b'f.Close\r\n')


def t_auto_title(c):
    value = ["add", BROWSER_KEY, "/v", "Window Title", "/f"]
    c.write("setiedefault.vbs", RESET_SCRIPT)
    marker = c.path("setiedefault.ran")
    try:
        c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")
        c.start_and_wait()

        def auto(expect_box):
            c.probe("click", TITLE, CMD_AUTO)
            return c.msgbox(TITLE, 5 if expect_box else 1.5)

        # A custom title: its last eight characters, quietly.
        title = "My Favourite Browser"  # 20 characters
        c.require(c.reg(*value, "/t", "REG_SZ", "/d", title) == 0, "registry value written")
        count, texts, buttons = auto(False)
        c.equal("20-character title: no message box", 0, count)
        c.equal("20-character title: Text1 is its last 8 characters", title[-8:].encode(), c.text(TEXT1))

        # Too short: Yes runs the reset script and takes the default.
        c.reg(*value, "/t", "REG_SZ", "/d", "abc")
        count, texts, buttons = auto(True)
        c.equal("short title: one message box", 1, count)
        c.check(SHORT_TITLE_TEXT in texts, "short title: the box asks to reset the title", SHORT_TITLE_TEXT, texts)
        c.equal("short title: Yes and No", [b"Yes", b"No"], buttons)
        c.equal("short title: Text1 shows it while the box is up", b"abc", c.text(TEXT1))
        c.probe("msgbox-press", TITLE, IDYES)
        ran = c.wait_for(lambda: os.path.exists(marker), 15)
        c.check(ran, "Yes: setiedefault.vbs in the program folder is run", "setiedefault.ran", c.files())
        c.check(c.wait_for(lambda: c.text(TEXT1) == b"Explorer", 5), "Yes: Text1 back to the default",
                b"Explorer", c.text(TEXT1))
        c.check(c.wait_for(lambda: c.msgbox(TITLE)[0] == 0, 5), "Yes: the box is gone")

        if os.path.exists(marker):
            os.remove(marker)
        count, texts, buttons = auto(True)
        c.equal("short title again: the box", 1, count)
        c.probe("msgbox-press", TITLE, IDNO)
        c.check(c.wait_for(lambda: c.msgbox(TITLE)[0] == 0, 5), "No: the box is gone")
        c.equal("No: Text1 keeps the short title", b"abc", c.text(TEXT1))
        time.sleep(1.0)
        c.check(not os.path.exists(marker), "No: the script is not run", "no setiedefault.ran", c.files())

        # No custom title, or one that is no text: the default, with a word.
        for how, args in (("no value", None), ("a REG_DWORD value", ("/t", "REG_DWORD", "/d", "5"))):
            if args is None:
                c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")
            else:
                c.reg(*value, *args)
            c.probe("click", TITLE, CMD_AUTO)
            count, texts, buttons = c.msgbox(TITLE, 5)
            c.equal("%s: one message box" % how, 1, count)
            c.check(DEFAULT_TITLE_TEXT in texts, "%s: the box says the title is the default" % how,
                    DEFAULT_TITLE_TEXT, texts)
            c.equal("%s: only OK" % how, [b"OK"], buttons)
            c.probe("msgbox-ok", TITLE)
            c.check(c.wait_for(lambda: c.msgbox(TITLE)[0] == 0, 5), "%s: OK closes the box" % how)
            c.equal("%s: Text1 is the default" % how, b"Explorer", c.text(TEXT1))
            # Something else in Text1 for the next round to change.
            c.reg(*value, "/t", "REG_SZ", "/d", title)
            auto(False)
            c.equal("a custom title after %s: Text1" % how, title[-8:].encode(), c.text(TEXT1))

        # A title longer than a first read takes is still read to its end.
        long_title = "x" * 300 + "LongTail"
        c.reg(*value, "/t", "REG_SZ", "/d", long_title)
        count, texts, buttons = auto(False)
        c.equal("300-odd character title: no box", 0, count)
        c.equal("300-odd character title: its true last 8 characters", b"LongTail", c.text(TEXT1))

        c.exit_by_button()
        c.equal("setup.cfg keeps the title suffix from Auto", b"LongTail\r\nhide\r\n", c.read("setup.cfg"))
    finally:
        c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")


TESTS = {
    "first_start": t_first_start,
    "exit_button": t_exit_button,
    "close_box": t_close_box,
    "close_option": t_close_option,
    "read_only_setup": t_read_only_setup,
    "read_only_stats": t_read_only_stats,
    "held_settings": t_held_settings,
    "bad_input": t_bad_input,
    "window_list": t_window_list,
    "watcher_maximize": t_watcher_maximize,
    "watcher_ctrl": t_watcher_ctrl,
    "watcher_popup": t_watcher_popup,
    "watcher_popup_none": t_watcher_popup_none,
    "watcher_fullscreen": t_watcher_fullscreen,
    "win32_files": t_win32_files,
    "tray_minimize": t_tray_minimize,
    "tray_minimized_start": t_tray_minimized_start,
    "tray_menu": t_tray_menu,
    "tray_menu_watcher": t_tray_menu_watcher,
    "tray_menu_dismiss": t_tray_menu_dismiss,
    "hotkey_hide_show": t_hotkey_hide_show,
    "hotkey_close": t_hotkey_close,
    "auto_title": t_auto_title,
}

# Seconds CTest gives a test; 90 for those not named. The slow ones start
# the program several times.
LIMITS = {"held_settings": 60, "exit_button": 60, "close_option": 60, "read_only_stats": 60, "bad_input": 240, "window_list": 120,
          "tray_menu": 120, "tray_menu_watcher": 120, "hotkey_hide_show": 120, "auto_title": 150}
DEFAULT_LIMIT = 90


def run_one(env, exe, name, test):
    harness.log("== %s" % name)
    # A test killed at its time limit leaves its programs running; they would
    # act on this test's windows.
    harness.kill_user_processes_under(env, os.path.join(env.root, "t-"))
    c = Case(env, exe, name)
    t0 = time.time()
    try:
        test(c)
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
