"""End-to-end tests of the five scripts the program starts: run under Wine's
wscript the way the shell opens them, and judged by what they leave in the
current user's registry; and the program making their changes itself where
scripts cannot run.
"""

import os
import shutil
import time

import harness
from cases import TITLE, TEXT1, CMD_AUTO, IDYES
from cases_dialogs import SETUP, CHECK1, APPLY, open_setup

SCRIPTS = ["setiedefault.vbs", "addstartup.vbs", "removestartup.vbs", "addieicon.vbs", "removeieicon.vbs"]
BROWSER_KEY = "HKCU\\Software\\Microsoft\\Internet Explorer\\Main"
RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
BUTTON_KEY = "HKCU\\Software\\Microsoft\\Internet Explorer\\Extensions\\{9F2E9CA6-3A7C-4425-99DE-326A150CE95F}"
RUN_PROGRAM_CLASS = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}"
# Another program's settings beside ours, which the scripts must leave alone.
NEIGHBOUR = "Some Other Program"
SCRIPT_WAIT = 30


def query(c, key):
    """The values of key as {name: data}, or None when the key is not there."""
    rc, out, err = c.env.run([c.env.wine, "reg", "query", key], cwd=c.dir)
    if rc != 0:
        return None
    values = {}
    for line in out.decode("latin-1").splitlines():
        if line.startswith("    "):
            name, _, data = (line[4:].split("    ", 2) + ["", ""])[:3]
            values[name] = data
    return values


def t_scripts_registry(c):
    # A blank on the way, as most install folders have.
    folder = os.path.join(c.dir, "My Programs", "Pellorin")
    os.makedirs(folder)
    for d in (os.path.dirname(folder), folder):
        harness.give_to(d, c.env.uid, c.env.gid)
    shipped = os.path.dirname(os.path.abspath(c.exe))
    for name in SCRIPTS:
        c.require(os.path.exists(os.path.join(shipped, name)), "%s ships in the program folder" % name,
                  name, sorted(os.listdir(shipped)))
        shutil.copy(os.path.join(shipped, name), folder)
        harness.give_to(os.path.join(folder, name), c.env.uid, c.env.gid)
    win = "Z:" + folder.replace("/", "\\")
    startup = '"%s\\Pellorin.exe"' % win
    button = {"CLSID": RUN_PROGRAM_CLASS, "ButtonText": "Pellorin", "MenuText": "Pellorin", "Default Visible": "Yes",
              "Exec": win + "\\rovudir.exe", "Icon": win + "\\pellorin.ico", "HotIcon": win + "\\pellorin.ico"}
    steps = [
        # script, what the user would see, key, value (None: the whole key), expected (None: not there)
        ("setiedefault.vbs", "the browser's custom title is gone", BROWSER_KEY, "Window Title", None),
        ("setiedefault.vbs", "run again with no custom title: still none", BROWSER_KEY, "Window Title", None),
        ("addstartup.vbs", "Pellorin starts with Windows from its own folder", RUN_KEY, "Pellorin", startup),
        ("addstartup.vbs", "run again: the same entry", RUN_KEY, "Pellorin", startup),
        ("removestartup.vbs", "Pellorin no longer starts with Windows", RUN_KEY, "Pellorin", None),
        ("removestartup.vbs", "run again with nothing to remove: still none", RUN_KEY, "Pellorin", None),
        ("addieicon.vbs", "a toolbar button that runs the launcher beside it", BUTTON_KEY, None, button),
        ("addieicon.vbs", "run again: the same button", BUTTON_KEY, None, button),
        ("removeieicon.vbs", "the toolbar button is gone", BUTTON_KEY, None, None),
        ("removeieicon.vbs", "run again with no button: still none", BUTTON_KEY, None, None),
    ]
    try:
        c.require(c.reg("add", BROWSER_KEY, "/v", "Window Title", "/t", "REG_SZ", "/d", "abc", "/f") == 0,
                  "a custom browser title set")
        for key in (BROWSER_KEY, RUN_KEY):
            c.reg("add", key, "/v", NEIGHBOUR, "/t", "REG_SZ", "/d", "keep me", "/f")
        for script, what, key, value, expected in steps:
            # The command line of the shell's "open", no //B: a message box
            # would keep the script from ending. Started from elsewhere, so a
            # script that leaned on the working directory would miss.
            rc, _, _ = c.env.run([c.env.wine, "wscript", win + "\\" + script], cwd=c.env.home, timeout=SCRIPT_WAIT)
            c.check(rc != 124, "%s ends by itself, leaving nothing on screen" % script)
            values = query(c, key)
            c.equal("%s: %s" % (script, what), expected, values if value is None else (values or {}).get(value))
        for key in (BROWSER_KEY, RUN_KEY):
            c.equal("another program's value under %s is kept" % key.rsplit("\\", 1)[1], "keep me",
                    (query(c, key) or {}).get(NEIGHBOUR))
    finally:
        c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")
        c.reg("delete", RUN_KEY, "/v", "Pellorin", "/f")
        c.reg("delete", BUTTON_KEY, "/f")
        for key in (BROWSER_KEY, RUN_KEY):
            c.reg("delete", key, "/v", NEIGHBOUR, "/f")


# ---- scripts that cannot run ---------------------------------------------

ADD, REMOVE, SET_DEFAULT = 107, 108, 115
VBS_CLASS = "HKLM\\Software\\Classes\\.vbs"
HOST_SETTINGS = "HKCU\\Software\\Microsoft\\Windows Script Host\\Settings"


