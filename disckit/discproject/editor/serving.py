"""One run of the menu editor: the page served on 127.0.0.1 only, its one
address (with this run's token) printed and opened where a display and a
browser are present, until Ctrl-C (or SIGTERM) ends it."""

import os
import shutil
import signal
import tempfile
import threading

from .. import tool_runner
from ..findings import Failure
from .guard import new_token
from .http_app import EditorServer
from .live_check import LiveCheck


def open_browser(url):
    """Only where someone can see it; the printed address is enough else."""
    if not (os.environ.get("DISPLAY") or os.environ.get("WAYLAND_DISPLAY")) or not shutil.which("xdg-open"):
        return
    tool_runner.detach(["xdg-open", url])


def serve(project, menucheck, port=0, opens=True):
    """Runs the editor of `project` until it is ended; Failure when it
    cannot start."""
    if not os.path.isdir(os.path.join(project, "menus")):
        raise Failure(f"{project}: no project folder (it has no menus/)")
    with tempfile.TemporaryDirectory(prefix="menu-editor.") as scratch:
        checker = LiveCheck(project, os.path.abspath(menucheck), scratch)
        try:
            server = EditorServer(project, new_token(), checker, port)
        except OSError as error:
            raise Failure(f"cannot listen on 127.0.0.1:{port}: {error.strerror}") from None
        stop = threading.Event()
        signal.signal(signal.SIGTERM, lambda *_: stop.set())
        # Ctrl-C ends it even where it was started with SIGINT ignored.
        signal.signal(signal.SIGINT, signal.default_int_handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        # The first check copies the project and converts its pictures; done
        # now, the page's first answer comes as fast as every later one.
        threading.Thread(target=checker.run, args=({},), daemon=True).start()
        print(f"The menu editor of {project}: {server.url()}", flush=True)
        print("Ctrl-C ends it.", flush=True)
        if opens:
            open_browser(server.url())
        try:
            while not stop.wait(0.5):
                pass
        except KeyboardInterrupt:
            pass
        server.shutdown()
        server.server_close()
        with checker.lock:
            pass  # a check still running finishes before its scratch copy goes
    print("The menu editor has ended.", flush=True)
    return 0
