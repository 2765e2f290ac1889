"""End-to-end tests of what real keyboards, systems and browsers bring: typing
into the title box key by key, the title endings of today's browsers, AltGr
on a German keyboard, quick presses of the hotkey, the keys of the dialogs,
and the program's own texts on a system whose ANSI code page is Cyrillic."""

import os
import subprocess
import time

import harness
from cases import (TITLE, TEXT1, LIST1, OPTION1, OPTION2, VK_CONTROL, VK_MENU, VK_Q, events, hotkey_windows,
                   no_hotkey_then_hotkey)
from cases_about import ABOUT, IMG_ABOUT, UPDATE, open_about, open_update, with_documents
from cases_dialogs import SETUP, TEST_WINDOW, APPLY, COMMAND4, LABEL4, TXT_LETTER, open_setup, focused

VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE, VK_END, VK_LEFT, VK_UP, VK_DOWN = 8, 9, 13, 27, 35, 37, 38, 40
VK_LCONTROL, VK_LMENU, VK_RMENU = 0xA2, 0xA4, 0xA5
# Controls of the settings dialog and the pop-up size window beyond those the dialog tests use.
SETUP_OPTION1, SETUP_OPTION2, LBL_CTR_ALT = 102, 103, 111
SIZE_LABEL, SIZE_APPLY = 100, 102
# Controls of the about box.
ABOUT_COPYRIGHT, ABOUT_TEXT = 103, 112

# How today's browsers end their window titles (Edge puts a zero-width space
# after "Microsoft"), and the suffix each gives in the ANSI code page.
BROWSERS = {
    "firefox": (" \u2014 Mozilla Firefox", " Firefox"),
    "chrome": (" - Google Chrome", "e Chrome"),
    "edge": (" - Microsoft\u200b Edge", "ft? Edge"),
}


def text1(c):
    return c.text(TEXT1)


def retype(c, text):
    """Empties the title box and types text into it, key by key."""
    c.ready_to_type(TITLE, TEXT1)
    c.probe("tap", VK_END, 1)
    c.probe("tap", VK_BACK, 12)
    c.probe("type", text)
    c.check(c.wait_for(lambda: text1(c) == text.encode("cp1252"), 3), "typed %r into the title box" % text,
            text.encode("cp1252"), text1(c))


def browser_window(c, browser, page, expect_maximized=True):
    """Opens a stand-in window titled as that browser titles a page, in front."""
    title = page + BROWSERS[browser][0]
    c.testwin((title, 500, 400))
    c.require(c.probe("find", title, 15000)[0] == 0, "window %r is up" % title)
    if expect_maximized:
        w = c.wait_window_state(title, lambda w: w["zoomed"] == 1)
        c.check(w and w["zoomed"] == 1, "%s window %r maximized" % (browser, page), "zoomed=1", w)
        # Its maximizing done, activation and all: it takes the front from nobody after this.
        logged = title.encode("cp1252", "replace").decode("latin-1")  # as the stand-in reads its title
        c.check(c.wait_log("MAXIMIZED", logged), "%s window %r has finished maximizing" % (browser, page))
    else:
        time.sleep(4.0)  # more than two turns of the watcher
        w = c.windows(title)
        c.check(w and w[0]["zoomed"] == 0, "%s window %r left alone" % (browser, page), "zoomed=0", w)


def t_typing_and_browsers(c):
    c.start_and_wait()
    # Key by key, as a user types: each key lands where the caret is.
    c.ready_to_type(TITLE, TEXT1)
    c.probe("tap", VK_END, 1)
    c.probe("tap", VK_BACK, 3)
    c.check(c.wait_for(lambda: text1(c) == b"Explo", 3), "three Backspaces take three characters", b"Explo",
            text1(c))
    c.probe("tap", VK_BACK, 5)
    c.probe("type", " Firefx")
    c.check(c.wait_for(lambda: text1(c) == b" Firefx", 3), "typed in order, the blank first", b" Firefx", text1(c))
    c.probe("tap", VK_LEFT, 1)
    c.probe("type", "o")
    c.check(c.wait_for(lambda: text1(c) == b" Firefox", 3), "typed in the middle", b" Firefox", text1(c))

    browser_window(c, "firefox", "Start Page")
    browser_window(c, "chrome", "New Tab", expect_maximized=False)
    c.exit_by_button()
    c.equal("a suffix that starts with a blank is stored in quotes", b'" Firefox"\r\nhide\r\n', c.read("setup.cfg"))

    c.start_and_wait()
    c.equal("after a restart the suffix keeps its blank", b" Firefox", text1(c))
    browser_window(c, "firefox", "Second Page")
    retype(c, "e Chrome")
    browser_window(c, "chrome", "Search")
    retype(c, "ft? Edge")
    browser_window(c, "edge", "New tab")
    c.exit_by_button()
    c.equal("the Edge suffix stored as typed", b"ft? Edge\r\nhide\r\n", c.read("setup.cfg"))
    c.start_and_wait()
    browser_window(c, "edge", "Another tab")
    c.exit_by_button()


