"""End-to-end tests of the about box ("About...") and the update check
("Check for updates..."), with a small web server of the test's own on
127.0.0.1. The program under test is built with PELLORIN_UPDATE_URL set to
UPDATE_URL (scripts/test.sh asks `e2e.py update-url` for it)."""

import http.server
import os
import shutil
import socket
import ssl
import subprocess
import threading
import time

import harness
from cases import TITLE

UPDATE_PORT = 47831
UPDATE_PATH = "/program/pellorin/version.htm"
UPDATE_URL = "http://127.0.0.1:%d%s" % (UPDATE_PORT, UPDATE_PATH)
# How long the tests' build waits for a silent server, in seconds (a user's
# build waits 30): the limit is the same code either way, and a shorter one
# keeps the run short.
UPDATE_TIME_LIMIT = 10

ABOUT, UPDATE = "About...", "Check for updates..."
IMG_ABOUT = 120
# Controls of the about box.
LABEL8, LABEL9, LABEL11, TEXT1, COMMAND3, COMMAND2, CLOSE = 107, 109, 111, 112, 113, 114, 115
# Controls of the update window.
STRIP, STATUS, PROGRESS, UPDATE_CLOSE = 105, 107, 108, 110
LATEST = b"You have the latest version!"
NOT_CHECKED = b"Couldn\xb4t check for a new version!"


class Server:
    """Answers every request with what `respond(handler)` does; stops on close()."""

    def __init__(self, respond, port=UPDATE_PORT):
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.requests.append(self.path)
                try:
                    respond(self)
                except (BrokenPipeError, ConnectionResetError):
                    pass

            def log_message(self, *args):
                pass

        self.requests = []
        self.stopping = threading.Event()
        http.server.ThreadingHTTPServer.allow_reuse_address = True
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.stopping.set()
        self.httpd.shutdown()
        self.httpd.server_close()


def page(handler, body, chunks=1, pause=0.0, content_type="text/html"):
    handler.send_response(200)
    handler.send_header("Content-Type", content_type)
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    step = max(1, len(body) // chunks)
    for at in range(0, len(body), step):
        handler.wfile.write(body[at:at + step])
        handler.wfile.flush()
        time.sleep(pause)


def with_documents(c):
    folder = os.path.dirname(os.path.abspath(c.exe))
    for name in ("readme.txt", "faq.txt"):
        shutil.copy(os.path.join(folder, name), c.path(name))
        harness.give_to(c.path(name), c.env.uid, c.env.gid)


def open_about(c):
    c.probe("press", TITLE, IMG_ABOUT)
    c.require(c.probe("visible", ABOUT, 10000)[0] == 0, "a click on the picture opens the about box")


def open_update(c):
    c.probe("click", ABOUT, COMMAND2)
    c.require(c.probe("visible", UPDATE, 10000)[0] == 0, "the about box opens the update window")


def status(c):
    return c.ctl_of(UPDATE, STATUS).get("text")


def t_about_box(c):
    c.write("stats.cfg", b" 123 \r\n 4 \r\n")
    with_documents(c)
    with open(c.path("readme.txt"), "rb") as f:
        readme = f.read()
    with open(c.path("faq.txt"), "rb") as f:
        faq = f.read()
    c.start_and_wait()
    open_about(c)
    c.equal("maximizes from stats.cfg", b"123", c.ctl_of(ABOUT, LABEL8).get("text"))
    c.equal("killed pop-ups from stats.cfg", b"4", c.ctl_of(ABOUT, LABEL9).get("text"))
    c.equal("saved mouse movement", b"12.3 Meters", c.ctl_of(ABOUT, LABEL11).get("text"))
    shown = c.ctl_of(ABOUT, TEXT1).get("text") or b""
    c.check(shown == readme, "the box opens with readme.txt, whole", (len(readme), readme[:40]),
            (len(shown), shown[:40]))
    c.probe("click", ABOUT, COMMAND3)
    shown = c.wait_for(lambda: (lambda t: t if t == faq else None)(c.ctl_of(ABOUT, TEXT1).get("text")), 5) or b""
    c.check(shown == faq, "FAQ shows faq.txt, whole", (len(faq), faq[:40]), (len(shown), shown[:40]))
    c.equal("the switch now offers the readme", b"Read Me", c.ctl_of(ABOUT, COMMAND3).get("text"))
    c.probe("click", ABOUT, CLOSE)
    c.check(c.wait_for(lambda: c.probe("find", ABOUT)[0] != 0, 5), "Close closes the about box")
    open_about(c)
    c.check(c.ctl_of(ABOUT, TEXT1).get("text") == readme and c.ctl_of(ABOUT, COMMAND3).get("text") == b"FAQ",
            "opened again: readme.txt, and the switch offers the FAQ")
    c.exit_by_button()


def t_update_check(c):
    body = b"<html><head><title>2.2</title></head><body><p>Pellorin 2.2</p> <p>is the latest</p></body></html>"
    server = Server(lambda h: page(h, body))
    try:
        c.start_and_wait()
        open_about(c)
        open_update(c)
        c.check(c.wait_for(lambda: status(c) == LATEST, 15), "a page titled 2.2: the latest version", LATEST,
                status(c))
        c.equal("the page's body in the strip", b"Pellorin 2.2 is the latest", c.ctl_of(UPDATE, STRIP).get("text"))
        c.equal("the progress is gone with the verdict", 0, c.ctl_of(UPDATE, PROGRESS).get("visible"))
        c.equal("the version page was asked for", [UPDATE_PATH], server.requests)
        c.probe("click", UPDATE, UPDATE_CLOSE)
        c.check(c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 5), "Close closes the update window")
    finally:
        server.close()
    c.exit_by_button()


