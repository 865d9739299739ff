#!/usr/bin/env python3
"""Writes src/checkin/name_tables.inc: the canonical compositions a name needs.

Names end up in GBK, so only two kinds of canonical equivalence matter for them: characters
that NFC replaces by another single one (the CJK compatibility ideographs above all), and the
characters GBK holds precomposed (pinyin vowels, kana with voicing marks, Ё, й) that a phone
or another system may send decomposed. Run it again with a newer Python for a newer Unicode.
"""
import sys
import unicodedata as ud


def in_gbk(c):
    try:
        return len(c.encode("gbk")) == 2
    except UnicodeEncodeError:
        return False


singletons, composed = [], []
for cp in range(0x80, 0x110000):
    if 0xD800 <= cp < 0xE000:
        continue
    c = chr(cp)
    nfc = ud.normalize("NFC", c)
    if nfc != c and len(nfc) == 1:
        singletons.append((cp, ord(nfc)))
    elif cp < 0x10000 and in_gbk(c):
        nfd = ud.normalize("NFD", c)
        if len(nfd) > 1:
            composed.append((cp, [ord(x) for x in nfd]))

out = [f"// Made by tools/unicode_tables/make_name_tables.py from Unicode {ud.unidata_version}.",
       "// Characters that NFC replaces by another single one: {from, to}, by `from`.",
       "constexpr char32_t kSingletons[][2] = {"]
out += [f"    {{0x{a:X}, 0x{b:X}}}," for a, b in singletons]
out += ["};", "// Precomposed characters GBK holds and their canonical decompositions (2 or 3).",
        "constexpr char32_t kComposed[][4] = {"]
for cp, seq in composed:
    seq = seq + [0] * (3 - len(seq))
    out.append(f"    {{0x{cp:X}, " + ", ".join(f"0x{x:X}" for x in seq) + "},")
out.append("};")
sys.stdout.write("\n".join(out) + "\n")
