"""A Markdown manual's language: from a setting of its own, its name
(guide-de.md, guide.de.md) or the project's manual-language; and what the
language decides when the manual is set: hyphenation (by the lang
attribute), quotation marks, writing direction and which face of the CJK
fonts draws Han characters."""

import os
import re

from .texts import CODE_PAGES

DEFAULT = "en"
# A language code as a manual's name or a setting gives it, with an
# optional region or script: de, pt-BR, zh-TW, zh-Hant.
TAG = re.compile(r"([a-z]{2,3})(?:[-_]([A-Z]{2}|Han[st]))?")
NAMED = re.compile(r"^(.+)[.-](" + TAG.pattern + r")$")
RIGHT_TO_LEFT = {"he", "yi", "ar", "fa", "ur"}
# Without blanks between words, an opening " cannot be told from a closing
# one: in these the writer types the marks themselves.
UNSPACED = {"ja", "zh", "th"}

# Double quotes open and close, then single ones: what "..." and '...' of
# the Markdown text become.
QUOTES = {
    "de": "„“‚‘", "cs": "„“‚‘", "sk": "„“‚‘", "sl": "„“‚‘", "lt": "„“‚‘", "et": "„“‚‘", "is": "„“‚‘",
    "bg": "„“‚‘", "ka": "„“‚‘",
    "pl": "„”‚’", "ro": "„”‚’", "hr": "„”‚’", "bs": "„”‚’", "sr": "„”‚’", "hu": "„”‚’", "nl": "“”‘’",
    "ru": "«»„“", "uk": "«»„“", "be": "«»„“", "lv": "«»„“", "mk": "„“‚‘", "kk": "«»„“",
    "fr": "«\u202f\u202f»“”", "el": "«»“”", "es": "«»“”", "it": "«»“”", "pt": "«»“”", "ca": "«»“”",
    "no": "«»‘’", "nb": "«»‘’", "nn": "«»‘’", "da": "»«›‹", "sv": "””’’", "fi": "””’’",
    "tr": "“”‘’", "az": "«»‹›", "uz": "«»„“",
    "he": "„”‚’", "yi": "„“‚‘", "ar": "«»‹›", "fa": "«»‹›", "ur": "“”‘’",
    "ja": "「」『』", "zh-TW": "「」『』", "zh-Hant": "「」『』",
}
CJK_FACES = {"ja": "JP", "ko": "KR", "zh": "SC", "zh-TW": "TC", "zh-Hant": "TC", "zh-HK": "HK"}


class Language:
    def __init__(self, tag):
        self.tag = tag
        self.base = tag.split("-")[0]
        self.direction = "rtl" if self.base in RIGHT_TO_LEFT else "ltr"
        self.curls_quotes = self.base not in UNSPACED
        quotes = QUOTES.get(tag) or QUOTES.get(self.base) or "“”‘’"
        if len(quotes) == 6:
            # French sets a narrow no-break space inside its guillemets.
            quotes = [quotes[0:2], quotes[2:4], quotes[4], quotes[5]]
        self.quotes = list(quotes)
        self.cjk_face = CJK_FACES.get(tag) or CJK_FACES.get(self.base) or "JP"


def _tag(text):
    match = TAG.fullmatch(text)
    if not match or match.group(1) not in CODE_PAGES:
        return None
    return match.group(1) + (f"-{match.group(2)}" if match.group(2) else "")


def named_language(stem):
    """The language a manual's name carries, or None: only a code of the
    languages the menus speak counts, so "how-to" stays a name."""
    match = NAMED.match(stem)
    return _tag(match.group(2)) if match else None


def language_of(project, source):
    """The Language of a manual: the setting manual-language.NAME, else its
    name, else the project's manual-language, else English."""
    stem = os.path.splitext(os.path.basename(source))[0]
    setting = f"manual-language.{stem}"
    own = project.settings.get(setting)
    if own is not None:
        tag = _tag(own)
        if tag is None:
            project.findings.error("bad-manual-language", project.settings_file, project.setting_lines.get(setting, 0),
                                   f"{setting} \"{own}\": a language the menus speak, such as de or pt-BR")
            return Language(DEFAULT)
        return Language(tag)
    return Language(named_language(stem) or project.setting("manual-language") or DEFAULT)


def check_settings(project, findings):
    """A manual-language.NAME setting for a manual that does not exist is an
    error: a misspelt name would otherwise be ignored without a word."""
    for key in sorted(project.settings):
        if key.startswith("manual-language."):
            manual = os.path.join(project.manuals, key[len("manual-language."):] + ".md")
            if not os.path.isfile(manual):
                findings.error("unknown-setting", project.settings_file, project.setting_lines.get(key, 0),
                               f"{key}: there is no manual {manual}")
