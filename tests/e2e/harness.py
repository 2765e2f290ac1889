"""Runs Pellorin.exe and the helper tools under Wine for the end-to-end tests.

One Wine prefix and one X server serve a whole test run (setting a prefix up
costs seconds); each test gets a fresh program folder of its own. Everything
Windows-side runs as an unprivileged user: Wine run by root ignores the Unix
write bit, so read-only files would not be refused as they are on Windows.
"""

import json
import os
import pwd
import shutil
import signal
import subprocess
import tempfile
import time

E2E_USER = "pellorin-e2e"
DESKTOP_SIZE = "1024x768"
# Which Wine runs the Windows side: the 32-bit build in a 32-bit prefix, or,
# where the kernel cannot start 32-bit programs, the 64-bit build under the
# 64-bit loader in a 64-bit prefix.
WINES = {
    32: {"loader": "wine", "arch": "win32"},
    64: {"loader": "/usr/lib/wine/wine64", "arch": "win64"},
}


def log(msg):
    print(msg, flush=True)


# --------------------------------------------------------------------------
# Who runs Wine
# --------------------------------------------------------------------------

def ensure_user():
    """The account Wine runs as: a dedicated one when we are root, else us."""
    if os.geteuid() != 0:
        pw = pwd.getpwuid(os.geteuid())
        return pw.pw_name, pw.pw_uid, pw.pw_gid
    try:
        pw = pwd.getpwnam(E2E_USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", E2E_USER],
                       check=True)
        pw = pwd.getpwnam(E2E_USER)
    return pw.pw_name, pw.pw_uid, pw.pw_gid


def give_to(path, uid, gid):
    if os.geteuid() == 0:
        os.chown(path, uid, gid)


# --------------------------------------------------------------------------
# State shared by the fixture and the tests
# --------------------------------------------------------------------------

class Env:
    def __init__(self, state):
        self.s = state
        self.user = state["user"]
        self.uid = state["uid"]
        self.gid = state["gid"]
        self.root = state["root"]
        self.home = state["home"]
        self.prefix = state["prefix"]
        self.display = state["display"]
        self.tools = state["tools"]
        self.bits = state.get("bits", 32)
        self.wine = WINES[self.bits]["loader"]

    @staticmethod
    def load(state_file):
        with open(state_file) as f:
            return Env(json.load(f))

    def wine_env(self, extra=None):
        env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": self.home,
            "USER": self.user,
            "LOGNAME": self.user,
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": os.environ.get("E2E_WINEDEBUG", "-all"),
            # No network here: never offer to fetch the .NET or HTML runtimes.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "DISPLAY": self.display,
            "LANG": "C.UTF-8",
            "WINEARCH": WINES[self.bits]["arch"],
        }
        if self.bits == 64:
            # Programs Wine starts by itself (wscript, reg...) take the same loader.
            env["WINELOADER"] = self.wine
        env.update(extra or {})
        return env

    def _demote(self):
        uid, gid = self.uid, self.gid

        def fn():
            if os.geteuid() == 0:
                os.setgroups([])
                os.setgid(gid)
                os.setuid(uid)
        return fn

    def popen(self, argv, cwd=None, extra_env=None, **kw):
        kw.setdefault("stdin", subprocess.DEVNULL)
        return subprocess.Popen(argv, cwd=cwd or self.home, env=self.wine_env(extra_env), preexec_fn=self._demote(),
                                start_new_session=True, **kw)

    def run(self, argv, cwd=None, timeout=60, **kw):
        # Output goes through files, not pipes: the first Wine program starts
        # the desktop process, which inherits the handles and outlives it.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = self.popen(argv, cwd=cwd, stdout=out, stderr=err, **kw)
            try:
                rc = p.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                kill_group(p)
                rc = 124
            out.seek(0)
            err.seek(0)
            return rc, out.read(), err.read()


