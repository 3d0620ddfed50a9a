#!/usr/bin/env python3
"""Writes how often each English word was tagged in WordNet's sample texts
as a C++ source, from WordNet's cntlist.rev (lines "sense_key sense_number
tag_count", the sense key "lemma%..."): the counts of a lemma's senses
summed, the lemmas sorted by their bytes. WordNet writes a space in a
phrase as "_"; the table holds the space.

The table is one string of the words, the offset where each starts, and
each word's count.

usage: sense_counts_table.py OUTPUT.cpp cntlist.rev
"""
import sys

import cpp_table


def main():
    output, source = sys.argv[1], sys.argv[2]
    counts = {}
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            fields = line.split()
            if not fields:
                continue
            if len(fields) != 3 or "%" not in fields[0] or not fields[2].isdigit():
                sys.exit("%s:%d: not \"sense_key sense_number tag_count\"" % (source, number))
            lemma = fields[0].split("%", 1)[0].replace("_", " ")
            lemma = "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in lemma)
            counts[lemma] = counts.get(lemma, 0) + int(fields[2])
    words = sorted(counts, key=lambda w: w.encode())
    text = "".join(words).encode()
    starts = []
    at = 0
    for w in words:
        starts.append(at)
        at += len(w.encode())
    starts.append(at)

    out = []
    out.append("// Made by cmake/sense_counts_table.py from WordNet's cntlist.rev.")
    out.append("#include <cstddef>")
    out.append("#include <cstdint>")
    out.append("")
    out.append("namespace quill::sense_counts_table {")
    out.append("")
    out.append("extern const std::size_t kWords;")
    out.append("extern const char kText[];")
    out.append("extern const std::uint32_t kStarts[];")
    out.append("extern const std::uint32_t kCounts[];")
    out.append("")
    out.append("const std::size_t kWords = %d;" % len(words))
    out.append("")
    out += cpp_table.char_array("kText", text)
    out.append("")
    out += cpp_table.u32_array("kStarts", starts)
    out.append("")
    out += cpp_table.u32_array("kCounts", [counts[w] for w in words])
    out.append("")
    out.append("}  // namespace quill::sense_counts_table")
    cpp_table.write_if_changed(output, out)

if __name__ == "__main__":
    main()
