#!/usr/bin/env python3
"""The test command's own helpers on planted faults: count-results names a
test program that stopped early, check-floors an upward include in angle
brackets or one across the rooms of tools/, and reflow-comments fills a long
comment without losing a word."""
import importlib.machinery
import importlib.util
import os
import shutil
import subprocess
import tempfile
import unittest

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")


TAGS = {"OK": "[       OK ]", "FAILED": "[  FAILED  ]", "SKIPPED": "[  SKIPPED ]"}


def ctest_log(*programs):
    """A ctest -V log: per program (name, announced, results, verdict)."""
    lines = []
    for number, (name, announced, results, verdict) in enumerate(programs, 1):
        if announced is not None:
            lines.append(f"{number}: [==========] Running {announced} tests from 1 test suite.")
        lines += [f"{number}: {TAGS[result]} Case.{i} (0 ms)" for i, result in enumerate(results)]
        lines.append(f"{number}/{len(programs)} Test #{number}: {name} ....   {verdict}  1.00 sec")
    return "\n".join(lines) + "\n"


class CountResults(unittest.TestCase):
    def test_counts_and_names_programs_that_stopped(self):
        passed = "Passed  "
        crashed = "***Exception: SegFault"
        cases = [  # (programs, printed counts, lines naming stopped programs)
            ([("unit", 3, ["OK", "OK", "OK"], passed)], "3 0", ""),
            ([("unit", 5, ["OK", "FAILED"], crashed)], "1 4",
             "unit: the test program stopped after 2 of its 5 tests; 3 never ran\n"),
            ([("win32", 2, ["OK", "SKIPPED"], passed)], "1 0", ""),
            ([("release", None, [], crashed), ("locale", None, [], passed)], "1 1", ""),
        ]
        for programs, counts, stopped in cases:
            with tempfile.NamedTemporaryFile("w", suffix=".log") as log:
                log.write(ctest_log(*programs))
                log.flush()
                result = subprocess.run([os.path.join(SCRIPTS, "count-results"), log.name],
                                        capture_output=True, text=True)
            self.assertEqual((result.stdout.strip(), result.stderr), (counts, stopped), programs)


ROOMS = "tools/kovra-catalogue/"


class CheckFloors(unittest.TestCase):
    def test_an_include_across_floors_or_rooms_is_found(self):
        cases = [  # (the includer, its line, the fault named or None)
            ("library/a.h", '#include "base/b.h"', None),
            ("library/a.h", "#include <base/b.h>", None),
            ("library/a.h", "#include <gtest/gtest.h>", None),
            ("library/a.h", '#include "view/v.h"', "library/a.h:1: includes view/v.h"),
            ("library/a.h", "#include <view/v.h>", "library/a.h:1: includes view/v.h"),
            (ROOMS + "check/c.h", f'#include "{ROOMS}system/s.h"', None),
            (ROOMS + "main.cpp", f'#include "{ROOMS}export/e.h"', None),
            (ROOMS + "check/c.h", f'#include "{ROOMS}export/e.h"',
             f"{ROOMS}check/c.h:1: includes {ROOMS}export/e.h"),
            (ROOMS + "system/s.h", f'#include "{ROOMS}main.h"', f"{ROOMS}system/s.h:1: includes"),
            ("tools/loose.h", "", "tools/loose.h: in no room of tools/"),
        ]
        for includer, line, fault in cases:
            with tempfile.TemporaryDirectory() as root:
                os.mkdir(os.path.join(root, "scripts"))
                shutil.copy(os.path.join(SCRIPTS, "check-floors"), os.path.join(root, "scripts"))
                shutil.copy(os.path.join(SCRIPTS, "..", "README.md"), root)
                files = [(includer, line), ("base/b.h", ""), ("view/v.h", ""),
                         (ROOMS + "system/s.h", ""), (ROOMS + "export/e.h", ""), (ROOMS + "main.h", "")]
                for name, text in files[:1] + [f for f in files[1:] if f[0] != includer]:
                    os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
                    with open(os.path.join(root, name), "w") as source:
                        source.write(text + "\n")
                result = subprocess.run([os.path.join(root, "scripts", "check-floors")],
                                        capture_output=True, text=True)
            self.assertEqual(result.returncode, 0 if fault is None else 1, result.stdout)
            if fault:
                self.assertIn(fault, result.stdout)


def reflow_module():
    path = os.path.join(SCRIPTS, "reflow-comments")
    loader = importlib.machinery.SourceFileLoader("reflow_comments", path)
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(module)
    return module


class ReflowComments(unittest.TestCase):
    def test_long_paragraphs_are_filled_and_the_rest_kept(self):
        reflow = reflow_module()
        long = "word " * 30
        cases = [  # (block texts, the lines expected, whether a line is noted)
            (["short prose"], ["    // short prose"], False),
            ([long.strip()], None, False),
            (["- " + long.strip()], None, False),
            (["  aligned   " + long.strip()], ["    //   aligned   " + long.strip()], True),
        ]
        for texts, expected, noted in cases:
            notes = []
            lines = reflow.reflow_block("    ", "//", texts, "x.h:1", notes)
            self.assertEqual(bool(notes), noted, texts)
            if expected is not None:
                self.assertEqual(lines, expected)
                continue
            self.assertTrue(all(len(line) <= 80 for line in lines), lines)
            words = " ".join(line[len("    // "):] for line in lines).split()
            self.assertEqual(words, " ".join(texts).split())
            hang = "    //   " if texts[0].startswith("- ") else "    // "
            self.assertTrue(all(line.startswith(hang) for line in lines[1:]), lines)


if __name__ == "__main__":
    unittest.main()
