#!/usr/bin/env python3
"""Writes the release archive so that the same files give the same bytes on
any machine and day: the members in the order given, each dated with the
commit's time (UTC), with the same attributes and compression.

  write_zip.py --date EPOCH_SECONDS --output ZIP FILE...
"""
import argparse
import os
import time
import zipfile

# A zip member's date cannot be earlier than 1980.
EARLIEST = 315532800
REGULAR_FILE_READ_WRITE = 0o100644 << 16


def member(path, date):
    info = zipfile.ZipInfo(os.path.basename(path), date_time=time.gmtime(date)[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 3
    info.external_attr = REGULAR_FILE_READ_WRITE
    return info


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--date", type=int, required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    date = max(args.date, EARLIEST)
    partial = args.output + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for path in args.files:
            with open(path, "rb") as f:
                archive.writestr(member(path, date), f.read(), compresslevel=9)
    os.replace(partial, args.output)


if __name__ == "__main__":
    main()
