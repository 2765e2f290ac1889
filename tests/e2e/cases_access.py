"""End-to-end tests of what keyboard-only users, screen-reader users and users
of display scaling get: the about box by F1 and the system menu, labels just
before the controls they name, captions seen whole, links reached by Tab, and
texts that fit their controls, each measured in the control's own font, at
96, 120, 144 and 192 dots per inch."""

import math
import time

import harness
from cases import TITLE, TEXT1, TEXT2, TEXT3, LIST1
from cases_about import ABOUT, UPDATE, COMMAND2 as CHECK_FOR_UPDATES, CLOSE as ABOUT_CLOSE, STRIP, Server, page, \
    open_about, open_update, with_documents
from cases_dialogs import SETUP, TEST_WINDOW, COMMAND4, CANCEL, LABEL4, TXT_LETTER, SIZE_APPLY, open_setup, focused
from cases_windows import windows_path

# Window styles as the probe prints them.
SS_TYPEMASK, SS_ICON, SS_ENDELLIPSIS = 0x1F, 0x3, 0x4000
BS_TYPEMASK, BS_GROUPBOX = 0xF, 0x7
BS_CHECKS = {0x2, 0x3, 0x4, 0x9}  # check boxes and option buttons, automatic or not
ES_MULTILINE = 0x4

# The widest handle a handle box may have to show.
WIDEST_HANDLE = "-2147483648"


def fit(c, title, sample=None):
    """What the probe measures in the window titled title: (dpi, client
    (w, h), [control]), each control a dict of id, cls, style, room (w, h),
    need (w, h) and at (left, top, right, bottom) in the client area."""
    rc, r = c.probe("fit", title, *(sample or ()))
    controls = []
    for line in r.get("ctl", []):
        cid, cls, style, room, need, at = line.split()
        controls.append({"id": int(cid), "cls": cls.lower(), "style": int(style, 16),
                         "room": tuple(int(v) for v in room.split(",")),
                         "need": tuple(int(v) for v in need.split(",")),
                         "at": tuple(int(v) for v in at.split(","))})
    return int(r.get("dpi", ["0"])[0]), tuple(int(v) for v in r.get("client", ["0,0"])[0].split(",")), controls


def shortfall(dpi, control):
    """How many pixels the control lacks to show its text whole with a
    margin (2 pixels at 96 dots per inch, more at higher ones); 0 or less
    when it has them. The text goes where the control draws it: a button's
    inside its focus rectangle, a check box's or an option's after its box,
    a frame's caption between its line's ends, a text box's inside its
    margins (a margin of its own), before the caret."""
    def px(n):
        return math.ceil(n * dpi / 96)
    (room_w, room_h), (need_w, need_h) = control["room"], control["need"]
    style, cls = control["style"], control["cls"]
    if need_w == 0 and need_h == 0:
        return 0  # pictures, lists and boxes of several lines scroll or show no text
    beside, margin = 0, px(2)
    if cls == "button":
        kind = style & BS_TYPEMASK
        beside = px(13) + px(4) if kind in BS_CHECKS else 2 * px(8) if kind == BS_GROUPBOX else 2 * px(4)
    elif cls == "edit":
        beside, margin = px(1), 0
    elif cls == "static" and style & SS_ENDELLIPSIS:
        return 0  # a strip that ends in an ellipsis when it is full
    if cls == "static" and room_h >= 2 * px(12):
        # A label with room for lines, its text wrapped to its width: every line seen.
        return max(need_w - room_w, need_h - room_h)
    return max(need_w + beside + margin - room_w, need_h - room_h)


def misfits(c, title, sample=None):
    dpi, _, controls = fit(c, title, sample)
    c.check(controls, "%r read at %d dpi" % (title, dpi))
    return dpi, [(x["id"], x["cls"], x["room"], x["need"]) for x in controls if shortfall(dpi, x) > 0]


DPI_KEY = r"HKCU\Control Panel\Desktop"


