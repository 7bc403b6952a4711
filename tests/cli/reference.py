#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""An independent, literal reading of the listing and the duplicate search, compared row by
row with twinsift-cli on a tree of real file names.

Usage: reference.py TWINSIFT_CLI SOURCE_DIR
Builds a tree of empty files whose names and folders are taken from SOURCE_DIR (at most a
few thousand), then checks `list` in every format and `dups` at several thresholds, from a
walk and from listings given with --from.
"""
import csv
import functools
import io
import json
import os
import random
import subprocess
import sys
import tempfile
from collections import Counter


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
        return "%.15g" % v
    if s > 1000000:
        return general(s / 1000000)[:5] + " MB"
    if s > 1000:
        return general(s / 1000)[:5] + " KB"
    return str(s)


@functools.lru_cache(maxsize=None)
def designed_matches(first: str, second: str) -> int:
    """Each pair of the first stem takes the first unused equal pair of the second: the size
    of the common part of the two multisets."""
    a = Counter(first[k:k + 2] for k in range(len(first) - 1))
    b = Counter(second[k:k + 2] for k in range(len(second) - 1))
    return sum((a & b).values())


def percent_of(m: int, total: int) -> int:
    # Python's round() takes halves to the even neighbour, on the exact fraction here.
    from fractions import Fraction
    return round(Fraction(200 * m, total))


def tsv(cell: bytes) -> bytes:
    return (cell.replace(b"\\", b"\\\\").replace(b"\t", b"\\t")
            .replace(b"\r", b"\\r").replace(b"\n", b"\\n"))


def expected_list(roots):
    rows = [b"No.\tFilename\tSize\tHash\tPath"]
    n = 0
    for root in roots:
        for full, name, size in walk(root):
            n += 1
            cells = [str(n).encode(), name, size_text(size).encode(), str(hash_of(text(name))).encode(), full]
            rows.append(b"\t".join(tsv(c) for c in cells))
    return b"\n".join(rows) + b"\n"


def expected_dups(paths, percent: int):
    """Candidates come in the order given; the name is what follows the last "/"."""
    cands = []
    for full in paths:
        name = full[full.rfind(b"/") + 1:]
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


def as_csv(tsv_rows: bytes) -> bytes:
    """The same rows as RFC 4180 text, written by Python's own csv module."""
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\r\n")
    for line in tsv_rows.split(b"\n")[:-1]:
        writer.writerow(untsv(cell) for cell in line.split(b"\t"))
    return out.getvalue().encode("utf-8", "surrogateescape")


def untsv(cell: bytes) -> str:
    escapes = {b"\\": b"\\", b"t": b"\t", b"r": b"\r", b"n": b"\n"}
    out, k = b"", 0
    while k < len(cell):
        if cell[k:k + 1] == b"\\":
            out += escapes[cell[k + 1:k + 2]]
            k += 2
        else:
            out += cell[k:k + 1]
            k += 1
    return text(out)


def jsonl_matches(got: bytes, tsv_rows: bytes) -> bool:
    """Every line is JSON; the header an array, each row an object whose texts turn back into
    the very bytes of the name, and whose "No." is a number."""
    lines = got.split(b"\n")
    want = [[untsv(c) for c in line.split(b"\t")] for line in tsv_rows.split(b"\n")[:-1]]
    if lines[-1] != b"" or len(lines) - 1 != len(want) or json.loads(lines[0]) != want[0]:
        return False
    for line, cells in zip(lines[1:], want[1:]):
        row = json.loads(line)
        if list(row) != want[0] or row["No."] != int(cells[0]) or \
                [str(v) for v in row.values()][1:] != cells[1:]:
            return False
    return True


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


def run(cli, args, stdin=b"", lang="C.UTF-8"):
    env = dict(os.environ, LC_ALL=lang)
    return subprocess.run([cli] + args, input=stdin, capture_output=True, env=env)


