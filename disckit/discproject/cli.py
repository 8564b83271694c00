"""project: a vendor's disc project folder, turned into a checked, signed
disc image. Every step is a subcommand; `make` calls the last group.

    project resources PROJECT OUT_DIR
        The menus of PROJECT/menus as the resource compiler takes them:
        OUT_DIR/menus.rc, each text in the code page of its language with
        CR LF line ends, each picture as a 24-bit uncompressed bitmap, the
        about text. Files whose bytes did not change keep their times; on an
        error OUT_DIR is removed (it holds only what this step writes).
    project setting PROJECT NAME
        One setting of PROJECT/project.txt, default applied: label, volume,
        icon, manual-language, fat-label.
    project autorun-inf PROJECT FILE
        Writes the disc's autorun.inf (label and icon of the project).
    project check [--reader FILE] PROJECT MENUCHECK [TREE]
        The project judged (settings, names and links in disc/, manuals),
        then menucheck on the menus against the disc tree TREE or, without
        it, the names the disc will have; a start target or document
        missing from the disc is an error.
    project preview PROJECT MENUCHECK OUT_DIR
        menucheck's annotated pictures of every menu in OUT_DIR, a folder
        of the preview's own (missing, empty or an earlier preview's).
    project disc-tree [--project DIR] [--reader FILE] [--stamp TOOL] [--check MENUCHECK] PROGRAM_DIR OUT_DIR
    project disc-tree --names-only [--project DIR] [--reader FILE] OUT_DIR
        Lays out the disc in OUT_DIR, its record in OUT_DIR.sha256.
    project image [--project DIR] [--sums FILE] TREE IMAGE
        The tree as an ISO 9660 image, checked, then renamed to IMAGE.
    project check-image [--sums FILE] IMAGE TREE
        The image checked against the tree (and the record of its layout).
    project extract-image IMAGE DIR
        The image's files in DIR (made anew, read-only), as a drive shows them.
    project usb-image [--project DIR] [--sums FILE] TREE IMAGE
        The tree as a FAT32 image for a USB stick, checked, then renamed to IMAGE.
    project check-usb-image [--label LABEL] [--sums FILE] IMAGE TREE
        The stick's image checked against the tree: fsck.fat, label, files.
    project extract-usb-image IMAGE DIR
        The stick's files in DIR (made anew, read-only), as a drive shows them.
    project sign [--project DIR] EPOCH PROGRAM...
    project sign --check EPOCH
        Authenticode-signs each PROGRAM in place and verifies it, EPOCH
        (the disc's date) being the signing time; the key comes from the
        SIGN_* variables of the environment (discproject/signing.py says
        how), the recorded signatures from DIR/signatures. --check only
        judges the key against the disc's date. A failure leaves every
        program as it was.
    project source-date-epoch
        The date everything on the disc carries.
    project demo-plan PROJECT RESOURCE_DIR
        For the demo, a tab-separated line per language's root menu.
    project make check|preview|cd|iso|usb|demo
        What `make TARGET` does, with PROJECT, BUILD, ISO, USB, PREVIEW,
        SUMATRAPDF, JOBS and SIGN_* read from the environment.

Findings are "FILE:LINE: error: TEXT" (or "FILE: error: TEXT") on standard
error, named by the project's own files; any error gives exit status 1.
A step that cannot go on says why in one line and exits with status 1.
"""

import os
import subprocess
import sys

from . import builds, signing
from .autorun_inf import autorun_inf
from .builds import Places
from .checking import check_project, preview, tree_check
from .demo_plan import demo_plan
from .disc_tree import lay_out, remove_layout
from .findings import Failure, Findings, Stop
from .image_files import earlier_image_note, extract_as_drive, judge_destination
from .iso_image import check_image, extract, make_image
from .outputs import judge_place, one_line
from .preview_folder import earlier_pictures
from .project_folder import SETTINGS, Project, usable_setting
from .resources import build_resources
from .safe_files import replace_file
from .source_date import TREE, source_date_epoch, utc
from . import usb_image


class Usage(Exception):
    pass


