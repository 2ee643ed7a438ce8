#!/usr/bin/env python3
"""The release as users get it, under wine in the prefix named by WINEPREFIX
(the release tests' own, never the build's shared one).

ReleaseFiles: the archive holds the five files, the binaries' version
resources (read back with exiftool) and `kovra-catalogue --version` give the
project's version; nothing of the build's time or folders gets into the
binaries or the archive (`scripts/release --twice` compares two whole builds);
every part of the binaries that their link maps name has its notice.

Installer: a stand-in host installation (a folder with a winamp.exe, a
settings file, another plug-in, and the host's uninstall entry naming the
folder) is laid anew for each test; the silent installer puts the DLL into its
Plugins folder and registers its entry, the stand-in media library loads the
installed DLL and lists a player, the silent uninstaller takes away exactly
what was installed and says so in its exit code; /D= installs elsewhere, and
each host folder's uninstaller leaves the entry of the other; a read-only
old DLL and uninstaller are replaced as any other. A folder without
winamp.exe, a running host, a DLL or an uninstaller another process holds, a
folder in the uninstaller's place and a newer version are refused and change
nothing; a failure planted after the swap has begun (the release tests' build
of the installer, /FAILAT=) puts back the old files and entry.

  release_test.py --version V --setup EXE --planted-setup EXE --zip ZIP --dll DLL
      --catalogue EXE --host-program EXE --devhost EXE --newer-plugin DLL --make-image EXE
      --with-drives SCRIPT
      --work DIR [unittest arguments]
"""
import argparse
import calendar
import contextlib
import json
import os
import re
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ARGS = None
SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
TIMEOUT = 120

UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
ENTRY_KEY = UNINSTALL + r"\ml_kovra"
HOST_KEY = UNINSTALL + r"\Winamp"

# The stand-in host lies where its uninstall entry says, not in the installer's
# usual folder, so that an install there shows the entry was read.
HOST = r"C:\Apps\Winamp"
OTHER_HOST = r"C:\Other Winamp"
NOT_A_HOST = r"C:\Not Winamp"
UNINSTALLER = "ml_kovra-uninstall.exe"
SETTINGS = b"[Winamp]\r\nvolume=200\r\n[ml_kovra]\r\nsortcol=1\r\nsortdir=1\r\n"
OTHER_PLUGIN = b"MZ another plug-in of the host"
TRACKS = 20


# Every part the binaries' link maps name (an archive's member, or an object
# file), with words of its notice in THIRD-PARTY-NOTICES.txt, mostly its heading
# (None: the project's own code). The first row that matches counts. A part that
# no row matches fails the release test: a library new to the link needs its
# notice and its row here.
GDTOA = (r"dmisc|dtoa|g_[dfx]?fmt|g__fmt|gdtoa|gethex|gmisc|hd_init|hexnan|misc|smisc|strto\w+"
         r"|sum|ulp")
SYSTEM_DLLS = r"kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|oleaut32|comdlg32"
LINKED_PARTS = [
    (r"^(tools/)?CMakeFiles/|^libkovra_\w+\.a\(", None),
    (r"^libtinyxml\.a\(", "TinyXML's copyright and licence"),
    (r"^lib(win)?pthread\.a\(libwinpthread_la-\w+\.o\)$",
     "MinGW-w64 winpthreads: copyright and licence"),
    (r"^libmingwex\.a\(lib32_libmingwex_a-(qnan|strtodnrp)\.o\)$", "David M. Gay"),
    (r"^libmingwex\.a\(lib32_libmingwex_a-(%s)\.o\)$" % GDTOA,
     "gdtoa in the MinGW-w64 runtime: copyright and licences"),
    (r"^libmingwex\.a\(lib32_libmingwex_a-mingw_(pformat|v?(s|sn|f)?printf)\.o\)$",
     "printf of the MinGW-w64 runtime: copyright and licence"),
    (r"^(libmingw32|libmingwex|libmsvcrt|libmoldname|lib(%s))\.a\(|^(dll)?crt2u?\.o$"
     % SYSTEM_DLLS, "MinGW-w64 runtime: copyright and licence"),
    (r"^(libgcc|libgcc_eh|libstdc\+\+)\.a\(|^crt(begin|end)\.o$", "GCC's runtime libraries"),
]


