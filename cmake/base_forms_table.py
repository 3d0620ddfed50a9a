#!/usr/bin/env python3
"""Writes the irregular English forms that xqb's look-up falls back on as a
C++ source: WordNet's exception lists (lines "inflected base [base2...]",
one file per part of speech) merged into one table sorted by inflected form.

The table is one string of records and the offset where each starts; a
record is the inflected form and its bases, each after a tab, in the order
noun, verb, adjective, adverb, without repeats. A base is written as the
count of the inflected form's first characters it shares and the rest:
"geese" and "goose" make "geese\t1oose". WordNet writes a space in a
phrase as "_"; the table holds the space.

usage: base_forms_table.py OUTPUT.cpp noun.exc verb.exc adj.exc adv.exc
"""
import sys

import cpp_table


def shared(inflected, base):
    """A base as the table holds it: a digit, how many of the inflected
    form's first characters it starts with (up to 9), then the rest."""
    n = 0
    while n < min(len(inflected), len(base), 9) and inflected[n] == base[n]:
        n += 1
    return str(n) + base[n:]


def main():
    output, lists = sys.argv[1], sys.argv[2:]
    bases = {}
    for path in lists:
        with open(path, encoding="ascii") as f:
            for number, line in enumerate(f, 1):
                words = line.split()
                if not words:
                    continue
                if len(words) < 2:
                    sys.exit("%s:%d: a form without a base" % (path, number))
                words = [w.replace("_", " ") for w in words]
                forms = bases.setdefault(words[0], [])
                for base in words[1:]:
                    # "is is" and the like say nothing to a look-up.
                    if base != words[0] and base not in forms:
                        forms.append(base)
    records = [k + "".join("\t" + shared(k, b) for b in v)
               for k, v in sorted(bases.items(), key=lambda kv: kv[0].encode()) if v]
    text = "".join(records)
    if len(text) >= 1 << 32:
        sys.exit("the table is too large for 32-bit offsets")
    starts = []
    at = 0
    for r in records:
        starts.append(at)
        at += len(r)
    starts.append(at)

    out = []
    out.append("// Made by cmake/base_forms_table.py from WordNet's exception lists.")
    out.append("#include <cstddef>")
    out.append("#include <cstdint>")
    out.append("")
    out.append("namespace quill::base_forms_table {")
    out.append("")
    out.append("extern const std::size_t kRecords;")
    out.append("extern const char kText[];")
    out.append("extern const std::uint32_t kStarts[];")
    out.append("")
    out.append("const std::size_t kRecords = %d;" % len(records))
    out.append("")
    out += cpp_table.char_array("kText", text.encode("ascii"))
    out.append("")
    out += cpp_table.u32_array("kStarts", starts)
    out.append("")
    out.append("}  // namespace quill::base_forms_table")
    cpp_table.write_if_changed(output, out)

if __name__ == "__main__":
    main()
