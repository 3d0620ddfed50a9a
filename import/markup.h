// The markup that dictionary entries come in, turned into the plain text
// the content pane shows: tags removed, entities decoded, line breaks and
// paragraphs kept, list items and margins indented. Every reader's rules
// for that live here, in one place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "import/ipa.h"

namespace quill::import {

enum class Markup {
  kPlain,  // text as written
  kPango,  // XML tags and entities, white space as written
  kHtml,   // white space collapsed; breaks from <br> and block tags
  kXdxf,   // XML tags, line breaks as written, <tr> in brackets
  kWiki,   // MediaWiki: quotes, links, templates, headings, lists
};

// Spaces a margin level or list level indents by.
inline constexpr std::size_t kIndentStep = 2;

// The readable text of markup, tidied as TidyText does.
std::u16string MarkupToText(Markup kind, std::u16string_view text);

// The readable text of a DSL card's body (its lines without their leading
// white space, joined by U+000A), where "~" stands for headword: tags
// removed, [mN] as indentation, [s] media named, <<references>> and
// escapes resolved.
std::u16string DslToText(std::u16string_view body, std::u16string_view headword);

// A DSL card's content: its body as DslToText makes it, kept plain; when
// the body holds a transcription ([t]...[/t]) the strip can draw, the
// first such is taken out and put as the bracketed first line instead,
// else it stays where the card has it. Counted in *counts when given.
std::u16string DslContent(std::u16string_view body, std::u16string_view headword,
                          TranscriptionCounts* counts = nullptr);

// Decodes the entity that starts at text[*p] ("&"): appends what it stands
// for to *out and moves *p past it. Returns false, with nothing moved or
// appended, when no entity known here starts there.
bool DecodeEntity(std::u16string_view text, std::size_t* p, std::u16string* out);

// Lines separated by U+000A (CR LF and CR become one), without white space
// at their ends, without blank lines at either end of the text and never
// two in a row.
std::u16string TidyText(std::u16string_view text);

// A content whose first line is the transcription, its line breaks become
// spaces: in brackets, mapped onto the strip's alphabet (IpaToStrip), when
// the strip can draw it; else as a plain line, as written. Text alone
// (kept plain) when the transcription is blank. Each transcription is
// counted in *counts when given.
std::u16string WithTranscription(std::u16string_view transcription, std::u16string text,
                                 TranscriptionCounts* counts = nullptr);

// Moves a "[" that stands among a content's first units, where the reader
// would take the line for a transcription, past them with leading spaces.
void KeepFirstLinePlain(std::u16string* content);

}  // namespace quill::import
