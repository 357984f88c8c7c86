#!/usr/bin/env python3
"""Rewrites per-session table accesses into accesses of the session's record.

    X.SendFlag[i]                      ->  X[i].SendFlag
    X.SendFlag[U(i)]                   ->  X[i].SendFlag
    X.SendFlag[static_cast<std::size_t>(i)]  ->  X[i].SendFlag
    awaitingFirstScreen_[U(s)]         ->  sessions_[s].AwaitingFirstScreen

where X is any expression ending in `sessions_`, `sessions`, `Sessions()` or
`S()` (the SessionState the code holds).  Only the first index moves; a
second one stays (`PrintedTexts[s][n]` -> `[s].PrintedTexts[n]`).

It is mechanical and idempotent, so it can be run again over a branch that
still has the old spelling:

    python3 scripts/session_records.py FILE_OR_DIR...

Files are rewritten in place; the ones changed are printed.
"""
import os
import re
import sys

# SessionState's tables that became members of Session, same names.
FIELDS = [
    "Terminal_Connected", "SendFlag", "ReadyToSendFlag", "InNewScreen", "CurrentScreen",
    "ScreenIdValue", "SessionUser", "SessionVarAux", "ErrorLineText", "IdleTicks",
    "StartCount", "PendingKeys", "TerminalScreen", "PrintedTexts",
]
# The gateway's own per-session arrays, which became members of Session.
GATEWAY = {
    "awaitingFirstScreen_": "AwaitingFirstScreen",
    "hostReached_": "HostReached",
    "queueTimer_": "QueueTimer",
    "hostMovedSincePiece_": "HostMovedSincePiece",
}
OWNER = r"(?:sessions_|sessions|Sessions\(\)|S\(\))"
TABLE = re.compile(r"(?<!\w)(" + OWNER + r")\.(" + "|".join(FIELDS) + r")\[")
OWN = re.compile(r"(?<![\w.>])(" + "|".join(GATEWAY) + r")\[")
CAST = re.compile(r"^(?:U|static_cast<std::size_t>)\((.*)\)$")


def closing(text, open_at):
    """Index of the ']' that closes the '[' at open_at."""
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] in "[(":
            depth += 1
        elif text[i] in "])":
            depth -= 1
            if depth == 0:
                return i
    raise ValueError("unbalanced index at %d" % open_at)


def bare(index):
    """The index without a cast to std::size_t around all of it."""
    m = CAST.match(index.strip())
    if m and closing("(" + m.group(1) + ")", 0) == len(m.group(1)) + 1:
        return m.group(1)
    return index


def rewrite(text):
    out = []
    pos = 0
    while True:
        a = TABLE.search(text, pos)
        b = OWN.search(text, pos)
        m = min((x for x in (a, b) if x), key=lambda x: x.start(), default=None)
        if m is None:
            out.append(text[pos:])
            return "".join(out)
        open_at = m.end() - 1
        close_at = closing(text, open_at)
        index = bare(text[open_at + 1:close_at])
        out.append(text[pos:m.start()])
        if m is a:
            out.append("%s[%s].%s" % (m.group(1), index, m.group(2)))
        else:
            out.append("sessions_[%s].%s" % (index, GATEWAY[m.group(1)]))
        pos = close_at + 1


def files(paths):
    for p in paths:
        if os.path.isdir(p):
            for root, _, names in os.walk(p):
                for n in sorted(names):
                    if n.endswith((".h", ".cpp")):
                        yield os.path.join(root, n)
        else:
            yield p


def main(paths):
    for f in files(paths):
        with open(f, encoding="latin-1") as fh:
            old = fh.read()
        new = rewrite(old)
        if new != old:
            with open(f, "w", encoding="latin-1") as fh:
                fh.write(new)
            print(f)


if __name__ == "__main__":
    main(sys.argv[1:] or ["src", "tests", "bench", "fuzz", "apps"])
