#!/usr/bin/env python3
"""Agreement of exported KDE syntax definitions with Varlex's own colouring.

Every starter language and the random languages of the round-trip property test are exported with
`varlex-cli export --format kde`; kate-syntax-highlighter, with only that definition added (a private
XDG_DATA_HOME), colours each language's samples (the starter languages' samples, reference files and
real files of the system as scripts/fidelity.py picks them; the random languages' own samples), and so
does `varlex-cli highlight --format spans`. Each character but line breaks is compared twice: by the
tokenset that coloured it, and by its category (comment, string, keyword, number, preprocessor/markup,
plain). kate's warnings while loading a definition are counted too.

For measuring only, each itemData of the exported definition is given a colour of its own, so kate's
HTML tells which itemData, and so which tokenset, coloured a character.

Usage: scripts/kde_export_fidelity.py [--build DIR] [--random N] [--budget BYTES] [--worst N]
"""

import argparse
import collections
import concurrent.futures
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import fidelity  # noqa: E402  (the corpus of real files and the categories)

THEME_NAME = "Varlex Fidelity"


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)


def lng_tokensets(lng):
    """(name, id) of each tokenset of a .lng file, in order."""
    with open(lng, "rb") as f:
        data = f.read()
    text = data.decode("utf-8") if data.startswith(b"\xef\xbb\xbf") else data.decode("cp1252", "replace")
    root = ElementTree.fromstring(re.sub(r"^\ufeff?<\?xml[^>]*\?>", "", text))
    return [(t.get("name"), t.get("id") or "text") for t in root.iter("tokenset")]


def category(tokenset_id):
    if tokenset_id is None:
        return fidelity.PLAIN
    return fidelity.VARLEX_BY_ID.get(tokenset_id.lower(), fidelity.PLAIN)


def varlex_names(cli, lng, path, text):
    r = run([cli, "highlight", "--lng", lng, "--format", "spans", path])
    if r.returncode != 0:
        return None, r.stderr.decode(errors="replace").strip()
    unit_to_char = fidelity.utf16_units(text)
    names = [None] * len(text)
    for line in r.stdout.decode("utf-8").splitlines():
        start, size, name = line.split("\t", 2)
        name = name.replace("\\t", "\t").replace("\\r", "\r").replace("\\n", "\n").replace("\\\\", "\\")
        for i in range(unit_to_char[int(start)], unit_to_char[int(start) + int(size)]):
            names[i] = name
    return names, None


def measuring_copy(xml_path, out_path, tokensets):
    """The definition with a colour of its own for each itemData; colour -> tokenset name (None: no tokenset)."""
    tree = ElementTree.parse(xml_path)
    colours = {}
    items = list(tree.getroot().iter("itemData"))
    for i, item in enumerate(items):
        colour = "#30%04x" % i
        item.set("color", colour)
        item.attrib.pop("backgroundColor", None)
        colours[colour] = tokensets[i][0] if i < len(tokensets) else None
    tree.write(out_path, encoding="UTF-8", xml_declaration=True)
    return colours


def kate_names(path, syntax, text, colours, env):
    r = run(["kate-syntax-highlighter", "-t", THEME_NAME, "-s", syntax, "-f", "html", path], env=env)
    warnings = r.stderr.decode(errors="replace").strip()
    if r.returncode != 0:
        return None, warnings or "kate failed", warnings
    page = r.stdout.decode("utf-8")
    body = page[page.index("<pre>") + len("<pre>\n"):page.rindex("</pre>")]
    names = []
    for m in re.finditer(r'<span style="color:(#[0-9a-f]{6})[^"]*">(.*?)</span>|([^<]+)', body, re.S):
        piece = html.unescape(m.group(2) if m.group(3) is None else m.group(3))
        name = colours.get(m.group(1), "?") if m.group(3) is None else "?"
        names.extend([name] * len(piece))
    if len(names) == len(text) + 1 and not text.endswith("\n"):
        del names[-1]
    if len(names) != len(text):
        return None, f"kate gave {len(names)} characters for {len(text)}", warnings
    return names, None, warnings


