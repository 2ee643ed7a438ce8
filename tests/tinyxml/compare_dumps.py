#!/usr/bin/env python3
"""Runs the corpus through Debian's TinyXML and the project's patched build
(tinyxml_dump) and compares every parse. The only differences allowed are the
parse limits': the corpus's last three documents pass them, and the patched
build marks exactly their parses "limit".

  compare_dumps.py DEBIAN_DUMP PATCHED_DUMP
"""
import difflib
import subprocess
import sys

PARSES_PER_DOCUMENT = 6  # three encodings, white space condensed or kept
LIMIT_DOCUMENTS = 3


def run(program, *documents):
    return subprocess.run([program, *documents], stdout=subprocess.PIPE, check=True,
                          timeout=600).stdout.decode("ascii").splitlines()


def show(debian, patched, document):
    """The two full dumps of a document's parses, as a diff."""
    diff = difflib.unified_diff(run(debian, document), run(patched, document),
                                "debian", "patched", lineterm="", n=2)
    return "\n".join(line if len(line) < 240 else line[:240] + "..." for line in list(diff)[:60])


def main():
    debian, patched = sys.argv[1:3]
    unpatched, ours = run(debian), run(patched)
    if len(unpatched) != len(ours):
        print("the dumps differ in length: %d and %d parses" % (len(unpatched), len(ours)))
        return 1
    documents = len(ours) // PARSES_PER_DOCUMENT
    expected_limits = {str(d) for d in range(documents - LIMIT_DOCUMENTS, documents)}
    limited, differing = [], []
    for theirs, mine in zip(unpatched, ours):
        document = mine.split(" ", 1)[0]
        if mine.endswith(" limit"):
            limited.append(document)
        elif theirs != mine:
            differing.append(document)
    failed = False
    if differing:
        failed = True
        print("%d parses differ, in documents %s"
              % (len(differing), sorted(set(differing), key=int)[:20]))
        print(show(debian, patched, differing[0]))
    if sorted(limited) != sorted(d for d in expected_limits for _ in range(PARSES_PER_DOCUMENT)):
        failed = True
        print("limits reached in documents %s; expected in each parse of %s"
              % (sorted(set(limited), key=int), sorted(expected_limits, key=int)))
    print("%d documents, %d parses each: %d alike, %d stopped by a limit, %d differ"
          % (documents, PARSES_PER_DOCUMENT, len(ours) - len(limited) - len(differing),
             len(limited), len(differing)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
