#!/usr/bin/env python3
"""The zip holds the program folder as it ships, nothing more and nothing less:

    check_zip.py ZIP STAGE_FOLDER FILE...

Every FILE of the staged folder is in the zip under "Velmora/", byte for
byte; the zip holds no other file, and it reads back without CRC errors.
"""
import sys
import zipfile


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    zip_path, stage, files = argv[0], argv[1], argv[2:]
    problems = []
    with zipfile.ZipFile(zip_path) as z:
        bad = z.testzip()
        if bad:
            problems.append("damaged entry: " + bad)
        entries = {i.filename: i for i in z.infolist() if not i.is_dir()}
        wanted = {"Velmora/" + f: f for f in files}
        for name in sorted(set(entries) - set(wanted)):
            problems.append("not a shipped file: " + name)
        for name, f in sorted(wanted.items()):
            if name not in entries:
                problems.append("missing: " + name)
                continue
            with open(stage + "/" + f, "rb") as staged:
                if z.read(name) != staged.read():
                    problems.append("differs from the staged file: " + name)
    for p in problems:
        print(p)
    if not problems:
        print("the zip holds the %d shipped files" % len(files))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
