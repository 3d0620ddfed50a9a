#include "shell/book_file_dialog.h"

#include "book/buffer_sizes.h"

namespace quill {

namespace {

constexpr char kBookFilter[] = "Quillpad Files(*.xqb)\0*.xqb\0";

}  // namespace

void BookFileDialog::Prepare(HWND owner) {
  record_ = OPENFILENAMEA{};
  record_.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record_.hwndOwner = owner;
  record_.lpstrFilter = kBookFilter;
  record_.nMaxFile = kPathBytes;
  record_.nMaxFileTitle = kPathBytes;
  record_.lpstrDefExt = "txt";
}

bool BookFileDialog::Choose(HWND owner, char* path, char* title) {
  record_.hwndOwner = owner;
  record_.lpstrFile = path;
  record_.lpstrFileTitle = title;
  record_.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
  return GetOpenFileNameA(&record_) != 0;
}

}  // namespace quill
