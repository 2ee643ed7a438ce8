#!/usr/bin/env python3
"""kovra-catalogue end to end: exports read back with Python's own csv and json
readers give the catalogue's texts byte for byte, the playlist lists every
track once, bad input gets one line of error and its exit code, and --check
names each damage of a player once, with its file.

  catalogue_command_test.py --make-image EXE --catalogue EXE
      [--runner wine --player E:/ --image-folder DIR --second-name F:/
       --wide-arguments EXE]
      [unittest arguments]

With --runner, both programs run through it and the player is read at
--player (a drive letter mapped to --image-folder, and --second-name a drive
letter mapped to its SYSTEM/List, --wide-arguments a launcher that hands over
each <U+XXXX> of an argument as that UTF-16 code unit); otherwise the image goes
into a temporary folder that is also the player's path.
"""
import argparse
import codecs
import csv
import glob
import io
import json
import os
import pty
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

ARGS = None
COLUMNS = ["Artist", "Title", "Album", "Length", "Track #", "Genre", "Year", "Filename"]
NUMBER_COLUMNS = {"Length", "Track #", "Year"}

# A track whose texts need quoting and escaping, and hold bytes that are not
# UTF-8 (a Latin-1 e acute, a lone 0xFF, a sequence cut short).
ODD_TITLE = b'Say "Hi", \\ friend &#233; caf\xe9 \xff \xe2\x82 end'
ODD_GENRE = b"Rock, &quot;Roll&quot; &amp; &lt;Soul&gt;"  # as the XML file spells it


def per_byte_replacement(error):
    """Each byte that is not part of well-formed UTF-8 becomes one U+FFFD."""
    return "\ufffd" * (error.end - error.start), error.end


codecs.register_error("kovra_per_byte", per_byte_replacement)


def run(*args, stdout=subprocess.PIPE, cwd=None):
    command = ARGS.runner + list(args)
    return subprocess.run(command, stdout=stdout, stderr=subprocess.PIPE, timeout=120, cwd=cwd)


def catalogue(*args, **kwargs):
    """The command; an argument with <U+XXXX> in it goes through the wide-arguments launcher,
    which hands over that UTF-16 code unit as it is."""
    if any("<U+" in arg for arg in args):
        return run(ARGS.wide_arguments, ARGS.catalogue, *args, **kwargs)
    return run(ARGS.catalogue, *args, **kwargs)


def on_terminal(*args):
    """What the command shows on a terminal as its standard output: without the control
    sequences and line breaks a console draws with (wine wraps lines at 80 columns)."""
    controller, terminal = pty.openpty()
    process = subprocess.Popen(ARGS.runner + [ARGS.catalogue, *args], stdout=terminal,
                               stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    os.close(terminal)
    shown = b""
    try:
        while chunk := os.read(controller, 65536):  # read as it comes: a full terminal blocks
            shown += chunk
    except OSError:  # the terminal's other end is closed once all is read
        pass
    finally:
        os.close(controller)
    process.communicate(timeout=120)
    return re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]|[\r\n]", b"", shown)


def leading_integer(text):
    match = re.match(rb"[ \t\n\v\f\r]*([+-]?[0-9]+)", text)
    return int(match.group(1)) if match else 0


def make_player():
    result = run(ARGS.make_image, ARGS.player, "--tracks", "300", "--seed", "11", "--audio-files")
    assert result.returncode == 0, result.stderr
    manifest = os.path.join(ARGS.image_folder, "SYSTEM/List/Music/Track/T00001.mpv")
    with open(manifest, "rb") as f:
        text = f.read()
    text = re.sub(rb"<dc:title>[^<]*</dc:title>",
                  lambda _: b"<dc:title>" + ODD_TITLE + b"</dc:title>", text, count=1)
    text = re.sub(rb"<mpvm:Genre>[^<]*</mpvm:Genre>",
                  lambda _: b"<mpvm:Genre>" + ODD_GENRE + b"</mpvm:Genre>", text, count=1)
    with open(manifest, "wb") as f:
        f.write(text)


def lines_of(output):
    """The lines of a listing; a Windows build ends them with CR LF."""
    return [line[:-1] if line.endswith(b"\r") else line for line in output.split(b"\n")]