# Where Windows keeps the browser that opens web links: the ProgId under
# the scheme's UserChoice, and since Windows 11 24H2 under UserChoiceLatest.
ASSOCIATIONS = "HKCU\\Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\"
CHOICE_KEYS = {"https": ASSOCIATIONS + "https\\UserChoice", "http": ASSOCIATIONS + "http\\UserChoice",
               "latest": ASSOCIATIONS + "https\\UserChoiceLatest\\ProgId"}
PROG_IDS = {"edge": "MSEdgeHTM", "chrome": "ChromeHTML", "firefox": "FirefoxURL-308046B0AF4A39CB"}


def choose_default_browser(c, **prog_ids):
    """The user's choice of browser by scheme, in place of the one before."""
    for key in (CHOICE_KEYS["https"], CHOICE_KEYS["http"], ASSOCIATIONS + "https\\UserChoiceLatest"):
        c.reg("delete", key, "/f")
    for scheme, prog_id in prog_ids.items():
        c.require(c.reg("add", CHOICE_KEYS[scheme], "/v", "ProgId", "/d", prog_id, "/f") == 0, "%s written" % prog_id)


def t_default_browser(c):
    # (the choice, setup.cfg as found (None: none yet), the suffix shown, a browser whose window it maximizes)
    rounds = [(dict(https=PROG_IDS[b], http=PROG_IDS[b]), None, BROWSERS[b][1], b) for b in PROG_IDS]
    rounds += [(dict(latest="ChromeHTML", https="MSEdgeHTM"), b"\r\nclose\r\n", "e Chrome", None),
               (dict(http="IE.HTTP"), None, "Explorer", None), ({}, None, "Explorer", None),
               (dict(https="ChromeHTML"), b"Explorer\r\nclose\r\n", "Explorer", None)]
    try:
        for choice, setup, suffix, browser in rounds:
            what = "%s, %s" % (" ".join("%s=%s" % kv for kv in choice.items()) or "no choice",
                               "no setup.cfg" if setup is None else "setup.cfg %r" % setup)
            choose_default_browser(c, **choice)
            if setup is None and os.path.exists(c.path("setup.cfg")):
                os.remove(c.path("setup.cfg"))
            elif setup is not None:
                c.write("setup.cfg", setup)
            stored = setup if setup and not setup.startswith(b"\r\n") else None
            c.start_and_wait()
            c.equal("%s: the title box" % what, suffix.encode("cp1252"), text1(c))
            c.equal("%s: Hide/show unless stored" % what, 0 if stored else 1, c.ctl(OPTION1).get("check"))
            if browser:
                browser_window(c, browser, "First start")
            c.exit_by_button()
            quoted = ('"%s"' if suffix.startswith(" ") else "%s") % suffix
            c.equal("%s: setup.cfg after Exit" % what, stored or quoted.encode("cp1252") + b"\r\nhide\r\n",
                    c.read("setup.cfg"))
    finally:
        choose_default_browser(c)  # the tests after this one find no choice, as a new prefix has none