def main():
    cli, source = sys.argv[1], os.fsencode(sys.argv[2])
    checks = []

    def check(what, ok):
        checks.append(ok)
        if not ok:
            print(what, "differs")

    with tempfile.TemporaryDirectory() as tmp:
        root = os.fsencode(tmp) + b"/tree/"
        os.makedirs(root)
        build_tree(source, root)
        # Names real trees hold too: copies, case twins, bytes that are not UTF-8 (the lowest
        # lone continuation byte among them), a byte order mark, and the characters each format
        # must escape, also right after a character of several bytes.
        for extra in [b"Report.doc", b"report (1).doc", b"REPORT - Copy.doc", b"caf\xe9.txt",
                      b"cafe.txt", b"Stra\xc3\x9fe.txt", b"Strasse.txt", b"-dash.txt",
                      b"\xef\xbb\xbfa.txt", b"report\xff.\xef\xbb\xbf", b"reports\xff.\xef\xbb\xbf",
                      b"tab\there.txt", b"line\nfeed.txt", b"quote\"comma,.txt", b"back\\slash.txt",
                      b"lone\x80byte.txt", b"control\x01.txt", b"\xc3\xa9\"after.txt"]:
            open(root + extra, "wb").close()
        listed = expected_list([root])
        check("list", run(cli, ["list", root]).stdout == listed)
        # Scripts read the sizes as they read the headers: alike in every locale.
        check("list in German", run(cli, ["list", root], lang="de_DE.UTF-8").stdout == listed)
        check("list of two folders", run(cli, ["list", root, root]).stdout == expected_list([root, root]))
        check("list as csv", run(cli, ["list", "--format", "csv", root]).stdout == as_csv(listed))
        check("list as jsonl", jsonl_matches(run(cli, ["list", "--format", "jsonl", root]).stdout, listed))

        walked = [full for full, _, _ in walk(root)]
        for percent in (30, 60, 75, 90):
            got = run(cli, ["dups", "--keywords", "/dev/null", "--threshold", str(percent), root]).stdout
            check(f"dups at {percent}", got == expected_dups(walked, percent))
            if percent == 60:
                check("dups as jsonl", jsonl_matches(
                    run(cli, ["dups", "--format", "jsonl", "--keywords", "/dev/null", root]).stdout, got))
                # A listing in the walk's order gives the walk's rows.
                nul = b"\0".join(walked) + b"\0"
                check("--from - --null", run(cli, ["dups", "--keywords", "/dev/null", "--from", "-", "--null"],
                                            nul).stdout == got)
                listing = os.path.join(tmp, "listing.txt")
                lines = [p for p in walked if b"\n" not in p]
                with open(listing, "wb") as f:
                    f.write(b"\r\n".join(lines) + b"\r\n")
                check("--from FILE with CR LF", run(cli, ["dups", "--keywords", "/dev/null", "--from", listing]).stdout
                      == expected_dups(lines, 60))

        # Listings of no machine: empty entries, a CR kept with --null, names as long as names
        # can be, no final separator, and bytes of any kind.
        long = b"x" * 250
        odd = [b"a/report.doc", b"", b"b/reports.doc\r", b"reports.doc", b"/c/" + long + b"a.doc",
               b"d/" + long + b"b.doc", b"dir/", b"e/Report.doc"]
        for nul, entries in ((False, [e.rstrip(b"\r") for e in odd if e]), (True, [e for e in odd if e])):
            sep = b"\0" if nul else b"\n"
            got = run(cli, ["dups", "--keywords", "/dev/null", "--from", "-"] + (["--null"] if nul else []),
                      sep.join(odd))
            check(f"odd listing ({'NUL' if nul else 'lines'})", got.returncode == 0 and got.stdout == expected_dups(entries, 60))
        raw = random.Random(1).randbytes(300000)
        noise = b"\0".join(raw[i:i + 200] for i in range(0, len(raw), 200))
        got = run(cli, ["dups", "--threshold", "30", "--keywords", "/dev/null", "--from", "-", "--null"], noise)
        check("binary listing", got.returncode == 0 and all(len(r.split(b"\t")) == 4 for r in got.stdout.split(b"\n")[:-1]))
    print(f"{sum(checks)} passed, {len(checks) - sum(checks)} failed")
    return 0 if all(checks) else 1


if __name__ == "__main__":
    sys.exit(main())
