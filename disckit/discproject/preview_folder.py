"""The preview's folder holds the preview's pictures and nothing else: a
folder that holds other files is refused, untouched. The pictures of the
last preview are listed in the folder's .preview file, so a new preview
replaces exactly those."""

import os
import shutil

from .findings import Failure
from .safe_files import remove_file, replace_file

LIST = ".preview"


def earlier_pictures(folder, in_build_tree=False):
    """The pictures an earlier preview left in `folder`; Failure when it
    holds anything else. In the build tree's own preview folder, PNG files
    are earlier previews' too (those made before the list was kept)."""
    if not os.path.lexists(folder):
        return []
    if os.path.islink(folder) or not os.path.isdir(folder):
        raise Failure(f"{folder} is no folder; the preview's pictures need one of their own")
    try:
        with open(os.path.join(folder, LIST), encoding="utf-8") as f:
            listed = [line for line in f.read().splitlines() if line]
    except FileNotFoundError:
        listed = []
    if in_build_tree:
        listed += [n for n in os.listdir(folder) if n.endswith(".png") and n not in listed]
    strangers = sorted(n for n in os.listdir(folder) if n != LIST and n not in listed)
    if strangers:
        raise Failure(f"{folder} holds {strangers[0]}, which no preview made; the preview writes only into a "
                      "folder of its own (missing, empty or an earlier preview's): choose another PREVIEW")
    return listed


def publish(drawn, pictures, folder, in_build_tree=False):
    """Replaces the earlier preview's pictures in `folder` with `pictures`
    from the folder `drawn`."""
    earlier = earlier_pictures(folder, in_build_tree)
    os.makedirs(folder, exist_ok=True)
    for name in earlier:
        if name not in pictures:
            remove_file(os.path.join(folder, name))
    for name in pictures:
        shutil.copyfile(os.path.join(drawn, name), os.path.join(folder, name + ".new"))
        os.replace(os.path.join(folder, name + ".new"), os.path.join(folder, name))
    replace_file(os.path.join(folder, LIST), "".join(n + "\n" for n in pictures).encode("utf-8"))
