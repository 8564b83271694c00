"""The project's own files: what the program reads from a project lies in
its folder, resolved once. A link inside disc/ or menus/ is judged where it
lies; the folders and files at the top are judged here, so that disc/ or
menus/ as a whole cannot be a link to a folder elsewhere."""

import os

from .disc_names import link_problem, shown

# What the program reads at the top of a project folder.
TOP = ("project.txt", "menus", "disc", "manuals")


def outside_links(project_path):
    """(path, problem) for each entry at the top of the project that is a
    link leading out of it or nowhere; a link to a folder inside is taken."""
    problems = []
    for name in TOP:
        path = os.path.join(project_path, name)
        problem = link_problem(project_path, path, folder_ok=True)
        if problem:
            problems.append((shown(path), problem))
    return problems
