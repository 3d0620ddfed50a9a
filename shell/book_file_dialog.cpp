#include "shell/book_file_dialog.h"

#include "book/buffer_sizes.h"

namespace quill {

namespace {

// Books first; then the dictionaries the program converts into books.
constexpr wchar_t kBookFilter[] =
    L"Quillpad Files(*.xqb)\0*.xqb\0"
    L"Dictionaries (*.ifo;*.dsl;*.dsl.dz;*.index;*.txt)\0*.ifo;*.dsl;*.dsl.dz;*.index;*.txt\0";

}  // namespace

void BookFileDialog::Prepare(HWND owner) {
  record_ = OPENFILENAMEW{};
  record_.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  record_.hwndOwner = owner;
  record_.lpstrFilter = kBookFilter;
  record_.nMaxFile = kPathUnits;
  record_.nMaxFileTitle = kPathUnits;
  record_.lpstrDefExt = L"txt";
}

bool BookFileDialog::Choose(HWND owner, wchar_t* path, wchar_t* title) {
  record_.hwndOwner = owner;
  record_.lpstrFile = path;
  record_.lpstrFileTitle = title;
  record_.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
  return GetOpenFileNameW(&record_) != 0;
}

}  // namespace quill