def catalogue_tracks():
    """The tracks as the loader reads them, from the command's plain listing:
    each as the export row it must give, texts as bytes."""
    result = catalogue(ARGS.player)
    assert result.returncode == 0, result.stderr
    lines = lines_of(result.stdout)
    start = next(i for i, line in enumerate(lines) if line.startswith(b"# tracks: "))
    header = lines[start + 1].split(b"\t")
    tracks = []
    for line in lines[start + 2:]:
        if not line:
            continue
        field = dict(zip(header, line.split(b"\t")))
        tracks.append({
            "Artist": field[b"creator"] or b"Unknown artist",
            "Title": field[b"title"],
            "Album": b"UHM NOT YET",
            "Length": leading_integer(field[b"playing time"]),
            "Track #": 1,
            "Genre": field[b"genre"],
            "Year": leading_integer(field[b"recorded"]),
            "Filename": field[b"last url"],
        })
    count = int(lines[start][len(b"# tracks: "):])
    assert len(tracks) == count, (len(tracks), count)
    return tracks


def key(row):
    return tuple(row[column] for column in COLUMNS)


def export(fmt, *args):
    result = catalogue(ARGS.player, "--export", fmt, *args)
    assert result.returncode == 0, result.stderr
    assert result.stderr == b"", result.stderr
    return result.stdout


def view_order(*args):
    """(artist, title) of the view's rows for a search and order, without the sample row."""
    result = catalogue(ARGS.player, "--rows", *args)
    assert result.returncode == 0, result.stderr
    lines = lines_of(result.stdout)
    rows = [line.split(b"\t") for line in lines[1:-2]]  # header first, status line and "" last
    return [(row[0], row[1]) for row in rows if row[0] != b"Nullsoft Band"]


def blank_high_bytes(text):
    return bytes(b if b < 0x80 else 0x20 for b in text)


class ExportReadBack(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        make_player()
        cls.tracks = catalogue_tracks()
        assert any(b"\xff" in track["Title"] for track in cls.tracks), "odd title not loaded"

    def read_csv(self, output):
        self.assertTrue(output.startswith(codecs.BOM_UTF8 + ",".join(COLUMNS).encode() + b"\r\n"))
        # surrogateescape carries every byte through the reader unchanged.
        reader = csv.reader(io.StringIO(output.decode("utf-8-sig", "surrogateescape"), newline=""))
        header = next(reader)
        self.assertEqual(header, COLUMNS)
        rows = []
        for record in reader:
            row = {}
            for column, value in zip(header, record):
                raw = value.encode("utf-8", "surrogateescape")
                row[column] = int(raw) if column in NUMBER_COLUMNS else raw
            rows.append(row)
        return rows

    def read_json(self, output):
        objects = json.loads(output.decode("utf-8"))  # strict: the output must be valid UTF-8
        for row in objects:
            self.assertEqual(list(row), COLUMNS)
            for column in NUMBER_COLUMNS:
                self.assertIs(type(row[column]), int)
        return objects

    def test_csv_gives_the_catalogue_texts_byte_for_byte(self):
        rows = self.read_csv(export("csv"))
        self.assertEqual(sorted(map(key, rows)), sorted(map(key, self.tracks)))

    def test_json_gives_the_texts_with_each_bad_byte_replaced(self):
        rows = self.read_json(export("json"))
        expected = []
        for track in self.tracks:
            expected.append({column: value.decode("utf-8", "kovra_per_byte")
                             if isinstance(value, bytes) else value
                             for column, value in track.items()})
        self.assertEqual(sorted(map(key, rows)), sorted(map(key, expected)))

    def test_exports_keep_the_views_rows_and_order(self):
        for args in ([], ["--search", "beat"], ["--search", "the", "--sort", "length:desc"],
                     ["--sort", "title:desc"]):
            with self.subTest(args=args):
                view = view_order(*args)
                rows = self.read_csv(export("csv", *args))
                self.assertEqual([(row["Artist"], blank_high_bytes(row["Title"])) for row in rows],
                                 view)
                self.assertGreater(len(rows), 0)

    def test_m3u8_lists_every_track_once_with_its_length(self):
        lines = export("m3u8").split(b"\n")
        self.assertEqual(lines[0], b"#EXTM3U")
        self.assertEqual(lines[-1], b"")
        entries = []
        for info, path in zip(lines[1:-1:2], lines[2:-1:2]):
            match = re.fullmatch(rb"#EXTINF:(-?[0-9]+),(.*) - (.*)", info, re.S)
            self.assertIsNotNone(match, info)
            entries.append((path, int(match.group(1)), match.group(2), match.group(3)))
            # Relative to the player's root: the generated image has every audio
            # file.
            self.assertTrue(os.path.isfile(os.path.join(ARGS.image_folder, os.fsdecode(path))), path)
        expected = [(t["Filename"].lstrip(b"/"), t["Length"], t["Artist"], t["Title"])
                    for t in self.tracks]
        self.assertEqual(sorted(entries), sorted(expected))

    def test_output_file_holds_what_standard_output_gets(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "tracks.json")
            result = catalogue(ARGS.player, "--export", "json", "--output", path)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout, b"")
            with open(path, "rb") as f:
                self.assertEqual(f.read(), export("json"))


