#!/usr/bin/env python3
"""Agreement of the starter languages with KDE's kate-syntax-highlighter on real files.

Both highlighters colour the same files: files that Debian packages install (system headers, Python's
standard library, JavaScript, SQL, HTML, XML, shell scripts, INI files), picked by a fixed seed. Each
character that is not white space is put in one category on each side (comment, string, keyword,
number, preprocessor/markup, plain); the table gives the share of characters on which the two agree,
per language and over all languages. docs/starter-languages.md explains the mapping.

Usage: scripts/fidelity.py [--build DIR] [--seed N] [--budget BYTES] [--language NAME]...
                           [--differences N] [--install]
"""

import argparse
import collections
import concurrent.futures
import hashlib
import html
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
THEME = os.path.join(HERE, "fidelity.theme")  # gives every style kate knows a colour of its own
THEME_NAME = "Varlex Fidelity"

COMMENT, STRING, KEYWORD, NUMBER, MARKUP, PLAIN = "comment", "string", "keyword", "number", "markup", "plain"

SHELL_SCRIPT = re.compile(rb"^#! ?/(usr/)?bin/(env +)?(ba|da)?sh\b")
MULTIARCH = r"([a-z0-9_]+-linux-gnu[a-z]*/)?"

# Per language: its .lng file, kate's definition, the Debian packages its files come from with a pattern
# for their paths (and, for a package that ships its sources as a zip archive, a pattern for the
# archive's members), and a test of the content. Only regular UTF-8 files with LF line ends, of MIN_FILE to
# MAX_FILE bytes and lines of at most MAX_LINE bytes, count; a file met twice counts once.
CORPUS = [
    ("C", "c", "C", [("libc6-dev", r"^/usr/include/.*\.h$"), ("linux-libc-dev", r"^/usr/include/.*\.h$")], None),
    ("C++", "cpp", "C++", [("libstdc++-12-dev", r"^/usr/include/" + MULTIARCH + r"c\+\+/12/")], None),
    ("Python", "python", "Python",
     [(p, r"^/usr/lib/python3\.11/[^/]+(/[^/]+)?\.py$") for p in ("libpython3.11-stdlib", "libpython3.11-minimal")],
     None),
    ("JavaScript", "javascript", "JavaScript",
     [("libjs-sphinxdoc", r"\.js$"), ("libjs-underscore", r"/underscore\.js$")]
     + [(p, r"\.js$") for p in ("clang-tools-14", "valgrind", "git", "qt6-base-dev")], None),
    ("SQL", "sql", "SQL (PostgreSQL)", [("postgresql-15", r"\.sql$")], None),
    ("HTML", "html", "HTML",
     [(p, r"\.html$") for p in ("libxslt1-dev", "valgrind", "libffi-dev", "libexpat1-dev", "gettext", "libtasn1-doc")],
     None),
    ("XML", "xml", "XML",
     [(p, r"\.xml$") for p in ("gsettings-desktop-schemas", "gdb", "valgrind", "iso-codes")]
     + [("cppcheck", r"\.(xml|cfg)$"), ("fontconfig-config", r"\.conf$")], None),
    ("Shell", "shell", "Bash",
     [(p, r"^/usr/(bin|sbin|lib|share)/") for p in ("git", "gzip", "debianutils", "dpkg", "debconf", "man-db",
                                                   "linux-perf", "bash", "ca-certificates", "util-linux")],
     SHELL_SCRIPT),
    ("INI", "ini", "INI Files",
     [("systemd", r"^/(usr/)?lib/systemd/system/[^/]+\.(service|socket|timer|target)$"), ("llvm-14-tools", r"\.ini$"),
      ("fp-compiler-3.2.2", r"\.ini$"), ("python3.11", r"\.desktop$"), ("vim-common", r"\.desktop$")], None),
    ("JSON", "json", "JSON", [("nodejs", r"\.json$"), ("iso-codes", r"\.json$"), ("cmake-data", r"\.json$")], None),
    ("Diff", "diff", "Diff", [("binutils-source", r"\.(diff|patch)$")], None),
    ("YAML", "yaml", "YAML",
     [("netplan.io", r"\.ya?ml$"), ("rubocop", r"\.ya?ml$"), ("lintian", r"\.ya?ml$")], None),
    ("Makefile", "makefile", "Makefile",
     [(p, r"(/(GNU)?[Mm]akefile(\.(?!fpc$)[\w-]+)?|\.mk)$")
      for p in ("dpkg-dev", "git", "postgresql-common", "libxmlsec1-dev", "linux-kbuild-6.1")], None),
    ("Go", "go", "Go", [(p, r"\.go$") for p in ("golang-golang-x-text-dev", "golang-github-spf13-cobra-dev")], None),
    ("Rust", "rust", "Rust", [(p, r"\.rs$") for p in ("librust-regex-dev", "librust-clap-dev", "librust-serde-dev")],
     None),
    ("TypeScript", "typescript", "TypeScript", [("node-typescript", r"\.ts$")], None),
    ("Lua", "lua", "Lua", [(p, r"\.lua$") for p in ("lua-penlight", "lua-ldoc")], None),
    ("CMake", "cmake", "CMake", [("cmake-data", r"\.cmake$"), ("libgtest-dev", r"CMakeLists\.txt$")], None),
    ("Ruby", "ruby", "Ruby", [("libruby3.1", r"/usr/lib/ruby/3\.1\.0/.*\.rb$")], None),
    ("CSS", "css", "CSS",
     [("libsource-highlight-common", r"\.css$"), ("qt6-base-dev", r"\.css$"), ("nodejs", r"\.css$")], None),
    ("Java", "java", "Java", [("openjdk-17-source", r"/src\.zip$", r"^java\.base/java/.*\.java$")], None),
    ("C#", "csharp", "C#", [(p, r"\.cs$") for p in ("gtk-sharp3-examples", "gtk-sharp2-examples")], None),
    ("PHP", "php", "PHP/PHP", [(p, r"\.php$") for p in ("php-pear", "php-symfony-console")], None),
    ("Perl", "perl", "Perl", [("perl-modules-5.36", r"^/usr/share/perl/5\.36\.0/(?!unicore/|Unicode/Collate/|Pod/Man\.pm$).*\.p[lm]$")], None),
    ("TOML", "toml", "TOML",
     [(p, r"/Cargo\.toml$") for p in (
         "librust-addr2line-dev", "librust-adler-dev", "librust-ahash-0.7-dev", "librust-arbitrary-dev",
         "librust-atty-dev", "librust-autocfg-dev", "librust-backtrace-dev", "librust-bitflags-dev", "librust-bumpalo-dev",
         "librust-bytes-dev", "librust-cc-dev", "librust-cfg-if-dev", "librust-clap-derive-dev", "librust-clap-dev",
         "librust-clap-lex-dev", "librust-crc32fast-dev", "librust-crossbeam-channel-dev", "librust-crossbeam-deque-dev",
         "librust-crossbeam-epoch-dev", "librust-crossbeam-utils-dev", "librust-either-dev", "librust-erased-serde-dev",
         "librust-errno-dev", "librust-flate2-dev", "librust-getrandom-dev", "librust-gimli-dev",
         "librust-hashbrown-dev", "librust-heck-dev", "librust-indexmap-dev", "librust-itoa-dev",
         "librust-lazy-static-dev", "librust-regex-dev", "librust-serde-dev")]
     + [(p, r"\.toml$") for p in ("golang-github-pelletier-go-toml-dev", "golang-github-burntsushi-toml-dev")], None),
    ("Tcl", "tcl", "Tcl/Tk", [(p, r"\.tcl$") for p in ("libtcl8.6", "libtk8.6")], None),
    ("R", "r", "R Script", [("r-base-core", r"\.R$")], None),
    ("Dockerfile", "dockerfile", "Dockerfile",
     [(p, r"/Dockerfile[^/]*$") for p in ("golang-github-openshift-imagebuilder-dev", "golang-1.19-src",
                                          "golang-github-cilium-ebpf-dev", "qmake6")], None),
    ("Pascal", "pascal", "Pascal", [("fpc-source-3.2.2", r"^/usr/share/fpcsrc/3\.2\.2/packages/.*\.(pp|pas)$")], None),
    ("Markdown", "markdown", "Markdown",
     [("nodejs", r"\.md$")] + [(p, r"\.md$") for p in ("librust-regex-dev", "librust-clap-dev", "librust-serde-dev")],
     None),
]

