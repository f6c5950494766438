#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets (corpus/<target>/<name>).

Each seed is a small, named case: the worked examples, the edge cases of each rule, hostile
table and list shapes. The encodings follow FuzzInput.h, FuzzTables.h and the comments at the
top of each target. Run it after changing an encoding; fuzzer-found regressions are added to
the corpus directories by hand (named regression-*) and are left alone here.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# FuzzTables.cpp, in order.
INTERESTING = ["/CH", "-ch", "/HW", "-hw", "/BL", "-Bl", "/NOSEQ", "-noseq", "/ITDELIM",
               "-ItDelim", "/KS", "-ks", "/VAL", "-Val", "/DB", "-db", "/PS", "/NOSERVICE",
               "/KS=5", "/CH ", "-x", "", "5", "15", "33", "63", "1000", "abc", "%", "a",
               '"x"', "a b", "0", "/A /B=1", "abc-def", "x;y"]


def units(text):
    """Text in the fuzz encoding: Latin-1 as itself, everything else escaped by 0xFF."""
    out = bytearray()
    raw = text.encode("utf-16-le", "surrogatepass")
    for (code,) in struct.iter_unpack("<H", raw):
        if code < 0xFF:
            out.append(code)
        else:
            out += bytes([0xFF]) + struct.pack("<H", code)
    return bytes(out)


def unit_count(text):
    return len(text.encode("utf-16-le", "surrogatepass")) // 2


def short_text(text):
    return bytes([unit_count(text)]) + units(text)


# Cells (FuzzTables.cpp CellKind).
def empty():
    return bytes([0])


def null():
    return bytes([1])


def small_int(n):
    return bytes([2, n & 0xFF])


def integer(n):
    return bytes([3]) + struct.pack("<q", n)


def real(x):
    return bytes([4]) + struct.pack("<d", x)


def boolean(b):
    return bytes([5, 1 if b else 0])


def string(text):
    return bytes([6]) + short_text(text)


def unsupported():
    return bytes([7])


def interesting(text):
    return bytes([8, INTERESTING.index(text)])


def repeated(piece, length):
    return bytes([10]) + short_text(piece) + struct.pack("<H", length)


def cell(value):
    if isinstance(value, bytes):
        return value
    if value in INTERESTING:
        return interesting(value)
    return string(value)


def lower_bound(n):
    return bytes([0]) if n == 0 else bytes([0x80 | (n & 0x7F)])


def table(rows, columns=3, column_lower=0, row_lower=0):
    out = bytes([2]) + lower_bound(column_lower) + bytes([columns])
    out += lower_bound(row_lower) + bytes([len(rows)])
    for row in rows:
        assert len(row) == columns
        out += b"".join(cell(value) for value in row)
    return out


def rank(n, counts=(3, 1, 1)):
    out = bytes([n])
    for d in range(n):
        out += lower_bound(0) + bytes([counts[d]])
    return out


# Edit-and-generate operations (EditAndGenerateFuzzer.cpp Operation).
BOXES = {"CH": 0, "HW": 1, "BL": 2, "NOSEQ": 3, "ITDELIM": 4, "KS": 5, "VAL": 6,
         "DB0": 7, "DB1": 8, "DB2": 9, "DB3": 10, "DB4": 11, "DB5": 12}
FIELDS = {"delimiter": 0, "glf": 1, "output": 2, "additional": 3}
SHAPES = {"one-empty-row": 0, "one-named-row": 2, "three-empty-rows": 3, "fixed-size": 4,
          "locked": 5, "three-columns": 6, "rows-from-one": 7, "no-rows": 8,
          "one-dimension": 9}


# Each helper returns a list of operations; `answer` appends the answer to a box that the
# last of them shows, read right after it.
def click(box, answer=b""):
    return [bytes([0, BOXES[box]]) + answer]


def set_box(box, value):
    return [bytes([1, BOXES[box], value])]


def paste(field, text):
    if text in INTERESTING:
        return [bytes([2, FIELDS[field], 1 | (INTERESTING.index(text) << 1)])]
    return [bytes([2, FIELDS[field], 0]) + short_text(text)]


