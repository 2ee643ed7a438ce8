#!/usr/bin/env python3
"""Writes the damaged players bench/read-memory reads, each once, into FOLDER:

  many-sizes  31 track manifests of 4 MiB; manifest k holds up to 300,000
              empty elements whose names are 8 * k bytes long (8, 16, ...,
              248), so each parses into blocks of another size; no track
  big-names   4 track manifests of 33 MB, element names of 96, 104, 112 and
              120 bytes; no track
  filler-tracks  100 track manifests of 1.2 MB: 299,800 empty one-letter
              elements, then one ordinary track whose texts are 15 to 127
              bytes long (each of its texts is kept while a document of many
              blocks is parsed)
  tracks-alone   the same 100 tracks without the filler: what the tracks
              themselves leave

All stay within the load's budget (128 MiB read, 32 MiB a file) and the
parser's 300,000 nodes a document: all of it is read and parsed.

  damaged_players.py FOLDER
"""
import os
import sys

from link_images import write, write_catalogues

HEADER = ('<?xml version="1.0" encoding="UTF-8"?>\n'
          '<mpv:mpv xmlns:mpv="urn:olympus:mrobe:mpv:1.0">\n')
NODE_ROOM = 300000 - 10  # the root, the asset list and their texts stay within the parser's limit
PLAYERS = {"many-sizes": (4 * 1024 * 1024, [8 * k for k in range(1, 32)]),
           "big-names": (33000000, [96, 104, 112, 120])}
TRACK_PLAYERS = {"filler-tracks": 299800, "tracks-alone": 0}
TRACK_COUNT = 100
# A track's text fields, each given its own length in every manifest.
TRACK_TEXTS = ["mpv:LastURL", "dc:creator", "dc:title", "mpvm:MusicBy", "mpvm:Genre",
               "mpvm:Recorded", "mrobe:SearchKey"]


def manifest(size, name_length):
    element = "<%s/>" % ("e" * name_length)
    count = min(NODE_ROOM, (size - len(HEADER) - 64) // len(element))
    return "".join([HEADER, "<mpv:AssetList>", element * count, "</mpv:AssetList>\n</mpv:mpv>\n"])


def write_player(folder, size, name_lengths):
    names = ["SYSTEM/List/Music/Track/N%03d.mpv" % length for length in name_lengths]
    for name, length in zip(names, name_lengths):
        write(os.path.join(folder, name), manifest(size, length))
    write_catalogues(folder, names)


def track(number):
    """An ordinary track whose texts are 15 to 127 bytes long, spread over the lengths."""
    parts = ["<mpv:Audio>"]
    for field, name in enumerate(TRACK_TEXTS):
        length = 15 + (number * 37 + field * 53) % 113
        label = name.split(":")[1]
        text = "/MUSIC/T%03d/" % number if field == 0 else "%s %03d " % (label, number)
        parts.append("<%s>%s</%s>" % (name, (text + "x" * length)[:length], name))
    parts.append("<mpvm:PlayingTime>215</mpvm:PlayingTime></mpv:Audio>")
    return "".join(parts)


def write_track_player(folder, filler):
    names = ["SYSTEM/List/Music/Track/T%03d.mpv" % number for number in range(TRACK_COUNT)]
    for number, name in enumerate(names):
        write(os.path.join(folder, name),
              "".join([HEADER, "<mpv:AssetList>", "<a/>" * filler, track(number),
                       "</mpv:AssetList>\n</mpv:mpv>\n"]))
    write_catalogues(folder, names)


def main():
    root = sys.argv[1]
    for name, (size, name_lengths) in PLAYERS.items():
        folder = os.path.join(root, name)
        if not os.path.exists(os.path.join(folder, "index.mum")):
            write_player(folder, size, name_lengths)
    for name, filler in TRACK_PLAYERS.items():
        folder = os.path.join(root, name)
        if not os.path.exists(os.path.join(folder, "index.mum")):
            write_track_player(folder, filler)


if __name__ == "__main__":
    main()
