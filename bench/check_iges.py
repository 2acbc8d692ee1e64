#!/usr/bin/env python3
"""Checks that an IGES file is one notora can read: the record layout, the
sections, the Directory Entry / Parameter Data agreement, the Terminate
counts, and every field of every General Note (212).

    bench/check_iges.py FILE...

Exit status 0 when every file passes, 1 otherwise (the first fault of each
file is printed). Used to keep the benchmark generator honest; it reads the
whole file into memory, so keep it to files of a few hundred megabytes.
"""
import re
import sys

LEAD = set(range(0x81, 0xA0)) | set(range(0xE0, 0xFD))
KANA = set(range(0xA1, 0xE0))
HEX = set(b"0123456789ABCDEFabcdef")
REAL_CHARS = set(b"0123456789.-+DdEe")
REAL_RE = re.compile(rb"[+-]?(\d+\.?\d*|\.\d+)([DdEe][+-]?\d+)?")


class Fault(Exception):
    pass


def numeric(field, what):
    digits = field.replace(b" ", b"")
    if digits and not digits.isdigit():
        raise Fault(f"{what} is not numeric: {field!r}")
    return int(digits) if digits else 0


def sjis_to_jis(lead, trail):
    """JIS X 0208 code of a two-byte Shift-JIS character, or 0."""
    if not (0x40 <= trail <= 0xFC) or trail == 0x7F:
        return 0
    row = lead - (0x81 if lead <= 0x9F else 0xC1)
    j1 = 0x21 + row * 2
    if trail >= 0x9F:
        j1 += 1
        j2 = trail - 0x7E
    else:
        j2 = trail - (0x1F if trail < 0x7F else 0x20)
    if not (0x21 <= j1 <= 0x7E and 0x21 <= j2 <= 0x7E):
        return 0
    return (j1 << 8) | j2


def valid_jis(code):
    """Assigned JIS X 0208 characters (a conservative subset of the rows)."""
    j1, j2 = code >> 8, code & 0xFF
    if not (0x21 <= j2 <= 0x7E):
        return False
    if j1 == 0x21 or 0x30 <= j1 <= 0x4E:
        return True
    if j1 == 0x23:
        return 0x30 <= j2 <= 0x39 or 0x41 <= j2 <= 0x5A or 0x61 <= j2 <= 0x7A
    if j1 == 0x24:
        return j2 <= 0x73
    if j1 == 0x25:
        return j2 <= 0x76
    if j1 == 0x4F:
        return j2 <= 0x53
    return False


