#!/usr/bin/env python3
"""Gives a WinHelp (.hlp) file numeric help contexts.

The program opens its help with WinHelpA(..., HELP_CONTEXT, n). WinHelp looks
a number up in the help file's internal file |CTXOMAP; a help compiler fills
that table from the [MAP] section of a help project. Halibut, which builds our
help, writes named topics only (\\cfg{winhelp-topic}{name}, kept in |CONTEXT
under a hash of the name) and an empty |CTXOMAP. This tool fills |CTXOMAP
after the fact:

    hlp_context_map.py velmora-raw.hlp -o velmora.hlp --map 1002=welcome

finds the topic named "welcome" in |CONTEXT and maps context number 1002 to
the same topic address. `--show` prints what a file maps.

Facts about the file format this relies on (all integers little-endian):

* File header, 16 bytes: magic 0x00035F3F, offset of the internal directory,
  offset of the first free block (-1: none), size of the whole file.
* Every internal file starts with a 9-byte header: space reserved for it
  (header included), bytes used (header excluded), one flag byte.
* The directory and |CONTEXT are B+ trees: a 38-byte header (magic 0x293B,
  flags, page size, a 16-byte structure string, must-be-zero, page splits,
  root page, must-be-minus-one, page count, level count, entry count), then
  the pages. A leaf page starts with 8 bytes (unused bytes, entry count,
  previous page, next page); an index page with 6 (unused bytes, entry count,
  first child page), then entries of key + 2-byte child page.
* Directory entries: NUL-terminated file name, 4-byte file offset.
  |CONTEXT entries: 4-byte hash of the topic name, 4-byte topic address.
* |CTXOMAP: a 2-byte count, then per entry a 4-byte context number and the
  4-byte topic address, in the same form as |CONTEXT's.
* The hash of a topic name: for each character, hash = hash * 43 + value,
  in 32-bit arithmetic, where letters (either case) count 17 to 42, the
  digits 1 to 9 count 1 to 9, "0" counts 10, "." 12 and "_" 13. Only those
  characters are accepted here, so the value is the same in every viewer.
"""

import argparse
import os
import struct
import sys

HLP_MAGIC = 0x00035F3F
BTREE_MAGIC = 0x293B
FILE_HEADER = struct.Struct("<iiB")
BTREE_HEADER = struct.Struct("<HHH16shhhhhhi")


class HelpFileError(Exception):
    pass


def context_hash(name):
    """The WinHelp hash of a topic name, as a signed 32-bit number."""
    value = 0
    for ch in name:
        if "a" <= ch.lower() <= "z":
            x = ord(ch.lower()) - ord("a") + 17
        elif "1" <= ch <= "9":
            x = ord(ch) - ord("0")
        elif ch == "0":
            x = 10
        elif ch == ".":
            x = 12
        elif ch == "_":
            x = 13
        else:
            raise HelpFileError("topic name %r: only letters, digits, '.' and '_' hash the "
                                "same in every help viewer" % name)
        value = (value * 43 + x) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