MIN_FILE, MAX_FILE, MAX_LINE = 200, 128 * 1024, 1000

# kate's default styles, and the items of its definitions that the theme gives a colour of their own because
# they belong to another category than their default style.
KATE_CATEGORY = {
    "Normal": PLAIN, "Operator": PLAIN, "Function": PLAIN, "Variable": PLAIN, "Others": PLAIN, "Error": PLAIN,
    "Attribute": PLAIN, "Extension": PLAIN,
    "Keyword": KEYWORD, "ControlFlow": KEYWORD, "BuiltIn": KEYWORD, "DataType": KEYWORD, "Constant": KEYWORD,
    "Char": STRING, "SpecialChar": STRING, "String": STRING, "VerbatimString": STRING, "SpecialString": STRING,
    "DecVal": NUMBER, "BaseN": NUMBER, "Float": NUMBER,
    "Preprocessor": MARKUP, "Import": MARKUP,
    "Comment": COMMENT, "Documentation": COMMENT, "Annotation": COMMENT, "CommentVar": COMMENT,
    "RegionMarker": COMMENT, "Information": COMMENT, "Warning": COMMENT, "Alert": COMMENT,
}
KATE_ITEMS = {
    COMMENT: ["Alerts/Alert Level 1", "Alerts/Alert Level 2", "Alerts/Alert Level 3", "Doxygen/Formulas",
              "Doxygen/Entities", "reStructuredText/Directive", "reStructuredText/Role", "reStructuredText/InterpretedText",
              "reStructuredText/InlineLiteral", "reStructuredText/Code", "reStructuredText/Field",
              "reStructuredText/Footnote", "reStructuredText/Citation", "reStructuredText/Substitution",
              "reStructuredText/HyperlinkReference", "reStructuredText/HyperlinkTarget", "reStructuredText/Bold",
              "reStructuredText/Italic", "reStructuredText/Link"],
    STRING: ["Bash/Escape", "Bash/String Escape"],
    PLAIN: ["CMake/Builtin Variable", "CMake/Variable Substitution", "CMake/Environment Variable Substitution",
            "CMake/Targets", "CMake/Aliased Targets", "ISO C++/Internals", "JavaScript/JSON", "CSS/Value", "CSS/Value Keyword", "Bash/Backquote", "Bash/Glob",
            "Bash/Pattern"],
    KEYWORD: ["ISO C++/Type Modifiers", "Python/Import", "Python/Special Variable", "Python/Exceptions",
              "JavaScript/Function (Built-in)", "Makefile/Target", "Makefile/SpecialTarget", "Pascal/ISO/Delphi Extended", "CMake/True Special Arg",
              "CMake/False Special Arg"],
    NUMBER: ["C/Standard Suffix", "ISO C++/Standard Suffix", "CSS/Unit", "CMake/Version Arg"],
    MARKUP: ["ISO C++/Standard Macros", "GCCExtensions/GNU Macros", "INI Files/Section"]
    + ["HTML/" + item for item in ("Element", "Attribute", "EntityRef", "Processing Instruction", "Doctype")]
    + ["XML/" + item for item in ("Element", "Element Symbols", "Attribute", "Attribute Separator", "EntityRef",
                                  "PI Symbols", "Processing Instruction", "Doctype", "Doctype Symbols",
                                  "Doctype Name", "CDATA Symbols")],
}
for _category, _items in KATE_ITEMS.items():
    KATE_CATEGORY.update((item, _category) for item in _items)