class Note:
    """Reads the fields of one General Note as notora reads them."""

    def __init__(self, text, pdelim, rdelim):
        self.t = text
        self.p = pdelim
        self.r = rdelim
        self.next = 4

    def _terminator(self, delim, allow_record):
        i = self.next
        t = self.t
        while i < len(t):
            if t[i] == delim:
                return i
            i += 2 if t[i] in LEAD else 1
        if allow_record:
            i = self.next
            while i < len(t):
                if t[i] == self.r:
                    return i
                i += 2 if t[i] in LEAD else 1
        raise Fault(f"no terminator {chr(delim)!r} after index {self.next}")

    def integer(self, name, delim=None, allow_record=False):
        end = self._terminator(self.p if delim is None else delim, allow_record)
        field = self.t[self.next:end].replace(b" ", b"")
        if not field:
            raise Fault(f"{name}: no value")
        if not field.isdigit():
            raise Fault(f"{name}: not an unsigned integer: {field!r}")
        if len(field) > 25:
            raise Fault(f"{name}: 26 or more digits")
        self.next = end + 1
        return int(field)

    def real(self, name):
        end = self._terminator(self.p, False)
        field = self.t[self.next:end].replace(b" ", b"")
        if not field:
            raise Fault(f"{name}: no value")
        if any(c not in REAL_CHARS for c in field):
            raise Fault(f"{name}: not a real: {field!r}")
        if len(field) > 25:
            raise Fault(f"{name}: 26 or more characters")
        m = REAL_RE.match(field)
        if not m or m.end() != len(field):
            raise Fault(f"{name}: real not written in one piece: {field!r}")
        self.next = end + 1
        return float(field.replace(b"D", b"E").replace(b"d", b"e"))

    def check(self, stats):
        ns = self.integer("NS", allow_record=True)
        if ns <= 0:
            raise Fault("NS not above 0")
        for _ in range(ns):
            nc = self.integer("NC")
            wt = self.real("WT")
            ht = self.real("HT")
            fc = self.integer("FC")
            self.real("SL")
            self.real("A")
            m = self.integer("M")
            vh = self.integer("VH")
            self.real("XS")
            self.real("YS")
            self.real("ZS")
            count = self.integer("TEXT count", delim=ord("H"))
            if nc <= 0:
                raise Fault("NC not above 0")
            if wt == 0:
                raise Fault("WT is 0")
            if ht <= 0:
                raise Fault("HT not above 0")
            if fc <= 0:
                raise Fault("FC not above 0")
            if not 0 <= m <= 2:
                raise Fault("M outside 0..2")
            if not 0 <= vh <= 1:
                raise Fault("VH outside 0..1")
            if count <= 0:
                raise Fault("TEXT count not above 0")
            if self.next + count >= len(self.t):
                raise Fault("TEXT runs past the parameter data")
            text = self.t[self.next:self.next + count]
            after = self.t[self.next + count]
            if after not in (self.p, self.r):
                raise Fault(f"no delimiter after TEXT (found {chr(after)!r})")
            if fc == 2001:
                if count % 4:
                    raise Fault("font 2001 TEXT count not a multiple of 4")
                if any(c not in HEX for c in text):
                    raise Fault("font 2001 TEXT not hexadecimal")
                for i in range(0, count, 4):
                    if not valid_jis(int(text[i:i + 4], 16)):
                        raise Fault(f"font 2001 code {text[i:i + 4]!r} is no JIS X 0208 character")
                stats["jis"] += 1
            i = 0
            while i < count:
                c = text[i]
                if c in LEAD:
                    if i + 1 >= count:
                        raise Fault("TEXT ends inside a two-byte character")
                    code = sjis_to_jis(c, text[i + 1])
                    if not code or not valid_jis(code):
                        raise Fault(f"TEXT holds an invalid Shift-JIS character {text[i:i + 2].hex()}")
                    stats["twobyte"] += 1
                    i += 2
                    continue
                if c in KANA:
                    stats["kana"] += 1
                elif not 0x20 <= c <= 0x7E:
                    raise Fault(f"TEXT holds the byte {c:#04x}")
                i += 1
            stats["vertical"] += vh
            stats["negative"] += wt < 0
            stats["strings"] += 1
            self.next += count + 1
        tail = bytes(c for c in self.t[self.next - 1:] if c != 0x20)
        p, r = bytes([self.p]), bytes([self.r])
        if tail not in (r, p + b"0" + r, p + b"0" + p + b"0" + r):
            raise Fault(f"characters after the last TEXT: {tail[:30]!r}")


