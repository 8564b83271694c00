"""The editor's HTTP side. Every request must carry the run's token as the
first part of its path and name this server by its loopback address and
port; files are served read-only from the page's folder and the project,
and only a save writes, and only texts of menus/."""

import json
import os
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote, urlsplit

from . import picture_files, project_files
from .guard import MAX_BODY_BYTES, host_allowed, inside, origin_allowed, token_matches

PAGE = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "page")
TYPES = {
    ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8",
    ".css": "text/css; charset=utf-8", ".json": "application/json", ".png": "image/png",
    ".bmp": "image/bmp", ".gif": "image/gif", ".jpg": "image/jpeg", ".jpeg": "image/jpeg",
    ".webp": "image/webp", ".tif": "image/tiff", ".tiff": "image/tiff", ".ico": "image/x-icon",
    ".svg": "image/svg+xml", ".txt": "text/plain; charset=utf-8", ".names": "text/plain; charset=utf-8",
    ".pdf": "application/pdf",
}
SECURITY_HEADERS = {
    "Cache-Control": "no-store",
    "X-Content-Type-Options": "nosniff",
    "X-Frame-Options": "DENY",
    "Referrer-Policy": "no-referrer",
    "Content-Security-Policy": "default-src 'self'; img-src 'self' blob:; style-src 'self'; script-src 'self'; "
                               "frame-ancestors 'none'; base-uri 'none'; form-action 'none'",
}


def main_resources(project):
    """Resource names of menus/menu.txt, in line order."""
    main = project_files.text_file(project, "menus/menu.txt")
    names = []
    text = (main or {}).get("text") or ""
    for line in text.lstrip("\ufeff").splitlines():
        fields = line.split(";", 4)
        if len(fields) == 5 and fields[3]:
            names.append(fields[3])
    return main, names


def project_state(project):
    main, resources = main_resources(project)
    return {
        "project": os.path.basename(os.path.abspath(project)),
        "main": main,
        "menus": project_files.menu_files(project, resources),
        "discNames": project_files.disc_names(project),
    }


def lone_surrogate(value):
    """The first lone surrogate of a JSON value's texts and keys, or None:
    JSON may carry one, UTF-8 cannot."""
    if isinstance(value, str):
        return next((char for char in value if 0xD800 <= ord(char) <= 0xDFFF), None)
    items = value.items() if isinstance(value, dict) else enumerate(value) if isinstance(value, list) else ()
    for key, item in items:
        found = lone_surrogate(key) if isinstance(key, str) else None
        found = found or lone_surrogate(item)
        if found:
            return found
    return None


class EditorServer(ThreadingHTTPServer):
    daemon_threads = True
    # Tabs and tests send many requests at once; each is served in a thread
    # of its own, and none waiting is turned away.
    request_queue_size = 256

    def __init__(self, project, token, checker, port=0):
        self.project = os.path.abspath(project)
        self.token = token
        self.checker = checker
        super().__init__(("127.0.0.1", port), EditorHandler)

    @property
    def port(self):
        return self.server_address[1]

    def url(self):
        return f"http://127.0.0.1:{self.port}/{self.token}/"


