// Opening a dictionary that is not a book: a StarDict .ifo, a DSL .dsl or
// .dsl.dz, a dictd .index or a word list (.txt) is converted once into a
// book in the user's own folder (Quillpad\Books in the local application
// data), in a worker thread behind a progress dialog with a Cancel button,
// and opened from there. A later open of the same unchanged source (same
// size and write time) reuses the book.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "import/convert.h"

namespace quill {

// Makes a book of a dictionary source: ConvertToBook, or a stand-in.
using DictionaryConverter = std::function<import::ConvertResult(const import::ConvertRequest& request)>;

// True when path names a source the program converts rather than a book,
// by its ending: .ifo, .dsl, .dsl.dz, .index, .txt (any case).
bool IsDictionarySource(const wchar_t* path);

// True when the file chosen at path goes to the converter: a dictionary by
// its ending that exists and is not a book. A book opens as one whatever its
// name ends with, and a name that names nothing (the open dialog gives a
// typed name without an extension ".txt") takes the path of a book that
// cannot be opened.
bool NeedsConversion(const wchar_t* path);

// Quillpad\Books in the user's local application data; empty when the
// system does not tell where that is.
std::wstring DefaultConvertedBooksFolder();

enum class DictionaryImport {
  kReady,      // the book is at bookPath, made now or earlier
  kFailed,     // the reason was shown to the user; nothing was written
  kCancelled,  // the user stopped it; nothing was left behind
};

struct DictionaryImportSetup {
  HINSTANCE instance = nullptr;
  HWND owner = nullptr;                // disabled while the dialog is up
  std::wstring booksFolder;            // where books are made; made when missing
  DictionaryConverter convert;         // none: xqb's ConvertToBook
};

// Gives the book of the dictionary at source: bookPath (kPathUnits units)
// receives its path when the result is kReady. The dialog's messages and
// every other window's are handled meanwhile.
DictionaryImport ImportDictionary(const DictionaryImportSetup& setup, const wchar_t* source,
                                  wchar_t* bookPath);

// The class of the progress dialog, for those who look for it from outside;
// its controls are IDC_CONVERSION_TEXT, IDC_CONVERSION_PROGRESS and IDCANCEL.
inline constexpr wchar_t kConversionDialogClass[] = L"QuillpadConversion";

}  // namespace quill
