#!/usr/bin/env python3
"""Checks a verified lucky draw with nothing but Python's standard library.

    python3 verify_draw.py 公证记录.jsonl 公证名单.txt [抽奖结果.txt]

It reads the chained record, checks every link and the commitment, computes the seed from the
revealed secret, the hall's digits and the sealed list's fingerprint, replays every pick and
compares it with the recorded winner (and, when given, with the results file's line). It
prints the winners per level and 复核通过, or where the draw differs. The formulas are the
program's own, written down in its README.
"""
import hashlib
import hmac
import json
import sys

OPEN, CLOSE = "\uff08", "\uff09"


def fail(where):
    print("复核未通过：" + where)
    sys.exit(1)


def unique_keys(pairs):
    # A key given twice would read one way here and another in other readers.
    if len({key for key, _ in pairs}) != len(pairs):
        raise ValueError("a key twice")
    return dict(pairs)


def read_record(path):
    entries, prev = [], ""
    # Split at LF alone, as the program does: a name may hold other line breaks (U+2028).
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    for number, line in enumerate(lines[:-1] if lines[-1] == "" else lines, 1):
        line = line[:-1] if line.endswith("\r") else line
        at = line.rfind(',"hash":"')
        try:
            entry = json.loads(line, object_pairs_hook=unique_keys)
        except ValueError:
            fail(f"公证记录第 {number} 行不是完整的记录")
        if type(entry.get("n")) is not int:
            fail(f"公证记录第 {number} 行不是完整的记录")
        body = line[:at] if at >= 0 else ""
        if (entry.get("n") != number or entry.get("prev") != prev or
                entry.get("hash") != hashlib.sha256(body.encode()).hexdigest()):
            fail(f"公证记录第 {number} 行与前面的记录接不上（被改动、删除或调换过）")
        prev = entry["hash"]
        entries.append(entry)
    return entries


def read_list(path):
    text = open(path, "rb").read()
    levels, names = {}, []
    for line in text.decode("utf-8").split("\n")[1:-1]:
        fields = line.split("\t")
        if fields[0] == "level":
            split = lambda s: s.split("、") if s else []
            # Two levels of one name: the first is the one drawn.
            levels.setdefault(fields[1], (split(fields[4]), split(fields[5]), int(fields[2])))
        else:
            names.append(fields[1])
    return text, levels, sorted(names, key=lambda s: s.encode())


def allowed(name, groups, excluded):
    plain, group = name, ""
    at = name.rfind(OPEN)
    if at > 0 and name.endswith(CLOSE):
        group = name[at + 1:-1].strip(" \t\u3000")
        if group:
            plain = name[:at]
    if name in excluded or plain in excluded:
        return False
    return not groups or group in groups


def pick(seed, level, k, n):
    counter, rest = 0, (2 ** 64) % n
    while True:
        message = f"pick\n{level}\n{k}\n{counter}".encode()
        x = int.from_bytes(hmac.new(seed, message, hashlib.sha256).digest()[:8], "big")
        if x < 2 ** 64 - rest:
            return x % n
        counter += 1


def main():
    entries = read_record(sys.argv[1])
    text, levels, pool = read_list(sys.argv[2])
    results = open(sys.argv[3], encoding="gb18030", errors="replace", newline="").read().split("\r\n") if len(sys.argv) > 3 else None
    seal = entries[0]
    fingerprint = hashlib.sha256(text).hexdigest()
    if seal.get("type") != "seal" or fingerprint != seal.get("fingerprint"):
        fail("名单与封存时的指纹不符（名单被改动过）")
    # The program's order: one seal, one seed before any stop, the reveal last.
    seeded = False
    for number, e in enumerate(entries[1:], 2):
        where = f"公证记录第 {number} 行"
        if e["type"] == "seal" or (e["type"] == "seed" and seeded):
            fail(where + "重复了封存或现场数字")
        if e["type"] == "reveal" and number != len(entries):
            fail(where + "公布密钥后还有记录")
        if e["type"] == "stop" and (not seeded or not isinstance(e.get("winners"), list) or
                                    not e["winners"] or not isinstance(e.get("lines"), list) or
                                    len(e["lines"]) != len(e["winners"])):
            fail(where + "的抽取不完整或在现场数字之前")
        seeded = seeded or e["type"] == "seed"
    digits = next((e["digits"] for e in entries if e["type"] == "seed"), "")
    secret = next((e["secret"] for e in entries if e["type"] == "reveal"), None)
    if len(digits) < 18 or not (digits.isascii() and digits.isdigit()):
        fail("现场数字少于 18 位或含有其他字符")
    # As the program writes it: 64 lower-case hex digits, nothing else.
    if secret is None or len(secret) != 64 or any(c not in "0123456789abcdef" for c in secret):
        fail("记录中没有公布密钥（结束公证后才能复核）")
    if hashlib.sha256(bytes.fromhex(secret)).hexdigest() != seal.get("commitment"):
        fail("公布的密钥与封存时的承诺不符")
    seed = hashlib.sha256(f"luckydraw seed v1\n{secret}\n{digits}\n{fingerprint}".encode()).digest()
    won, held, claimed, k = {}, {}, set(), 0  # held: each level's winners who did not give up
    for e in entries:
        if e["type"] == "forfeit" and e["name"] in won.get(e["level"], []):
            held[e["level"]] -= 1
        if e["type"] == "unverified":
            fail(f"抽奖结果.txt 第 {e['line']} 行的中奖人 {e['name']} 不是公证抽取的结果")
        if e["type"] != "stop":
            continue
        level = e["level"]
        groups, excluded, count = levels[level]
        for i, recorded in enumerate(e["winners"]):
            eligible = [n for n in pool if allowed(n, groups, excluded)]
            k += 1
            where = f"第 {k} 次抽取（{level}）"
            held[level] = held.get(level, 0) + 1
            if held[level] > count:
                fail(where + "超出了封存的人数")
            if not eligible:
                fail(where + "已没有可以中奖的人")
            computed = eligible[pick(seed, level, k, len(eligible))]
            if computed != recorded:
                fail(f"{where}计算为 {computed}，记录为 {recorded}")
            pool.remove(computed)
            won.setdefault(level, []).append(computed)
            if results is not None:
                number = e["lines"][i]
                line = int(number) if number.isascii() and number.isdigit() and len(number) < 10 else 0
                if not 0 < line <= len(results) or results[line - 1] != f"{computed}  ------  {level}":
                    fail(f"抽奖结果.txt 第 {line} 行与{where}不符")
                claimed.add(line)
    # Between the seal and the last pick every winner's line is a pick's.
    if claimed:
        for line in range(int(seal.get("lines_before") or 0) + 1, max(claimed) + 1):
            if "  ------  " in results[line - 1] and line not in claimed:
                fail(f"抽奖结果.txt 第 {line} 行的中奖人不在公证记录中")
    for level in levels:
        if won.get(level):
            print(f"{level}：" + "、".join(won[level]))
    print("复核通过")


if __name__ == "__main__":
    try:
        main()
    except (KeyError, TypeError, ValueError, AttributeError, IndexError, OSError) as error:
        fail(f"公证记录或名单读不到或不完整（{error!r}）")
