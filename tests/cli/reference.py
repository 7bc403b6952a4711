#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""An independent, literal reading of the listing and the duplicate search, compared row by
row with twinsift-cli on a tree of real file names.

Usage: reference.py TWINSIFT_CLI SOURCE_DIR
Builds a tree of empty files whose names and folders are taken from SOURCE_DIR (at most a
few thousand), then checks `list` and `dups` at several thresholds.
"""
import os
import subprocess
import sys
import tempfile


def fold(name: bytes):
    return (bytes(c + 32 if 65 <= c <= 90 else c for c in name), name)


def walk(folder: bytes):
    """Depth first, each folder's entries in folded name order; hidden names skipped."""
    for name in sorted((n for n in os.listdir(folder) if not n.startswith(b".")), key=fold):
        full = folder + name
        if os.path.islink(full):
            if os.path.isfile(full):
                yield full, name, os.stat(full).st_size
        elif os.path.isdir(full):
            yield from walk(full + b"/")
        elif os.path.isfile(full):
            yield full, name, os.stat(full).st_size


def text(name: bytes) -> str:
    return name.decode("utf-8", "surrogateescape")


def units(s: str):
    """UTF-16 code units, as the program counts characters."""
    return s.encode("utf-16-le", "surrogatepass")


def chars(s: str):
    b = units(s)
    return [int.from_bytes(b[i:i + 2], "little") for i in range(0, len(b), 2)]


def upper(c: int) -> int:
    if c >= 0xD800 and c <= 0xDFFF:
        return c
    u = chr(c).upper()
    return ord(u) if len(u) == 1 and ord(u) < 0x10000 else c


def hash_of(name: str) -> int:
    cs = chars(name)
    return 33 * sum(upper(c) - 64 for c in cs[: max(len(cs) - 4, 0)] if 65 <= upper(c) <= 90)


def letters_only(name: str) -> str:
    cs = chars(name)
    return "".join(chr(upper(c)) for c in cs[: max(len(cs) - 3, 0)] if 65 <= upper(c) <= 90)


def ext_upper(name: str):
    return tuple(upper(c) for c in chars(name)[-3:])


def size_text(s: int) -> str:
    def general(v):
        return ("%.15g" % v)
    if s > 1000000:
        return general(s / 1000000)[:5] + " MB"
    if s > 1000:
        return general(s / 1000)[:5] + " KB"
    return str(s)


def designed_matches(first: str, second: str) -> int:
    a = [first[k:k + 2] for k in range(len(first) - 1)]
    b = [second[k:k + 2] for k in range(len(second) - 1)]
    m = 0
    for p in a:
        for j, q in enumerate(b):
            if q == p:
                m += 1
                b[j] = ""
                break
    return m


def percent_of(m: int, total: int) -> int:
    # Python's round() takes halves to the even neighbour, on the exact fraction here.
    from fractions import Fraction
    return round(Fraction(200 * m, total))


def tsv(cell: bytes) -> bytes:
    return (cell.replace(b"\\", b"\\\\").replace(b"\t", b"\\t")
            .replace(b"\r", b"\\r").replace(b"\n", b"\\n"))


def expected_list(root: bytes):
    rows = [b"No.\tFilename\tSize\tHash\tPath"]
    for n, (full, name, size) in enumerate(walk(root), 1):
        cells = [str(n).encode(), name, size_text(size).encode(), str(hash_of(text(name))).encode(), full]
        rows.append(b"\t".join(tsv(c) for c in cells))
    return b"\n".join(rows) + b"\n"


def expected_dups(root: bytes, percent: int):
    cands = []
    for full, name, _ in walk(root):
        stem = letters_only(text(name))
        if len(stem) > 1:
            cands.append((stem, full, ext_upper(text(name))))
    rows = [b"No.\tFile1\tFile2\tSimilarity(%)"]
    number = 0
    for i in range(len(cands)):
        for j in range(i + 1, len(cands)):
            if cands[i][2] != cands[j][2]:
                continue
            a, b = len(cands[i][0]) - 1, len(cands[j][0]) - 1
            m = designed_matches(cands[i][0], cands[j][0])
            if 200 * m > percent * (a + b):
                number += 1
                cells = [str(number).encode(), cands[i][1], cands[j][1], str(percent_of(m, a + b)).encode()]
                rows.append(b"\t".join(tsv(c) for c in cells))
    return b"\n".join(rows) + b"\n"


def build_tree(source: bytes, target: bytes, limit: int = 1500):
    made = 0
    for folder, dirs, files in os.walk(source):
        dirs.sort()
        rel = os.path.relpath(folder, source)
        for name in sorted(files):
            if made >= limit:
                return
            dest = os.path.join(target, rel) if rel != b"." else target
            os.makedirs(dest, exist_ok=True)
            with open(os.path.join(dest, name), "wb") as f:
                f.write(b"x" * (made * 7919 % 3000))
            made += 1


def main():
    cli, source = sys.argv[1], os.fsencode(sys.argv[2])
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        root = os.fsencode(tmp) + b"/tree/"
        os.makedirs(root)
        build_tree(source, root)
        # Names real trees hold too: copies, case twins, bytes that are not UTF-8.
        for extra in [b"Report.doc", b"report (1).doc", b"REPORT - Copy.doc", b"caf\xe9.txt",
                      b"cafe.txt", b"Stra\xc3\x9fe.txt", b"Strasse.txt", b"-dash.txt"]:
            open(root + extra, "wb").close()
        env = dict(os.environ, LC_ALL="C.UTF-8")
        got = subprocess.run([cli, "list", root], capture_output=True, env=env).stdout
        if got != expected_list(root):
            failures += 1
            print("list differs")
        for percent in (30, 60, 75, 90):
            got = subprocess.run([cli, "dups", "--keywords", "/dev/null", "--threshold", str(percent), root],
                                 capture_output=True, env=env).stdout
            if got != expected_dups(root, percent):
                failures += 1
                print(f"dups at {percent} differs")
    print(f"{5 - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