def marker_script(name):
    """A stand-in that only leaves NAME.ran beside itself: whatever reaches
    the registry then came from the program."""
    return ('Set fso = CreateObject("Scripting.FileSystemObject")\r\n'
            'fso.CreateTextFile(fso.BuildPath(fso.GetParentFolderName(WScript.ScriptFullName), "%s.ran"), True).Close\r\n'
            % name).encode()


def t_scripts_cannot_run(c):
    for name in SCRIPTS:
        c.write(name, marker_script(name))
    win = "Z:" + c.dir.replace("/", "\\")
    button = {"CLSID": RUN_PROGRAM_CLASS, "ButtonText": "Pellorin", "MenuText": "Pellorin", "Default Visible": "Yes",
              "Exec": win + "\\rovudir.exe", "Icon": win + "\\pellorin.ico", "HotIcon": win + "\\pellorin.ico"}
    # The prefix is every test's: what is taken away here is put back below.
    association = (query(c, VBS_CLASS) or {}).get("(Default)")
    c.require(association, "Wine associates .vbs files", "a class", association)
    settings_there = query(c, HOST_SETTINGS) is not None
    engine = os.path.join(c.env.prefix, "drive_c", "windows", "system32", "vbscript.dll")
    c.require(os.path.exists(engine), "Wine's VBScript engine is there", engine)

    def value(key, name):
        return (query(c, key) or {}).get(name)

    def made(what, expected, got):
        c.check(c.wait_for(lambda: got() == expected, 5), what, expected, got())

    def said_nothing(where):
        # A box still closing goes within moments; an error box stays.
        c.check(c.wait_for(lambda: c.msgbox(TITLE)[0] == 0, 3), "%s: no message" % where, [], c.msgbox(TITLE)[1])

    try:
        c.reg("add", BROWSER_KEY, "/v", "Window Title", "/t", "REG_SZ", "/d", "abc", "/f")
        c.reg("add", RUN_KEY, "/v", NEIGHBOUR, "/t", "REG_SZ", "/d", "keep me", "/f")
        c.start_and_wait()
        open_setup(c)

        # No .vbs association: the shell cannot open a script at all.
        c.reg("delete", VBS_CLASS, "/ve", "/f")
        c.probe("click", SETUP, SET_DEFAULT)
        made("no .vbs association: Set to default removes the custom title", None,
             lambda: value(BROWSER_KEY, "Window Title"))
        c.probe("click", SETUP, ADD)
        made("no .vbs association: Add makes the toolbar button", button, lambda: query(c, BUTTON_KEY))
        said_nothing("no .vbs association")
        c.reg("add", VBS_CLASS, "/ve", "/d", association, "/f")

        # No VBScript engine (the feature taken out of Windows): the host
        # would start and fail, so it is not started.
        os.rename(engine, engine + ".removed")
        c.probe("click", SETUP, REMOVE)
        made("no VBScript engine: Remove takes the button away", None, lambda: query(c, BUTTON_KEY))
        c.probe("click", SETUP, CHECK1)
        c.require(c.wait_for(lambda: c.ctl_of(SETUP, CHECK1).get("check") == 1, 3), "the start-up box ticked")
        c.probe("click", SETUP, APPLY)
        made("no VBScript engine: the start box and Apply add the Run value", '"%s\\Pellorin.exe"' % win,
             lambda: value(RUN_KEY, "Pellorin"))
        said_nothing("no VBScript engine")
        os.rename(engine + ".removed", engine)

        # Windows Script Host switched off for the user: Auto's Yes.
        c.reg("add", HOST_SETTINGS, "/v", "Enabled", "/t", "REG_DWORD", "/d", "0", "/f")
        c.reg("add", BROWSER_KEY, "/v", "Window Title", "/t", "REG_SZ", "/d", "abc", "/f")
        c.probe("click", TITLE, CMD_AUTO)
        count, texts, buttons = c.msgbox(TITLE, 5)
        c.require(buttons == [b"Yes", b"No"], "Auto asks to reset the short title", [b"Yes", b"No"], texts)
        c.probe("msgbox-press", TITLE, IDYES)
        made("Script Host switched off: Auto's Yes removes the custom title", None,
             lambda: value(BROWSER_KEY, "Window Title"))
        said_nothing("Script Host switched off")
        c.equal("Script Host switched off: Text1 back to the default", b"Explorer", c.text(TEXT1))

        c.equal("another program's value under Run is kept", "keep me", value(RUN_KEY, NEIGHBOUR))
        c.exit_by_button()
        # Time for a script wrongly started to leave its mark.
        time.sleep(1)
        c.equal("no script was started where none could run", [], [f for f in c.files() if f.endswith(".ran")])
    finally:
        if not os.path.exists(engine) and os.path.exists(engine + ".removed"):
            os.rename(engine + ".removed", engine)
        if association:
            c.reg("add", VBS_CLASS, "/ve", "/d", association, "/f")
        if settings_there:
            c.reg("delete", HOST_SETTINGS, "/v", "Enabled", "/f")
        else:
            c.reg("delete", HOST_SETTINGS, "/f")
        c.reg("delete", BROWSER_KEY, "/v", "Window Title", "/f")
        c.reg("delete", RUN_KEY, "/v", "Pellorin", "/f")
        c.reg("delete", RUN_KEY, "/v", NEIGHBOUR, "/f")
        c.reg("delete", BUTTON_KEY, "/f")


TESTS = {"scripts_registry": t_scripts_registry, "scripts_cannot_run": t_scripts_cannot_run}
LIMITS = {"scripts_registry": 120, "scripts_cannot_run": 90}