def type_text(field, text):
    return [bytes([3, FIELDS[field]]) + units(ch) for ch in text]


def insert(field, position, ch):
    return [bytes([4, FIELDS[field], position]) + units(ch)]


def delete(field, position):
    return [bytes([5, FIELDS[field], position])]


def clear(field):
    return [bytes([6, FIELDS[field]])]


def paste_long(field, piece, length):
    return [bytes([9, FIELDS[field]]) + short_text(piece) + struct.pack("<H", length)]


def save(answers=b""):
    return [bytes([7]) + answers]


def well_formed(rows):
    out = bytes([len(rows)])
    for name, value, marker in rows:
        out += bytes([INTERESTING.index(name)]) + short_text(value) + bytes([marker])
    return out


def load(rows, answers=b""):
    return [bytes([8]) + well_formed(rows) + answers]


def session(steps, shape="one-empty-row", log_fails=False, first_load=None, answers=b""):
    """`steps`: lists of operations; `answers`: for the final generation's questions."""
    ops = [op for step in steps for op in step]
    options = (1 if log_fails else 0) | (2 if first_load is not None else 0)
    options |= SHAPES[shape] << 2
    out = bytes([options])
    if first_load is not None:
        out += well_formed(first_load)
    return out + bytes([len(ops)]) + b"".join(ops) + answers


YES, NO = b"\x00", b"\x01"

TOKENIZER = {
    "worked-example": '/KS=5 -CH "/PATH=c:\\my dir" /Q="x"',
    "empty": "",
    "noservice": "NOSERVICE",
    "no-prefix": "abc",
    "spaces-only": "   ",
    "positional-with-dash": "abc-def",
    "flag": "/X",
    "empty-value": "/X=",
    "second-equals": "/X=a=b",
    "space-before-equals": "/X =5",
    "space-after-equals": "/X= 5",
    "empty-quotes": '/X=""',
    "value-with-space": "/X=a b /Y",
    "words-after-switch": "/A one two /B",
    "dashes-only": "-X=1 -Y",
    "mixed-prefixes": "-X=1 /Y",
    "slash-inside-value": "-X=a/b -Y",
    "leading-spaces": "  /A /B",
    "quoted-value-cut": '/P="c:\\a /b"',
    "open-quote-token": '/A "/B=1',
    "lone-quote-value": '/X="',
    "loaded-additional": "/PS=1 /NOSERVICE ",
    "tab-is-no-space": "/A\t/B=1\t2",
    "latin1-and-beyond": "/NAME=Gr\u00fc\u00dfe /\u20ac=\u00ff",
    "lone-surrogate": "/X=\ud83d /Y",
    "nul-inside": "/X=a\0b /Y",
}