def set_keyboard(c, layout):
    """The X server's keyboard. Xvfb goes back to its own when the last
    program leaves it, so one stays connected until the test ends; programs
    started later take the keyboard as it is then."""
    if layout != "us" and not getattr(c, "keeping_keyboard", None):
        c.keeping_keyboard = subprocess.Popen(["xev", "-root", "-display", c.env.display, "-event", "property"],
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        c.procs.append(c.keeping_keyboard)
        time.sleep(0.3)
    return subprocess.run(["setxkbmap", "-display", c.env.display, layout], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode


def t_hotkey_altgr(c):
    c.require(set_keyboard(c, "de") == 0, "the X server takes a German keyboard (setxkbmap de)")
    try:
        hwnd, acted, kept, other = hotkey_windows(c)
        rc, scan = c.probe("vkscan", ord("@"))
        harness.log("  ALTGR: Wine's layout %s gives '@' as %s; a scan of U+0020..U+2FFF took %s ms"
                    % (scan.get("layout"), scan.get("scan"), scan.get("ms")))
        c.require(scan.get("scan") == ["64 0651"], "the keyboard types @ with Ctrl+Alt+Q", ["64 0651"],
                  scan.get("scan"))

        # AltGr+Q as Windows reports it, the right Alt with a left Ctrl, types "@".
        no_hotkey_then_hotkey(c, acted, kept, (VK_LCONTROL, VK_RMENU, VK_Q), (VK_LCONTROL, VK_LMENU, VK_Q),
                              "AltGr+Q, typing @,", "left Ctrl+left Alt+Q")
        c.exit_by_button()
    finally:
        set_keyboard(c, "us")


def t_hotkey_taps(c):
    """Ten presses of Ctrl+Alt+Q, the letter down 60 ms as most people type
    it: ten actions (hidden, shown, hidden...), and the window in front still
    gets each of the ten Q's."""
    hwnd, acted, kept, other = hotkey_windows(c)
    for n in range(1, 11):
        kind, count = ("HIDE", (n + 1) // 2) if n % 2 else ("SHOW", n // 2 + 1)  # each was shown once at its start
        # Shown again, a browser window comes to the front: the other one is put back there.
        c.require(c.probe("foreground", other)[0] == 0, "another program's window in front")
        c.keys(60, VK_CONTROL, VK_MENU, VK_Q)
        c.check(c.wait_for(lambda: all(len(events(c, kind, t)) == count for t in acted), 3),
                "tap %d of 10 (60 ms): the browser windows %s" % (n, kind), count,
                [len(events(c, kind, t)) for t in acted])
    c.equal("the excluded window left alone", [], events(c, "HIDE", kept))
    c.check(c.wait_for(lambda: len(events(c, "KEY_Q", other)) == 10, 3),
            "the window in front got all ten Q's: the hotkey takes no key", 10, len(events(c, "KEY_Q", other)))
    c.probe("foreground", TITLE)
    c.exit_by_button()


def t_dialog_keys(c):
    c.write("popup.cfg", b"enabled\r\n 640 \r\n 480 \r\nclose\r\n")
    with_documents(c)
    c.start_and_wait()
    # The main window's option pair: the arrow keys choose within it.
    c.probe("press", TITLE, OPTION1)
    c.probe("tap", VK_DOWN, 1)
    c.check(c.wait_for(lambda: c.ctl(OPTION2).get("check") == 1, 3), "Down chooses Close", 1,
            c.ctl(OPTION2).get("check"))
    c.equal("and Hide/show is no longer chosen", 0, c.ctl(OPTION1).get("check"))
    c.probe("tap", VK_UP, 1)
    c.check(c.wait_for(lambda: c.ctl(OPTION1).get("check") == 1, 3), "Up chooses Hide/show again", 1,
            c.ctl(OPTION1).get("check"))

    # The settings dialog: Tab stops at the chosen option only, the arrows
    # choose, Enter presses Apply from an option.
    open_setup(c)
    c.check(c.wait_for(lambda: focused(c, SETUP) == APPLY, 3), "the focus starts on Apply", APPLY, focused(c, SETUP))
    c.probe("tap", VK_TAB, 3)
    c.check(c.wait_for(lambda: focused(c, SETUP) == SETUP_OPTION1, 3),
            "Tab: Apply, Cancel, the start-up box, then the chosen window mode", SETUP_OPTION1, focused(c, SETUP))
    c.probe("tap", VK_DOWN, 1)
    c.check(c.wait_for(lambda: c.ctl_of(SETUP, SETUP_OPTION2).get("check") == 1, 3), "Down chooses Minimized", 1,
            c.ctl_of(SETUP, SETUP_OPTION2).get("check"))
    _, named = c.probe("label", SETUP, TXT_LETTER)
    c.equal("the letter box named by the label just before it", ([str(LBL_CTR_ALT)], ["1"]),
            (named.get("label"), named.get("next")))
    c.probe("tap", VK_RETURN, 1)
    c.check(c.wait_for(lambda: c.probe("find", SETUP)[0] != 0, 5), "Enter on an option presses Apply")
    c.equal("Apply stored the choice made with the keys", b"minimized\r\nfalse\r\n", c.read("startup.cfg"))

    # The pop-up size window: Enter presses Apply; its text lies beneath its buttons.
    open_setup(c)
    c.probe("click", SETUP, COMMAND4)
    c.require(c.probe("visible", TEST_WINDOW, 10000)[0] == 0, "Settings opens the test window")
    _, order = c.probe("above", TEST_WINDOW, SIZE_APPLY, SIZE_LABEL)
    c.equal("Apply above the text, which leaves it out", (["1"], ["1"]), (order.get("above"), order.get("clips")))
    c.probe("move", TEST_WINDOW, 250, 200, 455, 333)
    c.probe("foreground", TEST_WINDOW)
    c.probe("tap", VK_RETURN, 1)
    c.check(c.wait_for(lambda: c.probe("find", TEST_WINDOW)[0] != 0, 5), "Enter presses Apply in the test window")
    c.equal("the size it took", b"Width:  455", c.ctl_of(SETUP, LABEL4).get("text"))
    c.probe("foreground", SETUP)
    c.probe("tap", VK_ESCAPE, 1)
    c.check(c.wait_for(lambda: c.probe("find", SETUP)[0] != 0, 5), "Esc still cancels the dialog")

    # The about box: Enter in its text of several lines is a key like any
    # other; on its button it closes the box. The update window likewise.
    open_about(c)
    c.probe("press", ABOUT, ABOUT_TEXT)
    c.probe("tap", VK_RETURN, 1)
    time.sleep(1.0)
    c.equal("Enter in the document keeps the about box open", 0, c.probe("find", ABOUT)[0])
    c.probe("tap", VK_TAB, 1)
    c.probe("tap", VK_RETURN, 1)
    c.check(c.wait_for(lambda: c.probe("find", ABOUT)[0] != 0, 5), "Enter on Close closes the about box")
    open_about(c)
    open_update(c)
    c.probe("foreground", UPDATE)
    c.probe("tap", VK_RETURN, 1)
    c.check(c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 5), "Enter closes the update window")
    c.exit_by_button()


def russian_locale(c):
    """A Russian locale of the tests' own (Wine takes its code page from it)."""
    folder = os.path.join(c.env.root, "locales")
    if not os.path.isdir(os.path.join(folder, "ru_RU.UTF-8")):
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["localedef", "-i", "ru_RU", "-f", "UTF-8", os.path.join(folder, "ru_RU.UTF-8")],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for root, dirs, files in os.walk(folder):
            for name in dirs + files:
                os.chmod(os.path.join(root, name), 0o755)
    os.chmod(folder, 0o755)
    return {"LANG": "ru_RU.UTF-8", "LOCPATH": folder}


def t_own_texts_cyrillic(c):
    cyrillic = russian_locale(c)
    suffix = "\u0431\u0440\u0430\u0443\u0437\u0435\u0440\u044b"  # 8 Cyrillic letters
    c.write("setup.cfg", suffix.encode("cp1251") + b"\r\nhide\r\n")
    page = "\u041d\u043e\u0432\u043e\u0441\u0442\u0438 - " + suffix
    c.testwin((page, 500, 400), foreground=False)
    c.require(c.probe("find", page, 15000, utf8=True)[0] == 0, "a window with a Cyrillic title is up")
    c.start_and_wait(extra_env=cyrillic)
    rc, acp, _ = c.env.run([c.env.wine, c.tool("probe.exe"), "acp"], extra_env=cyrillic)
    c.require(b"acp=1251" in acp, "the program runs with the Cyrillic code page", b"acp=1251", acp)

    # Outside text in the system's code page, shown as the letters it is.
    c.equal("the title box shows the stored suffix", suffix.encode("utf-8"), c.ctl_of(TITLE, TEXT1, utf8=True).get("text"))
    c.equal("the list shows the Cyrillic title", [page.encode("utf-8")], c.listbox(LIST1, utf8=True)["items"])
    # The program's own texts read the same as on any other system.
    c.probe("press", TITLE, IMG_ABOUT)
    c.require(c.probe("visible", ABOUT, 10000)[0] == 0, "the about box opens")
    copyright = c.ctl_of(ABOUT, ABOUT_COPYRIGHT, utf8=True).get("text") or b""
    c.check(copyright.startswith("Copyright \u00a9 ".encode("utf-8")), "the copyright sign is one",
            "Copyright \u00a9 ...".encode("utf-8"), copyright[:14])
    c.equal("the accent in the missing document's text", "Couldn\u00b4t find readme.txt...".encode("utf-8"),
            c.ctl_of(ABOUT, ABOUT_TEXT, utf8=True).get("text"))
    c.probe("close", ABOUT)
    c.exit_by_button()
    c.equal("setup.cfg keeps the suffix byte for byte", suffix.encode("cp1251") + b"\r\nhide\r\n",
            c.read("setup.cfg"))


TESTS = {
    "typing_and_browsers": t_typing_and_browsers,
    "hotkey_altgr": t_hotkey_altgr,
    "hotkey_taps": t_hotkey_taps,
    "dialog_keys": t_dialog_keys,
    "own_texts_cyrillic": t_own_texts_cyrillic,
    "default_browser": t_default_browser,
}
LIMITS = {"typing_and_browsers": 150, "dialog_keys": 120, "default_browser": 150}