def check_file(path):
    data = open(path, "rb").read()
    if not data.endswith(b"\n"):
        raise Fault("the file does not end with a line feed")
    lines = data[:-1].split(b"\n")
    order = "SGDPT"
    counts = dict.fromkeys(order, 0)
    section = 0
    pdelim, rdelim = ord(","), ord(";")
    entries = []  # [type, pointer, count]
    current = None
    text = bytearray()
    stats = dict.fromkeys(["notes", "strings", "jis", "twobyte", "kana", "vertical", "negative"], 0)
    terminate = None
    for number, line in enumerate(lines, 1):
        where = f"record {number}"
        if len(line) != 80:
            raise Fault(f"{where}: {len(line)} columns, not 80")
        letter = chr(line[72])
        if letter not in order:
            raise Fault(f"{where}: column 73 is {letter!r}")
        if order.index(letter) < section:
            raise Fault(f"{where}: {letter} record after a later section")
        section = order.index(letter)
        counts[letter] += 1
        if numeric(line[73:80], f"{where}: sequence number") != counts[letter]:
            raise Fault(f"{where}: sequence number not {counts[letter]}")
        if letter == "G" and counts["G"] == 1:
            if line[0:2] == b"1H":
                pdelim = line[2]
                if line[4:6] == b"1H":
                    rdelim = line[6]
            else:
                pdelim = line[0]
            if (pdelim, rdelim) != (ord(","), ord(";")):
                raise Fault("the Global section does not use the default delimiters")
        elif letter == "D":
            etype = numeric(line[0:8], f"{where}: entity type")
            if counts["D"] % 2:
                entries.append([etype, numeric(line[8:16], f"{where}: pointer"), None])
            else:
                if etype != entries[-1][0]:
                    raise Fault(f"{where}: entity type differs from the record before")
                entries[-1][2] = numeric(line[24:32], f"{where}: line count")
        elif letter == "P":
            m = counts["P"]
            if line[64] != 0x20:
                raise Fault(f"{where}: column 65 not blank")
            de = numeric(line[65:72], f"{where}: directory pointer")
            if de % 2 == 0 or de > 2 * len(entries):
                raise Fault(f"{where}: directory pointer {de} not an odd D number")
            k = (de - 1) // 2
            etype, pointer, count = entries[k]
            if not pointer <= m < pointer + count:
                raise Fault(f"{where}: outside the records of entity {de}")
            if m == pointer:
                if current is not None:
                    raise Fault(f"{where}: entity {2 * current + 1} left incomplete")
                current = k
                text = bytearray()
                if line[3] != pdelim or not line[0:3].isdigit() or int(line[0:3]) != etype:
                    raise Fault(f"{where}: does not begin with the type {etype} and the delimiter")
            elif current != k:
                raise Fault(f"{where}: records of entity {de} not contiguous")
            text += line[:64]
            if m == pointer + count - 1:
                if etype == 212:
                    stats["notes"] += 1
                    try:
                        Note(bytes(text), pdelim, rdelim).check(stats)
                    except Fault as f:
                        raise Fault(f"General Note of D record {de}: {f}")
                current = None
        elif letter == "T":
            terminate = line
    if counts["D"] % 2:
        raise Fault("odd number of D records")
    if current is not None:
        raise Fault("the last entity is incomplete")
    if terminate is None or counts["T"] != 1:
        raise Fault("not exactly one T record")
    expect = b"S%7dG%7dD%7dP%7d" % (counts["S"], counts["G"], counts["D"], counts["P"]) + b" " * 40
    if terminate[:72] != expect:
        raise Fault(f"T record {terminate[:32]!r} does not match the sections")
    pointer = 1
    for k, (_, p, c) in enumerate(entries):
        if p != pointer or c <= 0:
            raise Fault(f"D record {2 * k + 1}: pointer {p} / count {c}, expected pointer {pointer}")
        pointer += c
    if pointer != counts["P"] + 1:
        raise Fault("P records not all owned by an entity")
    return counts, len(entries), stats


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 64
    status = 0
    for path in argv[1:]:
        try:
            counts, entities, s = check_file(path)
        except Fault as f:
            print(f"{path}: FAIL: {f}")
            status = 1
            continue
        except OSError as e:
            print(f"{path}: FAIL: {e}")
            status = 1
            continue
        print(f"{path}: ok: S {counts['S']} G {counts['G']} D {counts['D']} P {counts['P']}, "
              f"{entities} entities, {s['notes']} notes, {s['strings']} strings "
              f"({s['jis']} font 2001, {s['vertical']} vertical, {s['negative']} negative width), "
              f"{s['twobyte']} two-byte and {s['kana']} half-width characters")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
