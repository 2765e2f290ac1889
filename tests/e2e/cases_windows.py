"""End-to-end tests of what today's Windows puts around Pellorin: File
Explorer windows whose titles end in "Explorer", a browser that stops
answering, a second copy of the program, a shortcut set to "Minimized", a
notification area too busy to take the icon, and another program polling
the hotkey's letter; Windows 11's notification area: its notice for an icon
out of sight and its keyboard.
"""

import os
import signal
import subprocess
import time

import cases
import cases_launcher
import harness
from cases import (CMD_MINIMIZE, IE, LIST1, TEXT1, TITLE, VK_CONTROL, VK_MENU, VK_Q, WATCH_WAIT, back_from_tray,
                   events, in_tray)

FOLDER = "Downloads - File Explorer"
VK_BACK, VK_END = 8, 35
PLACEHOLDER = b"no open IE windows found..."
NOTICE = b"Pellorin is still running in the notification area, perhaps under ^. Starting it again brings it back."
# What an icon in the version 4 behaviour reports besides mouse messages.
NIN_KEYSELECT, WM_CONTEXTMENU = 0x401, 0x7B


def windows_path(path):
    """The path as the Windows programs see it (Wine's drive Z: is /)."""
    return "Z:" + path.replace("/", "\\")


def pellorin_pids(c):
    """The Unix processes running a Pellorin.exe of this test's folder."""
    pids = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        # Started by a Windows program, the command line holds the Windows path.
        unix = cmd.replace("\\", "/").lower().replace("z:/", "/")
        if "pellorin.exe" in unix and c.dir.lower() in unix and "wineserver" not in cmd:
            pids.append(int(pid))
    return pids


class Started:
    """A Pellorin that another program started, for the checks that ask
    whether it still runs or wait for its end."""

    def __init__(self, pids):
        self.pids = pids

    def poll(self):
        return None if any(os.path.exists("/proc/%d" % p) for p in self.pids) else 0

    def wait(self, timeout):
        deadline = time.time() + timeout
        while self.poll() is None:
            if time.time() >= deadline:
                raise subprocess.TimeoutExpired("Pellorin.exe", timeout)
            time.sleep(0.2)
        return 0


