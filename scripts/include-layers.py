#!/usr/bin/env python3
"""Which folder of src/ includes which: the layer table of docs/architecture.md, made from the code.

  scripts/include-layers.py            prints the table
  scripts/include-layers.py --write    puts it into docs/architecture.md between its markers
  scripts/include-layers.py --check    fails when the document's table is stale or the folders
                                       include each other in a cycle (run by make test)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SRC = ROOT / "src"
DOC = ROOT / "docs" / "architecture.md"
BEGIN = "<!-- include-layers: begin (scripts/include-layers.py --write) -->"
END = "<!-- include-layers: end -->"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def edges():
    folders = sorted(p.name for p in SRC.iterdir() if p.is_dir())
    uses = {f: set() for f in folders}
    for f in folders:
        for source in (SRC / f).iterdir():
            if source.suffix in (".cpp", ".h"):
                for target in INCLUDE.findall(source.read_text(encoding="utf-8", errors="replace")):
                    if target != f and target in uses:
                        uses[f].add(target)
    return uses


def levels(uses):
    """A folder's level is one above the highest folder it includes; None when there is a cycle."""
    level = {}
    visiting = set()

    def visit(f):
        if f in level:
            return level[f]
        if f in visiting:
            raise ValueError(f"the folders include each other in a cycle through {f}/")
        visiting.add(f)
        level[f] = 1 + max((visit(t) for t in uses[f]), default=-1)
        visiting.discard(f)
        return level[f]

    for f in uses:
        visit(f)
    return level


def table(uses, level):
    lines = ["```", "level  folder          includes headers of"]
    for f in sorted(uses, key=lambda f: (-level[f], f)):
        below = ", ".join(f"{t}/" for t in sorted(uses[f], key=lambda t: (-level[t], t))) or "-"
        lines.append(f"{level[f]:>5}  {f + '/':<15} {below}")
    lines.append("```")
    return "\n".join(lines)


def main():
    uses = edges()
    try:
        text = table(uses, levels(uses))
    except ValueError as cycle:
        print(f"include-layers: {cycle}", file=sys.stderr)
        return 1
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if not mode:
        print(text)
        return 0
    doc = DOC.read_text(encoding="utf-8")
    start, stop = doc.find(BEGIN), doc.find(END)
    if start < 0 or stop < start:
        print(f"include-layers: {DOC} lacks the markers", file=sys.stderr)
        return 1
    updated = doc[: start + len(BEGIN)] + "\n" + text + "\n" + doc[stop:]
    if mode == "--write":
        DOC.write_text(updated, encoding="utf-8")
        return 0
    if updated != doc:
        print("include-layers: docs/architecture.md no longer matches the includes; "
              "run scripts/include-layers.py --write", file=sys.stderr)
        return 1
    print("include-layers: docs/architecture.md matches the includes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
