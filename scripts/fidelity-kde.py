#!/usr/bin/python3
"""Conversion of KDE's own syntax definitions, and their agreement with kate-syntax-highlighter.

KDE's definitions are read at run time: from /usr/share/org.kde.syntax-highlighting/syntax when a package
installs them there, else out of libKF5SyntaxHighlighting, which carries them as compressed resources (they
are written to a temporary folder only). Each is converted by `varlex-cli convert` (the folder as --path, for
the definitions it includes): counted as converted or refused (with the reason), timed, and linted. Then the
converted languages colour real files of the system, as scripts/fidelity.py picks them, beside
kate-syntax-highlighter with the definition itself; each character that is not white space falls into one
category on each side (comment, string, keyword, number, preprocessor/markup, plain): kate's by the style its
theme colour names, ours by the default style of the item (or context) the tokenset was made from; where the
converter merged items that look alike into one tokenset (the report's "merged into ... (same colours"), a
character agrees when kate's category is that of any of them.

Usage: scripts/fidelity-kde.py [--build DIR] [--seed N] [--budget BYTES] [--language NAME]... [--differences N]
                               [--skip-files]
"""

import argparse
import collections
import os
import re
import shutil
import statistics
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import fidelity  # noqa: E402  (the theme, kate's categories and the file rules)

LIBRARY = "/usr/lib/x86_64-linux-gnu/libKF5SyntaxHighlighting.so.5"
SYSTEM_FOLDER = "/usr/share/org.kde.syntax-highlighting/syntax"
DS_STYLE = {"ds" + name: name for name in fidelity.KATE_CATEGORY if "/" not in name}

# kate's definition name and the files of the system that are written in it (path pattern under /usr).
FILES = [
    ("C", r"^/usr/include/[^/]+\.h$"), ("C++", r"/c\+\+/12/[^/]+$"), ("Python", r"^/usr/lib/python3\.11/[^/]+\.py$"),
    ("Bash", r"\.sh$"), ("Perl", r"\.pm$"), ("Ruby", r"\.rb$"), ("Lua", r"\.lua$"), ("Tcl/Tk", r"\.tcl$"),
    ("CMake", r"\.cmake$"), ("JSON", r"\.json$"), ("YAML", r"\.ya?ml$"), ("Diff", r"\.(diff|patch)$"),
    ("Markdown", r"\.md$"), ("SQL (PostgreSQL)", r"\.sql$"), ("CSS", r"\.css$"), ("JavaScript", r"\.js$"),
    ("HTML", r"\.html$"), ("XML", r"\.xml$"), ("INI Files", r"\.ini$"), ("Go", r"\.go$"), ("Rust", r"\.rs$"),
    ("GNU M4", r"\.m4$"), ("AWK", r"\.awk$"), ("LaTeX", r"\.tex$"), ("Makefile", r"\.mk$"),
    (".desktop", r"\.desktop$"), ("Java", r"\.java$"), ("PHP/PHP", r"\.php$"), ("Scheme", r"\.scm$"),
    ("Emacs Lisp", r"\.el$"), ("Groff", r"\.[1-8]$"), ("Doxygen", r"\.dox$"), ("Meson", r"meson\.build$"),
    ("GLSL", r"\.(glsl|vert|frag)$"), ("Haskell", r"\.hs$"), ("TypeScript", r"\.ts$"), ("QML", r"\.qml$"),
    ("Modelines", r"^$"),
]


def child_cpu(action):
    """What action returns, and the CPU time (user + system) of the child processes it ran: on a loaded
    machine the fair measure, where wall time counts the waiting for a core."""
    before = os.times()
    result = action()
    after = os.times()
    return result, (after.children_user - before.children_user) + (after.children_system - before.children_system)


