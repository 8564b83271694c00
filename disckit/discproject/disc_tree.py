"""The disc tree of a project, laid out beside its final place and moved
there once complete:
    autorun.exe, autorun.inf                the menu and the drive's label and icon
    software/pdfreader/docrunner.exe        opens the manuals
    software/pdfreader/readme.txt           what the PDF reader is, for the customer
    software/pdfreader/sumatrapdf.exe       only with a reader
    manual/NAME.pdf                         from each manuals/NAME.ms or NAME.md
    everything in disc/                     as it is
Beside the tree, TREE.sha256 records what was laid out (sha256sum format,
paths relative to the tree); the image is checked against it. Everything
carries one date and fixed modes, so the same sources give the same tree on
any machine, under any umask."""

import hashlib
import os
import shutil

from . import manual_language, manuals, markdown_manual, signing, tool_runner
from .autorun_inf import autorun_inf
from .disc_names import check_file, shown
from .findings import Failure, Stop
from .image_names import place_problem, windows_key
from .project_folder import SETTINGS
from .safe_files import remove_file, remove_tree, temporary_beside

# For the customer who opens the folder: what the reader is and where it
# comes from (its licence asks that the source be named), not how the disc
# was made.
README_LINES = [
    "PDF reader for the manuals of this disc",
    "=======================================",
    "",
    "The menu opens the manuals with docrunner.exe in this folder. docrunner",
    "asks Windows to open a manual with the PDF viewer installed on this",
    "computer. Where there is none, it starts the reader sumatrapdf.exe from",
    "this folder, when the disc carries it.",
    "",
    "sumatrapdf.exe is SumatraPDF, a free PDF reader for Windows by Krzysztof",
    "Kowalczyk, not part of the menu software. It runs from the disc without",
    "being installed. It is published under the GNU General Public License,",
    "version 3; the program and its source code are available from",
    "https://www.sumatrapdfreader.org/",
]
PROGRAMS = {"autorun.exe": "autorun.exe", "docrunner.exe": "software/pdfreader/docrunner.exe"}


def sign(env, epoch, project_dir, programs):
    """Signs the programs in place; the one-line report. SigningError when
    they cannot be signed."""
    return signing.sign_programs(env, epoch, project_dir, programs)


def _walk_disc(project, findings):
    """(relative path, is folder, file to copy) of disc/ in name order, after
    judging every name and link."""
    entries = []
    for folder, dirs, files in os.walk(project.disc):
        dirs.sort()
        for name in sorted(dirs) + sorted(files):
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, project.disc)
            if not check_file(project, path, findings) or not _fits_images(relative, path, findings):
                if name in dirs:
                    dirs.remove(name)
                continue
            if os.path.isdir(path) and not os.path.islink(path):
                entries.append((relative, True, None))
            elif os.path.isfile(path):
                entries.append((relative, False, path))
            else:
                findings.error("not-file-or-folder", shown(path), 0,
                               "neither a file nor a folder; a disc holds only those")
    return entries


def _fits_images(relative, path, findings):
    problem = place_problem(relative, path)
    if problem:
        findings.error("name-beyond-images", shown(path), 0, problem)
    return problem is None


def copy_disc(project, tree, names_only, findings):
    """Copies disc/ into the tree being laid out, after checking that no
    name meets one the build made, or another name of disc/, once case is
    ignored: Windows finds files on a CD without regard to it. Nothing is
    copied when any name is refused."""
    if not os.path.isdir(project.disc):
        return
    built = {}
    for folder, dirs, files in os.walk(tree):
        for name in dirs + files:
            relative = os.path.relpath(os.path.join(folder, name), tree)
            built[windows_key(relative)] = relative
    seen, copies = {}, []
    # Where each folder of disc/ lands: in the build's folder of that name,
    # spelt as the build spells it, or as disc/ spells it.
    actual = {".": "."}
    errors = findings.errors
    for relative, is_dir, path in _walk_disc(project, findings):
        source = os.path.join(project.disc, relative)
        key = windows_key(relative)
        parent = actual.get(os.path.dirname(key) or ".")
        if parent is None:
            continue
        if key in seen:
            findings.error("same-name-ignoring-case", source, 0, "on the disc this is the same name as "
                           f"{findings.name(os.path.join(project.disc, seen[key]))} "
                           "(Windows ignores case)")
        elif key in built and not (is_dir and os.path.isdir(os.path.join(tree, built[key]))):
            findings.error("name-made-by-build", source, 0,
                           f"the build itself puts {built[key].replace(os.sep, '/')} on the disc; "
                           "remove it from disc/")
        else:
            seen[key] = relative
            if is_dir:
                actual[key] = built.get(key, os.path.join(parent, os.path.basename(relative)))
            else:
                copies.append((path, os.path.join(tree, parent, os.path.basename(relative))))
    if findings.errors > errors:
        raise Stop()
    for path, target in copies:
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if names_only:
            open(target, "wb").close()
        else:
            shutil.copyfile(path, target)


def judge(project, findings, programs=None, reader=None, stamp=None):
    """Everything that can be judged before the layout: the settings, the
    manuals' sources, the names and links of disc/, the programs, the reader
    and the time-stamp tool.
    Findings for the project; Failure for the inputs."""
    project.main_lines()
    for name in SETTINGS:
        project.setting(name)
    autorun_inf(project)
    for source in manuals.sources(project):
        manuals.check_source(project, source, findings)
    manual_language.check_settings(project, findings)
    if os.path.isdir(project.disc):
        _walk_disc(project, findings)
    if programs is not None:
        for program in PROGRAMS:
            if not os.path.isfile(os.path.join(programs, program)):
                raise Failure(f"{os.path.join(programs, program)} is missing; build it first")
    if reader and not os.path.isfile(reader):
        raise Failure(f"the reader {reader} does not exist")
    if stamp and not os.access(stamp, os.X_OK):
        raise Failure(f"the time-stamp tool {stamp} is missing; build the programs first")


