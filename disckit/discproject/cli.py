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
    project check [--reader FILE] [--format text|json] PROJECT MENUCHECK [TREE]
        The project judged (settings, names and links in disc/, manuals),
        then menucheck on the menus against the disc tree TREE or, without
        it, the names the disc will have; a start target or document
        missing from the disc is an error. `check --help` lists the codes.
    project preview PROJECT MENUCHECK OUT_DIR
        menucheck's annotated pictures of every menu in OUT_DIR, a folder
        of the preview's own (missing, empty or an earlier preview's).
    project disc-tree [--unsigned] [--project DIR] [--reader FILE] [--stamp TOOL] [--check MENUCHECK] PROGRAM_DIR OUT_DIR
    project disc-tree --names-only [--project DIR] [--reader FILE] OUT_DIR
        Lays out the disc in OUT_DIR, its record in OUT_DIR.sha256; with
        --unsigned the programs stay as built (the demo's), and no
        signature is read or recorded.
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
    project source-date-epoch [--project DIR]
        The date everything on the disc (of DIR) carries.
    project demo-plan PROJECT RESOURCE_DIR
        For the demo, a tab-separated line per language's root menu.
    project edit [--port N] [--no-open] PROJECT [MENUCHECK]
        The menu editor of PROJECT: a page served on 127.0.0.1 only, at one
        address carrying a token of this run, opened in the browser where
        there is a display; it checks with MENUCHECK (without it, the host
        build's in BUILD, built first). Ctrl-C ends it.
    project make check|preview|cd|iso|usb|demo|edit
        What `make TARGET` does, with PROJECT, BUILD, ISO, USB, PREVIEW,
        SUMATRAPDF, JOBS, PORT, FORMAT and SIGN_* read from the environment.

Findings are "FILE:LINE: error: TEXT" (or "FILE: error: TEXT") on standard
error, named by the project's own files; any error gives exit status 1.
With --format json (FORMAT=json for make check) they are JSON lines on
standard output instead, as menucheck writes them, ended by an end record
once the check has finished. A step that cannot go on says why in one line
and exits with status 1.
"""

import argparse
import contextlib
import os
import sys

from . import builds, image_files, signing, tool_runner
from .autorun_inf import autorun_inf
from .builds import Places
from .checking import check_project, preview, tree_check
from .demo_plan import demo_plan
from .editor.serving import serve
from .disc_tree import lay_out, remove_layout
from .finding_codes import codes_help
from .findings import Failure, Findings, Stop, json_end, print_json, print_text
from .image_files import earlier_image_note, extract_as_drive, judge_destination
from .iso_image import check_image, extract, make_image
from .outputs import judge_place, one_line
from .preview_folder import earlier_pictures
from .project_folder import SETTINGS, Project
from .resources import build_resources
from .safe_files import replace_file
from .source_date import TREE, disc_date, source_date_epoch, utc
from . import usb_image


def command_resources(args):
    findings = Findings()
    try:
        sources = build_resources(Project(args.project, findings), args.out_dir)
    except Stop:
        sources = None
    return 0 if sources is not None else 1


def command_setting(args):
    findings = Findings()
    try:
        value = Project(args.project, findings).setting(args.name)
    except Stop:
        return 1
    if findings.errors:
        return 1
    print(value)
    return 0


def command_autorun_inf(args):
    findings = Findings()
    try:
        project = Project(args.project, findings)
        data = autorun_inf(project)
        project.setting("volume")
    except Stop:
        return 1
    if data is None or findings.errors:
        return 1
    replace_file(args.file, data)
    return 0


def run_check(project_path, menucheck, reader=None, tree=None, form="text"):
    """The check with its findings shown in `form`: text for people, or JSON
    lines ended by the end record for programs."""
    findings = Findings(report=print_json if form == "json" else print_text)
    try:
        check_project(project_path, menucheck, findings, os.environ, reader, tree)
    except Failure as failure:
        print(f"check: {project_path}: {failure}", file=sys.stderr)
        return 1
    if form == "json":
        print(json_end(findings.errors, findings.warnings), flush=True)
    else:
        print(f"check: {project_path}: {findings.errors} error(s), {findings.warnings} warning(s)", flush=True)
    return 1 if findings.errors else 0


def command_check(args):
    return run_check(args.project, args.menucheck, args.reader, args.tree, args.format)


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
    return run_preview(args.project, args.menucheck, args.out_dir)


def dated(project_path):
    """The report's words on the disc's date: when, and where it came from."""
    date = disc_date(os.environ, project_path)
    return f"dated {utc(date.epoch)} ({date.origin})"


def layout(project_path, programs, out, reader=None, stamp=None, menucheck=None, unsigned=False):
    """Lays out the disc (unsigned: its programs as built, no signatures
    read or made); Failure or findings (exit status 1) when it cannot."""
    findings = Findings()
    epoch = source_date_epoch(os.environ, project_path)
    try:
        project = Project(project_path, findings)
        lay_out(project, findings, out, epoch, os.environ, programs, reader, stamp,
                tree_check(project, menucheck, findings, os.environ, reader), unsigned)
    except Stop:
        raise Failure(f"the disc of {project_path} was not laid out: the project has the errors above")
    except OSError as error:
        raise Failure(f"the disc of {project_path} was not laid out: {one_line(error)}") from None
    return epoch


def command_disc_tree(args):
    if args.names_only:
        programs, (out,) = None, args.folders
    else:
        programs, out = args.folders
    layout(args.project, programs, out, args.reader, args.stamp, args.check, args.unsigned)
    print(f"disc-tree: disc of {args.project} laid out in {out}, {dated(args.project)}")
    return 0


def image(project_path, tree, target, sums=None):
    _, epoch, count = image_files.publish(
        project_path, target, "volume", lambda volume, epoch: make_image(tree, target, volume, epoch, sums))
    print(f"image: {target} written and checked ({count} files), dated {utc(epoch)}")


def command_image(args):
    image(args.project, args.tree, args.image, args.sums)
    return 0


def command_check_image(args):
    count = check_image(args.image, args.tree, args.sums)
    print(f"check-image: {args.image}: {count} files as in {args.tree}, Joliet, no Rock Ridge")
    return 0


def command_extract_image(args):
    extract_as_drive(args.image, args.dir, extract)
    return 0


def command_sign(args):
    if args.check:
        try:
            signing.check_signing_inputs(os.environ, args.epoch)
        except signing.SigningError as error:
            raise Failure(str(error)) from None
        return 0
    try:
        print("sign: " + signing.sign_programs(os.environ, args.epoch, args.project or "", args.programs))
    except signing.SigningError as error:
        raise Failure(str(error)) from None
    return 0


def command_source_date_epoch(args):
    print(source_date_epoch(os.environ, args.project))
    return 0


def command_demo_plan(args):
    findings = Findings()
    try:
        lines = demo_plan(Project(args.project, findings), args.resource_dir)
    except Stop:
        return 1
    for line in lines:
        print(line)
    return 1 if findings.errors else 0


def command_usb_image(args):
    usb_image.publish(args.project, args.tree, args.image, args.sums)
    return 0


def command_check_usb_image(args):
    count = usb_image.check_usb_image(args.image, args.tree, args.label, args.sums)
    label = usb_image.label_of(args.image)
    print(f"check-usb-image: {args.image}: {count} files as in {args.tree}, FAT32, label {label}")
    return 0


def command_extract_usb_image(args):
    usb_image.extract_as_drive(args.image, args.dir)
    return 0


def command_edit(args):
    menucheck = args.menucheck
    if menucheck is None:
        menucheck = builds.build_editor_menucheck(Places(os.environ))
    return serve(args.project, menucheck, args.port, not args.no_open)


# ---- What make calls ---------------------------------------------------------

@contextlib.contextmanager
def output_to_stderr(active):
    """While active, what the build tools print goes to standard error, so
    that standard output holds only the check's JSON lines."""
    if not active:
        yield
        return
    sys.stdout.flush()
    saved = os.dup(1)
    os.dup2(2, 1)
    try:
        yield
    finally:
        sys.stdout.flush()
        os.dup2(saved, 1)
        os.close(saved)


def make_check(places):
    form = os.environ.get("FORMAT") or "text"
    if form not in FORMATS:
        raise Failure(f"FORMAT is {' or '.join(FORMATS)}, not {form!r}")
    places.judge(builds_programs=False)
    with output_to_stderr(form == "json"):
        builds.build_menucheck(places)
    return run_check(places.project_shown, places.menucheck, places.reader, form=form)


def make_preview(places):
    places.judge(builds_programs=False)
    earlier_pictures(places.preview, not places.preview_given)
    judge_place(places.preview, places.project, "the preview", folder_ok=True)
    builds.build_menucheck(places)
    return run_preview(places.project_shown, places.menucheck, places.preview, not places.preview_given)


def make_cd(places, before=(), tree=None, unsigned=False):
    """Judges everything, builds, lays out in `tree` (default the project's
    cd; unsigned: no signatures read or made); returns the date."""
    tree = tree or places.cd
    places.judge()
    for step in before:
        step()
    epoch = source_date_epoch(os.environ, places.project)
    if not unsigned:
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
    layout(places.project, places.programs, tree, places.reader, places.stamp, places.menucheck, unsigned)
    print(f"disc-tree: disc of {places.project_shown} laid out in {tree}, {dated(places.project)}")
    return epoch


def make_iso(places, target=None, tree=None, unsigned=False):
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
        make_cd(places, before=(destination,), tree=tree, unsigned=unsigned)
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
        usb_image.check_epoch(source_date_epoch(os.environ, places.project))
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
    from a disc tree. The demo's programs are unsigned: a demo neither
    needs the key nor reads or changes the release's recorded signatures."""
    demo = os.path.join(TREE, "disckit", "demo")
    if tool_runner.run([os.path.join(TREE, "scripts", "runs-i386")]).ok:
        shown = os.environ.get("DEMO_IMAGE")
        if not shown:
            shown = make_iso(places, places.demo_image, places.demo_tree, unsigned=True)
        command = [demo, "--project", places.project, "--image", shown, places.demo]
    else:
        print("demo: this kernel does not run 32-bit code; the demo shows the x86_64 build from a disc tree")
        places.judge()
        builds.build_programs(places, "mingw-x86_64", os.path.join(places.project_build, "win64"))
        command = [demo, "--project", places.project, "--programs", os.path.join(places.project_build, "win64", "bin"),
                   places.demo] + ([places.reader] if places.reader else [])
    return tool_runner.stream(command)


def make_edit(places):
    port = os.environ.get("PORT") or "0"
    if not port.isdigit() or int(port) > 65535:
        raise Failure(f"PORT takes a number from 0 to 65535, not {port!r}")
    places.judge(builds_programs=False)
    return serve(places.project_shown, builds.build_editor_menucheck(places), int(port))


MAKE_TARGETS = {"check": make_check, "preview": make_preview, "cd": make_cd, "iso": make_iso, "usb": make_usb,
                "demo": make_demo, "edit": make_edit}


def command_make(args):
    result = MAKE_TARGETS[args.target](Places(os.environ))
    return result if isinstance(result, int) and args.target in ("check", "preview", "demo", "edit") else 0


# ---- The steps and their arguments ---------------------------------------------

FORMATS = ("text", "json")
DEFAULT_PROJECT = os.path.join(TREE, builds.DEFAULT_PROJECT)


def step_text(name):
    """A step's lines of the list at the top of this file: its usage lines
    and what it does."""
    usage, description, keep = [], [], False
    for line in __doc__.split("\n\n")[1].splitlines():
        if line.startswith("    project "):
            keep = line.split()[1] == name
            if keep:
                usage.append(line.strip())
        elif keep:
            description.append(line[8:])
    return "\n       ".join(usage), "\n".join(description)


def epoch_number(text):
    if not text.isdigit():
        raise argparse.ArgumentTypeError(f"a date in seconds since 1970, not {text!r}")
    return int(text)


def port_number(text):
    if not text.isdigit() or int(text) > 65535:
        raise argparse.ArgumentTypeError(f"a number from 0 to 65535, not {text!r}")
    return int(text)


def check_disc_tree(parser, args):
    wanted = 1 if args.names_only else 2
    if len(args.folders) != wanted:
        parser.error("--names-only takes OUT_DIR only" if args.names_only else "PROGRAM_DIR and OUT_DIR are needed")
    if args.names_only and (args.stamp or args.check or args.unsigned):
        parser.error("--names-only lays out no programs: no --stamp, --check or --unsigned")
    args.project = args.project or DEFAULT_PROJECT


def check_sign(parser, args):
    if args.check and (args.programs or args.project):
        parser.error("--check takes EPOCH only")
    if not args.check and not args.programs:
        parser.error("PROGRAM is needed")


def default_project(parser, args):
    args.project = args.project or DEFAULT_PROJECT


def parser():
    """The steps: each a subcommand with its own arguments, as the list at
    the top of this file shows them."""
    top = argparse.ArgumentParser(prog="project", add_help=False)
    steps = top.add_subparsers(dest="step", required=True)

    def step(name, run, *arguments, validate=None, epilog=None):
        usage, description = step_text(name)
        sub = steps.add_parser(name, usage=usage, description=description, epilog=epilog, allow_abbrev=False,
                               formatter_class=argparse.RawDescriptionHelpFormatter)
        for names, options in arguments:
            sub.add_argument(*names, **options)
        sub.set_defaults(run=run, validate=validate, parser=sub)
        return sub

    def arg(*names, **options):
        return names, options

    project, menucheck = arg("project", metavar="PROJECT"), arg("menucheck", metavar="MENUCHECK")
    sums, image_, tree = arg("--sums", metavar="FILE"), arg("image", metavar="IMAGE"), arg("tree", metavar="TREE")
    option_project = arg("--project", metavar="DIR")
    step("resources", command_resources, project, arg("out_dir", metavar="OUT_DIR"))
    step("setting", command_setting, project, arg("name", metavar="NAME", choices=SETTINGS))
    step("autorun-inf", command_autorun_inf, project, arg("file", metavar="FILE"))
    step("check", command_check, arg("--reader", metavar="FILE"), arg("--format", choices=FORMATS, default="text"),
         project, menucheck, arg("tree", metavar="TREE", nargs="?"),
         epilog="codes of the findings (e = error, w = warning):\n" + codes_help() +
                "\nand menucheck's own (menucheck --help); its target-not-on-disc is an error here.")
    step("preview", command_preview, project, menucheck, arg("out_dir", metavar="OUT_DIR"))
    step("disc-tree", command_disc_tree, arg("--names-only", action="store_true"), arg("--unsigned", action="store_true"),
         option_project,
         arg("--reader", metavar="FILE"), arg("--stamp", metavar="TOOL"), arg("--check", metavar="MENUCHECK"),
         arg("folders", metavar="FOLDER", nargs="+"), validate=check_disc_tree)
    step("image", command_image, option_project, sums, tree, image_, validate=default_project)
    step("check-image", command_check_image, sums, image_, tree)
    step("extract-image", command_extract_image, image_, arg("dir", metavar="DIR"))
    step("usb-image", command_usb_image, option_project, sums, tree, image_, validate=default_project)
    step("check-usb-image", command_check_usb_image, arg("--label", metavar="LABEL"), sums, image_, tree)
    step("extract-usb-image", command_extract_usb_image, image_, arg("dir", metavar="DIR"))
    step("sign", command_sign, arg("--check", action="store_true"), option_project,
         arg("epoch", metavar="EPOCH", type=epoch_number), arg("programs", metavar="PROGRAM", nargs="*"),
         validate=check_sign)
    step("source-date-epoch", command_source_date_epoch, option_project)
    step("demo-plan", command_demo_plan, project, arg("resource_dir", metavar="RESOURCE_DIR"))
    step("edit", command_edit, arg("--port", metavar="N", type=port_number, default=0),
         arg("--no-open", action="store_true"), project, arg("menucheck", metavar="MENUCHECK", nargs="?"))
    step("make", command_make, arg("target", metavar="TARGET", choices=MAKE_TARGETS))
    return top, steps.choices


def main(argv):
    top, steps = parser()
    if not argv or argv[0] not in steps:
        # Alone, or with no step it knows, the program lists its steps.
        print(__doc__.split("\n\n")[1].rstrip(), file=sys.stderr)
        return 2
    args = top.parse_args(argv)
    if args.validate:
        args.validate(args.parser, args)
    name = args.target if args.step == "make" else args.step
    try:
        return args.run(args)
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