def definitions_folder(work):
    """A folder holding KDE's definitions as files: the installed folder, or one written from the library."""
    if os.path.isdir(SYSTEM_FOLDER) and any(f.endswith(".xml") for f in os.listdir(SYSTEM_FOLDER)):
        return SYSTEM_FOLDER
    folder = os.path.join(work, "kde-definitions")
    os.makedirs(folder)
    with open(LIBRARY, "rb") as f:
        data = f.read()
    found = {}
    # Resources are stored zlib-compressed (a 4-byte size before each), a few small ones plain.
    for m in re.finditer(rb"\x78[\x01\x5e\x9c\xda]", data):
        try:
            text = zlib.decompressobj().decompress(data[m.start():m.start() + 8 * 1024 * 1024])
        except zlib.error:
            continue
        if b"<language" in text[:4096] and b"<highlighting" in text:
            found.setdefault(definition_name(text), text)
    for m in re.finditer(rb"<\?xml", data):
        end = data.find(b"</language>", m.start())
        if end > 0:
            text = data[m.start():end + len(b"</language>")]
            if b"<highlighting" in text and b"\0" not in text:
                found.setdefault(definition_name(text), text)
    for name, text in found.items():
        if name:
            with open(os.path.join(folder, re.sub(r"[^A-Za-z0-9+_-]", "_", name) + ".xml"), "wb") as f:
                f.write(text)
    return folder


def definition_name(text):
    m = re.search(rb'<language\b[^>]*?\bname="([^"]*)"', text)
    return m.group(1).decode("utf-8", "replace").replace("&amp;", "&") if m else None


def read_definition(path):
    """Items (name -> default style) and contexts (name -> attribute) of a definition."""
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError:
        return None
    items = {i.get("name"): i.get("defStyleNum", "dsNormal") for i in root.iter("itemData")}
    contexts = {c.get("name"): c.get("attribute", "") for c in root.iter("context")}
    return {"name": root.get("name"), "items": items, "contexts": contexts}


def tokenset_styles(lng, definitions, main):
    """Tokenset name -> kate style name, through the item or context it was made from."""
    return {name: item_style(name, definitions, main) for name, _ in fidelity_tokensets(lng)}


def item_style(name, definitions, main):
    base = re.sub(r" \(\d+\)$", "", name)
    for d in [definitions[main]] + [d for n, d in definitions.items() if n != main]:
        item = base if base in d["items"] else d["contexts"].get(base)
        if item is not None and item in d["items"]:
            qualified = f"{d['name']}/{item}"
            return qualified if qualified in fidelity.KATE_CATEGORY else DS_STYLE.get(d["items"][item], "Normal")
    return "Normal"


MERGED_ALIKE = re.compile(r'merged: (?:tokenset|scope) "(.*)" merged into "(.*)" \(same colours')


def merged_categories(report, definitions, main):
    """Tokenset name -> the categories of the items merged into it because they look the same (same colours
    and font: the same default style, or the same colours of their own). Its tokens may come from any of
    them and each shows as kate shows that item, so a character whose kate category is one of theirs agrees,
    whichever item's name the tokenset kept (CSS's `Value` words and `Number`s, both dsDecVal)."""
    into = {}
    for line in report.splitlines():
        m = MERGED_ALIKE.search(line)
        if m:
            into[m.group(1)] = m.group(2)
    out = collections.defaultdict(set)
    for name in into:
        final = name
        while final in into:
            final = into[final]
        out[final].add(fidelity.KATE_CATEGORY.get(item_style(name, definitions, main), fidelity.PLAIN))
    return out


def fidelity_tokensets(lng):
    with open(lng, "rb") as f:
        data = f.read()
    text = data.decode("utf-8") if data.startswith(b"\xef\xbb\xbf") else data.decode("cp1252", "replace")
    root = ElementTree.fromstring(re.sub(r"^\ufeff?<\?xml[^>]*\?>", "", text))
    return [(t.get("name"), t.get("id")) for t in root.iter("tokenset")]