TRACK = "SYSTEM/List/Music/Track/T%05d.mpv"
ALBUM = "SYSTEM/List/Music/Album/A%05d.mpv"
MUSIC = "SYSTEM/List/Music/music.mum"


def on_player(relative):
    return os.path.join(ARGS.image_folder, relative)


def edit(relative, change):
    with open(on_player(relative), "rb") as f:
        text = f.read()
    changed = change(text)
    assert changed != text, relative
    with open(on_player(relative), "wb") as f:
        f.write(changed)


def before_root_end(extra):
    return lambda text: text.replace(b"</mpv:Manifest>", extra + b"</mpv:Manifest>")


def first_audio_path(relative):
    with open(on_player(relative), "rb") as f:
        url = re.search(rb"<mpv:Audio>.*?<mpv:LastURL>([^<]*)<", f.read(), re.S).group(1)
    return url.replace(b"&amp;", b"&").replace(b"&lt;", b"<").replace(b"&gt;", b">")


def fingerprint(folder):
    """Every file and folder below `folder` with its kind, size and modification time."""
    seen = {}
    for path, folders, files in os.walk(folder):
        for name in folders + files:
            info = os.lstat(os.path.join(path, name))
            seen[os.path.join(path, name)] = (info.st_mode, info.st_size, info.st_mtime_ns)
    return seen


def check():
    """The exit code, the problems as (kind, file, detail) and the summary of --check."""
    result = catalogue(ARGS.player, "--check")
    lines = lines_of(result.stdout)
    assert lines[-1] == b"", result.stdout[-200:]
    return result, [tuple(line.split(b"\t")) for line in lines[:-2]], lines[-2]