LOAD = {
    "round-trip": bytes([0]) + table([["/KS", "5", small_int(0)], ["-ch", "", small_int(0)],
                                      ["/PS", "1", small_int(0)]]) + short_text("D:\\Other"),
    "all-spellings": bytes([0]) + table(
        [[s, "7", empty()] for s in ["/CH", "-ch", "/HW", "-hw", "/BL", "-Bl", "/NOSEQ",
                                     "-noseq", "/ITDELIM", "-ItDelim", "/KS", "-ks", "/VAL",
                                     "-Val"]] + [["/DB", "5", empty()]]) + short_text(""),
    "db-33-answer-no": bytes([0]) + table([["/DB", "33", empty()]]) + short_text("") + NO,
    "db-48-answer-yes": bytes([0]) + table([["/DB", "48", empty()], ["-db", "1", empty()]])
    + short_text("") + YES,
    "db-not-digits": bytes([0]) + table([["/DB", "-1", empty()], ["/DB", "2.5", empty()],
                                         ["/DB", "abc", empty()]]) + short_text(""),
    "db-null-value": bytes([0]) + table([["/DB", null(), empty()], ["/CH", "", empty()]])
    + short_text(""),
    "unknown-and-markers": bytes([0]) + table(
        [["/PS", "1", small_int(0)], ["/NOSERVICE", "", string("0")], ["/X", "", small_int(1)],
         ["/CH ", "", empty()], ["/KS=5", "", real(0.0)], ["-x", '"a b"', boolean(False)]])
    + short_text(""),
    "marker-not-a-number": bytes([0]) + table([["/PS", "1", string("abc")]]) + short_text(""),
    "marker-null": bytes([0]) + table([["/PS", "1", null()], ["/CH", "", empty()]])
    + short_text(""),
    "switch-null": bytes([0]) + table([["/CH", "", empty()], [null(), "", empty()]])
    + short_text(""),
    "value-unsupported": bytes([0]) + table([["/KS", unsupported(), empty()]]) + short_text(""),
    "rows-from-one": bytes([0]) + table([["/CH", "", empty()]], row_lower=1) + short_text(""),
    "rows-from-minus-one": bytes([0]) + table([["/PS", "", empty()], ["/CH", "", empty()]],
                                              row_lower=-1) + short_text(""),
    "columns-from-one": bytes([0]) + table([["/CH", "", empty()]], column_lower=1)
    + short_text(""),
    "two-columns-unknown": bytes([0]) + table([["/CH", ""], ["/PS", "1"]], columns=2)
    + short_text(""),
    "one-column-value-switch": bytes([0]) + table([["/KS"]], columns=1) + short_text(""),
    "no-rows": bytes([0]) + table([]) + short_text("C:\\x"),
    "rank-0": bytes([0]) + rank(0) + short_text(""),
    "rank-1": bytes([0]) + rank(1) + short_text(""),
    "rank-3": bytes([0]) + rank(3) + short_text(""),
    "rank-3-no-rows": bytes([0, 3, 0, 3, 0, 0, 0, 1]) + short_text(""),
    "delimiter-twice": bytes([0]) + table([["/ITDELIM", "ab", empty()],
                                           ["/ITDELIM", "xyz", empty()],
                                           ["/ITDELIM", "XYZ", empty()]]) + short_text(""),
    "ks-emptied-later": bytes([0]) + table([["/KS", "5", empty()], ["/KS", "", empty()],
                                            ["/KS", "abc", empty()]]) + short_text(""),
    "numbers-as-values": bytes([0]) + table(
        [["/VAL", small_int(7), empty()], ["/KS", real(2.5), empty()],
         ["/PS", integer(-9223372036854775808), empty()], ["/Q", real(float("nan")), empty()],
         ["/R", real(1e300), empty()], ["/B", boolean(True), empty()],
         ["/DB", integer(1000), empty()]]) + short_text(""),
    "log-fails-and-load-fails": bytes([1]) + table([["/CH", "", empty()],
                                                    ["/PS", "1", null()]]) + short_text(""),
    "db-32767-digits": bytes([0]) + table([["/DB", repeated("7", 32767), empty()]])
    + short_text("") + YES,
    "db-32768-digits": bytes([0]) + table([["/DB", repeated("7", 32768), empty()]])
    + short_text(""),
    "ks-long-value-on-checked-box": bytes([0]) + table([["/KS", "5", empty()],
                                                         ["/KS", repeated("1", 32767), empty()],
                                                         ["/VAL", repeated("x", 40000), empty()]])
    + short_text(""),
    "two-loads": bytes([2]) + table([["/KS", "5", empty()], ["/DB", "32", empty()]])
    + table([["/VAL", "1", empty()]]) + short_text("") + YES,
}