def t_explorer_windows(c):
    """Folder windows are no browser windows; the hotkey works while another
    program polls its letter."""
    page = "Start" + IE
    c.write("setup.cfg", b'"Explorer"\r\n"hide"\r\n')
    c.testwin({"title": FOLDER, "class": "CabinetWClass"}, {"title": "C:\\ - Explorer", "class": "ExploreWClass"})
    c.require(c.probe("find", FOLDER, 15000)[0] == 0, "the folder windows are up")
    c.start_and_wait()
    c.equal("folder windows are not listed", [PLACEHOLDER], c.listbox(LIST1)["items"])
    c.probe("foreground", FOLDER)
    time.sleep(3.5)  # two turns of the watcher
    w = c.windows(FOLDER)
    c.check(w and w[0]["zoomed"] == 0, "a folder window in front is not maximized", "zoomed=0", w)

    c.testwin({"title": page, "class": "IEFrame"})
    w = c.wait_window_state(page, lambda w: w["zoomed"] == 1)
    c.check(w and w["zoomed"] == 1, "a browser window in front is maximized", "zoomed=1", w)

    # A program that watches Q for its own ends takes the key's "pressed
    # since" mark, nearly always before Pellorin's next look.
    poller = c.env.popen([c.env.wine, c.tool("probe.exe"), "poll", str(VK_Q), "4000"], cwd=c.dir,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    c.procs.append(poller)
    c.require(poller.stdout.readline().startswith(b"ready="), "the polling program runs")
    c.probe("foreground", TITLE)
    c.keys(600, VK_CONTROL, VK_MENU, VK_Q)
    c.check(c.wait_for(lambda: events(c, "HIDE", page), 3), "the hotkey hides the browser window",
            "HIDE", c.testwin_log())
    c.equal("the hotkey leaves the folder windows alone", [], events(c, "HIDE", FOLDER))
    taken = poller.stdout.read().decode().strip()
    c.check(taken not in ("", "pressed=0"), "the other program took the press mark", "pressed>0", taken)
    c.exit_by_button()


def t_hung_browser(c):
    """A listed browser window that stops answering hangs neither the hotkey
    nor the watcher."""
    busy, alpha, new = "Busy" + IE, "Alpha" + IE, "New" + IE
    c.write("setup.cfg", b'"Explorer"\r\n"hide"\r\n')
    c.testwin(alpha, foreground=False)
    c.testwin(busy, foreground=False, hang_ms=40000)
    for t in (alpha, busy):
        c.require(c.probe("find", t, 15000)[0] == 0, "%r is up" % t)
    c.require(c.wait_for(lambda: [e for e in c.testwin_log() if e[0] == "HANG"], 10), "the busy window stops answering")
    hung_at = time.time()
    c.start_and_wait()
    c.check(busy.encode() in c.listbox(LIST1)["items"], "the busy window is listed", busy, c.listbox(LIST1)["items"])

    c.probe("foreground", TITLE)
    c.keys(600, VK_CONTROL, VK_MENU, VK_Q)
    c.check(c.wait_for(lambda: events(c, "HIDE", alpha), 3), "the hotkey hides the window that answers",
            "HIDE", c.testwin_log())
    rc, r = c.probe("answers", TITLE, TEXT1, 2000)
    slowest = int(r.get("slowest", ["99999"])[0])
    c.check(rc == 0 and slowest < 1000, "Pellorin answers meanwhile (slowest answer in ms)", "< 1000", slowest)

    c.probe("foreground", TITLE)
    c.keys(600, VK_CONTROL, VK_MENU, VK_Q)
    c.check(c.wait_for(lambda: events(c, "SHOW", alpha), 3), "the next press shows it again", "SHOW",
            c.testwin_log())
    c.testwin(new)
    w = c.wait_window_state(new, lambda w: w["zoomed"] == 1)
    c.check(w and w["zoomed"] == 1, "a new browser window is maximized meanwhile", "zoomed=1", w)
    c.check(time.time() - hung_at < 40 and not events(c, "HIDE", busy), "all that while the busy window hung",
            "< 40 s, no HIDE yet", (time.time() - hung_at, events(c, "HIDE", busy)))
    c.exit_by_button()


def t_one_copy(c):
    """A shortcut set to "Minimized", a second start, two at once."""
    exe = c.path("Pellorin.exe")
    cases_launcher.put(c, c.dir, "Pellorin.exe", source=c.exe)
    cases_launcher.put(c, c.dir, cases_launcher.LAUNCHER)
    for name in ("Pellorin.exe", cases_launcher.LAUNCHER):
        with open(c.path(name), "rb") as f:
            c.check(b'requestedExecutionLevel level="asInvoker"' in f.read(),
                    "%s runs as the user who starts it, never virtualized" % name)

    rc, r = c.probe("start-minimized", windows_path(exe))
    c.require(rc == 0, "started as a shortcut set to Minimized starts it", "pid", r)
    c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the (hidden) window exists after start")
    c.wait_ready()
    c.pellorin = Started(pellorin_pids(c))
    in_tray(c, "a minimized shortcut")
    _, icons = c.probe("icons", TITLE)
    c.equal("the window's icons: the small one made for its size", {"large": ["32x32"], "small": ["16x16"]},
            {k: icons.get(k) for k in ("large", "small")})

    second = cases_launcher.start(c, exe)
    c.check(cases_launcher.ended(second, 15) is not None, "a second start ends by itself")
    back_from_tray(c, "a second start")
    c.equal("one window titled %r" % TITLE, 1, len(c.windows(TITLE)))
    c.probe("foreground", TITLE)
    c.exit_by_button()
    c.require(c.probe("gone", TITLE, 15000)[0] == 0, "the first copy ends on Exit")

    # Two clicks on the shortcut in a row: two launchers, one Pellorin.
    launchers = [cases_launcher.start(c, c.path(cases_launcher.LAUNCHER)) for _ in range(2)]
    c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the launchers start Pellorin")
    for p in launchers:
        c.check(cases_launcher.ended(p, 15) is not None, "each launcher ends by itself")
    c.check(c.wait_for(lambda: len(pellorin_pids(c)) == 1, 15), "one Pellorin runs", 1, pellorin_pids(c))
    time.sleep(1.0)
    c.equal("one window titled %r" % TITLE, 1, len(c.windows(TITLE)))
    c.probe("close", TITLE)
    c.probe("gone", TITLE, 15000)


def t_copy_lock_taken(c):
    """The one-copy lock's name taken by another program: as another kind of
    object (the lock cannot be had), or held as the lock itself. The user
    gets the program, never silence, and a second start still finds it."""
    lock = "Local\\Pellorin.Running"
    c.require(c.probe("hold-event", lock)[0] == 0, "another program has an event of the lock's name")
    c.start_and_wait()
    second = cases_launcher.start(c, c.path("Pellorin.exe"))
    c.check(cases_launcher.ended(second, 15) is not None, "without a lock, a second start still ends by itself")
    c.equal("one window titled %r" % TITLE, 1, len(c.windows(TITLE)))
    c.exit_by_button()
    c.probe("let-go", lock)

    c.require(c.probe("hold-mutex", lock)[0] == 0, "another program holds the lock itself")
    t0 = time.time()
    c.start_pellorin()
    c.check(c.probe("visible", TITLE, 20000, timeout=40)[0] == 0, "the program shows after the hand-over wait")
    harness.log("  COPY LOCK: held by another program, the window showed after %.1f s" % (time.time() - t0))
    c.wait_ready()
    c.exit_by_button()
    c.probe("let-go", lock)


def t_emptied_title_box(c):
    """The user empties the title box to type a new suffix: an untitled
    window in front (the task bar, a tool window) is no browser window."""
    c.write("setup.cfg", b'"Explorer"\r\n"hide"\r\n')
    c.start_and_wait()
    c.probe("foreground", TITLE)
    c.probe("press", TITLE, TEXT1)
    c.require(c.wait_for(lambda: c.probe("focused", TITLE)[1].get("id") == [str(TEXT1)], 5),
              "the title box has the focus")
    c.probe("tap", VK_END, 1)
    c.probe("tap", VK_BACK, 8)
    c.require(c.wait_for(lambda: c.text(TEXT1) == b"", 5), "the user has emptied the title box", b"", c.text(TEXT1))
    c.testwin(("", 300, 200))
    c.require(c.wait_log("CREATED", ""), "an untitled window is up")
    c.require(c.wait_for(lambda: c.probe("fg")[1].get("title") == [""], 5), "it is in front")
    time.sleep(3.5)  # two turns of the watcher
    c.equal("the untitled window is neither maximized nor closed", [],
            [e[0] for e in c.testwin_log() if e[0] in ("MAXIMIZED", "CLOSE")])
    c.check(c.pellorin.poll() is None, "the program still runs")
    c.exit_by_button()
    c.equal("the emptied box is what is stored", b"\r\nhide\r\n", c.read("setup.cfg"))


def t_tray_icon_retry(c):
    """A notification area that does not take the icon at log-on is asked
    again until it does."""
    busy = "Busy task bar"
    c.write("startup.cfg", b'"minimized"\r\n')
    stand_in = c.testwin({"title": busy, "class": "Shell_TrayWnd", "topmost": True, "size": "50x20",
                          "pos": "0,0"}, foreground=False)
    c.require(c.probe("find", busy, 15000)[0] == 0, "the stand-in task bar is up")
    c.start_pellorin()
    c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the (hidden) window exists after start")
    c.wait_ready()
    time.sleep(1.0)
    c.equal("the busy task bar took no icon", [], c.tray_tips())
    w = c.main_window()
    c.check(w and w["visible"] == 0, "the window went to the tray all the same", "visible=0", w)
    harness.kill_group(stand_in)
    c.equal("the icon is there once the task bar answers", [TITLE.encode()], c.tray_tips(1, 6))
    c.probe("tray-click", TITLE, "left", 5000)
    back_from_tray(c, "the icon, offered again")
    c.exit_by_button()


def icon_says(c, event, at):
    """Posts an icon event as a shell reports it in the version 4 behaviour:
    the event and the icon's id in lParam, a place on the screen in wParam."""
    c.probe("notify", TITLE, (1 << 16) | event, (at[1] << 16) | at[0])


def menu_at_then_esc(c, at, how):
    """A menu opened at the point at (kept above Wine's 20-pixel task bar),
    then closed with Esc."""
    place = c.wait_for(c.menu_place, 5)
    c.check(place and place[0] - 2 <= at[0] <= place[2] + 2 and place[1] - 2 <= at[1] <= place[3] + 24,
            "%s: the menu opens at %r" % (how, at), "a menu around %r" % (at,), place)
    c.probe("menu-key", 27)
    c.check(c.wait_for(lambda: not c.menu(), 3), "%s: Esc closes the menu" % how, "no menu", c.menu())


def t_tray_windows11(c):
    """Windows 11 puts a new icon out of sight: the first time the user sends
    Pellorin to the tray a notice says where it went, never at a minimized
    start nor the second time. The icon in the version 4 behaviour: Enter and
    the menu key as Windows reports them (staged: Wine's notification area
    takes no keyboard), the mouse's clicks acted on once."""
    c.write("startup.cfg", b'"minimized"\r\n')
    c.start_pellorin()
    c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the (hidden) window exists after start")
    c.wait_ready()
    in_tray(c, "minimized start")
    c.equal("a minimized start: no notice", [], c.balloons(3.5))
    c.probe("pointer", 5, 5)
    icon = c.tray(1, 5)[0][1]
    icon_says(c, NIN_KEYSELECT, icon)  # Enter: Windows reports it twice
    icon_says(c, NIN_KEYSELECT, icon)
    back_from_tray(c, "Enter on the icon")

    c.probe("click", TITLE, CMD_MINIMIZE)
    in_tray(c, "the first Minimize")
    c.equal("the first Minimize: a notice says where Pellorin went", [NOTICE], c.balloons(5))
    icon = c.tray(1, 5)[0][1]
    c.require(c.probe("tray-click", TITLE, "right", 5000)[0] == 0, "the icon is there to right-click")
    menu_at_then_esc(c, icon, "the right button")
    time.sleep(0.5)
    c.equal("the right button: one menu, not one for its release and another for the request", [], c.menu())

    # The menu key, the pointer far away; a stand-in task bar, found before
    # Wine's own, hears the keyboard given back to the notification area.
    shell = "Listening task bar"
    c.testwin({"title": shell, "class": "Shell_TrayWnd", "topmost": True, "size": "50x20", "pos": "0,0"},
              foreground=False)
    c.require(c.probe("find", shell, 15000)[0] == 0, "the stand-in task bar is up")
    c.probe("pointer", 5, 5)
    icon_says(c, WM_CONTEXTMENU, icon)
    menu_at_then_esc(c, icon, "the menu key")
    heard = lambda: [e[0] for e in c.testwin_log() if e[0].startswith("NIM") and e[2:] == [shell]]  # noqa: E731
    c.check(c.wait_for(lambda: "NIM3" in heard(), 3), "after Esc the keyboard goes back (NIM_SETFOCUS)", "NIM3",
            heard())
    c.probe("close", shell)
    c.require(c.probe("gone", shell, 5000)[0] == 0, "the stand-in task bar is gone")

    c.require(c.probe("tray-click", TITLE, "left", 5000)[0] == 0, "the icon is there to click")
    back_from_tray(c, "the left button")
    c.probe("click", TITLE, CMD_MINIMIZE)
    in_tray(c, "the second Minimize")
    c.equal("the second Minimize: no notice", [], c.balloons(3.5))
    c.exit_by_button()


def t_launcher_stopped_pellorin(c):
    """The launcher ends at once even when Pellorin does not answer."""
    cases_launcher.put(c, c.dir, cases_launcher.LAUNCHER)
    c.start_and_wait()
    c.probe("click", TITLE, CMD_MINIMIZE)
    in_tray(c, "before the launcher")
    pids = pellorin_pids(c)
    c.require(pids, "Pellorin's process is there to stop")
    for pid in pids:
        os.kill(pid, signal.SIGSTOP)
    try:
        t0 = time.time()
        launcher = cases_launcher.start(c, c.path(cases_launcher.LAUNCHER))
        rc = cases_launcher.ended(launcher, 15)
        harness.log("  LAUNCHER: ended after %.1f s with Pellorin stopped" % (time.time() - t0))
        c.equal("the launcher ends by itself (exit code)", 0, rc)
    finally:
        for pid in pids:
            os.kill(pid, signal.SIGCONT)
    back_from_tray(c, "once Pellorin answers again")
    c.exit_by_button()


TESTS = {
    "explorer_windows": t_explorer_windows,
    "hung_browser": t_hung_browser,
    "one_copy": t_one_copy,
    "tray_icon_retry": t_tray_icon_retry,
    "tray_windows11": t_tray_windows11,
    "launcher_stopped_pellorin": t_launcher_stopped_pellorin,
    "copy_lock_taken": t_copy_lock_taken,
    "emptied_title_box": t_emptied_title_box,
}
LIMITS = {"one_copy": 150, "tray_windows11": 120}
