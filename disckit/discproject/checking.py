"""The check of a project: its menus made as the program will carry them,
then menucheck on them and on the names the disc will have (or a laid-out
tree)."""

import os
import tempfile

from . import hotspot_names, manuals
from .check_cache import NO_CACHE
from .disc_tree import judge
from .findings import Findings, Stop
from .menucheck import pass_on, run_menucheck
from .preview_folder import publish
from .project_folder import Project
from .resources import build_resources
from .standing_menus import check_standing_menus


def check_project(project_path, menucheck, findings, env, reader=None, tree=None, cache=NO_CACHE, every_menu=False):
    """Findings for the project; Failure when the check cannot finish.
    `cache` (a CheckCache) keeps the slow steps' results for the next
    check of the same project. `every_menu`: an error elsewhere does not
    keep menucheck from judging the menus that can be made."""
    with cache.work_folder() as work:
        out = os.path.join(work, "resources")
        try:
            project = Project(project_path, findings)
            sources = build_resources(project, out, cache)
            judge(project, findings, reader=reader)
            language = project.setting("manual-language")
            for source in manuals.sources(project):
                if findings.errors:
                    break
                if source.endswith(".md"):
                    cache.markdown_layout(project, source, findings)
                else:
                    cache.manual_characters(source, language, findings, env)
        except Stop:
            return
        if sources is None or findings.errors:
            if every_menu:
                check_standing_menus(project_path, menucheck, findings, env, work, reader, cache)
            return
        note = "no such file in the laid-out tree"
        if tree is None:
            # The names the disc will have, without building anything.
            try:
                tree = cache.names_tree(project, findings, work, env, reader)
            except Stop:
                return
            note = f"no such file in {findings.name(project.disc)}, nor made by the build"
        records = run_menucheck(menucheck, [out, tree], env)
        pass_on(records, findings, sources, out, note)


def tree_check(project, menucheck, findings, env, reader):
    """For a layout: judges the new tree with menucheck before it gets its
    name; a start target or document missing from it stops the layout."""
    def check(tree):
        with tempfile.TemporaryDirectory() as work:
            out = os.path.join(work, "resources")
            sources = build_resources(Project(project.path, findings), out)
            if sources is None:
                raise Stop()
            errors = findings.errors
            pass_on(run_menucheck(menucheck, [out, tree]), findings, sources, out,
                    "no such file in the laid-out tree")
            if findings.errors > errors:
                raise Stop()
    return check if menucheck else None


def preview(project_path, menucheck, pictures, findings, in_build_tree=False):
    """menucheck's annotated pictures of every menu, drawn in a folder of
    its own and then put into `pictures`; their names, or None."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "resources")
        try:
            sources = build_resources(Project(project_path, findings), out)
        except Stop:
            return None
        if sources is None:
            return None
        drawn = os.path.join(work, "preview")
        # The names read once more, for the labels only: their findings
        # were reported as the resources were made.
        labels = os.path.join(work, "names")
        hotspot_names.write_for_preview(Project(project_path, Findings(report=None)), labels)
        pass_on(run_menucheck(menucheck, ["--preview", drawn, "--preview-names", labels, out]), findings, sources, out, "")
        names = drawn_pictures(drawn)
        publish(drawn, names, pictures, in_build_tree)
        return names


def drawn_pictures(folder):
    return sorted(n for n in os.listdir(folder) if n.endswith(".png")) if os.path.isdir(folder) else []