EDIT = {
    "round-trip": session([clear("glf"), type_text("glf", "15")],
                          first_load=[("/KS", "5", 0), ("-ch", "", 0), ("/PS", "1", 0)]),
    "glf-empty-answer-no": session([click("KS")], answers=NO),
    "glf-empty-answer-yes": session([click("KS")], answers=YES),
    "glf-refused-number": session([click("KS"), type_text("glf", "1.5")], answers=YES),
    "delimiter-typing": session([click("ITDELIM"), type_text("delimiter", "ab"),
                                 insert("delimiter", 0, "b")]),
    "delimiter-refused": session([click("ITDELIM"), paste("delimiter", "%")], answers=NO),
    "delimiter-emptied": session([click("ITDELIM"), type_text("delimiter", "x"),
                                  delete("delimiter", 0)], answers=YES),
    "debug-boxes": session([click("DB0"), click("DB2"), click("DB5", YES)]),
    "debug-testing-no": session([click("DB5", NO), click("DB4")]),
    "debug-testing-off-again": session([click("DB5", YES), click("DB5")]),
    "all-flags-level-5": session([click("BL"), click("CH"), click("HW"), click("NOSEQ"),
                                  click("DB0"), click("DB2")]),
    "grayed-boxes": session([set_box("KS", 2), set_box("CH", 2), set_box("ITDELIM", 1),
                             set_box("ITDELIM", 2), type_text("glf", "x")], answers=YES),
    "disabled-field-text": session([type_text("delimiter", "ab"), click("ITDELIM"),
                                    type_text("output", "z"), click("VAL")], answers=NO),
    "additional-worked-example": session([paste("additional",
                                                '/KS=5 -CH "/PATH=c:\\my dir" /Q="x"')]),
    "additional-positional-words": session([paste("additional", "/A one two /B x /C")]),
    "additional-open-quote": session([paste("additional", '/A "/B=1 /C')]),
    "additional-no-prefix": session([paste("additional", "NOSERVICE")]),
    "additional-dashes": session([paste("additional", "-A -B")]),
    "save-twice": session([click("CH"), click("KS"), save(NO), click("KS"),
                           type_text("glf", "5"), save()], answers=YES),
    "load-in-between": session([click("HW"), load([("/ITDELIM", "q", 0), ("/DB", "33", 0)],
                                                  YES), click("ITDELIM")]),
    "log-fails-prompt": session([click("VAL"), paste("additional", "abc")], log_fails=True,
                                answers=NO),
    "glf-32767-digits": session([click("KS"), paste_long("glf", "1", 32767)]),
    "glf-32768-digits": session([click("KS"), paste_long("glf", "1", 32768)], answers=NO),
    "additional-32766-tokens": session([paste_long("additional", "/ ", 2 * 32766)]),
    "additional-32767-tokens": session([paste_long("additional", "- ", 2 * 32767)]),
    "delimiter-long-paste": session([click("ITDELIM"), paste_long("delimiter", "ab", 60000)]),
    "shape-fixed-size": session([click("BL"), click("CH"), paste("additional", "/A /B")],
                                shape="fixed-size"),
    "shape-locked": session([click("CH"), click("KS"), type_text("glf", "x")], shape="locked",
                            answers=YES),
    "shape-named-row": session([click("NOSEQ")], shape="one-named-row"),
    "shape-three-empty-rows": session([click("NOSEQ"), paste("additional", "/X")],
                                      shape="three-empty-rows"),
    "shape-three-columns": session([click("HW"), paste("additional", "/X")],
                                   shape="three-columns"),
    "shape-rows-from-one": session([click("HW")], shape="rows-from-one"),
    "shape-no-rows": session([paste("additional", "/X=1")], shape="no-rows"),
    "shape-one-dimension": session([click("KS")], shape="one-dimension", answers=YES),
    "log-fails-shape-fixed": session([click("BL"), click("CH"), click("KS")],
                                     shape="fixed-size", log_fails=True, answers=YES),
}

# PE files with a version resource, built by hand: headers, one ".rsrc" section, the resource
# tree type 16 -> name 1 -> languages -> data entry, and a VS_VERSIONINFO without children.
def version_info(ms, ls, key="VS_VERSION_INFO", value_length=52, signature=0xFEEF04BD):
    fixed = struct.pack("<13I", signature, 0x00010000, ms, ls, ms, ls, 0x3F, 0, 4, 1, 0, 0, 0)
    head = struct.pack("<HHH", 0, value_length, 0) + (key + "\0").encode("utf-16-le")
    head += b"\0" * (-len(head) % 4)
    block = head + fixed
    return struct.pack("<H", len(block)) + block[2:]


