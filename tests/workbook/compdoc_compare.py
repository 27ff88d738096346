"""Reads streams of a compound document with xlrd's own container reader and compares them.

Usage: compdoc_compare.py DOCUMENT NAME=EXPECTED_FILE...
Exit status 0 when every named stream holds exactly the bytes of its file.
"""
import sys

from xlrd import compdoc


def main():
    with open(sys.argv[1], "rb") as f:
        doc = compdoc.CompDoc(f.read(), logfile=sys.stderr)
    errors = 0
    for pair in sys.argv[2:]:
        name, path = pair.split("=", 1)
        with open(path, "rb") as f:
            want = f.read()
        got = doc.get_named_stream(name)
        if got != want:
            print("%s: %s bytes, expected %d" % (name, "no" if got is None else len(got),
                                                 len(want)))
            errors += 1
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
