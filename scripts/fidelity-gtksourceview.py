#!/usr/bin/python3
"""Agreement of languages converted from GtkSourceView with GtkSourceView itself, on real files.

Each language file installed with GtkSourceView is converted by `varlex-cli convert`; GtkSourceView colours
the files through python3-gi (a GtkSource.Buffer with the language, ensure_highlight) and varlex-cli colours
them with the converted language. Every character that is not white space gets one category on each side
(comment, string, keyword, number, preprocessor/markup, plain): GtkSourceView's by the def: style its innermost
coloured tag stands for (a scheme written here gives each def: style a colour of its own), ours by the
tokenset's id. The files are files Debian packages installed under /usr, picked by a fixed seed.

Usage: scripts/fidelity-gtksourceview.py [--build DIR] [--seed N] [--budget BYTES] [--language ID]...
                                         [--differences N] [--examples N]
"""

import argparse
import collections
import hashlib
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from fidelity import usable, run  # noqa: E402  (same file rules as the kate measurement)

COMMENT, STRING, KEYWORD, NUMBER, MARKUP, PLAIN = "comment", "string", "keyword", "number", "markup", "plain"

# The def: styles that decide a category; the converter's id table follows the same chains.
DEF_CATEGORY = {}
for _styles, _category in (
        (("comment", "shebang", "doc-comment"), COMMENT),
        (("string", "character", "special-char"), STRING),
        (("constant", "special-constant", "boolean", "keyword", "statement", "type", "builtin"), KEYWORD),
        (("number", "floating-point", "decimal", "base-n-integer", "complex"), NUMBER),
        (("preprocessor", "heading", "heading0", "heading1", "heading2", "heading3", "heading4", "heading5",
          "heading6", "emphasis", "strong-emphasis", "inline-code", "insertion", "deletion", "link-text",
          "link-symbol", "link-destination", "list-marker", "thematic-break", "preformatted-section", "underlined",
          "blockquote-marker"), MARKUP),
        (("identifier", "function", "operator", "error", "warning"), PLAIN)):
    for _style in _styles:
        DEF_CATEGORY["def:" + _style] = _category

VARLEX_BY_ID = {
    "blockcomments": COMMENT, "linecomments": COMMENT,
    "strings": STRING, "charliterals": STRING, "escapeseqs": STRING,
    "keywords": KEYWORD, "scopekeywords": KEYWORD, "valuenames": KEYWORD, "numbers": NUMBER,
    "sectionheadings": MARKUP, "tagelementnames": MARKUP,
}

# GtkSourceView language id, file name pattern under /usr, and a test of the content.
CORPUS = [
    ("c", r"\.c$", None), ("cpp", r"/c\+\+/12/.*\.(h|tcc)$|\.hpp$", None), ("python3", r"\.py$", None),
    ("sh", r"\.sh$", None), ("perl", r"\.pm$", None), ("ruby", r"\.rb$", None), ("lua", r"\.lua$", None),
    ("tcl", r"\.tcl$", None), ("cmake", r"\.cmake$", None), ("json", r"\.json$", None),
    ("yaml", r"\.ya?ml$", None), ("diff", r"\.(diff|patch)$", None), ("markdown", r"\.md$", None),
    ("sql", r"\.sql$", None), ("css", r"\.css$", None), ("js", r"\.js$", None), ("html", r"\.html$", None),
    ("xml", r"\.xml$", None), ("ini", r"\.ini$", None), ("go", r"\.go$", None), ("rust", r"\.rs$", None),
    ("m4", r"\.m4$", None), ("awk", r"\.awk$", None), ("latex", r"\.tex$", None), ("makefile", r"\.mk$", None),
    ("desktop", r"\.desktop$", None),
]
MIN_FILE, MAX_FILE = 200, 128 * 1024


def all_files():
    found = []
    for root, dirs, files in os.walk("/usr"):
        dirs[:] = [d for d in dirs if not (root == "/usr" and d in ("src", "local"))]
        found.extend(os.path.join(root, f) for f in files)
    return sorted(found)