def t_update_slow_and_silent(c):
    body = b"<title>2.3</title><body>" + b"x" * 16000 + b"</body>"
    server = Server(lambda h: page(h, body, chunks=8, pause=0.7))
    try:
        c.start_and_wait()
        open_about(c)
        open_update(c)
        seen = c.wait_for(lambda: (lambda t: t if t and t.endswith(b"%") else None)(
            c.ctl_of(UPDATE, PROGRESS).get("text")), 8, step=0.2)
        c.check(seen, "a slow page shows a percentage first", b"N%", seen)
        c.equal("still connecting meanwhile", b"Connecting...", status(c))
        c.check(c.wait_for(lambda: status(c) == b"You don\xb4t have the latest version!", 15),
                "a page titled 2.3: not the latest", b"You don\xb4t have the latest version!", status(c))
        c.probe("click", UPDATE, UPDATE_CLOSE)
        c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 5)
    finally:
        server.close()

    # A server that takes the connection and never answers: closing the
    # window is at once, and the check gives up by its own time limit.
    silent = socket.socket()
    silent.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    silent.bind(("127.0.0.1", UPDATE_PORT))
    silent.listen(5)
    try:
        open_update(c)
        time.sleep(2)
        c.equal("no answer: still connecting", b"Connecting...", status(c))
        c.probe("click", UPDATE, UPDATE_CLOSE)
        t0 = time.time()
        gone = c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 10, step=0.1)
        took = time.time() - t0
        c.check(gone and took < 2, "Close works at once while the server is silent (%.1f s)" % took, "gone in < 2 s",
                took)
        harness.log("  UPDATE: closed during a silent fetch in %.2f s" % took)

        open_update(c)
        t0 = time.time()
        watcher = answering(c, (UPDATE_TIME_LIMIT + 6) * 1000)
        gave_up = c.wait_for(lambda: status(c) == NOT_CHECKED, UPDATE_TIME_LIMIT + 10, step=0.5)
        took = time.time() - t0
        c.check(gave_up and UPDATE_TIME_LIMIT - 1 <= took <= UPDATE_TIME_LIMIT + 5,
                "silent server: the check gives up after its %d s (%.1f s)" % (UPDATE_TIME_LIMIT, took),
                NOT_CHECKED, status(c))
        c.equal("the strip says why", b"The server did not answer in time.", c.ctl_of(UPDATE, STRIP).get("text"))
        harness.log("  UPDATE: a silent server given up after %.1f s" % took)
        slowest = slowest_answer(c, watcher)
        c.check(slowest is not None and slowest < 1000, "the main window answered throughout", "< 1000 ms", slowest)
        c.check(c.pellorin.poll() is None, "the program still runs")
    finally:
        silent.close()
    c.exit_by_button()


def answering(c, ms):
    """Starts asking the main window's title box for its text, every 50 ms for ms."""
    p = c.env.popen([c.env.wine, c.tool("probe.exe"), "answers", TITLE, "101", str(ms)], cwd=c.dir,
                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    c.procs.append(p)
    c.require(p.stdout.readline().startswith(b"ready="), "the probe asking the main window runs")
    return p


def slowest_answer(c, p):
    """The longest the main window took to answer, in ms; None if it stopped answering."""
    out = p.communicate(timeout=60)[0].decode("latin-1")
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return None if "error" in values else int(values.get("slowest", "-1"))


def t_update_hostile_pages(c):
    # 64 KiB of tags (a page that took seconds to read), then a UTF-8 page.
    pages = [(b"<>" * 32768, "text/html"),
             ("<title>2.2</title><body>Gr\u00fc\u00dfe \u2013 na\u00efve caf\u00e9 \u20ac</body>".encode("utf-8"),
              "text/html; charset=utf-8")]
    server = Server(lambda h: page(h, pages[min(len(server.requests), len(pages)) - 1][0],
                                   content_type=pages[min(len(server.requests), len(pages)) - 1][1]))
    try:
        c.start_and_wait()
        open_about(c)
        watcher = answering(c, 4000)
        open_update(c)
        c.check(c.wait_for(lambda: status(c) == b"You don\xb4t have the latest version!", 15),
                "64 KiB of tags: the verdict shows", b"You don\xb4t have the latest version!", status(c))
        slowest = slowest_answer(c, watcher)
        c.check(slowest is not None and slowest < 1000, "the main window answered throughout", "< 1000 ms", slowest)
        harness.log("  UPDATE: 64 KiB of tags, the main window answered within %s ms" % slowest)
        strip = c.ctl_of(UPDATE, STRIP).get("text") or b""
        c.check(strip.startswith(b"<><>"), "the strip shows the tags as text", b"<><>...", strip[:20])
        c.probe("click", UPDATE, UPDATE_CLOSE)
        c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 5)

        open_update(c)
        c.check(c.wait_for(lambda: status(c) == LATEST, 15), "a UTF-8 page titled 2.2: the latest version", LATEST,
                status(c))
        c.equal("the UTF-8 page's text in the strip", "Gr\u00fc\u00dfe \u2013 na\u00efve caf\u00e9 \u20ac".encode("cp1252"),
                c.ctl_of(UPDATE, STRIP).get("text"))
    finally:
        server.close()
    c.exit_by_button()