def linked_parts(map_path):
    """The archive members and object files that a GNU ld link map names as
    taken into the binary."""
    with open(map_path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    members = text.split("\nDiscarded input sections")[0].split("\nAllocating common symbols")[0]
    parts = {os.path.basename(archive) + "(" + member + ")" for archive, member
             in re.findall(r"^(\S+\.a)\((\S+)\)", members, re.M)}
    for path in re.findall(r"^LOAD (\S+\.(?:o|obj|res))$", text, re.M):
        parts.add(os.path.basename(path) if os.path.isabs(path) else path)
    return parts


def unix_path(windows_path):
    """A C: path of the prefix as a path of this machine."""
    drive_c = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    return os.path.join(drive_c, *windows_path[3:].split("\\"))


def z_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(*command):
    """Runs a command to its end; its output is read from files, not pipes: the
    prefix's own processes that a wine command starts inherit its output and
    keep running a few seconds after it, so a pipe would end only then."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        result = subprocess.run(list(command), stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                timeout=TIMEOUT)
        out.seek(0)
        err.seek(0)
        result.stdout, result.stderr = out.read(), err.read()
    return result


def wine(*command):
    return run("wine", *command)


def wait_for_wine():
    """Every program of the prefix has ended (an uninstaller runs on as a copy
    of itself after the one started returns)."""
    run("wineserver", "-w")


def read_key(key):
    """The values of a registry key as {name: text}, or None when it is not there."""
    result = wine("reg", "query", key)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        match = re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line.rstrip("\r"))
        if match:
            values[match.group(1)] = match.group(3)
    return values


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def setup_command(*args):
    """The release's installer; for a planted failure, the tests' build of it."""
    planted = any(arg.startswith("/FAILAT=") for arg in args)
    return wine(ARGS.planted_setup if planted else ARGS.setup, *args)


def uninstall_command(quiet_uninstall_string):
    """The entry's quiet uninstall, run as a deployment script does to get its
    real exit code: with _?= naming the uninstaller's folder, it runs in place
    and returns when done instead of handing over to a copy of itself."""
    match = re.match(r'^"(([^"]+)\\[^"\\]+)" (.*)$', quiet_uninstall_string)
    return wine(match.group(1), *match.group(3).split(), *("_?=" + match.group(2)).split(" "))


@contextlib.contextmanager
def stand_in_host_running(host, *args):
    """The stand-in host's program, started with ARGS, until the block ends."""
    process = subprocess.Popen(["wine", unix_path(host + r"\winamp.exe"), *args],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    try:
        assert process.stdout.readline().strip() == b"ready"
        yield
    finally:
        process.stdin.close()
        process.wait(timeout=TIMEOUT)
        process.stdout.close()


def folder_option(folder):
    """/D= as a user types it: last, without quotes even around spaces. Wine
    quotes an argument that holds a space, so each word goes as its own."""
    return ("/D=" + folder).split(" ")


class ReleaseFiles(unittest.TestCase):
    def test_archive_holds_the_five_files(self):
        with zipfile.ZipFile(ARGS.zip) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             sorted(["ml_kovra.dll", "kovra-catalogue.exe", "README.txt",
                                     "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"]))
            self.assertEqual(archive.read("ml_kovra.dll"), read_bytes(ARGS.dll))
            self.assertEqual(archive.read("kovra-catalogue.exe"), read_bytes(ARGS.catalogue))
            notice = archive.read("THIRD-PARTY-NOTICES.txt").decode("utf-8")
        for part in ("TinyXML 2.6.2", "Altered source versions must be plainly marked",
                     "==== tinyxml-parse-limits.patch ===="):
            self.assertIn(part, notice)

    def test_notices_cover_every_linked_part(self):
        with zipfile.ZipFile(ARGS.zip) as archive:
            notice = archive.read("THIRD-PARTY-NOTICES.txt").decode("utf-8")
        for binary in (ARGS.dll, ARGS.catalogue):
            with self.subTest(os.path.basename(binary)):
                parts = linked_parts(os.path.splitext(binary)[0] + ".map")
                self.assertIn("libtinyxml.a(tinyxml.cpp.obj)", parts)
                unknown, without_notice = [], set()
                for part in sorted(parts):
                    heading = next((heading for pattern, heading in LINKED_PARTS
                                    if re.search(pattern, part)), "")
                    if heading == "":
                        unknown.append(part)
                    elif heading and heading not in notice:
                        without_notice.add(heading)
                self.assertEqual(unknown, [], "linked parts no row of LINKED_PARTS names")
                self.assertEqual(without_notice, set(), "notices missing")

    def test_version_resources_give_the_projects_version(self):
        if shutil.which("exiftool") is None:
            self.fail("exiftool is missing: scripts/setup-deps installs it")
        binaries = {ARGS.dll: "ml_kovra.dll", ARGS.catalogue: "kovra-catalogue.exe"}
        result = run("exiftool", "-json", "-FileVersion", "-FileVersionNumber",
                     "-ProductVersion", "-ProductName", "-FileDescription", "-CompanyName",
                     "-LegalCopyright", "-OriginalFileName", *binaries)
        self.assertEqual(result.returncode, 0, result.stderr)
        for properties in json.loads(result.stdout):
            name = binaries[properties["SourceFile"]]
            with self.subTest(name):
                self.assertEqual(str(properties.get("FileVersion")), ARGS.version)
                self.assertEqual(str(properties.get("ProductVersion")), ARGS.version)
                self.assertEqual(properties.get("FileVersionNumber"), ARGS.version + ".0")
                self.assertEqual(properties.get("ProductName"), "ml_kovra")
                self.assertEqual(properties.get("OriginalFileName"), name)
                self.assertTrue(properties.get("FileDescription"))
                self.assertTrue(properties.get("CompanyName"))
                self.assertRegex(properties.get("LegalCopyright", ""), r"^Copyright \(c\) \d{4} ")

    def test_builds_carry_no_time_nor_folder(self):
        commit = run("git", "-C", SOURCE, "log", "-1", "--format=%ct")
        commit_time = int(commit.stdout) if commit.returncode == 0 else 315532800
        build = os.path.dirname(os.path.abspath(ARGS.work))
        for path in (ARGS.dll, ARGS.catalogue):
            with self.subTest(os.path.basename(path)):
                data = read_bytes(path)
                header = struct.unpack_from("<I", data, 0x3C)[0]
                self.assertEqual(data[header:header + 4], b"PE\0\0")
                self.assertEqual(struct.unpack_from("<I", data, header + 8)[0], 0, "a link time")
                for folder in (SOURCE, build):
                    self.assertNotIn(folder.encode(), data)
        with zipfile.ZipFile(ARGS.zip) as archive:
            dates = {info.date_time for info in archive.infolist()}
        self.assertEqual(len(dates), 1, dates)
        self.assertLessEqual(calendar.timegm(dates.pop() + (0, 0, 0)), commit_time)

    def test_catalogue_tool_says_its_version(self):
        result = wine(ARGS.catalogue, "--version")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.decode().strip(), "kovra-catalogue " + ARGS.version)