def varlex_tokensets(cli, lng, path, text):
    """The tokenset that colours each character (None where none does)."""
    r = fidelity.run([cli, "highlight", "--lng", lng, "--format", "spans", path])
    if r.returncode != 0:
        return None
    units = fidelity.utf16_units(text)
    out = [None] * len(text)
    for line in r.stdout.decode("utf-8").splitlines():
        start, size, name = line.split("\t", 2)
        for i in range(units[int(start)], units[int(start) + int(size)]):
            out[i] = name
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--seed", type=int, default=19)
    parser.add_argument("--budget", type=int, default=64 * 1024, help="bytes of files per language")
    parser.add_argument("--language", action="append")
    parser.add_argument("--differences", type=int, default=0)
    parser.add_argument("--skip-files", action="store_true", help="only convert and lint")
    parser.add_argument("--keep", help="keep the definitions and converted languages in this folder")
    args = parser.parse_args()
    cli = os.path.join(args.build, "bin", "varlex-cli")
    if not os.access(cli, os.X_OK):
        sys.exit(f"{cli}: not found; build it first (make build)")
    if not (os.path.isdir(SYSTEM_FOLDER) and any(f.endswith(".xml") for f in os.listdir(SYSTEM_FOLDER))) \
            and not os.path.exists(LIBRARY) and not (args.keep and os.path.isdir(os.path.join(args.keep, "kde-definitions"))):
        print(f"KDE's syntax definitions are missing (neither {SYSTEM_FOLDER} nor {LIBRARY}; "
              "apt-get install libkf5syntaxhighlighting5): KDE import not measured", file=sys.stderr)
        return
    if not args.skip_files and not shutil.which("kate-syntax-highlighter"):
        print("kate-syntax-highlighter is missing (apt-get install libkf5syntaxhighlighting-tools): "
              "conversion figures only", file=sys.stderr)
        args.skip_files = True
    work = args.keep or tempfile.mkdtemp(prefix="varlex-kde-fidelity-")
    os.makedirs(work, exist_ok=True)
    folder = definitions_folder(work) if not args.keep or not os.path.isdir(os.path.join(work, "kde-definitions")) \
        else os.path.join(work, "kde-definitions")
    files = sorted(f for f in os.listdir(folder) if f.endswith(".xml"))
    definitions = {}
    for f in files:
        d = read_definition(os.path.join(folder, f))
        if d and d["name"]:
            definitions[d["name"]] = dict(d, file=os.path.join(folder, f))

    # Conversion and lint of every definition.
    converted, refused, lint_errors, times, reports = {}, [], collections.Counter(), [], {}
    reasons = collections.Counter()
    for name in sorted(definitions):
        if args.language and name not in args.language:
            continue
        lng = os.path.join(work, re.sub(r"[^A-Za-z0-9+_-]", "_", name) + ".lng")
        r, cpu = child_cpu(lambda: fidelity.run([cli, "convert", definitions[name]["file"], "--path", folder,
                                                 "--output", lng]))
        times.append((cpu, name))
        if r.returncode != 0:
            reason = (r.stderr.decode(errors="replace").strip().splitlines() or ["?"])[-1]
            refused.append((name, r.returncode, reason))
            reasons[re.sub(r"^.*?: ", "", re.sub(r"\d+", "N", reason))] += 1
            continue
        converted[name] = lng
        reports[name] = r.stderr.decode(errors="replace")
        r = fidelity.run([cli, "lint", "--lng", lng])
        errors = r.stdout.decode(errors="replace").count(": error:")
        if errors:
            lint_errors[name] = errors
    total = len(converted) + len(refused)
    print(f"definitions: {total}; converted {len(converted)}, refused {len(refused)}; "
          f"lint errors in {len(lint_errors)} ({sum(lint_errors.values())} errors)")
    for reason, count in reasons.most_common():
        print(f"  refused {count}: {reason}")
    for name, count in lint_errors.most_common(10):
        print(f"  lint: {name}: {count} errors")
    times.sort(reverse=True)
    if times:
        slow = [(t, n) for t, n in times if t >= 1.0]
        print(f"conversion CPU time (user + system): median {statistics.median(t for t, _ in times):.2f} s; "
              f"{len(times) - len(slow)} of {len(times)} under 1 s; slowest "
              + ", ".join(f"{n} {t:.2f} s" for t, n in times[:max(3, len(slow))]))
    if args.skip_files:
        return

    # Agreement with kate on real files.
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
    themes = os.path.join(work, "data", "org.kde.syntax-highlighting", "themes")
    os.makedirs(themes, exist_ok=True)
    shutil.copy(fidelity.THEME, themes)
    colours = fidelity.theme_colours()
    all_files = []
    for root, dirs, names in os.walk("/usr"):
        dirs[:] = [d for d in dirs if not (root == "/usr" and d in ("src", "local"))]
        all_files.extend(os.path.join(root, n) for n in names)
    all_files.sort()
    rows = []
    for name, pattern in FILES:
        if name not in converted or (args.language and name not in args.language):
            continue
        regex = re.compile(pattern)
        candidates = [f for f in all_files if regex.search(f)]
        import random
        random.Random(f"{args.seed}:{name}").shuffle(candidates)
        styles = tokenset_styles(converted[name], definitions, name)
        alike = merged_categories(reports[name], definitions, name)
        row = {"language": name, "files": 0, "agree": 0, "total": 0, "pairs": collections.Counter(),
               "examples": collections.defaultdict(list)}
        budget = 0
        for path in candidates:
            if budget >= args.budget:
                break
            data = fidelity.usable(path, None)
            if data is None:
                continue
            text = data.decode("utf-8")
            theirs, problem = fidelity.kate_categories(path, name, text, colours, env)
            if theirs is None:
                continue
            tokensets = varlex_tokensets(cli, converted[name], path, text)
            if tokensets is None:
                continue
            budget += len(data)
            row["files"] += 1
            their_styles = theirs[1]
            for i, ch in enumerate(text):
                if ch.isspace():
                    continue
                row["total"] += 1
                ours = styles.get(tokensets[i], "Normal")
                a, b = fidelity.KATE_CATEGORY[their_styles[i]], fidelity.KATE_CATEGORY.get(ours, fidelity.PLAIN)
                if a == b or a in alike.get(tokensets[i], ()):
                    row["agree"] += 1
                    continue
                row["pairs"][(a, b)] += 1
                if (i == 0 or their_styles[i - 1] == styles.get(tokensets[i - 1], "Normal")) and len(row["examples"][(a, b)]) < 3:
                    start = text.rfind("\n", 0, i) + 1
                    end = text.find("\n", i)
                    row["examples"][(a, b)].append(f"{path}:{text.count(chr(10), 0, i) + 1}: "
                                                   f"{text[start:i]}[[{text[i:end if end >= 0 else len(text)]}")
        if row["total"]:
            rows.append(row)
        for key, count in row["pairs"].most_common(args.differences):
            print(f"  {name}: kate {key[0]} / varlex {key[1]}: {count} characters")
            for line in row["examples"][key]:
                print("      " + line[:200])
    print(f"{'language':<20}{'files':>6}{'characters':>12}{'agree':>9}   largest difference (kate / varlex)")
    shares = []
    for row in rows:
        share = 100.0 * row["agree"] / row["total"]
        shares.append(share)
        top = row["pairs"].most_common(1)
        worst = f"{top[0][0][0]} / {top[0][0][1]} {100.0 * top[0][1] / row['total']:.1f}%" if top else ""
        print(f"{row['language']:<20}{row['files']:>6}{row['total']:>12}{share:>8.1f}%   {worst}")
    if shares:
        print(f"{'median':<20}{'':>6}{'':>12}{statistics.median(shares):>8.1f}%   lowest {min(shares):.1f}%"
              f" over {len(shares)} languages")


if __name__ == "__main__":
    main()
