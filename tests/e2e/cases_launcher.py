"""End-to-end tests of the launcher rovudir.exe and of the per-user installer.

The launcher is taken from the program folder under test, beside
Pellorin.exe. The installer is the one built beside that program folder:
<build>/installer/Pellorin-2.2-setup.exe for a program folder <build>/dist
(build/win64/dist, build/<anything>/dist), and build/installer/ for the
shipping program folder dist/ at the top of the source tree.

The installer works on the Wine prefix every test shares (the user's
AppData, Start menu and registry): each test that installs uninstalls, and
cleans up what is left, before it ends.
"""

import os
import shutil
import struct
import subprocess
import time

import cases
import cases_about
import cases_scripts
import harness
from cases import TITLE, SIX, CMD_EXIT, CMD_MINIMIZE

LAUNCHER = "rovudir.exe"
MISSING_TEXT = b"Can\xb4t find Pellorin exe-file"
SETUP = "Pellorin-2.2-setup.exe"
SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SHIPPED = ["Pellorin.exe", "rovudir.exe", "setiedefault.vbs", "addieicon.vbs", "removeieicon.vbs", "addstartup.vbs",
           "removestartup.vbs", "readme.txt", "faq.txt", "pellorin.ico"]
UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellorin"
RUN_KEY = cases_scripts.RUN_KEY
BUTTON_KEY = cases_scripts.BUTTON_KEY
INSTALL_WAIT = 60
PLANTED_MARK = "planted-dll.mark"  # what the planted wininet.dll leaves once loaded


def installer_for(exe):
    dist = os.path.dirname(os.path.abspath(exe))
    build = os.path.dirname(dist)
    if build == SOURCE_ROOT:
        build = os.path.join(SOURCE_ROOT, "build")
    return os.path.join(build, "installer", SETUP)


def put(c, folder, name, source=None):
    """Copies a file of the program folder under test into folder, as name."""
    os.makedirs(folder, exist_ok=True)
    harness.give_to(folder, c.env.uid, c.env.gid)
    source = source or os.path.join(os.path.dirname(os.path.abspath(c.exe)), name)
    if not os.path.exists(source):
        raise cases.Failed("no %s to test beside %s (build it first)" % (os.path.basename(source), c.exe))
    shutil.copy(source, os.path.join(folder, name))
    harness.give_to(os.path.join(folder, name), c.env.uid, c.env.gid)