class CheckPlayer(unittest.TestCase):
    def test_an_intact_player_gets_only_the_summary(self):
        made = run(ARGS.make_image, ARGS.player, "--tracks", "120", "--seed", "5", "--audio-files")
        self.assertEqual(made.returncode, 0, made.stderr)
        tracks, albums = re.search(rb"wrote (\d+) tracks in (\d+) albums", made.stdout).groups()
        manifests = len(os.listdir(on_player("SYSTEM/List/Music/Track")))
        files = 2 + int(albums) + manifests
        result, problems, summary = check()
        self.assertEqual(problems, [])
        self.assertEqual(summary, b"%d files read, %s tracks, %s albums, 0 problems"
                         % (files, tracks, albums))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr, b"")  # no progress line: standard error is no terminal

    def test_each_damage_is_named_once_with_its_file(self):
        make_player()  # its first manifest holds a title that is not UTF-8
        os.remove(on_player(TRACK % 2))
        with open(on_player(TRACK % 3), "r+b") as f:
            f.truncate(65 * 1024 * 1024)  # sparse: over the cap without writing it
        os.remove(on_player(TRACK % 4))
        os.mkdir(on_player(TRACK % 4))
        edit(TRACK % 5, lambda text: text.replace(b"</mpv:Manifest>", b"</mpv:Manifes>"))
        edit(TRACK % 6, before_root_end(b"<x>" * 300 + b"</x>" * 300))
        edit(TRACK % 7, before_root_end(
            b"<x " + b" ".join(b'a%d="1"' % i for i in range(70)) + b"/>"))
        edit(TRACK % 8, before_root_end(b"<a/>" * 300001))
        edit(TRACK % 9, lambda text: re.sub(rb"<dc:title>[^<]*<", b"<dc:title>" + b"x" * 5000
                                            + b"<", text, count=1))
        edit(TRACK % 10, lambda text: re.sub(rb"<dc:title>[^<]*</dc:title>", b"", text, count=1))
        os.remove(on_player(os.fsdecode(first_audio_path(TRACK % 11).lstrip(b"/"))))
        edit(TRACK % 13, lambda text: re.sub(rb"<dc:creator>[^<]*<", b"<dc:creator>Caf\xe9 Noir<", text,
                                             count=1))
        edit(ALBUM % 2, lambda text: re.sub(rb"<mpvm:AlbumTitle>[^<]*</mpvm:AlbumTitle>", b"",
                                            text))
        links = (b"<mpv:ManifestLink><mpv:LastURL>%s</mpv:LastURL></mpv:ManifestLink>"
                 b"<mpv:ManifestLink><mpv:LastURL>%s</mpv:LastURL></mpv:ManifestLink>"
                 % (os.fsencode(TRACK % 12), b"x" * 600))
        edit(MUSIC, lambda text: text.replace(b"</mpv:AssetList>", links + b"</mpv:AssetList>"))
        before = fingerprint(ARGS.image_folder)

        result, problems, summary = check()
        expected = sorted([
            (b"not UTF-8", TRACK % 1), (b"missing", TRACK % 2), (b"too large", TRACK % 3),
            (b"not a regular file", TRACK % 4), (b"malformed", TRACK % 5),
            (b"nested too deep", TRACK % 6), (b"too many attributes", TRACK % 7),
            (b"too many nodes", TRACK % 8), (b"text cut", TRACK % 9), (b"no title", TRACK % 10),
            (b"audio file missing", TRACK % 11), (b"linked more than once", TRACK % 12),
            (b"not UTF-8", TRACK % 13), (b"no album title", ALBUM % 2), (b"path too long", MUSIC),
        ])
        self.assertEqual(sorted((kind, os.fsdecode(file)) for kind, file, _ in problems), expected)
        details = {(kind, os.fsdecode(file)): detail for kind, file, detail in problems}
        self.assertRegex(details[(b"malformed", TRACK % 5)], rb"\(row \d+, column \d+\)$")
        self.assertEqual(details[(b"audio file missing", TRACK % 11)],
                         b"track 1: " + first_audio_path(TRACK % 11))
        self.assertEqual(details[(b"not UTF-8", TRACK % 13)], b"track 1: dc:creator: byte 0xE9 at 3")
        self.assertEqual(details[(b"linked more than once", TRACK % 12)],
                         b"2 links in " + os.fsencode(MUSIC))
        self.assertTrue(summary.endswith(b", %d problems" % len(expected)), summary)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(fingerprint(ARGS.image_folder), before)  # the player is only read

    @unittest.skipUnless(hasattr(os, "mkfifo"), "needs FIFOs")
    def test_a_fifo_named_as_a_catalogue_file_does_not_hang_it(self):
        made = run(ARGS.make_image, ARGS.player, "--tracks", "40", "--audio-files")
        self.assertEqual(made.returncode, 0, made.stderr)
        os.remove(on_player(TRACK % 2))
        os.mkfifo(on_player(TRACK % 2))
        result, problems, _ = check()  # a hang ends in the runner's timeout
        self.assertEqual(problems, [(b"not a regular file", os.fsencode(TRACK % 2), b"")])
        self.assertEqual(result.returncode, 1)

    def test_the_progress_line_on_a_terminal_is_redrawn_in_place_and_cleared(self):
        made = run(ARGS.make_image, ARGS.player, "--tracks", "2000", "--audio-files")
        self.assertEqual(made.returncode, 0, made.stderr)
        controller, terminal = pty.openpty()
        try:
            result = subprocess.run(ARGS.runner + [ARGS.catalogue, ARGS.player, "--check"],
                                    stdout=subprocess.PIPE, stderr=terminal, timeout=120)
            os.close(terminal)
            drawn = b""
            try:
                while chunk := os.read(controller, 4096):
                    drawn += chunk
            except OSError:  # the terminal's other end is closed once all is read
                pass
        finally:
            os.close(controller)
        self.assertEqual(result.returncode, 0)
        self.assertNotIn(b"Reading", result.stdout)
        # A small player may be read before the first text is due; then nothing
        # is drawn.
        texts = re.fullmatch(rb"((?:\rReading the player\.\.\. \d+ of \d+ catalogue files *)*)"
                             rb"(\r *\r)?", drawn)
        self.assertIsNotNone(texts, drawn[-300:])
        self.assertEqual(bool(texts.group(1)), bool(texts.group(2)), drawn[-300:])

    def test_reports_reach_a_terminal_as_the_characters_they_spell(self):
        # A Windows console reads bytes in its code page: "Corazón" would show
        # as "CorazÃ³n".
        made = run(ARGS.make_image, ARGS.player, "--tracks", "60", "--audio-files")
        self.assertEqual(made.returncode, 0, made.stderr)
        audio = next(path for path in glob.glob(on_player("MUSIC/*/*/*")) if not path.isascii())
        os.remove(audio)  # so that --check names it too
        name = os.path.relpath(audio, ARGS.image_folder).encode()
        for args in ([], ["--rows"], ["--check"]):
            with self.subTest(args=args):
                self.assertIn(name, on_terminal(ARGS.player, *args))


class OutputFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        make_player()

    def test_the_export_replaces_the_name_never_a_file_of_the_player(self):
        music = on_player(MUSIC)
        with open(music, "rb") as f:
            original = f.read()
        expected = export("csv")
        # (case, makes the output's name, exit code, the file the export must be
        # in or None)
        cases = [
            ("new file", lambda out: None, 0, "out.csv"),
            ("existing file", lambda out: write_bytes(out, b"old " * 10000), 0, "out.csv"),
            ("hard link to a file of the player", lambda out: os.link(music, out), 0, "out.csv"),
            ("symbolic link to a file of the player", lambda out: os.symlink(music, out), 3, None),
            ("symbolic link to a new file on the player",
             lambda out: os.symlink(on_player("new.csv"), out), 3, None),
            ("symbolic link to a file elsewhere",
             lambda out: os.symlink(os.path.join(os.path.dirname(out), "target.csv"), out), 0,
             "target.csv"),
            ("read-only file", lambda out: (write_bytes(out, b"old"), os.chmod(out, 0o444)), 4, None),
            ("a name of 245 bytes", lambda out: None, 0, LONG_NAME),
            ("a folder that takes no new file", lambda out: (write_bytes(out, b"old"),
                                                             close_folder(out)), 0, "out.csv"),
            ("a folder that takes no new file, a hard link to a file of the player",
             lambda out: (os.link(music, out), close_folder(out)), 4, None),
        ]
        for name, make, code, holder in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                if ARGS.runner and "symbolic" in name:
                    self.skipTest("wine shows a program the files behind symbolic links")
                out = os.path.join(folder, LONG_NAME if holder == LONG_NAME else "out.csv")
                try:
                    make(out)
                    before = fingerprint(ARGS.image_folder)
                    result = catalogue(ARGS.player, "--export", "csv", "--output", out)
                finally:
                    open_folder(folder)
                self.assertEqual(result.returncode, code, result.stderr)
                with open(music, "rb") as f:
                    self.assertEqual(f.read(), original)
                self.assertEqual(fingerprint(ARGS.image_folder), before)
                if holder is not None:
                    self.assertEqual(result.stderr, b"")
                    with open(os.path.join(folder, holder), "rb") as f:
                        self.assertEqual(f.read(), expected)
                    self.assertEqual(os.path.islink(out), "symbolic" in name)
                else:
                    refusal = b"will not write" if code == 3 else b"cannot write"
                    self.assertRegex(result.stderr, rb"^kovra-catalogue: %s [^\n]+\n$" % refusal)
                # No new file is left behind.
                self.assertEqual(sorted(os.listdir(folder)),
                                 sorted({os.path.basename(out), holder or "out.csv"}))


    def test_a_second_name_of_a_player_folder_is_refused(self):
        with tempfile.TemporaryDirectory() as folder:
            # Under wine a drive letter mapped to SYSTEM/List, natively a bind
            # mount of it.
            second = ARGS.second_name or os.path.join(folder, "list")
            if not ARGS.runner:
                os.mkdir(second)
                if subprocess.run(["mount", "--bind", on_player("SYSTEM/List"), second],
                                  stderr=subprocess.DEVNULL).returncode != 0:
                    self.skipTest("no bind mount can be made here")
            # Below a folder of over 260 characters on the player's own drive:
            # listed all the same.
            long_folder = os.path.join("l" * 130, "m" * 130, "n")
            os.makedirs(on_player(os.path.join("SYSTEM/List", long_folder)))
            try:
                before = fingerprint(ARGS.image_folder)
                for out in (os.path.join(second, "out.csv"),
                            os.path.join(second, "Music", "out.csv"),
                            os.path.join(second, long_folder, "out.csv")):
                    with self.subTest(out):
                        result = catalogue(ARGS.player, "--export", "csv", "--output", out)
                        self.assertEqual(result.returncode, 3, result.stderr)
                        self.assertRegex(result.stderr,
                                         rb"^kovra-catalogue: will not write [^\n]+\n$")
                self.assertEqual(fingerprint(ARGS.image_folder), before)
            finally:
                if not ARGS.runner:  # before the folder is removed with all below it
                    subprocess.run(["umount", second], check=True)
                shutil.rmtree(on_player("SYSTEM/List/" + "l" * 130))

    def test_any_name_reaches_the_file_it_spells(self):
        with tempfile.TemporaryDirectory() as folder:
            player = os.path.join(folder, "€uro ’ 東京")
            shutil.copytree(ARGS.image_folder, player)
            out = os.path.join(folder, "Guns N’ Roses – 東京.m3u8")
            result = catalogue(player, "--export", "m3u8", "--output", out)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(os.listdir(folder).count(os.path.basename(out)), 1)
            self.assertEqual(len(os.listdir(folder)), 2)
            gone = os.path.join(folder, "Sigur Rós ’ gone", "out.csv")
            result = catalogue(player, "--export", "m3u8", "--output", gone)
            self.assertEqual(result.returncode, 4, result.stderr)
            self.assertIn("Sigur Rós ’ gone".encode(), result.stderr)

    def test_a_device_is_written_as_one(self):
        devices = ["NUL", "\\\\.\\NUL"] if ARGS.runner else ["/dev/null"]
        with tempfile.TemporaryDirectory() as folder:
            for device in devices:
                with self.subTest(device):
                    result = run(ARGS.catalogue, ARGS.player, "--export", "csv", "--output", device,
                                 cwd=folder)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertEqual(os.listdir(folder), [])

    def test_a_failed_rename_leaves_no_new_file(self):
        # Windows keeps a file that another program holds open from being
        # replaced.
        if not ARGS.runner:
            self.skipTest("a file held open is replaced on POSIX systems")
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "out.csv")
            write_bytes(out, b"old")
            # cmd holds the file open for appending until its standard input
            # ends.
            windows_path = "Z:" + out.replace("/", "\\")
            holder = subprocess.Popen(ARGS.runner + ["cmd", "/c", "more >> " + windows_path],
                                      stdin=subprocess.PIPE)
            try:
                wait_until_open(out)
                result = catalogue(ARGS.player, "--export", "csv", "--output", out)
            finally:
                holder.stdin.close()
                holder.wait(timeout=60)
            self.assertEqual(result.returncode, 4, result.stderr)
            self.assertEqual(os.listdir(folder), ["out.csv"])

    def test_any_path_windows_takes_names_exactly_that_file(self):
        expected = export("csv")
        with tempfile.TemporaryDirectory() as folder:
            def spelled(*names):  # a path in `folder` as the command's system spells it
                path = os.path.join(folder, *names)
                return "Z:" + path.replace("/", "\\") if ARGS.runner else path

            deep = os.path.join("d" * 120, "e" * 120)  # with the file's name, over 260 characters
            os.makedirs(os.path.join(folder, deep))
            # (case, the output as given, the file it is in `folder`, or None:
            # exit 4 naming it)
            cases = [("over 260 characters", spelled(deep, "out.csv"), os.path.join(deep, "out.csv"))]
            drive_c = nas = None  # under wine, run from C:, where C:\kovra-nas\music is a folder
            if ARGS.runner:
                with open(ARGS.catalogue, "rb") as exe:
                    self.assertIn(b"<ws2:longPathAware>true<", exe.read())
                cases += [("\\\\?\\", "\\\\?\\" + spelled("out.csv"), "out.csv"),
                          ("\\\\?\\ over 260", "\\\\?\\" + spelled(deep, "out.csv"),
                           os.path.join(deep, "out.csv")),
                          ("\\\\.\\", "\\\\.\\" + spelled("out.csv"), "out.csv"),
                          ("network", "\\\\kovra-nas\\music\\out.csv", None)]
                drive_c = os.path.join(os.environ["WINEPREFIX"], "drive_c")
                nas = os.path.join(drive_c, "kovra-nas", "music")
                os.makedirs(nas, exist_ok=True)
            try:
                for name, given, holder in cases:
                    with self.subTest(name):
                        result = catalogue(ARGS.player, "--export", "csv", "--output", given,
                                           cwd=drive_c)
                        self.assertEqual(result.returncode, 0 if holder else 4, result.stderr)
                        if holder:
                            with open(os.path.join(folder, holder), "rb") as f:
                                self.assertEqual(f.read(), expected)
                            os.remove(os.path.join(folder, holder))
                        else:
                            self.assertIn(given.encode(), result.stderr)
                        # No other file is written, under another path.
                        self.assertEqual([files for root in filter(None, [folder, nas])
                                          for _, _, files in os.walk(root) if files], [])
            finally:
                if nas:
                    shutil.rmtree(os.path.dirname(nas))

    def test_the_player_check_fails_closed(self):
        # A player folder whose path is too long to list (over 4,096 bytes,
        # under wine too) hides what lies below it: on the player's volume an
        # output might be there.
        deep = os.open(ARGS.image_folder, os.O_RDONLY)
        for _ in range(18):
            os.mkdir("deep" + "p" * 240, dir_fd=deep)
            below = os.open("deep" + "p" * 240, os.O_RDONLY, dir_fd=deep)
            os.close(deep)
            deep = below
        os.close(deep)
        # (case, a folder for the output, exit code)
        cases = [("on the player's volume", os.path.dirname(os.path.abspath(ARGS.image_folder)), 3),
                 ("on another volume", "/dev/shm", 0)]
        try:
            for name, place, code in cases:
                with self.subTest(name):
                    if code == 0 and not (os.path.isdir(place) and os.stat(place).st_dev
                                          != os.stat(ARGS.image_folder).st_dev):
                        self.skipTest("no folder on another volume")
                    with tempfile.TemporaryDirectory(dir=place) as folder:
                        out = os.path.join(folder, "out.csv")
                        result = catalogue(ARGS.player, "--export", "csv", "--output", out)
                        self.assertEqual(result.returncode, code, result.stderr)
                        self.assertEqual(os.path.exists(out), code == 0)
                    if code == 3:
                        # (wine's server may add a line of its own)
                        self.assertRegex(result.stderr, rb"kovra-catalogue: will not write [^\n]+: "
                                         rb"the player's folder [^\n]+deepppp[^\n]* cannot be listed")
        finally:
            shutil.rmtree(on_player("deep" + "p" * 240))


