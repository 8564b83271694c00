"""Where a project's builds go and how they are made. Every path is computed
here from the settings make passes through the environment (PROJECT, BUILD,
ISO, PREVIEW, SUMATRAPDF, JOBS) and every command is an argument list, so a
blank, quote, ";" or "$" in any of them is only data."""

import os
import re

from . import tool_runner
from .findings import Failure
from .project_bounds import outside_links
from .source_date import TREE
from .windows_program import file_gui_problem

DEFAULT_PROJECT = os.path.join("projects", "velmora-cd")
# CMake splits its lists at ";" and reads "\" and "$" as escapes and
# references; a path holding one cannot reach it intact.
CMAKE_UNSAFE = re.compile(r'[;\\$"\x00-\x1f]')


class Places:
    """The folders and files of one project's build."""

    def __init__(self, env, cwd=None):
        cwd = cwd or os.getcwd()
        self.root = TREE
        self.build = os.path.join(cwd, env.get("BUILD") or "build")
        self.jobs = env.get("JOBS") or "2"
        self.project = os.path.join(cwd, env.get("PROJECT") or DEFAULT_PROJECT).rstrip("/") or "/"
        self.project_shown = env.get("PROJECT") or DEFAULT_PROJECT
        self.name = os.path.basename(os.path.abspath(self.project))
        self.reader = env.get("SUMATRAPDF") or None
        self.default = os.path.realpath(self.project) == os.path.realpath(os.path.join(self.root, DEFAULT_PROJECT))
        if self.default:
            self.project_build = self.build
        else:
            # Named after the folder, but only with characters no tool reads
            # as anything else.
            safe = re.sub(r"[^A-Za-z0-9._-]", "_", self.name).lstrip(".") or "project"
            self.project_build = os.path.join(self.build, "projects", safe)
        self.win32 = os.path.join(self.project_build, "win32")
        self.programs = os.path.join(self.win32, "bin")
        self.stamp = os.path.join(self.win32, "tools", "pe_timestamp")
        self.host = os.path.join(self.build, "host")
        self.menucheck = os.path.join(self.host, "disckit", "menucheck")
        self.editor_host = os.path.join(self.build, "editor-host")
        self.editor_menucheck = os.path.join(self.editor_host, "disckit", "menucheck")
        self.cd = os.path.join(self.project_build, "cd")
        # Without ISO=, the image lies in the build folder, which is ours.
        self.iso_given = bool(env.get("ISO"))
        self.iso = os.path.join(cwd, env["ISO"]) if self.iso_given else os.path.join(self.build, self.name + ".iso")
        self.preview_given = bool(env.get("PREVIEW"))
        self.preview = (os.path.join(cwd, env["PREVIEW"]) if self.preview_given
                        else os.path.join(self.project_build, "preview"))
        self.demo = os.path.join(self.project_build, "demo")
        self.demo_image = os.path.join(self.project_build, "demo.iso")
        self.demo_tree = os.path.join(self.project_build, "demo-cd")

    def judge(self, builds_programs=True):
        """Refuses, before any folder is made, a project or build folder
        that the build cannot take."""
        if not os.path.isdir(self.project):
            raise Failure(f"{self.project_shown}: no such project folder")
        for path, problem in outside_links(self.project):
            raise Failure(f"{path}: {problem}")
        paths = [("build folder", os.path.abspath(self.build))]
        if builds_programs:
            paths.append(("project folder", os.path.abspath(self.project)))
        for what, path in paths:
            unsafe = CMAKE_UNSAFE.search(path)
            if unsafe:
                char = unsafe.group(0)
                shown = repr(char)[1:-1]
                raise Failure(f"the {what} {path!r} holds '{shown}', which CMake cannot take in a path; "
                              "rename or move it")
        if self.reader and not os.path.isfile(self.reader):
            raise Failure(f"the reader {self.reader} (SUMATRAPDF) does not exist")
        problem = self.reader and file_gui_problem(self.reader)
        if problem:
            raise Failure(f"the reader {self.reader} (SUMATRAPDF) is {problem}; name SumatraPDF's Windows program")


def _run(command, what):
    """Runs a build command with its output passed through."""
    if tool_runner.stream(command) != 0:
        raise Failure(f"{what} failed; its messages are above")


def build_menucheck(places):
    _run(["cmake", "-S", places.root, "-B", places.host, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug"],
         "configuring the host build")
    _run(["cmake", "--build", places.host, "-j", places.jobs, "--target", "menucheck"], "building menucheck")


def build_editor_menucheck(places):
    """The editor checks at every edit: its menucheck is built without the
    sanitizers, whose start alone takes longer than the check of a few
    menus (the host build's menucheck, which the tests run, keeps them)."""
    _run(["cmake", "-S", places.root, "-B", places.editor_host, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
          "-DVELMORA_SANITIZE=OFF", "-DVELMORA_CLANG_TIDY=OFF"], "configuring the editor's menucheck")
    _run(["cmake", "--build", places.editor_host, "-j", places.jobs, "--target", "menucheck"],
         "building the editor's menucheck")
    return places.editor_menucheck


def forget_programs(places):
    """A project's own programs of an earlier run: gone before a new build,
    so a failed one leaves none that could pass for its result."""
    if not places.default:
        for name in ("autorun.exe", "docrunner.exe"):
            try:
                os.remove(os.path.join(places.programs, name))
            except FileNotFoundError:
                pass


def _configure_windows(places, toolchain, folder, extra=()):
    _run(["cmake", "-S", places.root, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=MinSizeRel",
          f"-DCMAKE_TOOLCHAIN_FILE={os.path.join(places.root, 'cmake', toolchain + '.cmake')}", *extra],
         "configuring the programs' build")


def build_programs(places, toolchain="mingw-i686", folder=None):
    """The programs with the project's menus (the shipped build for the
    sample project itself). The code is compiled and checked once, in the
    tree's own build of that toolchain (BUILD/win32 or BUILD/win64, which
    the tests build too); a project's build adds only its menus and links."""
    folder = folder or places.win32
    shared = os.path.join(places.build, "win32" if toolchain == "mingw-i686" else "win64")
    if os.path.abspath(folder) == os.path.abspath(shared):
        _configure_windows(places, toolchain, folder)
        _run(["cmake", "--build", folder, "-j", places.jobs, "--target", "autorun", "docrunner"],
             "building the programs")
        return
    if not os.path.isfile(os.path.join(shared, "build.ninja")):
        _configure_windows(places, toolchain, shared)
    # The build configures itself again where its sources changed.
    _run(["cmake", "--build", shared, "-j", places.jobs, "--target", "program_code"], "building the programs' code")
    _configure_windows(places, toolchain, folder, [f"-DVELMORA_PROJECT={os.path.abspath(places.project)}",
                                                   f"-DVELMORA_PROGRAM_CODE={os.path.join(shared, 'program-code.cmake')}",
                                                   "-DVELMORA_CLANG_TIDY=OFF"])
    _run(["cmake", "--build", folder, "-j", places.jobs, "--target", "autorun", "docrunner"],
         "building the programs")