def options(args, known, flags=()):
    """Leading --name VALUE options (and --flag), then the rest."""
    found = {}
    while args and args[0].startswith("--"):
        name = args[0][2:]
        if name in flags:
            found[name] = True
            args = args[1:]
        elif name in known and len(args) >= 2:
            found[name] = args[1]
            args = args[2:]
        elif args[0] == "--":
            return found, args[1:]
        else:
            raise Usage()
    return found, args


def command_resources(args):
    if len(args) != 2:
        raise Usage()
    findings = Findings()
    try:
        sources = build_resources(Project(args[0], findings), args[1])
    except Stop:
        sources = None
    return 0 if sources is not None else 1


def command_setting(args):
    if len(args) != 2 or args[1] not in SETTINGS:
        raise Usage()
    findings = Findings()
    try:
        value = Project(args[0], findings).setting(args[1])
    except Stop:
        return 1
    if findings.errors:
        return 1
    print(value)
    return 0


def command_autorun_inf(args):
    if len(args) != 2:
        raise Usage()
    findings = Findings()
    try:
        project = Project(args[0], findings)
        data = autorun_inf(project)
        project.setting("volume")
    except Stop:
        return 1
    if data is None or findings.errors:
        return 1
    replace_file(args[1], data)
    return 0


def run_check(project_path, menucheck, reader=None, tree=None):
    findings = Findings()
    try:
        check_project(project_path, menucheck, findings, os.environ, reader, tree)
    except Failure as failure:
        print(f"check: {project_path}: {failure}", file=sys.stderr)
        return 1
    print(f"check: {project_path}: {findings.errors} error(s), {findings.warnings} warning(s)", flush=True)
    return 1 if findings.errors else 0


def command_check(args):
    found, args = options(args, ("reader",))
    if len(args) not in (2, 3):
        raise Usage()
    return run_check(args[0], args[1], found.get("reader"), args[2] if len(args) == 3 else None)


def run_preview(project_path, menucheck, folder, in_build_tree=False):
    findings = Findings()
    earlier_pictures(folder, in_build_tree)
    judge_place(folder, project_path, "the preview", folder_ok=True)
    drawn = preview(project_path, menucheck, folder, findings, in_build_tree)
    if drawn is None:
        return 1
    print(f"preview: {len(drawn)} picture(s) in {folder}: {' '.join(drawn)}")
    return 1 if findings.errors else 0


def command_preview(args):
    if len(args) != 3:
        raise Usage()
    return run_preview(*args)


def layout(project_path, programs, out, reader=None, stamp=None, menucheck=None):
    """Lays out the disc; Failure or findings (exit status 1) when it cannot."""
    findings = Findings()
    epoch = source_date_epoch(os.environ)
    try:
        project = Project(project_path, findings)
        lay_out(project, findings, out, epoch, os.environ, programs, reader, stamp,
                tree_check(project, menucheck, findings, os.environ, reader))
    except Stop:
        raise Failure(f"the disc of {project_path} was not laid out: the project has the errors above")
    except OSError as error:
        raise Failure(f"the disc of {project_path} was not laid out: {one_line(error)}") from None
    return epoch


def command_disc_tree(args):
    found, args = options(args, ("project", "reader", "stamp", "check"), ("names-only",))
    project_path = found.get("project") or os.path.join(TREE, builds.DEFAULT_PROJECT)
    if found.get("names-only"):
        if len(args) != 1 or "stamp" in found or "check" in found:
            raise Usage()
        programs, out = None, args[0]
    elif len(args) == 2:
        programs, out = args
    else:
        raise Usage()
    epoch = layout(project_path, programs, out, found.get("reader"), found.get("stamp"), found.get("check"))
    print(f"disc-tree: disc of {project_path} laid out in {out}, dated {utc(epoch)}")
    return 0


def image(project_path, tree, target, sums=None):
    try:
        judge_place(target, project_path, "the image")
        volume = usable_setting(project_path, "volume")
        epoch = source_date_epoch(os.environ)
        count = make_image(tree, target, volume, epoch, sums)
    except Failure as failure:
        raise Failure(f"{target} not written: {failure}{earlier_image_note(target)}") from None
    print(f"image: {target} written and checked ({count} files), dated {utc(epoch)}")