def kill_group(p):
    """Ends a process we started. Only that one: what it started may be
    Wine's desktop process, shared by all the tests."""
    if p is None or p.poll() is not None:
        return
    try:
        os.kill(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    try:
        p.wait(timeout=10)
    except subprocess.TimeoutExpired:
        pass


# --------------------------------------------------------------------------
# Fixture: set up and tear down the shared X server and Wine prefix
# --------------------------------------------------------------------------

def start_xvfb(env_user):
    uid, gid = env_user
    r, w = os.pipe()

    def demote():
        if os.geteuid() == 0:
            os.setgroups([])
            os.setgid(gid)
            os.setuid(uid)
    # -displayfd lets the server pick a free display number itself.
    p = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", DESKTOP_SIZE + "x24", "-nolisten", "tcp"],
                         pass_fds=(w,), preexec_fn=demote, start_new_session=True,
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    data = b""
    deadline = time.time() + 30
    while not data.endswith(b"\n") and time.time() < deadline:
        chunk = os.read(r, 64)
        if not chunk:
            break
        data += chunk
    os.close(r)
    if not data.strip():
        kill_group(p)
        raise RuntimeError("Xvfb did not start")
    return p.pid, ":" + data.decode().strip()


def setup(state_file, tools_dir, bits=32):
    user, uid, gid = ensure_user()
    root = tempfile.mkdtemp(prefix="pellorin-e2e-", dir="/tmp")
    os.chmod(root, 0o755)
    give_to(root, uid, gid)
    state = {"user": user, "uid": uid, "gid": gid, "root": root, "home": os.path.join(root, "home"),
             "prefix": os.path.join(root, "prefix"), "tools": os.path.join(root, "tools"),
             "display": None, "xvfb_pid": None, "bits": bits}
    for d in (state["home"], state["tools"]):
        os.mkdir(d)
        give_to(d, uid, gid)
    os.makedirs(os.path.dirname(os.path.abspath(state_file)), exist_ok=True)
    # Write the state early so that cleanup finds what a failed setup left.
    with open(state_file, "w") as f:
        json.dump(state, f)

    for tool in ("probe.exe", "probehook.dll", "testwin.exe", "win32_files_test.exe", "win32_web_test.exe",
                 "plantedwininet.dll"):
        src = os.path.join(tools_dir, tool)
        if not os.path.exists(src):
            raise RuntimeError("missing %s: build the Windows tools first (cmake --build build/win32)" % src)
        dst = os.path.join(state["tools"], tool)
        shutil.copy(src, dst)
        give_to(dst, uid, gid)

    state["xvfb_pid"], state["display"] = start_xvfb((uid, gid))
    with open(state_file, "w") as f:
        json.dump(state, f)
    log("X server %s (pid %d), %d-bit prefix %s, user %s" % (state["display"], state["xvfb_pid"], bits,
                                                             state["prefix"], user))

    env = Env(state)
    t0 = time.time()
    rc, out, err = env.run([env.wine, "wineboot", "-i"], timeout=180)
    if rc != 0:
        raise RuntimeError("wineboot -i failed (%d): %s" % (rc, err.decode(errors="replace")[-2000:]))
    # A virtual desktop keeps window activation inside Wine: with no window
    # manager on the X server, focus would otherwise follow X's own rules.
    reg = os.path.join(state["home"], "desktop.reg")
    with open(reg, "w") as f:
        f.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n\"Desktop\"=\"Default\"\n\n"
                "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n\"Default\"=\"%s\"\n" % DESKTOP_SIZE)
    give_to(reg, uid, gid)
    rc, out, err = env.run([env.wine, "regedit", "/S", reg], timeout=60)
    if rc != 0:
        raise RuntimeError("regedit failed (%d)" % rc)
    # One server kept up for the whole run instead of one per test. The one
    # that booted the prefix goes first: a second "wineserver -p" beside a
    # running server does nothing. (Both detach and would hold on to any pipe.)
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    env.popen(["wineserver", "-k"], **quiet).wait(timeout=30)
    env.popen(["wineserver", "-w"], **quiet).wait(timeout=30)
    env.popen(["wineserver", "-p"], **quiet).wait(timeout=30)
    # The first program after boot brings up the desktop process; pay for
    # that here rather than inside the first test's time limit.
    rc, out, err = env.run([env.wine, os.path.join(state["tools"], "probe.exe"), "fg"], timeout=120)
    log("Wine prefix ready in %.1f s (warm-up probe: %d)" % (time.time() - t0, rc))
    return 0


def cleanup(state_file):
    if not os.path.exists(state_file):
        log("nothing to clean up")
        return 0
    with open(state_file) as f:
        state = json.load(f)
    env = Env(state)
    if os.path.isdir(state["prefix"]):
        env.popen(["wineserver", "-k"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait(timeout=30)
        env.popen(["wineserver", "-w"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait(timeout=30)
    kill_user_processes_under(env, state["root"])
    if state.get("xvfb_pid"):
        try:
            os.kill(state["xvfb_pid"], signal.SIGTERM)
        except ProcessLookupError:
            pass
    if os.environ.get("PELLORIN_E2E_KEEP") != "1":
        shutil.rmtree(state["root"], ignore_errors=True)
    else:
        log("kept %s" % state["root"])
    os.remove(state_file)
    log("cleaned up")
    return 0


def kill_user_processes_under(env, path):
    """Kills, one pid at a time, the test user's processes that run something
    from PATH (left behind by a test that timed out, for instance)."""
    me = os.getpid()
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == me:
            continue
        try:
            st = os.stat("/proc/" + pid)
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        if st.st_uid != env.uid or path not in cmd:
            continue
        if "wineserver" in cmd or "Xvfb" in cmd:
            continue
        try:
            os.kill(int(pid), signal.SIGKILL)
        except ProcessLookupError:
            pass