# Varlex tokensets count by their id; a few by their name.
VARLEX_BY_ID = {
    "whitespace": PLAIN, "text": PLAIN, "operators": PLAIN, "scopekeywords": PLAIN, "parameterblocks": PLAIN,
    "identifiers": PLAIN, "variables": PLAIN, "environmentvars": PLAIN, "cdatatext": PLAIN, "tagtext": PLAIN,
    "blockcomments": COMMENT, "linecomments": COMMENT,
    "strings": STRING, "charliterals": STRING, "escapeseqs": STRING,
    "keywords": KEYWORD, "valuenames": KEYWORD, "numbers": NUMBER,
    "tagdelimiters": MARKUP, "tagelementnames": MARKUP, "tagattributenames": MARKUP, "tagentities": MARKUP,
    "sectionheadings": MARKUP,
}
VARLEX_BY_NAME = {("JavaScript", "Globals"): KEYWORD, ("TypeScript", "Globals"): KEYWORD,
                  ("TypeScript", "Module Keywords"): MARKUP,
                  # kate counts a diff's removed lines as strings, a style sheet's pseudo-classes as comments
                  ("Diff", "Removed Lines"): STRING, ("CSS", "Pseudo-Classes"): COMMENT,
                  ("YAML", "Constants"): STRING, ("Rust", "Macros"): MARKUP, ("Rust", "Paths"): MARKUP,
                  # kate colours Ruby's symbols as warnings and nil/true/self as numbers
                  ("Ruby", "Symbols"): COMMENT, ("Ruby", "Pseudo-Variables"): NUMBER,
                  # kate colours what import and package name as imports
                  ("Java", "Imports"): MARKUP,
                  # kate colours Tcl's variables as data types
                  ("Tcl", "Variables"): KEYWORD,
                  # kate colours R's operators as special characters
                  ("R", "Operators"): STRING, ("R", "Special Operators"): STRING,
                  # kate colours Perl's variables as data types and its special variables as warnings
                  ("Perl", "Variables"): KEYWORD, ("Perl", "Interpolations"): KEYWORD, ("Perl", "Special Variables"): COMMENT,
                  ("Perl", "Interpolated Special Variables"): COMMENT,
                  # kate colours the quotes of a Perl string, and the q{ } of a quote-like literal, as code, and so does
                  # Varlex: the text between them colours as a string
                  ("Perl", "Strings"): PLAIN, ("Perl", "Single-Quoted Strings"): PLAIN, ("Perl", "Quote-Like"): PLAIN,
                  # kate colours Markdown's code (inline, and blocks without a language it knows), link brackets
                  # and targets as information, list markers as special strings and entities as numbers; code
                  # in a block of a language it knows is that language's code
                  ("Markdown", "Inline Code"): COMMENT, ("Markdown", "Plain Code Blocks"): COMMENT,
                  ("Markdown", "Code Blocks"): COMMENT, ("Markdown", "Code Block Text"): PLAIN,
                  ("Markdown", "Code Block Modules"): MARKUP, ("Markdown", "Link Openers"): COMMENT,
                  ("Markdown", "Link Targets"): COMMENT, ("Markdown", "List Markers"): STRING,
                  ("Markdown", "Entities"): NUMBER, ("Markdown", "Headings"): PLAIN, ("Markdown", "Setext Underlines"): PLAIN}