class HelpFile:
    def __init__(self, data):
        self.data = bytearray(data)
        if len(self.data) < 16:
            raise HelpFileError("too short for a help file")
        magic, self.directory_at, _, size = struct.unpack_from("<IiiI", self.data, 0)
        if magic != HLP_MAGIC:
            raise HelpFileError("not a WinHelp file (magic %#x)" % magic)
        if size != len(self.data):
            raise HelpFileError("header says %d bytes, file has %d" % (size, len(self.data)))
        # name -> (file offset, position of that offset in the directory)
        self.files = {}
        for name, value_at in self._leaf_entries(self.directory_at, self._read_name, 4):
            self.files[name] = (struct.unpack_from("<i", self.data, value_at)[0], value_at)

    # -- internal files -------------------------------------------------------
    def _file_header(self, offset):
        if offset < 16 or offset + FILE_HEADER.size > len(self.data):
            raise HelpFileError("internal file header at %d lies outside the file" % offset)
        return FILE_HEADER.unpack_from(self.data, offset)

    def internal_file(self, name):
        if name not in self.files:
            raise HelpFileError("no internal file %s" % name)
        offset = self.files[name][0]
        _, used, _ = self._file_header(offset)
        body = offset + FILE_HEADER.size
        if used < 0 or body + used > len(self.data):
            raise HelpFileError("%s runs past the end of the file" % name)
        return bytes(self.data[body:body + used])

    # -- B+ trees -------------------------------------------------------------
    def _read_name(self, at):
        end = self.data.find(b"\0", at)
        if end < 0:
            raise HelpFileError("unterminated name in a B-tree page")
        return self.data[at:end].decode("latin-1"), end + 1

    def _read_long(self, at):
        return struct.unpack_from("<i", self.data, at)[0], at + 4

    def _leaf_entries(self, file_offset, read_key, value_size):
        """Yields (key, position of the value) over every leaf, in key order."""
        tree = file_offset + FILE_HEADER.size
        (magic, _, page_size, _, _, _, root, _, pages, levels,
         _) = BTREE_HEADER.unpack_from(self.data, tree)
        if magic != BTREE_MAGIC:
            raise HelpFileError("no B-tree at %d" % file_offset)
        first_page = tree + BTREE_HEADER.size

        def page_at(n):
            if not 0 <= n < pages:
                raise HelpFileError("B-tree page %d of %d" % (n, pages))
            return first_page + n * page_size

        page = root
        for _ in range(levels - 1):  # down the leftmost branch
            page = struct.unpack_from("<h", self.data, page_at(page) + 4)[0]
        seen = set()
        while page != -1:
            if page in seen:
                raise HelpFileError("B-tree leaves form a loop")
            seen.add(page)
            at = page_at(page)
            _, count, _, following = struct.unpack_from("<Hhhh", self.data, at)
            at += 8
            for _ in range(count):
                key, at = read_key(at)
                yield key, at
                at += value_size
            page = following

    def contexts(self):
        """hash -> topic address, from |CONTEXT."""
        if "|CONTEXT" not in self.files:
            return {}
        entries = self._leaf_entries(self.files["|CONTEXT"][0], self._read_long, 4)
        return {key: struct.unpack_from("<i", self.data, at)[0] for key, at in entries}

    def context_map(self):
        """context number -> topic address, from |CTXOMAP."""
        if "|CTXOMAP" not in self.files:
            return {}
        body = self.internal_file("|CTXOMAP")
        if len(body) < 2:
            raise HelpFileError("|CTXOMAP is too short")
        (count,) = struct.unpack_from("<H", body, 0)
        if len(body) < 2 + 8 * count:
            raise HelpFileError("|CTXOMAP holds fewer entries than it says")
        return dict(struct.unpack_from("<ii", body, 2 + 8 * i) for i in range(count))

    # -- writing --------------------------------------------------------------
    def set_context_map(self, mapping):
        """Replaces |CTXOMAP by `mapping` (context number -> topic address)."""
        if "|CTXOMAP" not in self.files:
            # Adding a directory entry means reshaping the directory tree;
            # every help compiler, Halibut included, writes the file.
            raise HelpFileError("the file has no |CTXOMAP to fill")
        if len(mapping) > 0xFFFF:
            raise HelpFileError("too many contexts")
        body = struct.pack("<H", len(mapping)) + b"".join(
            struct.pack("<ii", number, address) for number, address in sorted(mapping.items()))
        offset, value_at = self.files["|CTXOMAP"]
        reserved, _, flags = self._file_header(offset)
        if FILE_HEADER.size + len(body) <= reserved:
            # Fits where the old table was: rewrite it in place.
            self.data[offset:offset + FILE_HEADER.size] = FILE_HEADER.pack(reserved, len(body), flags)
            start = offset + FILE_HEADER.size
            self.data[start:start + len(body)] = body
        else:
            # Append the new table and point the directory at it; the old
            # one stays as unused space, which viewers never look at.
            offset = len(self.data)
            self.data += FILE_HEADER.pack(FILE_HEADER.size + len(body), len(body), flags) + body
            struct.pack_into("<i", self.data, value_at, offset)
            struct.pack_into("<I", self.data, 12, len(self.data))
            self.files["|CTXOMAP"] = (offset, value_at)


def parse_mapping(text):
    number, sep, name = text.partition("=")
    if not sep or not name:
        raise argparse.ArgumentTypeError("expected NUMBER=topic, got %r" % text)
    try:
        return int(number, 0), name
    except ValueError:
        raise argparse.ArgumentTypeError("not a context number: %r" % number)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("helpfile")
    parser.add_argument("-o", "--output", help="where to write the result (default: in place)")
    parser.add_argument("--map", action="append", type=parse_mapping, default=[],
                        metavar="NUMBER=TOPIC", help="map a context number to a named topic")
    parser.add_argument("--show", action="store_true", help="print the numeric contexts")
    args = parser.parse_args(argv)

    try:
        with open(args.helpfile, "rb") as f:
            help_file = HelpFile(f.read())
        if args.map:
            named = help_file.contexts()
            mapping = help_file.context_map()
            for number, name in args.map:
                key = context_hash(name)
                if key not in named:
                    raise HelpFileError("no topic named %r in %s" % (name, args.helpfile))
                mapping[number] = named[key]
            help_file.set_context_map(mapping)
            # Read back what a viewer will read.
            check = HelpFile(bytes(help_file.data))
            for number, name in args.map:
                if check.context_map().get(number) != check.contexts()[context_hash(name)]:
                    raise HelpFileError("context %d did not come out as written" % number)
            output = args.output or args.helpfile
            temp = output + ".tmp"
            with open(temp, "wb") as f:
                f.write(help_file.data)
            os.replace(temp, output)
        if args.show:
            for number, address in sorted(help_file.context_map().items()):
                print("%d -> topic address %#x" % (number, address))
    except (OSError, HelpFileError, struct.error) as e:
        print("%s: %s" % (os.path.basename(sys.argv[0]), e), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