def _fix_times_and_modes(work, epoch):
    for folder, dirs, files in os.walk(work):
        os.chmod(folder, 0o755)
        for name in files:
            os.chmod(os.path.join(folder, name), 0o644)
    for folder, dirs, files in os.walk(work, topdown=False):
        for name in files + dirs:
            os.utime(os.path.join(folder, name), (epoch, epoch), follow_symlinks=False)
        os.utime(folder, (epoch, epoch))


def record_of(tree):
    """The layout's record: "sha256  ./path" a line, sorted by path."""
    lines = []
    for folder, _, files in os.walk(tree):
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                digest = hashlib.file_digest(f, "sha256").hexdigest()
            lines.append((("./" + os.path.relpath(path, tree)).encode("utf-8", "surrogateescape"), digest))
    lines.sort()
    return b"".join(digest.encode() + b"  " + path + b"\n" for path, digest in lines)


def remove_layout(out):
    """Removes a tree and its record of an earlier layout. A folder without
    a record beside it was not laid out here and is left alone."""
    record = out + ".sha256"
    if os.path.lexists(out):
        ours = os.path.isdir(out) and not os.path.islink(out) and (os.path.isfile(record) or not os.listdir(out))
        if not ours:
            raise Failure(f"{out} exists but is no disc tree laid out by this program (no {os.path.basename(record)} "
                          "beside it); it is left as it is: remove it or choose another folder")
        remove_tree(out)
    remove_file(record)


def _stamp(stamp, target, program, env, epoch):
    """Dates the program's PE header with the disc's date, which the
    time-stamp tool reads from SOURCE_DATE_EPOCH."""
    done = tool_runner.run([stamp, target], env=env, disc=True, date=epoch)
    if not done.ok:
        reason = done.stopped or tool_runner.one_line(done.errors, last=True)
        raise Failure(f"{stamp} could not date {program}" + (f": {reason}" if reason else ""))


def lay_out(project, findings, out, epoch, env, programs=None, reader=None, stamp=None, check=None, unsigned=False):
    """Lays out the disc in `out` (programs None: the same names as empty
    files, without programs, groff or signing; unsigned: the programs as
    built, the project's signatures neither read nor written). `check(work)` judges the new
    tree before it gets its name. A failed layout leaves neither a tree nor
    a record, not even those of an earlier run: they would pass for this
    one's."""
    out = os.path.abspath(out)
    if out == "/" or not os.path.basename(out):
        raise Failure(f"refusing to lay out the disc in '{out}'")
    remove_layout(out)
    judge(project, findings, programs, reader, stamp)
    if findings.errors:
        raise Stop()
    language = project.setting("manual-language")
    names_only = programs is None
    work = temporary_beside(out, folder=True)
    try:
        os.makedirs(os.path.join(work, "software", "pdfreader"))
        os.makedirs(os.path.join(work, "manual"))
        placed = [os.path.join(work, *where.split("/")) for where in PROGRAMS.values()]
        for program, target in zip(PROGRAMS, placed):
            if names_only:
                open(target, "wb").close()
            else:
                shutil.copyfile(os.path.join(programs, program), target)
                # Dated before signing: the signature covers the header.
                if stamp:
                    _stamp(stamp, target, program, env, epoch)
        if unsigned and not names_only:
            print("disc-tree: the programs are unsigned, as the demo shows them", flush=True)
        elif not names_only:
            try:
                print(f"disc-tree: {sign(env, epoch, project.path, placed)}", flush=True)
            except signing.SigningError as error:
                raise Failure(str(error)) from None
        if reader:
            target = os.path.join(work, "software", "pdfreader", "sumatrapdf.exe")
            if names_only:
                open(target, "wb").close()
            else:
                shutil.copyfile(reader, target)
        inf = autorun_inf(project)
        if inf is None:
            raise Stop()
        with open(os.path.join(work, "autorun.inf"), "wb") as f:
            f.write(inf)
        with open(os.path.join(work, "software", "pdfreader", "readme.txt"), "wb") as f:
            f.write("".join(line + "\r\n" for line in README_LINES).encode("ascii"))
        for source in manuals.sources(project):
            pdf = os.path.join(work, "manual", os.path.basename(source)[:-len(".ms")] + ".pdf")
            if names_only:
                open(pdf, "wb").close()
            elif source.endswith(".md"):
                markdown_manual.set_manual(project, source, pdf, epoch, findings)
            else:
                manuals.set_manual(source, language, os.path.dirname(pdf), findings, env, epoch)
        copy_disc(project, work, names_only, findings)
        # A disc without manuals has no manual folder.
        if not os.listdir(os.path.join(work, "manual")):
            os.rmdir(os.path.join(work, "manual"))
        _fix_times_and_modes(work, epoch)
        if check:
            check(work)
        record = record_of(work)
        with open(out + ".sha256.new", "wb") as f:
            f.write(record)
        os.rename(work, out)
        os.replace(out + ".sha256.new", out + ".sha256")
    except BaseException:
        shutil.rmtree(work, ignore_errors=True)
        remove_file(out + ".sha256.new")
        raise