def pick(language, pattern, files, seed, budget):
    regex = re.compile(pattern)
    candidates = [f for f in files if regex.search(f)]
    random.Random(f"{seed}:{language}").shuffle(candidates)
    picked, seen, total = [], set(), 0
    for path in candidates:
        if total >= budget:
            break
        data = usable(path, None)
        if data is None:
            continue
        digest = hashlib.sha1(data).digest()
        if digest not in seen:
            seen.add(digest)
            picked.append(path)
            total += len(data)
    return picked


class Peer:
    """GtkSourceView, coloured with a scheme that gives each def: style of DEF_CATEGORY a colour of its own."""

    def __init__(self, work):
        import gi
        gi.require_version("GtkSource", "4")
        from gi.repository import GtkSource
        self.GtkSource = GtkSource
        self.colour_category = {}
        lines = ['<style-scheme id="varlex-fidelity" name="Varlex Fidelity" version="1.0">']
        for i, (style, category) in enumerate(sorted(DEF_CATEGORY.items())):
            rgb = (1 + i * 2, 100, 200)
            lines.append(f'  <style name="{style}" foreground="#{rgb[0]:02x}{rgb[1]:02x}{rgb[2]:02x}"/>')
            self.colour_category[f"rgb({rgb[0]},{rgb[1]},{rgb[2]})"] = category
        # A net address only underlines (as in the classic scheme): without a style of its own GtkSourceView
        # would fall back to def:underlined's colour, and a URL in a comment would count as markup.
        lines.append('  <style name="def:net-address" underline="single"/>')
        lines.append("</style-scheme>")
        with open(os.path.join(work, "varlex-fidelity.xml"), "w") as f:
            f.write("\n".join(lines) + "\n")
        manager = GtkSource.StyleSchemeManager.get_default()
        manager.prepend_search_path(work)
        manager.force_rescan()
        self.scheme = manager.get_scheme("varlex-fidelity")
        self.languages = GtkSource.LanguageManager.get_default()

    def categories(self, language, text):
        buf = self.GtkSource.Buffer.new_with_language(self.languages.get_language(language))
        buf.set_style_scheme(self.scheme)
        buf.set_text(text)
        buf.ensure_highlight(buf.get_start_iter(), buf.get_end_iter())
        out = [PLAIN] * len(text)
        it = buf.get_start_iter()
        i = 0
        while not it.is_end() and i < len(text):
            category = PLAIN
            for tag in sorted(it.get_tags(), key=lambda t: -t.get_priority()):
                if tag.props.foreground_set:
                    c = self.colour_category.get(tag.props.foreground_rgba.to_string())
                    if c is not None:
                        category = c
                        break
            out[i] = category
            i += 1
            it.forward_char()
        return out


