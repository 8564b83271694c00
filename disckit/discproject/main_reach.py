"""Lines of the main index that autorun never reaches: it shows the first
menu of a language and name whose country filter passes, so a later line of
the same language and name, for every country or for the same one, is
never shown."""


def warn_unreachable(project, entries):
    first = {}
    for entry in entries:
        language, name, country = entry["fields"][0].lower(), entry["fields"][1], entry["fields"][2]
        earlier = first.get((language, name, "")) or first.get((language, name, country))
        if earlier:
            menu = f"menu \"{name}\"" if name else "root menu"
            for_whom = f"for {country}" if earlier["fields"][2] else "for every country"
            project.findings.warning("unreachable-main-line", project.main_file, entry["line"], f"never reached: line {earlier['line']} "
                                     f"gives language \"{language}\" its {menu} first, {for_whom}")
        else:
            first.setdefault((language, name, country), entry)
