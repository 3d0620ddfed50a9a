#include "import/convert.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "book/book_builder.h"
#include "book/book_format.h"
#include "book/files.h"
#include "import/sources.h"
#include "book/utf.h"

namespace quill::import {

namespace {

constexpr std::size_t kShownKeyUnits = 40;

ConvertResult Failed(const std::string& reason, bool cuttable = false) {
  ConvertResult result;
  result.reason = reason;
  result.cuttable = cuttable;
  return result;
}

ConvertResult Stopped() {
  ConvertResult result;
  result.status = ConvertStatus::kCancelled;
  return result;
}

bool Cancelled(const ConvertRequest& request) {
  return request.cancelled && request.cancelled();
}

std::string EntryName(const Source& source, std::size_t n) {
  const Origin& origin = source.origins[n];
  return source.places[origin.place] + std::to_string(origin.number) + " (" +
         ShownKey(source.entries[n].key) + ")";
}

// Turns the source's line breaks into the book's separator; false with
// *failure naming an entry whose content holds the separator itself.
bool PutSeparators(Source& source, char16_t separator, std::string* failure) {
  for (std::size_t n = 0; n < source.entries.size(); ++n) {
    for (char16_t& u : source.entries[n].content) {
      if (u == separator && separator != u'\n') {
        *failure = EntryName(source, n) + ": the content holds the separator " +
                   "character itself, which would read as a line break";
        return false;
      }
      if (u == u'\n') u = separator;
    }
  }
  return true;
}

// The title the book gets when none is asked for: the dictionary's own
// name, else the file's stem, cut to what the header holds.
std::u16string DefaultTitle(const Source& source, const std::string& input,
                            std::vector<std::string>* notes) {
  std::u16string title = source.title;
  if (title.empty()) Utf8ToUtf16(Stem(input), &title);
  if (title.size() > kTitleUnits - 1) {
    std::size_t n = kTitleUnits - 1;
    if (title[n - 1] >= 0xD800 && title[n - 1] <= 0xDBFF) --n;
    notes->push_back("title \"" + ToUtf8(title) + "\" cut to 21 units (--title sets one)");
    title.resize(n);
  }
  return title;
}

// Nothing is lost: a content too long for one entry goes on in entries of
// the same key that follow it.
void Split(Source& source, const std::string& input) {
  std::vector<std::size_t> from;
  const std::size_t split = SplitLongContents(&source.entries, &from);
  if (split == 0) return;
  std::vector<Origin> origins;
  origins.reserve(from.size());
  for (const std::size_t n : from) origins.push_back(source.origins[n]);
  source.origins = std::move(origins);
  source.notes.push_back(input + ": " + std::to_string(split) +
                         (split == 1 ? " content longer than 65,534 bytes goes"
                                     : " contents longer than 65,534 bytes go") +
                         " on in entries of the same key that follow (--cut cuts instead)");
}

// Puts the entries and their origins into entry order, moving each once.
void Order(Source& source) {
  const std::vector<std::size_t> order = EntryOrder(source.entries);
  std::vector<BookEntry> entries;
  std::vector<Origin> origins;
  entries.reserve(order.size());
  origins.reserve(order.size());
  for (const std::size_t n : order) {
    entries.push_back(std::move(source.entries[n]));
    origins.push_back(source.origins[n]);
  }
  source.entries = std::move(entries);
  source.origins = std::move(origins);
}

}  // namespace

std::string ShownKey(const std::u16string& key) {
  std::size_t n = key.size();
  if (n > kShownKeyUnits) {
    n = kShownKeyUnits;
    if (key[n - 1] >= 0xD800 && key[n - 1] <= 0xDBFF) --n;
  }
  std::string shown = "key \"";
  std::size_t run = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (key[i] >= 0x20) continue;
    AppendUtf8(key.data() + run, i - run, &shown);
    char escape[8];
    if (key[i] == u'\t' || key[i] == u'\n' || key[i] == u'\r') {
      std::snprintf(escape, sizeof escape, "\\%c", key[i] == u'\t' ? 't' : key[i] == u'\n' ? 'n' : 'r');
    } else {
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(key[i]));
    }
    shown += escape;
    run = i + 1;
  }
  AppendUtf8(key.data() + run, n - run, &shown);
  return shown + (n < key.size() ? "...\"" : "\"");
}

ConvertResult ConvertToBook(const ConvertRequest& request) {
  const std::string& input = request.input;
  const std::string& output = request.output;
  BookLayout layout;
  layout.cutOverlong = request.cut;
  layout.lineSeparator = request.lineSeparator;
  layout.cancelled = request.cancelled;

  std::string native;
  if (!NativePath(output, &native)) return Failed(output + ": the path cannot be given to the system");
  // Written as it is made; the book takes its place only when whole, and
  // the scratch file goes with the sink on any way out before that.
  BookFileSink file(native);
  if (!file.Open()) return Failed(output + ": cannot write the book (" + file.Why() + ")");

  Source source;
  bool stopped = false;
  const ReadProgress reading = [&](std::uint64_t done, std::uint64_t total) {
    if (request.reading) request.reading(done, total);
    stopped = Cancelled(request);
    return !stopped;
  };
  std::string failure;
  if (!ReadSource(input, &source, &failure, reading)) {
    if (stopped) return Stopped();
    return Failed(failure.empty() ? input + ": cannot be read" : failure);
  }
  // A stop asked for at the reading's last word counts too.
  if (stopped || Cancelled(request)) return Stopped();
  if (request.split) Split(source, input);
  if (!PutSeparators(source, static_cast<char16_t>(request.lineSeparator), &failure)) {
    return Failed(failure);
  }
  ConvertResult result;
  layout.title = request.haveTitle ? request.title : DefaultTitle(source, input, &result.notes);
  Order(source);
  if (Cancelled(request)) return Stopped();
  layout.progress = request.progress;

  BuildReport report;
  if (!BuildBookInto(source.entries, layout, &file, &report)) {
    switch (report.kind) {
      case BuildProblem::kWriteFailed:
        result.reason = output + ": cannot write the book (" + file.Why() + ")";
        break;
      case BuildProblem::kCancelled:
        return Stopped();
      default:
        result.reason = (report.problemEntry == kNoEntry ? input : EntryName(source, report.problemEntry)) +
                        ": " + report.problem;
        result.cuttable = report.kind == BuildProblem::kTooLong;
        break;
    }
    return result;
  }
  for (const BuildReport::Cut& cut : report.cuts) {
    result.notes.push_back(
        (cut.entry == kNoEntry ? std::string("--title") : EntryName(source, cut.entry)) + ": " +
        cut.what + " (--cut)");
  }

  if (Cancelled(request)) return Stopped();
  if (!file.Commit()) return Failed(output + ": cannot write the book (" + file.Why() + ")");
  for (std::string& note : source.notes) result.notes.push_back(std::move(note));
  result.status = ConvertStatus::kDone;
  return result;
}

}  // namespace quill::import