def varlex_categories(cli, lng, ids, path, text):
    r = run([cli, "highlight", "--lng", lng, "--format", "spans", path])
    if r.returncode != 0:
        return None
    unit_to_char = []
    for i, ch in enumerate(text):
        unit_to_char.append(i)
        if ord(ch) > 0xFFFF:
            unit_to_char.append(i)
    unit_to_char.append(len(text))
    out = [PLAIN] * len(text)
    previous_end, previous_category = -1, PLAIN
    for line in r.stdout.decode("utf-8").splitlines():
        start, size, name = line.split("\t", 2)
        a, b = unit_to_char[int(start)], unit_to_char[int(start) + int(size)]
        tokenset_id = ids.get(name, "")
        if tokenset_id in ("keywords", "scopekeywords") and "Preprocessor" in name:
            category = MARKUP
        elif tokenset_id == "hyperlinks":
            category = previous_category if previous_end == a else PLAIN
        else:
            category = VARLEX_BY_ID.get(tokenset_id, PLAIN)
        for i in range(a, b):
            out[i] = category
        previous_end, previous_category = b, category
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--seed", type=int, default=19)
    parser.add_argument("--budget", type=int, default=128 * 1024, help="bytes of files per language")
    parser.add_argument("--language", action="append")
    parser.add_argument("--differences", type=int, default=0)
    parser.add_argument("--examples", type=int, default=4, help="example lines shown per difference")
    args = parser.parse_args()
    cli = os.path.join(args.build, "bin", "varlex-cli")
    if not os.access(cli, os.X_OK):
        sys.exit(f"{cli}: not found; build it first (make build)")
    try:
        work = tempfile.mkdtemp(prefix="varlex-gtk-fidelity-")
        peer = Peer(work)
    except (ImportError, ValueError) as e:
        sys.exit(f"GtkSourceView through python3-gi is missing ({e}): "
                 "apt-get install python3-gi gir1.2-gtksource-4 libgtksourceview-4-common")
    files = all_files()
    rows = []
    for language, pattern, _ in CORPUS:
        if args.language and language not in args.language:
            continue
        peer_language = peer.languages.get_language(language)
        if peer_language is None:
            print(f"{language}: GtkSourceView has no such language", file=sys.stderr)
            continue
        lng = os.path.join(work, language + ".lng")
        lang_file = next((os.path.join(d, f) for d in peer.languages.get_search_path() if os.path.isdir(d)
                          for f in sorted(os.listdir(d)) if f.endswith(".lang")
                          and re.search(rf'<language[^>]*\bid="{re.escape(language)}"',
                                        open(os.path.join(d, f), errors="replace").read(4096))), None)
        r = run([cli, "convert", lang_file, "--output", lng])
        if r.returncode != 0:
            print(f"{language}: not converted: {r.stderr.decode(errors='replace').strip().splitlines()[-1]}",
                  file=sys.stderr)
            continue
        ids = {t.get("name"): t.get("id") for t in ElementTree.parse(lng).getroot().iter("tokenset")}
        row = {"language": language, "files": 0, "agree": 0, "total": 0, "pairs": collections.Counter(),
               "examples": collections.defaultdict(list)}
        for path in pick(language, pattern, files, args.seed, args.budget):
            with open(path, "rb") as f:
                text = f.read().decode("utf-8")
            theirs = peer.categories(language, text)
            ours = varlex_categories(cli, lng, ids, path, text)
            if ours is None:
                print(f"{path}: varlex-cli failed", file=sys.stderr)
                continue
            row["files"] += 1
            for i, ch in enumerate(text):
                if ch.isspace():
                    continue
                row["total"] += 1
                if theirs[i] == ours[i]:
                    row["agree"] += 1
                    continue
                key = (theirs[i], ours[i])
                row["pairs"][key] += 1
                # An example starts where the two sides begin to differ (blanks are not compared).
                if (i == 0 or theirs[i - 1] == ours[i - 1] or text[i - 1].isspace()) \
                        and len(row["examples"][key]) < args.examples:
                    start = text.rfind("\n", 0, i) + 1
                    end = text.find("\n", i)
                    end = len(text) if end < 0 else end
                    row["examples"][key].append(f"{path}:{text.count(chr(10), 0, i) + 1}: {text[start:i]}[[{text[i:end]}")
        if row["files"]:
            rows.append(row)
        for key, count in row["pairs"].most_common(args.differences):
            print(f"  {language}: gtksourceview {key[0]} / varlex {key[1]}: {count} characters")
            for line in row["examples"][key]:
                print("      " + line[:200])
    print(f"{'language':<12}{'files':>6}{'characters':>12}{'agree':>9}   largest difference (gtksourceview / varlex)")
    shares = []
    for row in rows:
        share = 100.0 * row["agree"] / max(row["total"], 1)
        shares.append(share)
        top = row["pairs"].most_common(1)
        worst = f"{top[0][0][0]} / {top[0][0][1]} {100.0 * top[0][1] / row['total']:.1f}%" if top else ""
        print(f"{row['language']:<12}{row['files']:>6}{row['total']:>12}{share:>8.1f}%   {worst}")
    if shares:
        print(f"{'median':<12}{'':>6}{'':>12}{statistics.median(shares):>8.1f}%   lowest {min(shares):.1f}%"
              f" over {len(shares)} languages")


if __name__ == "__main__":
    main()
