#!/usr/bin/env python3
"""Writes the damaged players bench/read-memory reads, each once, into FOLDER:

  many-sizes  31 track manifests of 4 MiB; manifest k holds up to 300,000
              empty elements whose names are 8 * k bytes long (8, 16, ...,
              248), so each parses into blocks of another size; no track
  big-names   4 track manifests of 33 MB, element names of 96, 104, 112 and
              120 bytes; no track

Both stay within the load's budget (128 MiB read, 32 MiB a file) and the
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


def manifest(size, name_length):
    element = "<%s/>" % ("e" * name_length)
    count = min(NODE_ROOM, (size - len(HEADER) - 64) // len(element))
    return "".join([HEADER, "<mpv:AssetList>", element * count, "</mpv:AssetList>\n</mpv:mpv>\n"])


def write_player(folder, size, name_lengths):
    names = ["SYSTEM/List/Music/Track/N%03d.mpv" % length for length in name_lengths]
    for name, length in zip(names, name_lengths):
        write(os.path.join(folder, name), manifest(size, length))
    write_catalogues(folder, names)


def main():
    root = sys.argv[1]
    for name, (size, name_lengths) in PLAYERS.items():
        folder = os.path.join(root, name)
        if not os.path.exists(os.path.join(folder, "index.mum")):
            write_player(folder, size, name_lengths)


if __name__ == "__main__":
    main()
