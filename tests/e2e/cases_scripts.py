"""End-to-end tests of the five scripts the program starts: run under Wine's
wscript the way the shell opens them, and judged by what they leave in the
current user's registry.
"""

import os
import shutil

import harness

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


TESTS = {"scripts_registry": t_scripts_registry}
LIMITS = {"scripts_registry": 120}
