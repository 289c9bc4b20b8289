#!/usr/bin/env python3
"""Writes the viewing tests' board files from the deals in deals21.txt and
voids.txt (one deal a line, as Debian's dealer prints them with
printoneline: "n S.H.D.C e S.H.D.C s S.H.D.C w S.H.D.C")."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SEPARATORS = [6, 3, 4, 5]  # before spades, hearts, diamonds, clubs


def record(line):
    words = line.split()
    hands = dict(zip(words[0::2], words[1::2]))
    out = bytearray()
    for seat in "nesw":
        for sep, holding in zip(SEPARATORS, hands[seat].split(".")):
            out.append(sep)
            out += holding.encode("ascii")
    assert len(out) == 68
    return bytes(out) + bytes(60)


def deals(name):
    with open(os.path.join(HERE, name)) as f:
        return [record(l) for l in f if l.strip()]


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


boards = deals("deals21.txt")
write("ONE.DGE", boards[0])
write("BOARDS21.DGE", b"".join(boards))
write("VOIDS.DGE", b"".join(deals("voids.txt")))
write("EMPTY.DGE", b"")
write("PARTIAL.DGE", b"".join(boards[:2]) + boards[2][:60])
# Board 2 loses West's heart separator (the 14th): the record then has 15.
bad = bytearray(boards[1])
seps = [i for i in range(68) if bad[i] in (3, 4, 5, 6)]
bad[seps[13]] = ord("X")
write("DAMAGED.DGE", boards[0] + bytes(bad) + boards[2])