def directory(entries, named=0):
    out = struct.pack("<IIHHHH", 0, 0, 0, 0, named, len(entries) - named)
    for name, target in entries:
        out += struct.pack("<II", name, target)
    return out


def pe(info, languages=(0x409,), plus=False, named_entry=False, resource_directories=16,
       data_size=None, cut=None):
    section_rva, raw_offset = 0x1000, 0x200
    # Resource tree, offsets from the start of the section.
    root_entries = [(0x80000000 | 0x7FF0, 0x80000000 | 0x7FF0)] if named_entry else []
    root_size = 16 + 8 * (len(root_entries) + 1)
    names_offset = root_size
    languages_offset = names_offset + 24
    data_offset = languages_offset + 16 + 8 * len(languages)
    info_offset = data_offset + 16 * len(languages)
    root = directory(root_entries + [(16, 0x80000000 | names_offset)], named=len(root_entries))
    names = directory([(1, 0x80000000 | languages_offset)])
    langs = directory([(lang, data_offset + 16 * i) for i, lang in enumerate(languages)])
    data = b"".join(struct.pack("<IIII", section_rva + info_offset,
                                len(info) if data_size is None else data_size, 0, 0)
                    for _ in languages)
    section = root + names + langs + data + info
    section += b"\0" * (-len(section) % 0x200)

    optional_size = 240 if plus else 224
    count_offset = 108 if plus else 92
    optional = bytearray(optional_size)
    struct.pack_into("<H", optional, 0, 0x20B if plus else 0x10B)
    struct.pack_into("<I", optional, count_offset, resource_directories)
    if resource_directories > 2:
        struct.pack_into("<II", optional, count_offset + 4 + 16, section_rva, len(section))
    headers = bytearray(b"MZ" + b"\0" * 0x3A + struct.pack("<I", 0x40))
    headers += b"PE\0\0" + struct.pack("<HHIIIHH", 0x8664 if plus else 0x14C, 1, 0, 0, 0,
                                         optional_size, 0x0102)
    headers += optional
    headers += b".rsrc\0\0\0" + struct.pack("<IIIIIIHHI", len(section), section_rva,
                                              len(section), raw_offset, 0, 0, 0, 0, 0x40000040)
    image = bytes(headers) + b"\0" * (raw_offset - len(headers)) + section
    return image if cut is None else image[:cut]


V = version_info(0x00020005, 0x000A012C)  # 2.5.10.300

VERSION = {
    "pe32-2.5.10.300": pe(V),
    "pe32plus-2.5.10.300": pe(V, plus=True),
    "halves-40000-and-65535": pe(version_info(0x9C40FFFF, 0x00000001)),
    "neutral-language-preferred": pe(V, languages=(0x407, 0x000)),
    "german-only": pe(version_info(0x00010000, 0), languages=(0x407,)),
    "named-entry-first": pe(V, named_entry=True),
    "wrong-key": pe(version_info(1, 2, key="VS_VERSION_INFQ")),
    "no-signature": pe(version_info(1, 2, signature=0)),
    "value-too-short": pe(version_info(1, 2, value_length=20)),
    "truncated-in-resource": pe(V, cut=0x200 + 120),
    "size-beyond-section": pe(V, data_size=0x7FFFFFF0),
    "no-resource-directory": pe(V, resource_directories=2),
    "bare-version-info": V,
    "dos-header-only": b"MZ" + b"\0" * 62,
    "empty": b"",
}

TARGETS = {
    "tokenizer": {name: units(text) for name, text in TOKENIZER.items()},
    "load_defaults": LOAD,
    "edit_and_generate": EDIT,
    "version_reader": VERSION,
}


def main():
    for target, seeds in TARGETS.items():
        directory = os.path.join(HERE, "corpus", target)
        os.makedirs(directory, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(directory, name), "wb") as out:
                out.write(data)
    print("wrote", sum(len(s) for s in TARGETS.values()), "seeds", file=sys.stderr)


if __name__ == "__main__":
    main()