for _language in ("C", "C++"):
    for _name in ("Preprocessor", "Continued Preprocessor", "Macro Definitions"):
        VARLEX_BY_NAME[(_language, _name)] = MARKUP

# A keyword is a word: punctuation either side colours as a keyword (a shell's "{" or "[[") counts as plain,
# and so does a backslash that continues a line.
WORD_CHARACTER = re.compile(r"\w")

# kate colours a Python docstring as a comment; it is a string, and counts as one.
DOCSTRING = re.compile(r"[rRuUbB]{0,2}(\"\"\"|\'\'\'|\"|\')")


def theme_colours():
    """Colour -> kate style ("Keyword") or definition item ("XML/Element"), from the theme file."""
    with open(THEME) as f:
        theme = json.load(f)
    colours = {style["text-color"].lower(): name for name, style in theme["text-styles"].items()}
    for definition, items in theme.get("custom-styles", {}).items():
        for item, style in items.items():
            colours[style["text-color"].lower()] = f"{definition}/{item}"
    missing = [name for name in colours.values() if name not in KATE_CATEGORY]
    if missing or len(colours) != len(KATE_CATEGORY):
        sys.exit(f"{THEME} and the categories of {__file__} disagree: {missing or 'a style has no colour'}")
    return colours


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)


def package_files(package):
    r = run(["dpkg-query", "-L", package])
    return r.stdout.decode("utf-8", "replace").splitlines() if r.returncode == 0 else None


