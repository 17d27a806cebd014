#!/usr/bin/env python3
"""Packs files into icon.lib, the archive Velmora unpacks into its Icons folder.

    pack_icons.py -o OUTPUT FILE...

Each entry is the file's name blank-padded to 20 bytes (ANSI), its length as a
little-endian signed 32-bit number, then its bytes; the archive simply ends at
the end of the file. Entries are written in the order of their names so that
the same files always give the same archive. Anything the program would refuse
or misread is an error here, not a surprise at run time.
"""

import argparse
import os
import struct
import sys
import tempfile

NAME_WIDTH = 20
# Characters Windows does not allow in a file name, and the names it keeps for
# devices whatever their extension.
BAD_CHARS = set('\\/:*?"<>|')
DEVICES = {'CON', 'PRN', 'AUX', 'NUL', 'CONIN$', 'CONOUT$'} | \
    {'COM%d' % i for i in range(1, 10)} | {'LPT%d' % i for i in range(1, 10)}


def check_name(name):
    try:
        raw = name.encode('cp1252')
    except UnicodeEncodeError:
        return 'is not in the ANSI code page'
    if len(raw) > NAME_WIDTH:
        return 'is %d bytes long; at most %d fit' % (len(raw), NAME_WIDTH)
    if name != name.strip(' '):
        return 'begins or ends with a blank, which the reader trims'
    if name.endswith('.'):
        return 'ends with a dot'
    if any(c in BAD_CHARS or ord(c) < 32 or ord(c) == 127 for c in name):
        return 'holds a character not allowed in a file name'
    if name.split('.')[0].rstrip(' ').upper() in DEVICES:
        return 'is a device name'
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('-o', '--output', required=True)
    parser.add_argument('files', nargs='+')
    args = parser.parse_args()

    entries = {}
    for path in args.files:
        name = os.path.basename(path)
        problem = check_name(name)
        if problem:
            sys.exit('pack_icons: %s: the name %s' % (path, problem))
        key = name.upper()
        if key in entries:
            sys.exit('pack_icons: %s and %s have the same name on Windows'
                     % (entries[key][0], path))
        with open(path, 'rb') as f:
            data = f.read()
        # A size of 0 marks the end of the archive, so an empty file would
        # silently hide every entry after it.
        if not data:
            sys.exit('pack_icons: %s is empty' % path)
        if len(data) > 0x7FFFFFFF:
            sys.exit('pack_icons: %s is too large' % path)
        entries[key] = (path, name, data)

    archive = bytearray()
    for _, name, data in sorted(entries.values(), key=lambda e: e[1].encode('cp1252')):
        archive += name.encode('cp1252').ljust(NAME_WIDTH, b' ')
        archive += struct.pack('<i', len(data))
        archive += data

    # Write beside the target and move it over, so a failed build never
    # leaves half an archive behind.
    folder = os.path.dirname(os.path.abspath(args.output))
    os.makedirs(folder, exist_ok=True)
    fd, temp = tempfile.mkstemp(dir=folder, prefix='.icon.lib.')
    try:
        with os.fdopen(fd, 'wb') as f:
            f.write(archive)
        os.chmod(temp, 0o644)
        os.replace(temp, args.output)
    except BaseException:
        os.unlink(temp)
        raise
    print('pack_icons: %d files, %d bytes in %s' % (len(entries), len(archive), args.output))


if __name__ == '__main__':
    main()
