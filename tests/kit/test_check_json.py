"""`project check --format json`: the findings as records for programs, the
same findings that the text form shows people, in the same order."""

import json
import os
import shutil
import subprocess

TREE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROGRAM = os.path.join(TREE, "disckit", "project")

# menucheck's records for the generated folder: a document the disc lacks
# (an error for the program) and a warning, each with its menu and hotspot.
FAKE_MENUCHECK = r'''#!/usr/bin/python3
import json, sys
out, tree = sys.argv[3], sys.argv[4]
print(json.dumps({"file": out + "/root-en.txt", "line": 2, "severity": "warning", "code": "target-not-on-disc",
                  "message": 'document "manual\\x.pdf" is not in the disc tree ' + tree,
                  "menu": "ROOT-EN", "hotspot": 2}))
print(json.dumps({"file": out + "/docs-en.txt", "line": 1, "severity": "warning", "code": "hotspot-empty",
                  "message": "hotspot 1,1-1,1 is empty", "menu": "DOCS-EN", "hotspot": 1}))
print(json.dumps({"end": {"errors": 0, "warnings": 2}}))
'''


def run(*arguments):
    return subprocess.run(["/usr/bin/python3", PROGRAM, "check", *arguments], capture_output=True, text=True)


def test_json_records_carry_what_the_text_shows_with_code_menu_and_hotspot(tmp_path):
    project = str(tmp_path / "project")
    shutil.copytree(os.path.join(TREE, "projects", "two-screens"), project)
    menucheck = tmp_path / "menucheck"
    menucheck.write_text(FAKE_MENUCHECK)
    menucheck.chmod(0o755)

    as_json = run("--format", "json", project, str(menucheck))
    as_text = run(project, str(menucheck))

    assert (as_json.returncode, as_text.returncode) == (1, 1)
    assert as_json.stderr == ""
    *records, end = [json.loads(line) for line in as_json.stdout.splitlines()]
    assert end == {"end": {"errors": 1, "warnings": 1}}
    assert [(r["file"], r["line"], r["severity"], r["code"], r["menu"], r["hotspot"]) for r in records] == [
        (f"{project}/menus/root-en.txt", 2, "error", "target-not-on-disc", "ROOT-EN", 2),
        (f"{project}/menus/docs-en.txt", 1, "warning", "hotspot-empty", "DOCS-EN", 1),
    ]
    assert as_text.stderr.splitlines() == [f"{r['file']}:{r['line']}: {r['severity']}: {r['message']}" for r in records]
    assert as_text.stdout == f"check: {project}: 1 error(s), 1 warning(s)\n"


def test_a_check_that_does_not_finish_writes_no_end_record(tmp_path):
    menucheck = tmp_path / "menucheck"
    menucheck.write_text("#!/bin/sh\nexit 3\n")
    menucheck.chmod(0o755)
    project = os.path.join(TREE, "projects", "two-screens")
    result = run("--format", "json", project, str(menucheck))
    assert result.returncode == 1 and result.stdout == ""
    assert result.stderr.startswith(f"check: {project}: menucheck failed with exit status 3")