def install(packages):
    """Installs Debian packages when this user may; returns False when it cannot."""
    prefix = [] if os.geteuid() == 0 else ["sudo", "-n"]
    if prefix and not shutil.which("sudo"):
        return False
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    if run(prefix + ["apt-get", "update", "-qq"], env=env).returncode != 0:
        return False
    return run(prefix + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + packages,
               env=env).returncode == 0


def read_candidate(path):
    """The bytes of a file, or of an archive member named ARCHIVE!MEMBER; None when it is no regular file."""
    if "!" in path:
        archive, member = path.split("!", 1)
        with zipfile.ZipFile(archive) as z:
            return z.read(member) if z.getinfo(member).file_size <= MAX_FILE else None
    if os.path.islink(path) or not os.path.isfile(path) or os.path.getsize(path) > MAX_FILE:
        return None
    with open(path, "rb") as f:
        return f.read()


def usable(path, content_test):
    data = read_candidate(path)
    if data is None or len(data) < MIN_FILE or len(data) > MAX_FILE:
        return None
    if b"\0" in data or b"\r" in data or (content_test and not content_test.match(data)):
        return None
    if max(len(line) for line in data.split(b"\n")) > MAX_LINE:
        return None  # minified: nobody reads it as code
    try:
        data.decode("utf-8")
    except UnicodeDecodeError:
        return None
    return data


def pick_files(language, sources, content_test, seed, budget, allow_install, work):
    """A fixed selection: the candidate files in sorted order, shuffled by the seed, up to the budget.
    Archive members are written below WORK, since both highlighters read files."""
    missing = [source[0] for source in sources if package_files(source[0]) is None]
    if missing and allow_install and install(missing):
        missing = [source[0] for source in sources if package_files(source[0]) is None]
    candidates = set()
    for package, pattern, *members in sources:
        files = package_files(package)
        if files is None:
            continue
        regex = re.compile(pattern)
        for f in files:
            if not regex.search(f):
                continue
            if not members:
                candidates.add(f)
                continue
            member_regex = re.compile(members[0])
            with zipfile.ZipFile(f) as z:
                candidates.update(f"{f}!{name}" for name in z.namelist() if member_regex.search(name))
    ordered = sorted(candidates)
    random.Random(f"{seed}:{language}").shuffle(ordered)
    picked, seen, total = [], set(), 0
    for path in ordered:
        if total >= budget:
            break
        data = usable(path, content_test)
        if data is None:
            continue
        digest = hashlib.sha1(data).digest()
        if digest in seen:
            continue
        seen.add(digest)
        if "!" in path:
            path = os.path.join(work, "members", path.split("!", 1)[1])
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        picked.append(path)
        total += len(data)
    return picked, missing


