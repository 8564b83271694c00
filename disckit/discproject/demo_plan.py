"""What the demo looks for on the screen: per language, the root menu's
title, its bitmap as the program carries it, and its first button that
opens a PDF."""

import os


def first_pdf_button(project, path):
    """(x, y, document) of the menu index's first hotspot that opens a PDF,
    or None."""
    lines, _ = project.read_lines(path) if path else ([], False)
    for line in lines:
        fields = line.split(";", 5)
        if len(fields) == 6 and fields[4] not in ("close", "showmenu", "back") and ".pdf" in fields[5].lower():
            try:
                left, top, right, bottom = (int(v) for v in fields[:4])
            except ValueError:
                continue
            # The start target ends at its first blank; the document is the
            # last word of the parameters.
            document = fields[5].split()[-1].split("\\")[-1]
            return (left + right) // 2, (top + bottom) // 2, document
    return None


def demo_plan(project, resource_dir):
    """Tab-separated lines: language, title (UTF-8), bitmap in
    resource_dir, and the centre and document of the first hotspot that
    opens a PDF ("-" when none)."""
    seen, lines = set(), []
    for entry in project.main_lines():
        language, name, country, resource, title = entry["fields"]
        if name or country or language in seen:
            continue
        seen.add(language)
        button = first_pdf_button(project, project.find(resource, "index", entry["line"]))
        target = "\t".join(str(v) for v in button) if button else "-\t-\t-"
        bitmap = os.path.join(os.path.abspath(resource_dir), resource.lower() + ".bmp")
        lines.append(f"{language}\t{title}\t{bitmap}\t{target}")
    return lines