class EditorHandler(BaseHTTPRequestHandler):
    server_version = "menu-editor"
    sys_version = ""

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        if os.environ.get("EDITOR_LOG"):
            super().log_message(format, *args)

    # ---- answers ----------------------------------------------------------

    def answer(self, status, body=b"", content_type="text/plain; charset=utf-8"):
        try:
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            for name, value in SECURITY_HEADERS.items():
                self.send_header(name, value)
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            # The tab was closed or reloaded while a check ran: nobody waits
            # for this answer, and that is no fault of the editor's.
            self.close_connection = True

    def answer_json(self, status, value):
        self.answer(status, json.dumps(value).encode(), "application/json")

    def refuse(self, status, why):
        self.answer(status, (why + "\n").encode())

    # ---- the gate -----------------------------------------------------------

    def route(self):
        """The path after the token, or None once refused."""
        if not host_allowed(self.headers.get("Host"), self.server.port):
            self.refuse(403, "this server answers only to 127.0.0.1 and its own port")
            return None
        parts = urlsplit(self.path)
        first, _, rest = parts.path.lstrip("/").partition("/")
        if not token_matches(self.server.token, unquote(first)):
            self.refuse(403, "this address needs the token printed when the editor started")
            return None
        return unquote(rest)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        rest = self.route()
        if rest is None:
            return
        if "/" not in urlsplit(self.path).path.lstrip("/"):
            # The page's own files are named relative to the token's folder.
            self.send_response(301)
            self.send_header("Location", f"/{self.server.token}/")
            self.send_header("Content-Length", "0")
            self.end_headers()
            return None
        if rest in ("", "index.html"):
            return self.send_file(os.path.join(PAGE, "index.html"))
        if rest == "api/project":
            return self.answer_json(200, project_state(self.server.project))
        if rest.startswith("files/"):
            path = inside(self.server.project, rest[len("files/"):])
            return self.send_file(path)
        return self.send_file(inside(PAGE, rest))

    def send_file(self, path):
        if path is None or not os.path.isfile(path):
            return self.refuse(404, "no such file")
        with open(path, "rb") as f:
            data = f.read()
        self.answer(200, data, TYPES.get(os.path.splitext(path)[1].lower(), "application/octet-stream"))

    def do_POST(self):
        rest = self.route()
        if rest is None:
            return
        if not origin_allowed(self.headers.get("Origin"), self.server.port):
            return self.refuse(403, "a request from another site")
        handlers = {
            "api/check": self.post_check,
            "api/free-name": self.post_free_name,
            "api/save": lambda b: self.post_changes(b, project_files.save, "[{path, base, text}]"),
            "api/save-pictures": lambda b: self.post_changes(b, picture_files.save, "[{path, base, data}]"),
            "api/remove": lambda b: self.post_changes(b, picture_files.remove, "[{path, base}]"),
        }
        if rest not in handlers:
            return self.refuse(404, "no such action")
        body = self.read_body()
        if body is not None:
            handlers[rest](body)

    def do_PUT(self):
        self.refuse(405, "read-only")

    do_DELETE = do_PATCH = do_PUT

    def read_body(self):
        """The request's JSON object, or None once refused."""
        try:
            length = int(self.headers.get("Content-Length", ""))
        except ValueError:
            self.refuse(411, "a body needs its Content-Length")
            return None
        if length < 0 or length > MAX_BODY_BYTES:
            self.close_connection = True
            self.refuse(413, f"a body is at most {MAX_BODY_BYTES} bytes")
            return None
        try:
            value = json.loads(self.rfile.read(length))
        except ValueError:
            value = None
        if not isinstance(value, dict):
            self.refuse(400, "the body is a JSON object")
            return None
        surrogate = lone_surrogate(value)
        if surrogate is not None:
            self.refuse(400, f"the text holds U+{ord(surrogate):04X}, half of a character (a lone surrogate), "
                        "which no file can store")
            return None
        return value

    # ---- actions --------------------------------------------------------------

    def post_check(self, body):
        files = body.get("files") or {}
        if not isinstance(files, dict) or not all(isinstance(v, str) for v in files.values()):
            return self.refuse(400, "files: {path: text}")
        removed = body.get("removed") or []
        try:
            pictures = picture_files.decoded(body.get("pictures") or {})
            if not isinstance(removed, list) or not all(isinstance(p, str) for p in removed):
                raise ValueError("removed: [path]")
        except ValueError as error:
            return self.refuse(400, str(error))
        started = time.monotonic()
        try:
            result = self.server.checker.run(files, pictures, removed)
        except OSError as error:
            # Said on the page like a check that did not finish, never as none.
            result = {"findings": [], "failure": f"the check could not run: {error}"}
        result["milliseconds"] = round((time.monotonic() - started) * 1000)
        self.answer_json(200, result)

    def post_changes(self, body, save, shape):
        """A save, a save of pictures or a removal: `save(project, changes)`
        with the changes in `shape`, answered the same way for each."""
        changes = body.get("changes")
        if not isinstance(changes, list) or not all(isinstance(c, dict) for c in changes):
            return self.refuse(400, f"changes: {shape}")
        try:
            written = save(self.server.project, changes)
        except project_files.Refused as refused:
            return self.answer_json(403, {"refused": str(refused)})
        except project_files.Conflict as conflict:
            return self.answer_json(409, {"conflicts": conflict.paths})
        except OSError as error:
            return self.answer_json(500, {"failed": f"{error.filename or ''}: {error.strerror}"})
        self.answer_json(200, {"written": written})

    def post_free_name(self, body):
        try:
            self.answer_json(200, {"path": project_files.free_name(self.server.project, body.get("path"))})
        except (project_files.Refused, AttributeError, TypeError) as refused:
            self.answer_json(403, {"refused": str(refused)})
