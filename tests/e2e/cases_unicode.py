"""End-to-end tests of users and languages beyond Western Europe: Pellorin in
a folder named in letters the ANSI code page lacks, with its documents as
Notepad saves them and version pages in other character sets; and a Japanese
system (code page 932), where a title's last eight characters take two bytes
each."""

import os
import subprocess

import harness
from cases import TITLE, TEXT1, LIST1, CMD_AUTO, CMD_REFRESH, BROWSER_KEY, IDYES, RESET_SCRIPT, WATCH_WAIT
from cases_about import (ABOUT, UPDATE, TEXT1 as DOCUMENT, COMMAND3, STRIP, STATUS, UPDATE_CLOSE, LATEST, Server,
                         page, open_about, open_update)
from cases_keyboard import retype

# "Lodz Pellorin" with its Polish letters and in Cyrillic: no ANSI code page has both.
FOLDER = "\u0141\u00f3d\u017a \u041f\u0435\u043b\u043b\u043e\u0440\u0438\u043d"
README = "Caf\u00e9 in \u0141\u00f3d\u017a \u2014 \u041f\u0435\u043b\u043b\u043e\u0440\u0438\u043d\r\nline two\r\n"
# Notepad's UTF-16 with its byte order mark; a NUL in the middle.
FAQ = "Q: na\u00efve?\0A: yes\r\n"
EIGHT_JAPANESE = "\u65e5\u672c\u8a9e\u306e\u30d6\u30e9\u30a6\u30b6"


def own_locale(c, name):
    """A locale of the tests' own (Wine takes its code page from it)."""
    folder = os.path.join(c.env.root, "locales")
    if not os.path.isdir(os.path.join(folder, name + ".UTF-8")):
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["localedef", "-i", name, "-f", "UTF-8", os.path.join(folder, name + ".UTF-8")],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for root, dirs, files in os.walk(folder):
            for entry in dirs + files:
                os.chmod(os.path.join(root, entry), 0o755)
    os.chmod(folder, 0o755)
    return {"LANG": name + ".UTF-8", "LOCPATH": folder}


def zoomed(c, title):
    """1 when the window of that title (any language) is maximized, 0 when not, None when it is not there."""
    rc, r = c.probe("windows", title, utf8=True)
    states = [dict(kv.split("=") for kv in line.split()[1:]) for line in r.get("hwnd", [])]
    return int(states[0]["zoomed"]) if states else None


def check_page(c, what, body, content_type, strip):
    """Opens the update window on a version page of its own; the verdict and the strip as UTF-8."""
    server = Server(lambda h: page(h, body, content_type=content_type))
    try:
        open_update(c)
        c.check(c.wait_for(lambda: c.ctl_of(UPDATE, STATUS).get("text") == LATEST, 15),
                "%s: a page titled 2.2 is the latest version" % what, LATEST, c.ctl_of(UPDATE, STATUS).get("text"))
        shown = c.ctl_of(UPDATE, STRIP, utf8=True).get("text") or b""
        c.check(shown.startswith(strip.encode("utf-8")), "%s: the strip" % what, strip.encode("utf-8"), shown[:60])
        c.probe("click", UPDATE, UPDATE_CLOSE)
        c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 5)
    finally:
        server.close()