def start(c, program, extra_env=None):
    p = c.env.popen([c.env.wine, program], cwd=c.env.home, extra_env=extra_env, stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
    c.procs.append(p)
    return p


def ended(p, timeout=10):
    try:
        return p.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def launch_and_time(c, folder, what):
    """Runs the launcher in folder; returns (launcher's exit code, seconds
    until the main window was visible, or None)."""
    # The watching probe starts first, so its own start-up under Wine is not
    # in the time measured.
    watcher = c.env.popen([c.env.wine, c.tool("probe.exe"), "visible", TITLE, "30000"], cwd=c.dir,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    c.procs.append(watcher)
    c.require(watcher.stdout.readline().startswith(b"ready="), "the window watching probe runs")
    t0 = time.time()
    launcher = start(c, os.path.join(folder, LAUNCHER))
    shown = watcher.stdout.readline().startswith(b"hwnd=")
    elapsed = time.time() - t0
    if shown:
        harness.log("  LAUNCHER: %s: launcher start -> window %r visible: %.2f s" % (what, TITLE, elapsed))
    return ended(launcher), elapsed if shown else None


# ---- the launcher -----------------------------------------------------------

def t_launcher_shows_tray_window(c):
    put(c, c.dir, LAUNCHER)
    c.start_and_wait()
    hwnd = c.main_window()["hwnd"]
    # The minimize box leaves the window minimized as well as hidden.
    c.probe("sysmin", TITLE)
    cases.in_tray(c, "before the launcher")
    # Another program's window of that name, in front of Pellorin's in the
    # order the launcher looks: not Pellorin.
    c.testwin({"title": TITLE, "size": "300x200"}, foreground=False)
    c.require(c.wait_for(lambda: len(c.windows(TITLE)) == 2, 15), "another window titled %r is up" % TITLE)

    rc = ended(start(c, c.path(LAUNCHER)))
    c.equal("the launcher ends by itself (exit code)", 0, rc)
    mine = c.wait_for(lambda: [w for w in c.windows(TITLE)
                               if w["hwnd"] == hwnd and w["visible"] == 1 and w["taskbar"] == 1], 5)
    w = mine[0] if mine else [w for w in c.windows(TITLE) if w["hwnd"] == hwnd]
    c.check(mine and w["iconic"] == 0 and w["taskbar"] == 1,
            "the launcher brings Pellorin's window back restored, on the task bar", "visible=1 iconic=0 taskbar=1", w)
    c.equal("the tray icon is gone, as after a restore from the tray", [], c.tray_tips(0, 5))
    _, fg = c.probe("fg")
    c.equal("Pellorin's window is in front", [str(hwnd)], fg.get("hwnd"))
    time.sleep(1.0)  # a second Pellorin would be up by now
    c.equal("no second Pellorin: two windows titled %r, one of them the other program's" % TITLE, 2,
            len(c.windows(TITLE)))
    c.check(c.pellorin.poll() is None, "the Pellorin that was running still runs")
    c.exit_by_button()


def t_launcher_starts_pellorin(c):
    # The name Pellorin ships under; the program must start from the
    # launcher's own folder.
    for folder_name, name in (("long-name", "Pellorin.exe"),):
        harness.log("  -- only %s beside the launcher" % name)
        folder = os.path.join(c.dir, folder_name)
        put(c, folder, LAUNCHER)
        put(c, folder, name, source=c.exe)
        rc, elapsed = launch_and_time(c, folder, "started as " + name)
        c.check(elapsed is not None, "%s: the launcher starts Pellorin, its window shows" % name, "visible",
                c.main_window())
        c.equal("%s: the launcher ends by itself (exit code)" % name, 0, rc)
        c.equal("%s: no message box" % name, 0, c.msgbox(TITLE)[0])
        w = c.main_window()
        c.check(w and w["visible"] == 1 and w["iconic"] == 0 and w["zoomed"] == 0,
                "%s: a normal window" % name, "visible=1 iconic=0 zoomed=0", w)
        c.check(c.wait_for(lambda: all(os.path.exists(os.path.join(folder, f)) for f in SIX), 10),
                "%s: started from the launcher's folder (its settings files are there)" % name, sorted(SIX),
                sorted(os.listdir(folder)))
        _, fg = c.probe("fg")
        c.equal("%s: Pellorin's window has the focus" % name, [str(w["hwnd"]) if w else None], fg.get("hwnd"))
        c.probe("click", TITLE, CMD_EXIT)
        c.require(c.probe("gone", TITLE, 15000)[0] == 0, "%s: Pellorin ends on Exit" % name)


def t_launcher_missing_exe(c):
    # No Pellorin.exe: nothing beside the launcher, or only what an 8.3 alias
    # "pellor~1.exe" names on Windows (the first other pellor*.exe of the
    # folder, here an installer or a downloaded update; Wine makes up other
    # short names, so it stands here under that name). Neither is started.
    put(c, c.dir, LAUNCHER)
    other = os.path.join(c.dir, "other")
    put(c, other, LAUNCHER)
    put(c, other, "pellor~1.exe", source=c.exe)
    for folder, what in ((c.dir, "nothing beside it"), (other, "only another pellor*.exe beside it")):
        launcher = start(c, os.path.join(folder, LAUNCHER))
        count, texts, buttons = c.msgbox(TITLE, 15)
        c.equal("%s: one message box titled %r" % (what, TITLE), 1, count)
        c.check(MISSING_TEXT in texts, "%s: its text" % what, MISSING_TEXT, texts)
        c.equal("%s: one OK button" % what, [b"OK"], buttons)
        c.check(launcher.poll() is None, "%s: the launcher waits for OK" % what)
        c.probe("msgbox-ok", TITLE)
        c.check(ended(launcher) is not None, "%s: the launcher ends after OK" % what)
        c.equal("%s: no second message box" % what, 0, c.msgbox(TITLE, 1)[0])
        c.equal("%s: nothing started" % what, [], c.windows(TITLE))


def t_planted_library(c):
    # A wininet.dll beside the programs, as a Downloads folder may hold one,
    # with Wine told to prefer such a one to its own (Windows always does,
    # for a library it does not keep loaded for everyone). Neither program
    # loads it: not the launcher, not Pellorin at its start, not its update
    # check, which still reaches its verdict with the system's own.
    put(c, c.dir, LAUNCHER)
    put(c, c.dir, "Pellorin.exe", source=c.exe)
    put(c, c.dir, "wininet.dll", source=c.tool("plantedwininet.dll"))
    env = {"WINEDLLOVERRIDES": c.env.wine_env()["WINEDLLOVERRIDES"] + ";wininet=n,b"}

    def marks():
        return c.read(PLANTED_MARK).splitlines() if os.path.exists(c.path(PLANTED_MARK)) else []

    server = cases_about.Server(lambda h: cases_about.page(h, b"<title>2.2</title><body>the latest</body>"))
    try:
        c.equal("the launcher ends by itself (exit code)", 0, ended(start(c, c.path(LAUNCHER), env)))
        c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the launcher starts Pellorin")
        c.wait_ready()
        c.equal("no program loaded the planted library at its start", [], marks())
        cases_about.open_about(c)
        cases_about.open_update(c)
        c.check(c.wait_for(lambda: cases_about.status(c) == cases_about.LATEST, 15),
                "the update check reaches its verdict", cases_about.LATEST, cases_about.status(c))
        c.equal("the update check did not load the planted library", [], marks())
        c.probe("click", TITLE, CMD_EXIT)
        c.check(c.probe("gone", TITLE, 15000)[0] == 0, "Pellorin ends on Exit")
    finally:
        server.close()


# ---- the installer ----------------------------------------------------------

def shortcut_target(data):
    """The local path and icon of a shell link (.lnk): a header, an optional
    item list, the link info, then counted strings."""
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & 0x2:  # HasLinkInfo
        size, _, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, at)
        if info_flags & 0x1:  # VolumeIDAndLocalBasePath
            def cstr(offset):
                return data[at + offset:data.index(b"\0", at + offset)].decode("latin-1")
            target = cstr(base) + cstr(suffix)
        at += size
    strings = {}
    wide = flags & 0x80
    for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "workdir"), (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, at)[0]
            raw = data[at + 2:at + 2 + count * (2 if wide else 1)]
            # Wine counts a closing NUL into the string; Windows does not.
            strings[name] = raw.decode("utf-16-le" if wide else "latin-1").rstrip("\0")
            at += 2 + len(raw)
    return target, strings.get("icon")