def command_image(args):
    found, args = options(args, ("project", "sums"))
    if len(args) != 2:
        raise Usage()
    image(found.get("project") or os.path.join(TREE, builds.DEFAULT_PROJECT), args[0], args[1], found.get("sums"))
    return 0


def command_check_image(args):
    found, args = options(args, ("sums",))
    if len(args) != 2:
        raise Usage()
    count = check_image(args[0], args[1], found.get("sums"))
    print(f"check-image: {args[0]}: {count} files as in {args[1]}, Joliet, no Rock Ridge")
    return 0


def command_extract_image(args):
    if len(args) != 2:
        raise Usage()
    extract_as_drive(*args, extract)
    return 0


def command_sign(args):
    if args[:1] == ["--check"]:
        if len(args) != 2 or not args[1].isdigit():
            raise Usage()
        try:
            signing.check_signing_inputs(os.environ, int(args[1]))
        except signing.SigningError as error:
            raise Failure(str(error)) from None
        return 0
    project = ""
    if args[:1] == ["--project"] and len(args) >= 2:
        project, args = args[1], args[2:]
    if len(args) < 2 or not args[0].isdigit():
        raise Usage()
    try:
        print("sign: " + signing.sign_programs(os.environ, int(args[0]), project, args[1:]))
    except signing.SigningError as error:
        raise Failure(str(error)) from None
    return 0


def command_source_date_epoch(args):
    if args:
        raise Usage()
    print(source_date_epoch(os.environ))
    return 0


def command_demo_plan(args):
    if len(args) != 2:
        raise Usage()
    findings = Findings()
    try:
        lines = demo_plan(Project(args[0], findings), args[1])
    except Stop:
        return 1
    for line in lines:
        print(line)
    return 1 if findings.errors else 0


def command_usb_image(args):
    found, args = options(args, ("project", "sums"))
    if len(args) != 2:
        raise Usage()
    project_path = found.get("project") or os.path.join(TREE, builds.DEFAULT_PROJECT)
    try:
        judge_place(args[1], project_path, "the image")
    except Failure as failure:
        raise Failure(f"{args[1]} not written: {failure}{earlier_image_note(args[1])}") from None
    usb_image.publish(project_path, args[0], args[1], found.get("sums"))
    return 0


def command_check_usb_image(args):
    found, args = options(args, ("label", "sums"))
    if len(args) != 2:
        raise Usage()
    count = usb_image.check_usb_image(args[0], args[1], found.get("label"), found.get("sums"))
    print(f"check-usb-image: {args[0]}: {count} files as in {args[1]}, FAT32, label {usb_image.label_of(args[0])}")
    return 0


def command_extract_usb_image(args):
    if len(args) != 2:
        raise Usage()
    usb_image.extract_as_drive(*args)
    return 0


# ---- What make calls ---------------------------------------------------------

def make_check(places):
    places.judge(builds_programs=False)
    builds.build_menucheck(places)
    return run_check(places.project_shown, places.menucheck, places.reader)


def make_preview(places):
    places.judge(builds_programs=False)
    earlier_pictures(places.preview, not places.preview_given)
    judge_place(places.preview, places.project, "the preview", folder_ok=True)
    builds.build_menucheck(places)
    return run_preview(places.project_shown, places.menucheck, places.preview, not places.preview_given)


def make_cd(places, before=(), tree=None):
    """Judges everything, builds, lays out in `tree` (default the project's
    cd); returns the date."""
    tree = tree or places.cd
    places.judge()
    for step in before:
        step()
    epoch = source_date_epoch(os.environ)
    try:
        signing.check_signing_inputs(os.environ, epoch)
    except signing.SigningError as error:
        raise Failure(str(error)) from None
    # What an earlier run made here would pass for this one's result.
    builds.forget_programs(places)
    remove_layout(tree)
    builds.build_menucheck(places)
    if run_check(places.project_shown, places.menucheck, places.reader):
        raise Failure(f"the disc of {places.project_shown} was not laid out: the project has the errors above")
    builds.build_programs(places)
    layout(places.project, places.programs, tree, places.reader, places.stamp, places.menucheck)
    print(f"disc-tree: disc of {places.project_shown} laid out in {tree}, dated {utc(epoch)}")
    return epoch


