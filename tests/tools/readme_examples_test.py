#!/usr/bin/env python3
"""The README's examples of the tools run as printed: each command of its
"## Tools" block ends with exit code 0 and the --check of the player the block
makes finds no problem. The player's folder (/tmp/player in the README) is a
temporary folder, which is also where the commands run.

  readme_examples_test.py --binaries DIR [unittest arguments]

DIR holds kovra-make-image and kovra-catalogue (the README's
build/native/tools/).
"""
import argparse
import os
import re
import shlex
import subprocess
import sys
import tempfile
import unittest

ARGS = None
README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
PRINTED_TOOLS = "build/native/tools/"
PRINTED_PLAYER = "/tmp/player"


def examples():
    """The command lines of the first sh block after "## Tools"."""
    with open(README, encoding="utf-8") as text:
        readme = text.read()
    section = readme[readme.index("\n## Tools\n"):]
    block = re.search(r"```sh\n(.*?)```", section, re.S).group(1)
    return [line for line in block.splitlines() if line.strip()]


class ReadmeExamples(unittest.TestCase):
    def test_each_runs_as_printed(self):
        lines = examples()
        self.assertTrue(any("--check" in line for line in lines), lines)
        with tempfile.TemporaryDirectory() as work:
            player = os.path.join(work, "player")
            for line in lines:
                words = shlex.split(line)
                self.assertTrue(words[0].startswith(PRINTED_TOOLS), line)
                program = os.path.join(os.path.abspath(ARGS.binaries), words[0][len(PRINTED_TOOLS):])
                words = [player if word == PRINTED_PLAYER else word for word in words[1:]]
                result = subprocess.run([program] + words, cwd=work, capture_output=True,
                                        timeout=240)
                self.assertEqual(result.returncode, 0, (line, result.stderr))
                if "--check" in words:
                    self.assertRegex(result.stdout.decode(), r"^[^\n]*, 0 problems\n$", line)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binaries", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)