def redirect(handler, location):
    handler.send_response(302)
    handler.send_header("Location", location)
    handler.send_header("Content-Length", "0")
    handler.end_headers()


def t_update_portal(c):
    # The version page moved on its own site: followed. A network's sign-in
    # page (a redirect to another port, serving "Login") and a redirect that
    # goes round in a circle: no verdict either way, and the sign-in page is
    # never asked for.
    login = Server(lambda h: page(h, b"<title>Login</title><body>Please sign in</body>"), UPDATE_PORT + 1)
    mode = ["moved"]

    def respond(h):
        if h.path == "/moved/version.htm":
            page(h, b"<title>2.2</title><body>moved here</body>")
        elif mode[0] == "moved":
            redirect(h, "/moved/version.htm")
        elif mode[0] == "portal":
            redirect(h, "http://127.0.0.1:%d/login?to=%s" % (UPDATE_PORT + 1, UPDATE_PATH))
        else:
            redirect(h, UPDATE_PATH)

    server = Server(respond)
    try:
        c.start_and_wait()
        open_about(c)
        for mode[0], verdict, strip in (
                ("moved", LATEST, b"moved here"),
                ("portal", NOT_CHECKED, b"Another site answered in the version page's place."),
                ("loop", NOT_CHECKED, b"The server sent the check round in circles.")):
            open_update(c)
            c.check(c.wait_for(lambda: status(c) == verdict, 15), "%s: the verdict" % mode[0], verdict, status(c))
            c.equal("%s: the strip" % mode[0], strip, c.ctl_of(UPDATE, STRIP).get("text"))
            c.probe("click", UPDATE, UPDATE_CLOSE)
            c.require(c.wait_for(lambda: c.probe("find", UPDATE)[0] != 0, 5), "Close closes the update window")
        c.equal("the sign-in page was never asked for", [], login.requests)
        c.check(len(server.requests) < 12, "the circle was left after a few steps", "< 12 requests",
                len(server.requests))
    finally:
        server.close()
        login.close()
    c.exit_by_button()


def t_update_refused(c):
    c.start_and_wait()  # nothing listens on the port
    open_about(c)
    open_update(c)
    c.check(c.wait_for(lambda: status(c) == NOT_CHECKED, 20), "a refused connection: the check could not be made",
            NOT_CHECKED, status(c))
    c.equal("the strip says why", b"No connection to the server.", c.ctl_of(UPDATE, STRIP).get("text"))
    c.exit_by_button()


def untrusted_server(c):
    """An https server on a free port of 127.0.0.1 whose certificate no one
    vouches for, made up for the test; returns it and its address."""
    key, cert = c.path("key.pem"), c.path("cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "1", "-subj", "/CN=127.0.0.1"], check=True, capture_output=True)

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            page(self, b"<title>2.2</title>")

        def log_message(self, *args):
            pass

    httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    httpd.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    httpd.socket = context.wrap_socket(httpd.socket, server_side=True)
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    return httpd, "https://127.0.0.1:%d%s" % (httpd.server_address[1], UPDATE_PATH)


def t_win32_web(c):
    # The page loader itself, with a server of its own that stalls a page:
    # a load given up while its worker waits, and a new one at once, as
    # closing and reopening the update window does. Its WinINet calls are
    # watched for a handle closed from the wrong thread or used after its close.
    # Then a secure server with a certificate no one vouches for.
    httpd, address = untrusted_server(c)
    try:
        c.run_check_tool("win32_web_test.exe", "every page loader check passes (exit code)", address)
    finally:
        httpd.shutdown()
        httpd.server_close()


TESTS = {
    "about_box": t_about_box,
    "update_check": t_update_check,
    "update_slow_and_silent": t_update_slow_and_silent,
    "update_refused": t_update_refused,
    "update_portal": t_update_portal,
    "update_hostile_pages": t_update_hostile_pages,
    "win32_web": t_win32_web,
}
LIMITS = {"update_slow_and_silent": 150, "win32_web": 60}
# A slow and a silent server are a matter of time, not of the width: the
# second build keeps the other update tests and the page loader's own.
ONE_WIDTH = {"update_slow_and_silent"}
