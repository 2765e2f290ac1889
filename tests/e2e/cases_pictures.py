"""The README's pictures, taken from the real program under Wine: the main
window, the tray menu, the settings dialog, the pop-up size window, the about
box and the update window with its verdict. `e2e.py pictures DIR` (and so
scripts/pictures.sh) writes them into DIR; the test readme_pictures takes
them into its own folder and checks them, so the script keeps working.

Each picture is the inside of its window (Wine draws the frames around them
its own way), or the menu itself, cut out of the X server's screen."""

import os
import shutil
import subprocess
import tempfile

import harness
import time

from cases import TITLE, LIST1, TEXT3, CMD_MINIMIZE, IE, Failed
from cases_about import ABOUT, UPDATE, Server, page, with_documents, open_about, open_update, status, LATEST
from cases_dialogs import SETUP, TEST_WINDOW, COMMAND4, open_setup

# File name, and the line under it in the README.
PICTURES = [
    ("main-window.png", "The main window: the title suffix, the browser windows open now, one of them spared "
                        "from the hotkey, and the hotkey."),
    ("tray-menu.png", "The menu of the icon in the notification area."),
    ("settings.png", "Setup: start-up, the toolbar button, the hotkey letter, the pop-up action and full screen."),
    ("popup-size.png", "The pop-up size window: resize it to the largest window that still counts as a pop-up."),
    ("about.png", "The about box with the statistics and the read-me."),
    ("update-check.png", "The update check with its verdict."),
]
LARGEST = 60 * 1024


def shoot(c, rect, path):
    """Cuts rect ("l,t,r,b" on the screen) out of the X server's screen into a small PNG."""
    left, top, right, bottom = (int(v) for v in rect.split(","))
    geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
    raw = path + ".raw.png"
    subprocess.run(["import", "-display", c.env.display, "-window", "root", "-crop", geometry, "+repage", raw],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A palette of 64 colours keeps the text sharp and the file small.
    subprocess.run(["convert", raw, "-strip", "-colors", "64", "-define", "png:compression-level=9", path],
                   check=True)
    os.remove(raw)


def inside(c, title):
    w = c.wait_for(lambda: c.windows(title), 5)
    c.require(w, "the window %r is there to picture" % title)
    c.probe("foreground", title)
    time.sleep(0.5)  # drawn in front
    return w[0]["client"]


def take_pictures(c, folder):
    """Opens each window as a user would and pictures it into folder; returns the files."""
    os.makedirs(folder, exist_ok=True)
    taken = []

    def take(name, rect):
        path = os.path.join(folder, name)
        shoot(c, rect, path)
        taken.append(path)

    # Three browser windows, behind the main window; one spared from the hotkey.
    c.write("setup.cfg", b"Explorer\r\nhide\r\n")
    c.write("popup.cfg", b"enabled\r\n 300 \r\n 120 \r\nclose\r\n")
    c.write("stats.cfg", b" 128 \r\n 17 \r\n")
    with_documents(c)
    titles = ["Welcome" + IE, "News of the day" + IE, "Weather" + IE]
    c.testwin(*[{"title": t, "pos": "300,%d" % (20 + 40 * i)} for i, t in enumerate(titles)], foreground=False)
    for t in titles:
        c.require(c.probe("find", t, 15000)[0] == 0, "browser window %r is up" % t)
    server = Server(lambda h: page(h, b"<title>2.2</title><body>Pellorin 2.2 is the latest version.</body>"))
    try:
        c.start_and_wait()
        c.probe("select", TITLE, LIST1, 1)
        c.wait_for(lambda: c.text(TEXT3), 5)
        take(PICTURES[0][0], inside(c, TITLE))

        open_setup(c)
        take(PICTURES[2][0], inside(c, SETUP))
        c.probe("click", SETUP, COMMAND4)
        c.require(c.probe("visible", TEST_WINDOW, 10000)[0] == 0, "the pop-up size window opens")
        take(PICTURES[3][0], inside(c, TEST_WINDOW))
        c.probe("close", TEST_WINDOW)
        c.probe("close", SETUP)

        open_about(c)
        take(PICTURES[4][0], inside(c, ABOUT))
        open_update(c)
        c.require(c.wait_for(lambda: status(c) == LATEST, 15), "the update check gives its verdict", LATEST,
                  status(c))
        take(PICTURES[5][0], inside(c, UPDATE))
        c.probe("close", UPDATE)
        c.probe("close", ABOUT)
    finally:
        server.close()

    # The browser windows go first: in front once Pellorin is minimized, the
    # watcher would maximize one over the notification area.
    for t in titles:
        c.probe("close", t)
        c.probe("gone", t, 5000)
    c.probe("click", TITLE, CMD_MINIMIZE)
    c.require(c.tray_tips(1, 5) == [TITLE.encode()], "the icon is in the notification area")
    c.open_tray_menu()
    rc, r = c.probe("menu", 3000)
    menu = [w.split(" ", 1)[1] for w in r.get("window", []) if w.startswith("0 ")]
    c.require(menu, "the menu is there to picture")
    # The pointer off the icon, whose tip would cover the menu, and onto a
    # line of the menu, which lights nothing up.
    line = [i.split(" ")[2] for i in r.get("item", []) if i.startswith("0 separator")]
    if line:
        c.probe("pointer", *line[-1].split(","))
        time.sleep(0.7)
    take(PICTURES[1][0], menu[0])
    c.probe("menu-key", 27)
    c.wait_for(lambda: not c.menu(), 3)
    c.probe("close", TITLE)
    c.wait_exit()
    return taken


def t_readme_pictures(c):
    folder = os.path.join(c.dir, "pictures")
    taken = take_pictures(c, folder)
    c.equal("every picture taken", sorted(name for name, _ in PICTURES), sorted(os.listdir(folder)))
    for path in taken:
        name = os.path.basename(path)
        info = subprocess.run(["identify", "-format", "%w %h %k", path], capture_output=True, text=True).stdout
        width, height, colours = (int(v) for v in info.split())
        size = os.path.getsize(path)
        harness.log("  PICTURE: %s %dx%d, %d colours, %d bytes" % (name, width, height, colours, size))
        c.check(size < LARGEST, "%s is small" % name, "< 60 KB", size)
        c.check(width >= 80 and height >= 80 and colours >= 4, "%s shows a window, not an empty screen" % name,
                "at least 80x80 and 4 colours", (width, height, colours))


def save_pictures(env, exe, folder):
    """What scripts/pictures.sh runs: the pictures into folder (docs/)."""
    import cases
    c = cases.Case(env, exe, "pictures")
    os.makedirs(folder, exist_ok=True)
    try:
        with tempfile.TemporaryDirectory() as scratch:
            for path in take_pictures(c, scratch):
                shutil.copy(path, os.path.join(folder, os.path.basename(path)))
                harness.log("%s: %d bytes" % (os.path.join(folder, os.path.basename(path)), os.path.getsize(path)))
    except Failed as e:
        harness.log("no pictures: %s" % e)
        return 1
    finally:
        c.finish()
        shutil.rmtree(c.dir, ignore_errors=True)
    return 0 if not c.failures else 1


TESTS = {"readme_pictures": t_readme_pictures}
LIMITS = {"readme_pictures": 120}
# The windows it pictures are tested on every build; one set of pictures is enough.
ONE_WIDTH = {"readme_pictures"}