def t_unicode_folder(c):
    # The program folder is named in letters that Windows-1252 lacks.
    c.dir = os.path.join(c.dir, FOLDER)
    os.mkdir(c.dir)
    os.chmod(c.dir, 0o755)
    harness.give_to(c.dir, c.env.uid, c.env.gid)
    c.write("readme.txt", b"\xef\xbb\xbf" + README.encode("utf-8"))
    c.write("faq.txt", b"\xff\xfe" + FAQ.encode("utf-16-le"))
    c.write("setiedefault.vbs", RESET_SCRIPT)

    c.start_and_wait()
    retype(c, "e Chrome")
    c.exit_by_button()
    c.equal("the typed suffix is saved in the folder", b"e Chrome\r\nhide\r\n", c.read("setup.cfg"))
    c.equal("and the statistics", b" 0 \r\n 0 \r\n", c.read("stats.cfg"))

    try:
        c.reg("add", BROWSER_KEY, "/v", "Window Title", "/t", "REG_SZ", "/d", "abc", "/f")
        c.start_and_wait()
        c.equal("after a restart the typed suffix is back", b"e Chrome", c.text(TEXT1))
        # A script of the folder runs: Auto offers the reset for a short title.
        c.probe("click", TITLE, CMD_AUTO)
        c.require(c.msgbox(TITLE, 5)[0] == 1, "Auto asks to reset a short title")
        c.probe("msgbox-press", TITLE, IDYES)
        c.check(c.wait_for(lambda: os.path.exists(c.path("setiedefault.ran")), 15),
                "setiedefault.vbs in the folder is run", "setiedefault.ran", c.files())
    finally:
        c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")

    open_about(c)
    c.equal("readme.txt in UTF-8 with its byte order mark", README.encode("utf-8"),
            c.ctl_of(ABOUT, DOCUMENT, utf8=True).get("text"))
    c.probe("click", ABOUT, COMMAND3)
    faq = FAQ.replace("\0", " ").encode("utf-8")
    c.check(c.wait_for(lambda: c.ctl_of(ABOUT, DOCUMENT, utf8=True).get("text") == faq, 5),
            "faq.txt in UTF-16, its NUL a blank", faq, c.ctl_of(ABOUT, DOCUMENT, utf8=True).get("text"))

    news = "\u041d\u043e\u0432\u0430\u044f \u0432\u0435\u0440\u0441\u0438\u044f"
    check_page(c, "windows-1251", ("<title>2.2</title><body>%s 2.2</body>" % news).encode("cp1251"),
               "text/html; charset=windows-1251", news + " 2.2")
    # Undeclared UTF-8 longer than the 64 KiB read, which ends inside a character.
    cut = "<title>2.2</title><body>Caf\u00e9: ".encode("utf-8")
    if (65536 - len(cut)) % 2 == 0:
        cut += b"!"
    check_page(c, "undeclared UTF-8 cut at 64 KiB", cut + "\u00e9".encode("utf-8") * 40000, "text/html",
               cut[24:].decode("utf-8") + "\u00e9\u00e9\u00e9")
    check_page(c, "a right-to-left override",
               "<title>2.2</title><body>Pellorin \u202e2.2 &#x202E;is &#8207;the latest</body>".encode("utf-8"),
               "text/html; charset=utf-8", "Pellorin 2.2 is the latest")
    c.exit_by_button()


def t_japanese_titles(c):
    japanese = own_locale(c, "ja_JP")
    title = "\u30db\u30fc\u30e0 - " + EIGHT_JAPANESE
    # As a typed suffix of 8 Japanese characters is saved: 16 bytes.
    c.write("setup.cfg", EIGHT_JAPANESE.encode("cp932") + b"\r\nhide\r\n")
    try:
        c.require(c.reg("add", BROWSER_KEY, "/v", "Window Title", "/t", "REG_SZ", "/d",
                        "\u30c6\u30b9\u30c8\u7528\u306e" + EIGHT_JAPANESE, "/f") == 0, "registry value written")
        c.start_and_wait(extra_env=japanese)
        rc, acp, _ = c.env.run([c.env.wine, c.tool("probe.exe"), "acp"], extra_env=japanese)
        c.require(b"acp=932" in acp, "the program runs with the Japanese code page", b"acp=932", acp)
        c.equal("the box shows the 8 characters", EIGHT_JAPANESE.encode("utf-8"),
                c.ctl_of(TITLE, TEXT1, utf8=True).get("text"))

        c.testwin((title, 500, 400))
        c.require(c.probe("find", title, 15000, utf8=True)[0] == 0, "a window whose title ends in them is up")
        c.check(c.wait_for(lambda: zoomed(c, title) == 1, WATCH_WAIT), "the watcher maximizes it", 1,
                zoomed(c, title))
        c.probe("click", TITLE, CMD_REFRESH)
        c.equal("the list shows it", [title.encode("utf-8")], c.listbox(LIST1, utf8=True)["items"])

        c.probe("click", TITLE, CMD_AUTO)
        c.equal("Auto: no message for a title of 13 characters", 0, c.msgbox(TITLE, 1.5)[0])
        c.equal("Auto fills the box with the title's last 8 characters", EIGHT_JAPANESE.encode("utf-8"),
                c.ctl_of(TITLE, TEXT1, utf8=True).get("text"))
        c.exit_by_button()
        c.equal("setup.cfg holds the 8 characters in code page 932", EIGHT_JAPANESE.encode("cp932") + b"\r\nhide\r\n",
                c.read("setup.cfg"))
    finally:
        c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")


TESTS = {
    "unicode_folder": t_unicode_folder,
    "japanese_titles": t_japanese_titles,
}
LIMITS = {"unicode_folder": 120, "japanese_titles": 90}