def make_iso(places, target=None, tree=None):
    """The image at `target` (default ISO); a folder of the build's own for
    it is made, a folder the vendor named must exist."""
    ours = target is not None or not places.iso_given
    target = target or places.iso

    def destination():
        if ours:
            os.makedirs(os.path.dirname(target), exist_ok=True)
        judge_destination(target)
        judge_place(target, places.project, "the image")
    try:
        make_cd(places, before=(destination,), tree=tree)
    except Failure as failure:
        note = earlier_image_note(target)
        raise Failure(f"{target} not written: {failure}" + ("" if str(failure).endswith(note) else note)) from None
    tree = tree or places.cd
    image(places.project, tree, target, tree + ".sha256")
    return target


def make_usb(places):
    """The stick's image at USB (default BUILD/NAME.img), from the same tree
    as the disc, under the same early checks."""
    target, ours = usb_image.usb_target(places, os.environ)

    def destination():
        if ours:
            os.makedirs(os.path.dirname(target), exist_ok=True)
        usb_image.judge_destination(target)
        judge_place(target, places.project, "the image")
        usb_image.check_epoch(source_date_epoch(os.environ))
    try:
        make_cd(places, before=(destination,))
    except Failure as failure:
        note = earlier_image_note(target)
        raise Failure(f"{target} not written: {failure}" + ("" if str(failure).endswith(note) else note)) from None
    usb_image.publish(places.project, places.cd, target, places.cd + ".sha256")
    return target


def make_demo(places):
    """The demo's own image and tree (never the vendor's), on a CD-ROM drive
    under Wine; where the kernel runs no 32-bit code, the x86_64 programs
    from a disc tree."""
    demo = os.path.join(TREE, "disckit", "demo")
    if subprocess.run([os.path.join(TREE, "scripts", "runs-i386")]).returncode == 0:
        shown = os.environ.get("DEMO_IMAGE")
        if not shown:
            shown = make_iso(places, places.demo_image, places.demo_tree)
        command = [demo, "--project", places.project, "--image", shown, places.demo]
    else:
        print("demo: this kernel does not run 32-bit code; the demo shows the x86_64 build from a disc tree")
        places.judge()
        builds.build_programs(places, "mingw-x86_64", os.path.join(places.project_build, "win64"))
        command = [demo, "--project", places.project, "--programs", os.path.join(places.project_build, "win64", "bin"),
                   places.demo] + ([places.reader] if places.reader else [])
    return subprocess.run(command).returncode


def command_make(args):
    targets = {"check": make_check, "preview": make_preview, "cd": make_cd, "iso": make_iso, "demo": make_demo,
               "usb": make_usb}
    if len(args) != 1 or args[0] not in targets:
        raise Usage()
    result = targets[args[0]](Places(os.environ))
    return result if isinstance(result, int) and args[0] in ("check", "preview", "demo") else 0


COMMANDS = {"resources": command_resources, "setting": command_setting, "autorun-inf": command_autorun_inf,
            "check": command_check, "preview": command_preview, "disc-tree": command_disc_tree,
            "image": command_image, "check-image": command_check_image, "extract-image": command_extract_image,
            "sign": command_sign, "source-date-epoch": command_source_date_epoch, "demo-plan": command_demo_plan, "make": command_make,
            "usb-image": command_usb_image, "check-usb-image": command_check_usb_image,
            "extract-usb-image": command_extract_usb_image}


def main(argv):
    if not argv or argv[0] not in COMMANDS:
        print(__doc__.split("\n\n")[1].rstrip(), file=sys.stderr)
        return 2
    name = argv[1] if argv[0] == "make" and len(argv) > 1 else argv[0]
    try:
        return COMMANDS[argv[0]](argv[1:])
    except Usage:
        print(__doc__.split("\n\n")[1].rstrip(), file=sys.stderr)
        return 2
    except Failure as failure:
        print(f"{name}: {failure}", file=sys.stderr)
        return 1
    except OSError as error:
        # The file system failed (no room, a read-only or pseudo one): one
        # line naming the path.
        print(f"{name}: {one_line(error)}", file=sys.stderr)
        return 1
    except KeyboardInterrupt:
        return 130