LONG_NAME = "n" * 241 + ".csv"


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def close_folder(out):
    """Makes the folder of `out` take no new file, even for root."""
    folder = os.path.dirname(out)
    if os.geteuid() != 0:
        os.chmod(folder, 0o555)
    elif subprocess.run(["chattr", "+i", folder], stderr=subprocess.DEVNULL).returncode != 0:
        raise unittest.SkipTest("no folder can be closed to root here")


def open_folder(folder):
    if os.geteuid() == 0:
        subprocess.run(["chattr", "-i", folder], stderr=subprocess.DEVNULL)
    os.chmod(folder, 0o755)


def wait_until_open(path):
    """Waits until some process (wine's server for a Windows program) has `path` open."""
    for _ in range(600):
        for fd in glob.glob("/proc/[0-9]*/fd/*"):
            try:
                if os.readlink(fd) == path:
                    return
            except OSError:
                pass
        time.sleep(0.1)
    raise AssertionError(path + " was never opened")


class PlaylistOfOddPaths(unittest.TestCase):
    def test_paths_no_playlist_line_can_hold_are_left_out_and_named(self):
        make_player()
        cut = b"/MUSIC/" + b"x" * 4200 + b".mp3"  # the load keeps 4,096 bytes of it
        odd = [b"/#1.mp3", b"/../../etc/passwd", b"http://example.com/a.mp3", b"/MUSIC/a&#10;b.mp3",
               cut]
        for number, path in enumerate(odd, start=1):
            edit(TRACK % number, lambda text, path=path: re.sub(
                rb"(<mpv:Audio>.*?<mpv:LastURL>)[^<]*<", lambda m: m.group(1) + path + b"<", text,
                count=1, flags=re.S))
        result = catalogue(ARGS.player, "--export", "m3u8")
        self.assertEqual(result.returncode, 5, result.stderr)
        lines = result.stdout.split(b"\n")
        self.assertEqual(len(lines[1:-1:2]), len(lines[2:-1:2]))
        self.assertTrue(all(info.startswith(b"#EXTINF:") for info in lines[1:-1:2]))
        paths = lines[2:-1:2]
        self.assertIn(b"./#1.mp3", paths)
        self.assertFalse([p for p in paths if p.startswith(b"#") or b"etc/passwd" in p
                          or b"example.com" in p])
        self.assertEqual(sorted(result.stderr.decode().splitlines()), sorted([
            "kovra-catalogue: left out of the playlist: /../../etc/passwd (climbs out of the player)",
            "kovra-catalogue: left out of the playlist: http://example.com/a.mp3 (a URL, off the "
            "player)",
            "kovra-catalogue: left out of the playlist: /MUSIC/a\\x0Ab.mp3 (a line break in its "
            "path)",
            "kovra-catalogue: left out of the playlist: %s (may be cut short at the text ceiling)"
            % cut[:4096].decode(),
        ]))