class Install:
    """Where the installer puts things in the test user's profile."""

    def __init__(self, c):
        self.c = c
        profile = os.path.join(c.env.prefix, "drive_c", "users", c.env.user)
        self.folder = os.path.join(profile, "AppData", "Local", "Programs", "Pellorin")
        self.shortcut = os.path.join(profile, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs",
                                     "Pellorin.lnk")
        self.win_folder = "C:\\users\\%s\\AppData\\Local\\Programs\\Pellorin" % c.env.user

    def path(self, name):
        return os.path.join(self.folder, name)

    def run(self, program, *args):
        rc, _, _ = self.c.env.run([self.c.env.wine, program] + list(args), cwd=self.c.dir, timeout=INSTALL_WAIT)
        return rc

    def uninstall(self):
        """Runs the quiet uninstall; it hands over to a copy of itself in the
        temporary folder and returns at once, so wait for its work."""
        rc = self.run(self.path("uninstall.exe"), "/S")
        done = self.c.wait_for(lambda: not os.path.exists(self.folder) and cases_scripts.query(self.c, UNINSTALL_KEY)
                               is None, 30, step=0.5)
        return rc, done

    def clean_up(self):
        if os.path.exists(self.path("uninstall.exe")):
            self.uninstall()
        harness.kill_user_processes_under(self.c.env, self.win_folder)
        shutil.rmtree(self.folder, ignore_errors=True)
        if os.path.exists(self.shortcut):
            os.remove(self.shortcut)
        for args in (("delete", UNINSTALL_KEY, "/f"), ("delete", RUN_KEY, "/v", "Pellorin", "/f"),
                     ("delete", BUTTON_KEY, "/f")):
            self.c.reg(*args)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        harness.give_to(self.path(name), self.c.env.uid, self.c.env.gid)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()