class Installer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(ARGS.setup):
            raise AssertionError(ARGS.setup + " is missing: makensis (scripts/setup-deps) builds it")
        cls.image = os.path.join(ARGS.work, "player")
        result = wine(ARGS.make_image, z_path(cls.image), "--tracks", str(TRACKS), "--seed", "23")
        assert result.returncode == 0, result.stderr

    def setUp(self):
        """A fresh stand-in host installation, registered; no ml_kovra anywhere."""
        for folder in (r"C:\Apps", OTHER_HOST, NOT_A_HOST):
            shutil.rmtree(unix_path(folder), ignore_errors=True)
        wine("reg", "delete", ENTRY_KEY, "/f")
        for host in (HOST, OTHER_HOST):
            shutil.copyfile(ARGS.host_program, self.host_file(host, "winamp.exe"))
            write_bytes(self.host_file(host, "winamp.ini"), SETTINGS)
            write_bytes(self.host_file(host, r"Plugins\ml_other.dll"), OTHER_PLUGIN)
        os.makedirs(unix_path(NOT_A_HOST))
        result = wine("reg", "add", HOST_KEY, "/v", "UninstallString", "/t", "REG_SZ",
                      "/d", '"%s\\UninstWA.exe"' % HOST, "/f")
        self.assertEqual(result.returncode, 0, result.stderr)

    def host_file(self, host, name):
        path = unix_path(host + "\\" + name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        return path

    def installed_dlls(self):
        return [host for host in (HOST, OTHER_HOST, NOT_A_HOST)
                if os.path.exists(unix_path(host + r"\Plugins\ml_kovra.dll"))]

    def assert_entry(self, host):
        entry = read_key(ENTRY_KEY)
        self.assertIsNotNone(entry, "no uninstall entry")
        uninstaller = '"%s\\Plugins\\%s"' % (host, UNINSTALLER)
        self.assertIn("ml_kovra", entry.get("DisplayName", ""))
        self.assertEqual(entry.get("DisplayVersion"), ARGS.version)
        self.assertTrue(entry.get("Publisher"))
        self.assertEqual(entry.get("UninstallString"), uninstaller)
        self.assertEqual(entry.get("QuietUninstallString"), uninstaller + " /S")
        plugins = unix_path(host + r"\Plugins")
        self.assertEqual(int(entry.get("EstimatedSize", "0"), 16),
                         sum(-(-os.path.getsize(os.path.join(plugins, name)) // 1024)
                             for name in ("ml_kovra.dll", UNINSTALLER)))
        self.assertEqual(entry.get("NoModify"), "0x1")
        self.assertEqual(entry.get("NoRepair"), "0x1")
        return entry

    def lists_the_player(self, dll_path, settings_path):
        """The stand-in media library loads the DLL and shows the player's tracks
        (and the view's one sample row) from drive E:."""
        result = run(ARGS.with_drives, "e=floppy:" + self.image, "--", "wine", ARGS.devhost,
                     "--dll", dll_path, "--settings", settings_path, "--rows", "3")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertRegex(result.stdout.decode("utf-8", "replace"),
                         r"status: %d items \[" % (TRACKS + 1))

    def write_entry(self, host, version):
        """An entry as an install of VERSION into HOST leaves it."""
        uninstaller = '"%s\\Plugins\\%s"' % (host, UNINSTALLER)
        for name, value in (("DisplayVersion", version), ("UninstallString", uninstaller),
                            ("QuietUninstallString", uninstaller + " /S")):
            result = wine("reg", "add", ENTRY_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
            self.assertEqual(result.returncode, 0, result.stderr)

    def lay_newer_install(self):
        write_bytes(unix_path(HOST + r"\Plugins\ml_kovra.dll"), b"MZ a newer ml_kovra")
        self.write_entry(HOST, "9.9.9")

    def lay_newer_dll_without_entry(self):
        shutil.copyfile(ARGS.newer_plugin, unix_path(HOST + r"\Plugins\ml_kovra.dll"))

    def lay_older_install(self, dll=b"MZ an older ml_kovra"):
        """An older install whose DLL and uninstaller are read-only."""
        for name, data in (("ml_kovra.dll", dll), (UNINSTALLER, b"MZ an older uninstaller")):
            path = unix_path(HOST + "\\Plugins\\" + name)
            write_bytes(path, data)
            os.chmod(path, 0o444)
        self.write_entry(HOST, "0.9.0")

    def installation(self):
        """Every file in the host folders' Plugins folders (with whether it is
        read-only), and the entry."""
        files = {}
        for host in (HOST, OTHER_HOST, NOT_A_HOST):
            plugins = unix_path(host + r"\Plugins")
            for name in os.listdir(plugins) if os.path.isdir(plugins) else []:
                path = os.path.join(plugins, name)
                files[host + "\\" + name] = "a folder" if os.path.isdir(path) else \
                    (read_bytes(path), not os.stat(path).st_mode & stat.S_IWUSR)
        return files, read_key(ENTRY_KEY)

    def test_silent_install_upgrade_and_uninstall(self):
        plugins = unix_path(HOST + r"\Plugins")
        self.lay_older_install()
        result = setup_command("/S")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(read_bytes(os.path.join(plugins, "ml_kovra.dll")), read_bytes(ARGS.dll))
        self.assertTrue(os.path.exists(os.path.join(plugins, UNINSTALLER)))
        entry = self.assert_entry(HOST)

        self.lists_the_player(HOST + r"\Plugins\ml_kovra.dll", HOST + r"\winamp.ini")
        settings = read_bytes(unix_path(HOST + r"\winamp.ini"))
        self.assertIn(b"[ml_kovra]", settings)
        snapshot = unix_path(HOST + r"\ml_kovra.cache")
        self.assertTrue(os.path.exists(snapshot), "no snapshot beside the settings file")

        installed = self.installation()
        with stand_in_host_running(HOST, "--window"):
            result = uninstall_command(entry["QuietUninstallString"])
        self.assertEqual(result.returncode, 2, "an uninstall refused")
        self.assertEqual(self.installation(), installed)

        # As Windows' list runs it: the uninstaller hands over to a copy of
        # itself, which also deletes the uninstaller.
        quiet = re.match(r'^"([^"]+)" (.*)$', entry["QuietUninstallString"])
        result = wine(quiet.group(1), *quiet.group(2).split())
        self.assertEqual(result.returncode, 0, result.stderr)
        wait_for_wine()
        self.assertEqual(sorted(os.listdir(plugins)), ["ml_other.dll"])
        self.assertEqual(read_bytes(os.path.join(plugins, "ml_other.dll")), OTHER_PLUGIN)
        self.assertEqual(read_bytes(unix_path(HOST + r"\winamp.ini")), settings)
        self.assertFalse(os.path.exists(snapshot), "the snapshot stays")
        self.assertTrue(os.path.exists(unix_path(HOST + r"\winamp.exe")))
        self.assertIsNone(read_key(ENTRY_KEY))
        self.assertIsNotNone(read_key(HOST_KEY))

    def test_each_host_folder_keeps_its_own_uninstall(self):
        result = setup_command("/S")
        self.assertEqual(result.returncode, 0, result.stderr)
        first = self.assert_entry(HOST)
        result = setup_command("/S", *folder_option(OTHER_HOST))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.installed_dlls(), [HOST, OTHER_HOST])
        self.assertEqual(read_bytes(unix_path(OTHER_HOST + r"\Plugins\ml_kovra.dll")),
                         read_bytes(ARGS.dll))
        second = self.assert_entry(OTHER_HOST)

        result = uninstall_command(first["QuietUninstallString"])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.installed_dlls(), [OTHER_HOST])
        self.assertTrue(os.path.exists(unix_path(HOST + "\\Plugins\\" + UNINSTALLER)),
                        "run in place, the uninstaller is left for the caller to delete")
        self.assert_entry(OTHER_HOST)
        result = uninstall_command(second["QuietUninstallString"])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.installed_dlls(), [])
        self.assertIsNone(read_key(ENTRY_KEY))

    def test_newer_version_is_replaced_only_with_the_switch(self):
        self.lay_newer_install()
        result = setup_command("/S", "/ALLOWDOWNGRADE")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(read_bytes(unix_path(HOST + r"\Plugins\ml_kovra.dll")),
                         read_bytes(ARGS.dll))
        self.assert_entry(HOST)

    def test_refusals_and_failures_change_nothing(self):
        held_dll = HOST + r"\Plugins\ml_kovra.dll"
        held_uninstaller = HOST + "\\Plugins\\" + UNINSTALLER

        def lay_held_install():
            write_bytes(unix_path(held_dll), b"MZ an older ml_kovra")
            write_bytes(unix_path(held_uninstaller), b"MZ an older uninstaller")
            self.write_entry(HOST, "0.9.0")

        def lay_loadable_install():
            self.lay_older_install(read_bytes(ARGS.dll) + b"an older build")

        def lay_folder_for_uninstaller():
            lay_held_install()
            os.remove(unix_path(held_uninstaller))
            os.makedirs(unix_path(held_uninstaller))

        cases = [  # name, lays an installation, stand-in host's arguments, setup's arguments
            ("a folder without winamp.exe", None, None, ["/S", *folder_option(NOT_A_HOST)]),
            ("the host running", None, ["--window"], ["/S"]),
            ("the DLL held by another process", lay_held_install, ["--hold", "read", held_dll],
             ["/S"]),
            ("the DLL held, shared for writing", lay_held_install,
             ["--hold", "read-write", held_dll], ["/S"]),
            ("the uninstaller held by a scanner", lay_held_install,
             ["--hold", "read", held_uninstaller], ["/S"]),
            ("a folder named as the uninstaller", lay_folder_for_uninstaller, None, ["/S"]),
            # Read-only, the DLL is only asked to move aside, which it can; it
            # cannot be deleted once aside, and everything goes back.
            ("the read-only DLL loaded by a process", lay_loadable_install,
             ["--load", held_dll], ["/S"]),
            ("a newer version installed", self.lay_newer_install, None, ["/S"]),
            ("a newer DLL without an entry", self.lay_newer_dll_without_entry, None, ["/S"]),
            # Failures after the swap has begun: once the new DLL has the old
            # one's name, once the uninstaller has too, once the entry is
            # written.
            ("a failure after the DLL", self.lay_older_install, None, ["/S", "/FAILAT=plugin"]),
            ("a failure after the uninstaller", self.lay_older_install, None,
             ["/S", "/FAILAT=uninstaller"]),
            ("a failure after the entry", self.lay_older_install, None, ["/S", "/FAILAT=entry"]),
            ("a failure after a first install's entry", None, None, ["/S", "/FAILAT=entry"]),
        ]
        for name, lay_install, host_args, args in cases:
            with self.subTest(name):
                self.setUp()
                if lay_install:
                    lay_install()
                before = self.installation()
                with stand_in_host_running(HOST, *host_args) if host_args \
                        else contextlib.nullcontext():
                    result = setup_command(*args)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(self.installation(), before)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ("version", "setup", "planted-setup", "zip", "dll", "catalogue", "host-program",
                   "devhost", "newer-plugin", "make-image", "with-drives", "work"):
        parser.add_argument("--" + option, required=True)
    ARGS, rest = parser.parse_known_args()
    if "WINEPREFIX" not in os.environ:
        sys.exit("release_test.py: WINEPREFIX must name the release tests' prefix")
    os.makedirs(ARGS.work, exist_ok=True)
    subprocess.run([os.path.join(SOURCE, "scripts", "wine-prefix")], check=True)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