def measure(job):
    """Agreement of one language on its texts."""
    label, lng, xml, syntax, texts, cli, work = job
    tokensets = lng_tokensets(lng)
    ids = {}
    for name, tokenset_id in tokensets:
        ids.setdefault(name, tokenset_id)
    xdg = os.path.join(work, "xdg-" + re.sub(r"\W", "_", label))
    syntax_dir = os.path.join(xdg, "org.kde.syntax-highlighting", "syntax")
    os.makedirs(syntax_dir, exist_ok=True)
    os.makedirs(os.path.join(xdg, "org.kde.syntax-highlighting", "themes"), exist_ok=True)
    shutil.copy(fidelity.THEME, os.path.join(xdg, "org.kde.syntax-highlighting", "themes"))
    colours = measuring_copy(xml, os.path.join(syntax_dir, "measured.xml"), tokensets)
    env = dict(os.environ, XDG_DATA_HOME=xdg, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    row = {"label": label, "chars": 0, "same": 0, "category": 0, "warnings": set(), "errors": [],
           "examples": []}
    for path in texts:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8").replace("\r\n", "\n").replace("\r", "\n")
        plain = os.path.join(xdg, "text-" + os.path.basename(path))
        with open(plain, "w", encoding="utf-8", newline="") as f:
            f.write(text)
        ours, error = varlex_names(cli, lng, plain, text)
        if error:
            row["errors"].append(f"{path}: varlex: {error}")
            continue
        theirs, error, warnings = kate_names(plain, syntax, text, colours, env)
        if warnings:
            row["warnings"].add(warnings.splitlines()[0])
        if error:
            row["errors"].append(f"{path}: {error}")
            continue
        for i, ch in enumerate(text):
            if ch == "\n":
                continue
            row["chars"] += 1
            if ours[i] == theirs[i]:
                row["same"] += 1
            elif len(row["examples"]) < 3:
                start = text.rfind("\n", 0, i) + 1
                end = text.find("\n", i)
                row["examples"].append(f"{path}:{text.count(chr(10), 0, i) + 1}: varlex {ours[i]!r}, kate {theirs[i]!r}: "
                                       f"{text[start:i]}[[{text[i:end if end >= 0 else len(text)]}")
            if category(ids.get(ours[i])) == category(ids.get(theirs[i])):
                row["category"] += 1
    return row


def export(cli, folder, index, to):
    os.makedirs(to, exist_ok=True)
    r = run([cli, "--folder", folder, "export", "--format", "kde", "--index", str(index), "--to", to])
    if r.returncode != 0:
        return None, r.stderr.decode(errors="replace").strip()
    return r.stdout.decode("utf-8").strip(), None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--random", type=int, default=100, help="random languages of the property test")
    parser.add_argument("--budget", type=int, default=64 * 1024, help="bytes of real files per starter language")
    parser.add_argument("--seed", type=int, default=19)
    parser.add_argument("--worst", type=int, default=10, help="list the N languages that agree least")
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()

    cli = os.path.join(args.build, "bin", "varlex-cli")
    tests = os.path.join(args.build, "tests", "test_import")
    for needed in (cli, tests) if args.random else (cli,):
        if not os.access(needed, os.X_OK):
            sys.exit(f"{needed}: not found; build first (make build)")
    if not shutil.which("kate-syntax-highlighter"):
        sys.exit("kate-syntax-highlighter is missing: apt-get install libkf5syntaxhighlighting-tools")

    work = tempfile.mkdtemp(prefix="varlex-kde-export-")
    try:
        jobs = []
        # The starter languages, from the starter database.
        starter = os.path.join(work, "starter")
        shutil.copytree(os.path.join(args.build, "bin"), starter, ignore=shutil.ignore_patterns("varlex*", "*.so*"))
        shutil.copy(os.path.join(args.build, "starter", "varlex.dat"), starter)
        listing = run([cli, "--folder", starter, "list"]).stdout.decode("utf-8").splitlines()
        names = [line.split("\t")[1] if "\t" in line else line for line in listing]
        for name, base in dict.fromkeys((language, corpus_base) for language, corpus_base, *_ in fidelity.CORPUS):
            index = names.index(name) if name in names else None
            if index is None:
                print(f"{name}: not in the starter database", file=sys.stderr)
                continue
            xml, error = export(cli, starter, index, os.path.join(work, "out", base))
            if error:
                print(f"{name}: {error}", file=sys.stderr)
                continue
            texts = [os.path.join(SOURCE, "data", "languages", base + ".txt")]
            ref = os.path.join(SOURCE, "tests", "reference", base)
            if os.path.isdir(ref):
                texts += sorted(os.path.join(ref, f) for f in os.listdir(ref) if not f.endswith(".ref")
                                and os.path.isfile(os.path.join(ref, f)))
            for language, corpus_base, _, sources, content_test in fidelity.CORPUS:
                if corpus_base == base:
                    picked, _ = fidelity.pick_files(language, sources, content_test, args.seed, args.budget, False, work)
                    texts += picked
            lng = os.path.join(SOURCE, "data", "languages", base + ".lng")
            jobs.append((name, lng, xml, name, [t for t in texts if os.path.exists(t)], cli, work))

        # The random languages of the property test.
        if args.random:
            dump = os.path.join(work, "random")
            os.makedirs(dump)
            r = run([tests, "--gtest_filter=RoundTrip.WritesItsLanguagesForMeasuring"],
                    env=dict(os.environ, VARLEX_ROUNDTRIP_DUMP=dump, QT_QPA_PLATFORM="offscreen"))
            if r.returncode != 0:
                sys.exit("the property test did not write its languages: " + r.stdout.decode(errors="replace")[-2000:])
            count = len([f for f in os.listdir(dump) if f.endswith(".lng")])
            first_random = count - args.random if count > args.random else 0
            folder = os.path.join(work, "random-db")
            shutil.copytree(starter, folder)
            os.remove(os.path.join(folder, "varlex.dat"))
            shutil.copy(os.path.join(args.build, "starter", "varlex.dat"), folder)
            chosen = [i for i in range(first_random, count)]
            # Random names repeat: each language is measured on its own, so a second of a name is welcome.
            r = run([cli, "--folder", folder, "import", "--allow-duplicate"] + [os.path.join(dump, f"{i}.lng") for i in chosen])
            index_of = {}
            for line in r.stdout.decode("utf-8").splitlines():
                m = re.match(r"(.*)/(\d+)\.lng: language (\d+) ", line)
                if m:
                    index_of[int(m.group(2))] = int(m.group(3))
            for i in chosen:
                if i not in index_of:
                    print(f"random language {i}: not imported", file=sys.stderr)
                    continue
                xml, error = export(cli, folder, index_of[i], os.path.join(work, "out", f"random{i}"))
                if error:
                    print(f"random language {i}: {error}", file=sys.stderr)
                    continue
                syntax = ElementTree.parse(xml).getroot().get("name")
                # The language as the database holds it (an import may change a rule a record cannot hold).
                lng = os.path.join(work, "out", f"random{i}", "language.lng")
                with open(lng, "wb") as f:
                    f.write(run([cli, "--folder", folder, "xml", "--index", str(index_of[i])]).stdout)
                jobs.append((f"random {i}", lng, xml, syntax, [os.path.join(dump, f"{i}.txt")], cli, work))

        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            rows = list(pool.map(measure, jobs))
        for row in rows:
            for error in row["errors"][:3]:
                print(f"{row['label']}: {error}", file=sys.stderr)
        print(f"{'language':<14}{'characters':>11}{'tokenset':>10}{'category':>10}")
        starters = [r for r in rows if not r["label"].startswith("random")]
        randoms = [r for r in rows if r["label"].startswith("random")]
        for row in starters:
            print(f"{row['label']:<14}{row['chars']:>11}{100.0 * row['same'] / max(row['chars'], 1):>9.2f}%"
                  f"{100.0 * row['category'] / max(row['chars'], 1):>9.2f}%")
        for label, group in (("starters", starters), ("random", randoms), ("all", rows)):
            chars = sum(r["chars"] for r in group)
            same = sum(r["same"] for r in group)
            cat = sum(r["category"] for r in group)
            low = sum(1 for r in group if r["chars"] and r["category"] < 0.99 * r["chars"])
            print(f"{label:<14}{chars:>11}{100.0 * same / max(chars, 1):>9.2f}%{100.0 * cat / max(chars, 1):>9.2f}%"
                  f"   languages below 99% by category: {low} of {len(group)}")
        warned = [r for r in rows if r["warnings"]]
        print(f"definitions kate warned about: {len(warned)} of {len(rows)}")
        for row in warned[:5]:
            print(f"  {row['label']}: {sorted(row['warnings'])[0][:200]}")
        worst = sorted((r for r in rows if r["chars"]), key=lambda r: r["category"] / r["chars"])[:args.worst]
        for row in worst:
            print(f"  {row['label']}: {100.0 * row['category'] / row['chars']:.2f}% by category")
            for example in row["examples"]:
                print("      " + example[:220])
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