class BadInput(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        make_player()

    def test_each_mistake_gets_one_line_and_its_exit_code(self):
        empty = tempfile.mkdtemp()
        on_player = os.path.join(ARGS.image_folder, "tracks.csv")
        cases = [
            ("no arguments", [], 3),
            ("missing format", [ARGS.player, "--export"], 3),
            ("unknown format", [ARGS.player, "--export", "xml"], 3),
            ("unknown option", [ARGS.player, "--bogus"], 3),
            ("unknown sort", [ARGS.player, "--export", "csv", "--sort", "colour"], 3),
            ("rows and export", [ARGS.player, "--rows", "--export", "csv"], 3),
            ("check and export", [ARGS.player, "--check", "--export", "csv"], 3),
            ("output without export", [ARGS.player, "--output", "x.csv"], 3),
            ("missing output", [ARGS.player, "--export", "csv", "--output"], 3),
            ("output onto the player", [ARGS.player, "--export", "csv", "--output", on_player], 3),
            ("no index.mum", [empty, "--export", "csv"], 2),
            ("no index.mum to check", [empty, "--check"], 2),
            ("no such folder", [os.path.join(empty, "gone"), "--export", "json"], 2),
            ("a file, not a folder", [os.path.join(ARGS.image_folder, "index.mum"), "--rows"], 2),
            ("unwritable output", [ARGS.player, "--export", "csv", "--output",
                                   os.path.join(empty, "gone", "tracks.csv")], 4),
        ]
        if ARGS.wide_arguments:  # Windows: half of a UTF-16 pair alone, which no UTF-8 spells
            cases.append(("an argument that is not text",
                          [ARGS.player, "--export", "csv", "--output",
                           os.path.join(empty, "out<U+D800>.csv")], 2))
        for name, args, code in cases:
            with self.subTest(name):
                result = catalogue(*args)
                self.assertEqual(result.returncode, code, result.stderr)
                self.assertEqual(result.stdout, b"")
                self.assertRegex(result.stderr, rb"^kovra-catalogue: [^\n]+\n$")
                if "<U+" in "".join(args):  # named with each lone half shown as it was given
                    self.assertIn(args[-1].encode(), result.stderr)
        self.assertFalse(os.path.exists(on_player))
        os.rmdir(empty)

    def test_standard_output_that_cannot_be_written(self):
        with open("/dev/full", "wb") as full:
            result = catalogue(ARGS.player, "--export", "json", stdout=full)
        self.assertEqual(result.returncode, 4, result.stderr)
        self.assertRegex(result.stderr, rb"^kovra-catalogue: [^\n]+\n$")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--make-image", required=True)
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--runner", default="")
    parser.add_argument("--player")
    parser.add_argument("--image-folder")
    parser.add_argument("--second-name")
    parser.add_argument("--wide-arguments")
    ARGS, rest = parser.parse_known_args()
    ARGS.runner = ARGS.runner.split()
    temporary = None
    if ARGS.player is None:
        temporary = tempfile.TemporaryDirectory()
        ARGS.player = ARGS.image_folder = temporary.name
    try:
        unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
    finally:
        if temporary:
            temporary.cleanup()


if __name__ == "__main__":
    main()
