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

// Gives control a font `points` high on its own DC; the caller keeps the
// font for as long as the control lives.
ScopedFont SetControlFont(HWND control, int points) {
  ScopedFont font;
  if (const ScopedGetDC dc(control); dc.get() != nullptr) font = FontFromPoints(dc, points);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  return font;
}

}  // namespace

void EntryControls::Create(HWND parent, HINSTANCE instance, const MainLayout& layout) {
  contentPane_ =
      CreateChildControl(parent, instance, kContentPane, layout.contentPane, IDC_CONTENT_PANE);
  paneFont_ = SetControlFont(contentPane_, kPanePoints);
  SubclassControl(contentPane_, &EntryControls::ContentPaneProc, this);

  inputBox_ = CreateChildControl(parent, instance, kInputBox, layout.inputBox, IDC_INPUT_BOX);
  inputFont_ = SetControlFont(inputBox_, kInputPoints);
  SubclassControl(inputBox_, &EntryControls::InputBoxProc, this);

  CreateWordList(parent, instance, layout);
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

void EntryControls::Place(const MainLayout& layout) {
  PlaceControl(contentPane_, layout.contentPane);
  PlaceControl(wordList_, layout.wordList);
  PlaceControl(inputBox_, layout.inputBox);
}

LRESULT CALLBACK EntryControls::InputBoxProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN) {
    SendMessageW(GetParent(window), WM_KEYDOWN, wParam, lParam);
    if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_ESCAPE) return 0;
  }
  // Ctrl+Enter's line feed has no place in a one-line box.
  if (message == WM_CHAR && wParam == '\n') return 0;
  return PassToControl(window, message, wParam, lParam, &EntryControls::InputBoxProc);
}

LRESULT CALLBACK EntryControls::ContentPaneProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_LBUTTONDBLCLK) {
    // EM_CHARFROMPOS answers in 16 bits; the line's start, read whole,
    // gives back the rest of a longer text's index.
    const auto place = static_cast<DWORD>(SendMessageW(window, EM_CHARFROMPOS, 0, lParam));
    const auto lineStart = static_cast<std::size_t>(SendMessageW(window, EM_LINEINDEX, HIWORD(place), 0));
    const std::size_t at = lineStart + ((LOWORD(place) - lineStart) & 0xFFFF);
    if (SendMessageW(GetParent(window), MSG_PANE_DOUBLE_CLICK, at, 0) != FALSE) return 0;
  }
  return PassToControl(window, message, wParam, lParam, &EntryControls::ContentPaneProc);
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