def kate_categories(path, syntax, text, colours, env):
    """Category and style name of every character as kate colours it, or an error text."""
    r = run(["kate-syntax-highlighter", "-t", THEME_NAME, "-s", syntax, "-f", "html", path], env=env)
    if r.returncode != 0:
        return None, "kate failed: " + r.stderr.decode(errors="replace").strip()
    page = r.stdout.decode("utf-8")
    body = page[page.index("<pre>") + len("<pre>\n"):page.rindex("</pre>")]
    categories, styles, pieces = [], [], []
    for m in re.finditer(r'<span style="(?:color:(#[0-9a-f]{6}))?[^"]*">(.*?)</span>|([^<]+)', body, re.S):
        if m.group(3) is not None:
            piece, style = html.unescape(m.group(3)), "Normal"
        elif m.group(1) is None:  # only bold or italic: the colour of normal text
            piece, style = html.unescape(m.group(2)), "Normal"
        else:
            piece, style = html.unescape(m.group(2)), colours.get(m.group(1))
            if style is None:
                return None, "kate used a colour the theme does not give: " + m.group(1)
        categories.extend([KATE_CATEGORY[style]] * len(piece))
        styles.extend([style] * len(piece))
        pieces.append((style, piece))
    if syntax == "SQL (PostgreSQL)":
        # kate takes "$1, $" for the tag of a dollar-quoted string, and "$$" after AS for something else; it
        # then colours the rest of the file wrongly. Such a file measures kate, not us.
        for style, piece in pieces:
            if (style == "Operator" and re.fullmatch(r"\$[^$]*\$", piece)
                    and not re.fullmatch(r"\$([A-Za-z_]\w*)?\$", piece)) or (style == "Function" and piece == "$$"):
                return None, "skipped: kate misreads its dollar quoting"
    # kate ends the last line with a line break when the file does not.
    if len(categories) == len(text) + 1 and not text.endswith("\n"):
        del categories[-1], styles[-1]
    if len(categories) != len(text):
        return None, f"kate gave {len(categories)} characters for {len(text)}"
    if syntax == "Python":
        i = 0
        while i < len(text):
            if styles[i] == "Comment" and (i == 0 or styles[i - 1] != "Comment"):
                m = DOCSTRING.match(text, i)
                if m:
                    end = text.find(m.group(1), m.end())
                    end = len(text) if end < 0 else end + len(m.group(1))
                    for j in range(i, end):
                        if categories[j] == COMMENT:
                            categories[j] = STRING
                    i = end
                    continue
            i += 1
    return (categories, styles), None


def utf16_units(text):
    """Spans count UTF-16 units: the character each unit belongs to, and one past the end."""
    unit_to_char = []
    for i, ch in enumerate(text):
        unit_to_char.append(i)
        if ord(ch) > 0xFFFF:
            unit_to_char.append(i)
    unit_to_char.append(len(text))
    return unit_to_char


def varlex_categories(path, cli, lng, language, ids, text):
    """Category of every character as varlex-cli colours it."""
    r = run([cli, "highlight", "--lng", lng, "--format", "spans", path])
    if r.returncode != 0:
        return None, "varlex-cli failed: " + r.stderr.decode(errors="replace").strip()
    unit_to_char = utf16_units(text)
    out = [PLAIN] * len(text)
    names = [""] * len(text)
    previous_end, previous_name, previous_category = -1, None, PLAIN
    for line in r.stdout.decode("utf-8").splitlines():
        start, size, name = line.split("\t", 2)
        a, b = unit_to_char[int(start)], unit_to_char[int(start) + int(size)]
        category = VARLEX_BY_NAME.get((language, name))
        if category is None:
            tokenset_id, scopes = ids.get(name, (None, set()))
            if tokenset_id == "hyperlinks":
                # A link counts as what it stands in: a comment, plain text outside every scope, else a string.
                inside = previous_end == a and previous_name in scopes
                category = (COMMENT if previous_category == COMMENT else STRING) if inside else PLAIN
            elif tokenset_id not in VARLEX_BY_ID:
                return None, f"tokenset {name!r} (id {tokenset_id}) has no category"
            else:
                category = VARLEX_BY_ID[tokenset_id]
        for i in range(a, b):
            out[i] = category
            names[i] = name
        previous_end, previous_name, previous_category = b, name, category
    return (out, names), None


def tokenset_ids(lng):
    """Tokenset name -> (id, names of its valid scopes)."""
    root = ElementTree.parse(lng).getroot()
    return {t.get("name"): (t.get("id"), {v.get("name") for v in t.iter("validscope")}) for t in root.iter("tokenset")}