def set_dpi(c, dpi):
    """The resolution of the programs started from now on (Wine reads it as
    each starts); None takes the setting away. Returns what it was."""
    rc, out, _ = c.env.run([c.env.wine, "reg", "query", DPI_KEY, "/v", "LogPixels"], cwd=c.dir, timeout=60)
    line = [l for l in out.decode("latin-1").splitlines() if "REG_DWORD" in l]
    before = int(line[0].split()[-1], 0) if line else None
    if dpi is None:
        c.reg("delete", DPI_KEY, "/v", "LogPixels", "/f")
    else:
        c.reg("add", DPI_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    return before


# Controls of the main window beyond those cases.py names.
LBL_TITLE, LBL_EXCLUDE, LBL_HANDLE, LBL_OPEN, CMD_AUTO, CMD_CLEAR, IMG_ABOUT = 100, 104, 105, 109, 102, 108, 120
CMD_SETUP, CMD_REFRESH, CMD_MINIMIZE, OPTION1, CMD_EXIT = 111, 112, 113, 115, 119
# The about box's links, and the setup dialog's letter box label.
MAIL_LINK, HOME_LINK, LBL_CTR_ALT = 104, 105, 111
# The boxes drawn round the main window's upper part (twips: left, top, right, bottom).
SHAPES = [(30, 45, 3645, 765), (30, 795, 3645, 4530)]
VK_TAB, VK_RETURN, VK_SPACE, VK_MENU, VK_F1 = 9, 13, 32, 18, 112
# The shell's handlers for the links' addresses (the home page's is https
# where the build keeps its default); the test puts a stand-in in their place.
LINK_HANDLERS = ["HKLM\\Software\\Classes\\%s\\shell\\open\\command" % p for p in ("mailto", "http", "https")]
# Each image of the icon, as Windows chooses among them.
ICON_SIZES = ["16x16", "20x20", "24x24", "32x32", "40x40", "48x48", "64x64", "256x256"]


def overlapping(controls):
    """Pairs of controls whose rectangles meet (frames with what they hold aside)."""
    shown = [x for x in controls if x["cls"] != "button" or x["style"] & BS_TYPEMASK != BS_GROUPBOX]
    return [(a["id"], b["id"]) for i, a in enumerate(shown) for b in shown[i + 1:]
            if a["at"][0] < b["at"][2] and b["at"][0] < a["at"][2] and a["at"][1] < b["at"][3] and b["at"][1] < a["at"][3]]


def named_by(c, title, cid):
    """The static text a screen reader names the control by, and whether it lies just before it."""
    rc, r = c.probe("label", title, cid)
    return bytes.fromhex(r.get("text", [""])[0]), r.get("next") == ["1"]


def link_handler(c):
    """Puts a stand-in in the place of the shell's handlers for mail and web
    addresses, which writes each address it is given into links.txt; returns
    what to put back."""
    c.write("link.vbs", b'Set fso = CreateObject("Scripting.FileSystemObject")\r\n'
                        b'Set f = fso.OpenTextFile(fso.BuildPath(fso.GetParentFolderName(WScript.ScriptFullName), '
                        b'"links.txt"), 8, True)\r\nf.WriteLine WScript.Arguments(0)\r\nf.Close\r\n')
    before = []
    for key in LINK_HANDLERS:
        rc, out, _ = c.env.run([c.env.wine, "reg", "query", key, "/ve"], cwd=c.dir, timeout=60)
        line = [l for l in out.decode("latin-1").splitlines() if "REG_SZ" in l]
        before.append((key, line[0].split("REG_SZ", 1)[1].strip() if line else None))
        c.reg("add", key, "/ve", "/d", 'wscript.exe "%s" "%%1"' % windows_path(c.path("link.vbs")), "/f")
    return before


def put_back(c, handlers):
    for key, value in handlers:
        if value is None:
            c.reg("delete", key, "/f")
        else:
            c.reg("add", key, "/ve", "/d", value, "/f")


def links_opened(c):
    text = c.read("links.txt")
    return text.decode("latin-1").split() if isinstance(text, bytes) else []


def t_keyboard_and_names(c):
    with_documents(c)
    handlers = link_handler(c)
    try:
        c.start_and_wait()
        c.check(c.wait_for(lambda: focused(c, TITLE) == TEXT1, 5), "the keyboard starts in the title box", TEXT1,
                focused(c, TITLE))
        # Each box and the list named by its caption, which lies just before it.
        for cid, caption in ((TEXT1, b"Last 8 characters of the IE window title:"),
                             (TEXT2, b"Exclude this window:"), (TEXT3, b"Handle:"),
                             (LIST1, b"Internet Explorer windows, currently open:")):
            c.equal("control %d named %r by the label just before it" % (cid, caption), (caption, True),
                    named_by(c, TITLE, cid))
        c.equal("the picture's name", b"About Pellorin", c.ctl(IMG_ABOUT).get("text"))
        # Tab goes as it always went (the list, empty, is passed over).
        order = []
        for _ in range(10):
            c.probe("tap", VK_TAB, 1)
            order.append(c.wait_for(lambda: (lambda f: f if f not in order[-1:] else None)(focused(c, TITLE)), 2))
        c.equal("the Tab order", [CMD_AUTO, TEXT2, TEXT3, CMD_CLEAR, CMD_SETUP, CMD_REFRESH, CMD_MINIMIZE, OPTION1,
                                  CMD_EXIT, TEXT1], order)
        # Every caption seen whole: clear of the other controls, and inside the boxes drawn round them.
        dpi, client, controls = fit(c, TITLE, (TEXT3, WIDEST_HANDLE))
        c.equal("no control of the main window lies on another", [], overlapping(controls))
        edges = [tuple(round(t * dpi / 1440) for t in shape) for shape in SHAPES]
        for x in controls:
            if x["id"] in (LBL_TITLE, LBL_OPEN, LBL_EXCLUDE, LBL_HANDLE, 103):
                inside = [e for e in edges if e[0] < x["at"][0] and x["at"][2] < e[2] - 1 and e[1] < x["at"][1]
                          and x["at"][3] < e[3] - 1]
                c.check(inside, "caption %d inside the box drawn round it, clear of its edges" % x["id"], edges,
                        x["at"])
        c.equal("every caption and text of the main window fits", [], misfits(c, TITLE, (TEXT3, WIDEST_HANDLE))[1])

        # F1 opens the about box, wherever the keyboard is in the window.
        c.ready_to_type(TITLE, TEXT1)
        c.probe("tap", VK_F1, 1)
        c.require(c.probe("visible", ABOUT, 10000)[0] == 0, "F1 opens the about box")
        # Its links: Tab reaches them after the document, Enter and Space open them.
        c.check(c.wait_for(lambda: focused(c, ABOUT) == ABOUT_CLOSE, 5), "the about box's focus starts on Close")
        steps = []
        for _ in range(3):
            c.probe("tap", VK_TAB, 1)
            steps.append(c.wait_for(lambda: (lambda f: f if f not in steps[-1:] else None)(focused(c, ABOUT)), 2))
        c.equal("Tab: FAQ, the update check, the mail link", [113, CHECK_FOR_UPDATES, MAIL_LINK], steps)
        c.equal("the mail link is the system's link control", "SysLink", c.ctl_of(ABOUT, MAIL_LINK).get("class"))
        c.probe("tap", VK_RETURN, 1)
        c.check(c.wait_for(lambda: len(links_opened(c)) == 1, 10), "Enter on the mail link opens it", 1,
                links_opened(c))
        c.probe("tap", VK_TAB, 1)
        c.check(c.wait_for(lambda: focused(c, ABOUT) == HOME_LINK, 3), "Tab: the home page's link next", HOME_LINK,
                focused(c, ABOUT))
        c.probe("tap", VK_SPACE, 1)
        c.check(c.wait_for(lambda: len(links_opened(c)) == 2, 10), "Space on the home page's link opens it", 2,
                links_opened(c))
        opened = links_opened(c)
        c.check(opened[:1] and opened[0].startswith("mailto:") and opened[0].endswith("?Subject=Pellorin_2.2")
                and opened[1:] and opened[1].startswith("http") and opened[1].endswith("/index.htm"),
                "the mail address and the home page, once each", "mailto:...?Subject=Pellorin_2.2, http.../index.htm",
                opened)
        c.probe("click", ABOUT, ABOUT_CLOSE)
        c.require(c.probe("gone", ABOUT, 5000)[0] == 0, "Close closes the about box")

        # The system menu (Alt+Space) holds the about box too.
        c.ready_to_type(TITLE, TEXT1)
        c.probe("key", "down", VK_MENU)
        c.probe("tap", VK_SPACE, 1)
        c.probe("key", "up", VK_MENU)
        items = [text for _, text, _ in c.menu(5)]
        c.check("About Pellorin..." in items, "Alt+Space: the system menu holds About Pellorin...",
                "About Pellorin...", items)
        c.menu_click("About Pellorin...")
        c.require(c.probe("visible", ABOUT, 10000)[0] == 0, "the system menu's entry opens the about box")
        c.probe("click", ABOUT, ABOUT_CLOSE)
        c.probe("gone", ABOUT, 5000)

        # The settings dialog's letter box, named by "Ctrl+Alt+" just before it.
        open_setup(c)
        c.equal("the letter box named by the label just before it", (b"Ctrl+Alt+", True),
                named_by(c, SETUP, TXT_LETTER))
        c.probe("click", SETUP, CANCEL)
        c.probe("gone", SETUP, 5000)
        c.exit_by_button()
    finally:
        put_back(c, handlers)


def t_scaling(c):
    """96, 120, 144 and 192 dots per inch, as Windows' 100, 125, 150 and 200 %."""
    c.write("popup.cfg", b"enabled\r\n 400 \r\n 300 \r\nclose\r\n")
    with_documents(c)
    long_page = b"<title>2.3</title><body>" + b"Pellorin 2.3 is out, with a great many changes. " * 8 + b"</body>"
    server = Server(lambda h: page(h, long_page))
    before = set_dpi(c, 96)
    try:
        for dpi in (96, 120, 144, 192):
            set_dpi(c, dpi)
            c.start_and_wait()
            if dpi == 96:
                _, sizes = c.probe("icon-sizes", windows_path(c.path("Pellorin.exe")))
                c.equal("the program's icon holds every size Windows asks for", ICON_SIZES,
                        [s.split()[0] for s in sizes.get("icon", [])])
            shown, _, _ = fit(c, TITLE)
            c.require(shown == dpi, "Pellorin draws at %d dpi" % dpi, dpi, shown)
            # The icon at the sizes Windows asks for at this resolution.
            _, icons = c.probe("icons", TITLE)
            big, small = 32 * dpi // 96, 16 * dpi // 96
            c.equal("%d dpi: the window's icons drawn for their size" % dpi,
                    {"large": ["%dx%d" % (big, big)], "small": ["%dx%d" % (small, small)]},
                    {k: icons.get(k) for k in ("large", "small")})
            c.equal("%d dpi: the main window's texts fit, a whole handle too" % dpi, [],
                    misfits(c, TITLE, (TEXT3, WIDEST_HANDLE))[1])
            open_setup(c)
            c.equal("%d dpi: Setup's texts fit" % dpi, [], misfits(c, SETUP)[1])
            c.probe("click", SETUP, COMMAND4)
            c.require(c.probe("visible", TEST_WINDOW, 10000)[0] == 0, "Settings opens the pop-up size window")
            w = c.wait_for(lambda: (c.windows(TEST_WINDOW) or [{}])[0].get("rect") == "200,150,600,450", 5)
            c.check(w, "%d dpi: the pop-up size window opens at the stored 400 x 300" % dpi, "200,150,600,450",
                    c.windows(TEST_WINDOW))
            for size in ((400, 300), (160, 90)):
                c.probe("move", TEST_WINDOW, 200, 150, *size)
                time.sleep(0.3)
                _, client, controls = fit(c, TEST_WINDOW)
                buttons = [x for x in controls if x["cls"] == "button"]
                outside = [(x["id"], x["at"]) for x in buttons
                           if x["at"][0] < 0 or x["at"][1] < 0 or x["at"][2] > client[0] or x["at"][3] > client[1]]
                c.check(len(buttons) == 2 and not outside, "%d dpi, %d x %d: both buttons inside the window" % (
                    (dpi,) + size), "inside %s" % (client,), outside or buttons)
                if size == (400, 300):
                    c.equal("%d dpi, 400 x 300: Apply at the bottom right" % dpi, True,
                            any(x["id"] == SIZE_APPLY and client[0] - x["at"][2] < dpi // 8 and
                                client[1] - x["at"][3] < dpi // 8 for x in buttons))
                    c.equal("%d dpi, 400 x 300: the text wrapped to the width, whole" % dpi, [],
                            misfits(c, TEST_WINDOW)[1])
            # A small threshold is still possible: Apply takes what the window is.
            outer = c.windows(TEST_WINDOW)[0]["rect"].split(",")
            c.probe("click", TEST_WINDOW, SIZE_APPLY)
            c.check(c.wait_for(lambda: c.ctl_of(SETUP, LABEL4).get("text") == b"Width:  %d" % (
                int(outer[2]) - int(outer[0])), 5), "%d dpi: a small window's width taken" % dpi,
                "Width:  %d" % (int(outer[2]) - int(outer[0])), c.ctl_of(SETUP, LABEL4).get("text"))
            c.probe("click", SETUP, CANCEL)
            c.probe("gone", SETUP, 5000)
            open_about(c)
            c.equal("%d dpi: the about box's texts fit" % dpi, [], misfits(c, ABOUT)[1])
            open_update(c)
            c.wait_for(lambda: (c.ctl_of(UPDATE, STRIP).get("text") or b"").startswith(b"Pellorin 2.3"), 15)
            strip = [x for x in fit(c, UPDATE)[2] if x["id"] == STRIP]
            c.check(strip and strip[0]["style"] & SS_ENDELLIPSIS and strip[0]["need"][0] > strip[0]["room"][0],
                    "%d dpi: the strip, too short for the page, ends in an ellipsis" % dpi, "SS_ENDELLIPSIS", strip)
            c.equal("%d dpi: the update window's texts fit" % dpi, [], misfits(c, UPDATE)[1])
            c.exit_by_button()
    finally:
        server.close()
        set_dpi(c, before)


TESTS = {
    "keyboard_and_names": t_keyboard_and_names,
    "scaling": t_scaling,
}
LIMITS = {"keyboard_and_names": 120, "scaling": 240}
