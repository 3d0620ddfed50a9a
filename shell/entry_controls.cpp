#include "shell/entry_controls.h"

#include <commctrl.h>

#include "resources/ids.h"
#include "win/controls.h"
#include "win/window_base.h"

namespace quill {

namespace {

constexpr int kPanePoints = 10;
constexpr int kInputPoints = 12;

constexpr ControlKind kContentPane = {
    0, L"EDIT", L"",
    WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN};
constexpr ControlKind kInputBox = {WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                                   WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL};
constexpr ControlKind kWordList = {
    0, WC_LISTVIEWW, nullptr,
    WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA | LVS_NOCOLUMNHEADER};

// The text of control, whole.
std::wstring ControlText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The messages after which an edit control's text may hold new characters.
bool MayChangeText(UINT message) {
  return message == WM_SETTEXT || message == WM_CHAR || message == WM_PASTE ||
         message == WM_IME_CHAR || message == EM_REPLACESEL || message == WM_UNDO;
}

}  // namespace

void EntryControls::Create(HWND parent, HINSTANCE instance, const MainLayout& layout, int dpi) {
  contentPane_ =
      CreateChildControl(parent, instance, kContentPane, layout.contentPane, IDC_CONTENT_PANE);
  inputBox_ = CreateChildControl(parent, instance, kInputBox, layout.inputBox, IDC_INPUT_BOX);
  MakeFonts(dpi);
  SubclassControl(contentPane_, &EntryControls::ContentPaneProc, this);
  SubclassControl(inputBox_, &EntryControls::InputBoxProc, this);

  CreateWordList(parent, instance, layout);
  LabelControl(inputBox_, L"Word");
  LabelControl(wordList_, L"Words of the book");
  LabelControl(contentPane_, L"Entry");
  SendMessageW(contentPane_, EM_SETREADONLY, TRUE, 0);
  ShowWindow(contentPane_, SW_SHOW);
}

void EntryControls::CreateWordList(HWND parent, HINSTANCE instance, const MainLayout& layout) {
  const HWND list = CreateChildControl(parent, instance, kWordList, layout.wordList, IDC_WORD_LIST);
  wordList_ = list;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = layout.wordListColumn;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  const ControlBox& box = layout.wordList;
  SetWindowPos(list, HWND_TOPMOST, box.x, box.y, box.width, box.height, SWP_SHOWWINDOW);
  ShowWindow(list, SW_HIDE);
}

void EntryControls::MakeFonts(int dpi) {
  paneFont_ = FontFromPoints(dpi, kPanePoints);
  inputFont_ = FontFromPoints(dpi, kInputPoints);
  paneFonts_.Reset();
  inputFonts_.Reset();
  rowFonts_.Reset();
  FitFont(contentPane_, paneFont_.get(), paneFonts_);
  FitFont(inputBox_, inputFont_.get(), inputFonts_);
}

void EntryControls::SetDpi(int dpi) {
  // The controls take the new fonts before the old ones go.
  ScopedFont oldPane(paneFont_.release());
  ScopedFont oldInput(inputFont_.release());
  MakeFonts(dpi);
  // The list's font is the system's, made for the new DPI by the system:
  // its rows take their height from it again.
  if (wordList_ != nullptr) {
    SendMessageW(wordList_, WM_SETFONT, SendMessageW(wordList_, WM_GETFONT, 0, 0), TRUE);
  }
}

void EntryControls::FitFont(HWND control, HFONT base, GlyphFonts& fonts) {
  if (control == nullptr) return;
  const HFONT wanted = fonts.FontFor(nullptr, base, ControlText(control));
  if (reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) != wanted) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(wanted), TRUE);
  }
}

HFONT EntryControls::RowFont(HDC dc, std::wstring_view text) {
  const auto listFont = reinterpret_cast<HFONT>(SendMessageW(wordList_, WM_GETFONT, 0, 0));
  return rowFonts_.FontFor(dc, listFont, text);
}

void EntryControls::Place(const MainLayout& layout) {
  PlaceControl(contentPane_, layout.contentPane);
  PlaceControl(wordList_, layout.wordList);
  PlaceControl(inputBox_, layout.inputBox);
}

LRESULT CALLBACK EntryControls::InputBoxProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR owner) {
  if (message == WM_KEYDOWN) {
    SendMessageW(GetParent(window), WM_KEYDOWN, wParam, lParam);
    if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_ESCAPE) return 0;
  }
  // Ctrl+Enter's line feed has no place in a one-line box.
  if (message == WM_CHAR && wParam == '\n') return 0;
  const LRESULT result = PassToControl(window, message, wParam, lParam, &EntryControls::InputBoxProc);
  if (MayChangeText(message)) {
    auto* self = reinterpret_cast<EntryControls*>(owner);
    FitFont(window, self->inputFont_.get(), self->inputFonts_);
  }
  return result;
}

LRESULT CALLBACK EntryControls::ContentPaneProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR owner) {
  if (message == WM_LBUTTONDBLCLK) {
    // EM_CHARFROMPOS answers in 16 bits; the line's start, read whole,
    // gives back the rest of a longer text's index.
    const auto place = static_cast<DWORD>(SendMessageW(window, EM_CHARFROMPOS, 0, lParam));
    const auto lineStart = static_cast<std::size_t>(SendMessageW(window, EM_LINEINDEX, HIWORD(place), 0));
    const std::size_t at = lineStart + ((LOWORD(place) - lineStart) & 0xFFFF);
    if (SendMessageW(GetParent(window), MSG_PANE_DOUBLE_CLICK, at, 0) != FALSE) return 0;
  }
  const LRESULT result =
      PassToControl(window, message, wParam, lParam, &EntryControls::ContentPaneProc);
  if (message == WM_SETTEXT) {
    auto* self = reinterpret_cast<EntryControls*>(owner);
    FitFont(window, self->paneFont_.get(), self->paneFonts_);
  }
  return result;
}

const char16_t* EntryControls::ReadInput() {
  text_[0] = 0;
  SendMessageW(inputBox_, WM_GETTEXT, kInputTextUnits, reinterpret_cast<LPARAM>(text_));
  return text_;
}

void EntryControls::SetInput(const char16_t* text) {
  SendMessageW(inputBox_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void EntryControls::SelectInput() { SendMessageW(inputBox_, EM_SETSEL, 0, -1); }

void EntryControls::ReadyForTyping() {
  SetFocus(inputBox_);
  SelectInput();
  SetPaneEnabled(true);
  ShowWordList(false);
}

void EntryControls::SetPaneEnabled(bool enabled) {
  const LONG_PTR style = GetWindowLongPtrW(contentPane_, GWL_STYLE);
  SetWindowLongPtrW(contentPane_, GWL_STYLE,
                    enabled ? (style & ~static_cast<LONG_PTR>(WS_DISABLED)) : (style | WS_DISABLED));
}

void EntryControls::ShowWordList(bool shown) { ShowWindow(wordList_, shown ? SW_SHOW : SW_HIDE); }

}  // namespace quill