def t_installer(c):
    setup = installer_for(c.exe)
    c.require(os.path.exists(setup), "the installer is built beside the program folder", setup, "missing")
    put(c, c.dir, SETUP, source=setup)
    inst = Install(c)
    c.require(not os.path.exists(inst.folder), "no Pellorin installed in the prefix before the test", "none",
              inst.folder)
    dist = os.path.dirname(os.path.abspath(c.exe))
    try:
        c.equal("silent install: exit code", 0, inst.run(c.path(SETUP), "/S"))
        c.equal("every file in the install folder", sorted(SHIPPED + ["uninstall.exe"]),
                sorted(os.listdir(inst.folder)) if os.path.isdir(inst.folder) else "no folder")
        for name in SHIPPED:
            with open(os.path.join(dist, name), "rb") as f:
                c.check(os.path.exists(inst.path(name)) and inst.read(name) == f.read(),
                        "%s installed as built" % name)

        c.require(os.path.exists(inst.shortcut), "a Start menu shortcut 'Pellorin'", inst.shortcut, "missing")
        with open(inst.shortcut, "rb") as f:
            target, icon = shortcut_target(f.read())
        launcher = inst.win_folder + "\\rovudir.exe"
        c.equal("the shortcut runs the launcher in the install folder", launcher.lower(), (target or "").lower())
        c.equal("the shortcut's icon", (inst.win_folder + "\\pellorin.ico").lower(), (icon or "").lower())

        values = c.wait_for(lambda: cases_scripts.query(c, UNINSTALL_KEY), 5) or {}
        quoted = '"%s\\uninstall.exe"' % inst.win_folder
        expected = {"DisplayName": "Pellorin", "DisplayVersion": "2.2", "Publisher": "The Pellorin developers",
                    "DisplayIcon": inst.win_folder + "\\Pellorin.exe,0", "NoModify": "0x1", "NoRepair": "0x1",
                    "UninstallString": quoted, "QuietUninstallString": quoted + " /S",
                    "InstallLocation": inst.win_folder}
        c.equal("the uninstall entry", expected, {k: values.get(k) for k in expected})
        size_kb = int(values.get("EstimatedSize", "0"), 16)
        c.check(200 <= size_kb <= 2000, "the uninstall entry's size in KB", "200..2000", size_kb)

        # The user's way in: the shortcut's target, the launcher.
        start(c, launcher)
        c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the installed program starts from the shortcut")
        c.check(c.wait_for(lambda: all(os.path.exists(inst.path(f)) for f in SIX), 10),
                "the installed program keeps its settings in the install folder", SIX, os.listdir(inst.folder))

        # Settings the user changed survive an install over them; the running
        # program is closed first, through its exit routine.
        popup = b'"enabled"\r\n 400 \r\n 300 \r\n"none"\r\n'
        inst.write("hotkey.cfg", b'"W"\r\n')
        inst.write("popup.cfg", popup)
        os.remove(inst.path("setup.cfg"))
        c.equal("install over a running copy: exit code", 0, inst.run(c.path(SETUP), "/S"))
        c.equal("the running Pellorin was closed", [], c.windows(TITLE))
        c.equal("it closed through its exit routine (setup.cfg written)", b"Explorer\r\nhide\r\n", inst.read("setup.cfg"))
        c.equal("hotkey.cfg kept", b'"W"\r\n', inst.read("hotkey.cfg"))
        c.equal("popup.cfg kept", popup, inst.read("popup.cfg"))
        c.equal("files after the second install", sorted(SHIPPED + SIX + ["uninstall.exe"]),
                sorted(os.listdir(inst.folder)))

        # Uninstall with the program running, started with Windows and with a
        # toolbar button, and a settings write left unfinished.
        start(c, launcher)
        c.require(c.probe("find", TITLE, 20000, timeout=40)[0] == 0, "the installed program runs again")
        c.reg("add", RUN_KEY, "/v", "Pellorin", "/t", "REG_SZ", "/d", '"%s\\Pellorin.exe"' % inst.win_folder, "/f")
        c.reg("add", BUTTON_KEY, "/v", "ButtonText", "/t", "REG_SZ", "/d", "Pellorin", "/f")
        inst.write("stats.cfg.new", b" 1 \r\n")
        rc, done = inst.uninstall()
        c.equal("silent uninstall: exit code", 0, rc)
        c.check(done, "the install folder and the uninstall entry are gone", "gone",
                os.listdir(inst.folder) if os.path.exists(inst.folder) else "folder gone, entry still there")
        c.equal("the running Pellorin was closed", [], c.windows(TITLE))
        c.check(not os.path.exists(inst.shortcut), "the shortcut is gone")
        c.equal("Pellorin no longer starts with Windows", None, (cases_scripts.query(c, RUN_KEY) or {}).get("Pellorin"))
        c.equal("the toolbar button is gone", None, cases_scripts.query(c, BUTTON_KEY))
    finally:
        inst.clean_up()


TESTS = {
    "launcher_shows_tray_window": t_launcher_shows_tray_window,
    "launcher_starts_pellorin": t_launcher_starts_pellorin,
    "launcher_missing_exe": t_launcher_missing_exe,
    "planted_library": t_planted_library,
    "installer": t_installer,
}
LIMITS = {"installer": 150}
