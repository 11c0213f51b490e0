#!/usr/bin/env python3
"""Converts every installed GtkSourceView language file with varlex-cli and checks each result.

For each non-hidden language of the folder (default /usr/share/gtksourceview-4/language-specs): convert it,
lint the definition (0 errors wanted), import it into a scratch program folder and export it again (the same
bytes wanted), and time the conversion (CPU seconds of varlex-cli). Prints one line per language and a summary.

Usage: scripts/convert-lang-files.py [--build DIR] [--folder DIR] [--language ID]... [--keep DIR]
"""

import argparse
import glob
import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)


def cpu_run(args):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    r = run(args)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def language_header(path):
    with open(path, "rb") as f:
        head = f.read(8192).decode("utf-8", "replace")
    m = re.search(r"<language\b[^>]*>", head, re.S)
    if not m:
        return None, False
    tag = m.group(0)
    lid = re.search(r'\bid="([^"]*)"', tag)
    hidden = re.search(r'\bhidden="(true|1)"', tag) is not None
    return (lid.group(1) if lid else None), hidden


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--folder", default="/usr/share/gtksourceview-4/language-specs")
    parser.add_argument("--language", action="append")
    parser.add_argument("--keep", help="keep the converted .lng files in this folder")
    args = parser.parse_args()
    cli = os.path.join(args.build, "bin", "varlex-cli")
    if not os.access(cli, os.X_OK):
        sys.exit(f"{cli}: not found; build it first (make build)")
    if not os.path.isdir(args.folder):
        sys.exit(f"{args.folder}: no GtkSourceView language files (apt-get install libgtksourceview-4-common)")

    work = tempfile.mkdtemp(prefix="varlex-lang-files-")
    counts = {"converted": 0, "refused": 0, "lint errors": 0, "round trip differs": 0}
    slowest = (0.0, "")
    try:
        for path in sorted(glob.glob(os.path.join(args.folder, "*.lang"))):
            lid, hidden = language_header(path)
            if hidden or lid is None or (args.language and lid not in args.language):
                continue
            out = os.path.join(work, lid + ".lng")
            r, seconds = cpu_run([cli, "convert", path, "--output", out])
            if seconds > slowest[0]:
                slowest = (seconds, lid)
            report = r.stderr.decode(errors="replace").strip().splitlines()
            if r.returncode != 0:
                counts["refused"] += 1
                print(f"{lid:<28} refused: {report[-1] if report else r.returncode}")
                continue
            counts["converted"] += 1
            summary = report[-1].split(": ", 2)[-1] if report else ""
            lint = run([cli, "lint", "--lng", out])
            errors = re.search(r"(\d+) error", lint.stderr.decode(errors="replace"))
            n_errors = int(errors.group(1)) if errors else -1
            if n_errors != 0:
                counts["lint errors"] += 1
            folder = os.path.join(work, "folder-" + lid)
            os.makedirs(folder)
            for name in ("xml.lng", "sample.txt", "IDList.txt", "Keywordlist.txt", "Operatorlist.txt",
                         "Hyperlinklist.txt"):
                src = os.path.join(args.build, "bin", name)
                if os.path.exists(src):
                    shutil.copy(src, folder)
            imp = run([cli, "--folder", folder, "import", out])
            exported = os.path.join(folder, "export")
            index = re.search(r"language (\d+) ", imp.stdout.decode(errors="replace"))
            exp = run([cli, "--folder", folder, "export", "--index", index.group(1), "--to", exported]) if index else imp
            # A language named ".ini" is written as ".ini.lng", which a glob would not see.
            files = [os.path.join(exported, f) for f in os.listdir(exported) if f.endswith(".lng")] \
                if os.path.isdir(exported) else []
            same = False
            if exp.returncode == 0 and len(files) == 1:
                with open(files[0], "rb") as a, open(out, "rb") as b:
                    same = a.read() == b.read()
            if not same:
                counts["round trip differs"] += 1
            print(f"{lid:<28} {summary:<60} lint errors {n_errors}  round trip {'same' if same else 'DIFFERS'}"
                  f"  {seconds:.2f}s")
            if args.keep:
                os.makedirs(args.keep, exist_ok=True)
                shutil.copy(out, args.keep)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(", ".join(f"{k}: {v}" for k, v in counts.items()) + f"; slowest conversion {slowest[0]:.2f}s ({slowest[1]})")


if __name__ == "__main__":
    main()