def compare(path, language, syntax, lng, ids, cli, colours, env):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    kate, error = kate_categories(path, syntax, text, colours, env)
    if error:
        return path, None, error
    ours, error = varlex_categories(path, cli, lng, language, ids, text)
    if error:
        return path, None, error
    for categories in (kate[0], ours[0]):
        for i, ch in enumerate(text):
            if categories[i] == KEYWORD and not WORD_CHARACTER.match(ch):
                categories[i] = PLAIN
            elif ch == "\\" and text.startswith("\n", i + 1):
                categories[i] = PLAIN  # a backslash that continues a line is punctuation
    result = {"agree": 0, "total": 0, "pairs": collections.Counter(), "examples": collections.defaultdict(list)}
    for i, ch in enumerate(text):
        if ch.isspace():
            continue
        result["total"] += 1
        if kate[0][i] == ours[0][i]:
            result["agree"] += 1
            continue
        key = (kate[0][i], ours[0][i])
        result["pairs"][key] += 1
        if (i == 0 or kate[0][i - 1] == ours[0][i - 1]) and len(result["examples"][key]) < 3:
            line_start = text.rfind("\n", 0, i) + 1
            line_end = text.find("\n", i)
            line_end = len(text) if line_end < 0 else line_end
            line_no = text.count("\n", 0, i) + 1
            result["examples"][key].append(
                f"{path}:{line_no}: kate {kate[1][i]}, varlex {ours[1][i] or 'plain'}: "
                f"{text[line_start:i]}[[{text[i:line_end]}")
    return path, result, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"), help="build folder with bin/varlex-cli")
    parser.add_argument("--seed", type=int, default=19, help="seed of the file selection")
    parser.add_argument("--budget", type=int, default=256 * 1024, help="bytes of files per language")
    parser.add_argument("--language", action="append", help="measure only these languages")
    parser.add_argument("--differences", type=int, default=0, help="show the N largest differences per language")
    parser.add_argument("--install", action="store_true", help="install the Debian packages of the corpus first")
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()

    cli = os.path.join(args.build, "bin", "varlex-cli")
    if not os.access(cli, os.X_OK):
        sys.exit(f"{cli}: not found; build it first (make build)")
    if not shutil.which("kate-syntax-highlighter"):
        if not install(["libkf5syntaxhighlighting-tools"]):
            sys.exit("kate-syntax-highlighter is missing: apt-get install libkf5syntaxhighlighting-tools")

    work = tempfile.mkdtemp(prefix="varlex-fidelity-")
    try:
        themes = os.path.join(work, "org.kde.syntax-highlighting", "themes")
        os.makedirs(themes)
        shutil.copy(THEME, themes)
        env = dict(os.environ, XDG_DATA_HOME=work)
        colours = theme_colours()

        rows = []
        for language, base, syntax, sources, content_test in CORPUS:
            if args.language and language not in args.language:
                continue
            files, missing = pick_files(language, sources, content_test, args.seed, args.budget, args.install, work)
            if missing:
                print(f"{language}: leaving out the files of packages not installed (--install, or apt-get install "
                      f"{' '.join(missing)})", file=sys.stderr)
            if not files:
                print(f"{language}: no files to measure", file=sys.stderr)
                continue
            lng = os.path.join(SOURCE, "data", "languages", base + ".lng")
            ids = tokenset_ids(lng)
            row = {"language": language, "files": 0, "skipped": 0, "agree": 0, "total": 0,
                   "pairs": collections.Counter(), "examples": collections.defaultdict(list)}
            with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
                for path, result, error in pool.map(
                        lambda p: compare(p, language, syntax, lng, ids, cli, colours, env), files):
                    if error:
                        print(f"{path}: {error}", file=sys.stderr)
                        row["skipped"] += 1
                        continue
                    row["files"] += 1
                    for key in ("agree", "total", "pairs"):
                        row[key] += result[key]
                    for key, lines in result["examples"].items():
                        row["examples"][key].extend(lines)
            rows.append(row)
            for key, count in row["pairs"].most_common(args.differences):
                print(f"  {language}: kate {key[0]} / varlex {key[1]}: {count} characters")
                for line in row["examples"][key][:6]:
                    print("      " + line[:200])

        print(f"{'language':<12}{'files':>6}{'skipped':>8}{'characters':>12}{'agree':>9}"
              "   largest difference (kate / varlex)")
        for row in rows + [{"language": "overall", **{key: sum(r[key] for r in rows)
                                                       for key in ("files", "skipped", "agree", "total")}}]:
            top = row.get("pairs", collections.Counter()).most_common(1)
            worst = f"{top[0][0][0]} / {top[0][0][1]} {100.0 * top[0][1] / row['total']:.1f}%" if top else ""
            print(f"{row['language']:<12}{row['files']:>6}{row['skipped']:>8}{row['total']:>12}"
                  f"{100.0 * row['agree'] / max(row['total'], 1):>8.1f}%   {worst}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
