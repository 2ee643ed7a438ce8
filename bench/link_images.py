#!/usr/bin/env python3
"""Writes the players bench/link-speed times, each once, into FOLDER:

  linked-20000     music.mum links one one-track manifest 20,000 times
  distinct-20000   20,000 one-track manifests of that same track, each linked once
  linked-99997     one manifest linked 99,997 times
  distinct-100000  100,000 one-track manifests of that same track
  folder-20000     20,000 one-track manifests naming 20,000 distinct audio files
                   in one folder, every second one on the player
  no-folder-20000  the same manifests, without that folder
  folders-20215    30 one-track manifests in a player of 20,215 folders (20,000 of
                   them empty, in 207 groups), for an export's player check

Every linked and distinct player has the same 700-byte manifest text, whose
audio file is on the player, an empty album catalogue and an index.mum: the
linked and the distinct players give the same rows and the same audio-file
checks, and differ only in the files read. The folder players differ from the
distinct ones only in the audio file each manifest names. music.mum holds a thousand links per mpv:ManifestLink so that
its nodes stay under the parser's 300,000.

  link_images.py FOLDER [NAME...]    only the players named, when any are
"""
import os
import sys

HEADER = ('<?xml version="1.0" encoding="UTF-8"?>\n'
          '<mpv:mpv xmlns:mpv="urn:olympus:mrobe:mpv:1.0" '
          'xmlns:dc="http://purl.org/dc/elements/1.1/">\n')
MANIFEST = (HEADER +
            '<mpv:AssetList>\n'
            ' <mpv:Audio>\n'
            '  <mpv:LastURL>/MUSIC/Linked Band/Linked Album/01 Linked Track.mp3</mpv:LastURL>\n'
            '  <nmf:Metadata>\n'
            '   <mpvm:MusicProperties>\n'
            '    <dc:creator>Linked Band</dc:creator>\n'
            '    <dc:title>Linked Track</dc:title>\n'
            '    <mpvm:Genre>Rock</mpvm:Genre>\n'
            '    <mpvm:Recorded>1999-01-01</mpvm:Recorded>\n'
            '    <mpvm:PlayingTime>215</mpvm:PlayingTime>\n'
            '   </mpvm:MusicProperties>\n'
            '   <mrobe:MrobeProperties>\n'
            '    <mrobe:SearchKey>LINKED TRACK</mrobe:SearchKey>\n'
            '   </mrobe:MrobeProperties>\n'
            '  </nmf:Metadata>\n'
            ' </mpv:Audio>\n'
            '</mpv:AssetList>\n'
            '</mpv:mpv>\n')
AUDIO = "MUSIC/Linked Band/Linked Album/01 Linked Track.mp3"
IMAGES = {"linked-20000": (20000, False), "distinct-20000": (20000, True),
          "linked-99997": (99997, False), "distinct-100000": (100000, True)}
ONE_FOLDER = "MUSIC/One Folder/%05d Track.mp3"
FOLDER_IMAGES = {"folder-20000": True, "no-folder-20000": False}
# 7 folders of the catalogue and its audio file, "MUSIC/Folders", its groups and
# their folders.
MANY_FOLDERS = ("folders-20215", 207, 20000)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def music_catalogue(names):
    parts = [HEADER, "<mpv:AssetList>\n"]
    for start in range(0, len(names), 1000):
        parts.append("<mpv:ManifestLink>\n")
        parts.extend("<mpv:LastURL>%s</mpv:LastURL>\n" % name for name in names[start:start + 1000])
        parts.append("</mpv:ManifestLink>\n")
    parts.append("</mpv:AssetList>\n</mpv:mpv>\n")
    return "".join(parts)


def write_catalogues(folder, names):
    """music.mum linking the manifests `names`, an empty album.mum, then index.mum, written last
    since it marks a player complete."""
    write(os.path.join(folder, "SYSTEM/List/Music/music.mum"), music_catalogue(names))
    write(os.path.join(folder, "SYSTEM/List/Music/album.mum"),
          HEADER + "<mpv:AssetList/>\n</mpv:mpv>\n")
    write(os.path.join(folder, "index.mum"), HEADER + "</mpv:mpv>\n")


def write_image(folder, links, distinct):
    names = (["SYSTEM/List/Music/Track/T%06d.mpv" % i for i in range(links)] if distinct
             else ["SYSTEM/List/Music/Track/T.mpv"] * links)
    for name in sorted(set(names)):
        write(os.path.join(folder, name), MANIFEST)
    write(os.path.join(folder, AUDIO), "")
    write_catalogues(folder, names)


def write_folder_image(folder, with_folder, count=20000):
    names = ["SYSTEM/List/Music/Track/T%06d.mpv" % i for i in range(count)]
    for i, name in enumerate(names):
        write(os.path.join(folder, name), MANIFEST.replace(AUDIO, ONE_FOLDER % i))
        if with_folder and i % 2 == 0:
            write(os.path.join(folder, ONE_FOLDER % i), "")
    write_catalogues(folder, names)


def write_many_folders_image(folder, groups, count):
    for i in range(count):
        os.makedirs(os.path.join(folder, "MUSIC/Folders/%03d/%05d" % (i % groups, i)))
    write_image(folder, 30, True)  # its index.mum last


def main():
    root, wanted = sys.argv[1], sys.argv[2:]

    def due(name):
        return (not wanted or name in wanted) and not os.path.exists(
            os.path.join(root, name, "index.mum"))

    name, groups, count = MANY_FOLDERS
    if due(name):
        write_many_folders_image(os.path.join(root, name), groups, count)
    for name, (links, distinct) in IMAGES.items():
        if due(name):
            write_image(os.path.join(root, name), links, distinct)
    for name, with_folder in FOLDER_IMAGES.items():
        if due(name):
            write_folder_image(os.path.join(root, name), with_folder)


if __name__ == "__main__":
    main()
