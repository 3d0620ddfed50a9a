#include "shell/about_box.h"

#include "resources/ids.h"
#include "shell/product.h"
#include "win/scoped_win.h"
#include "win/wide_text.h"
#include "win/window_base.h"

namespace quill {

namespace {

void DrawAboutLine(HDC dc, HFONT font, const char* text, RECT rect) {
  const ScopedSelect select(dc, font);
  DrawTextW(dc, Widen(text).c_str(), -1, &rect, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
}

ScopedFont AboutFont(HDC dc, int points) {
  return FontFromPoints(dc, points, PointRounding::kDown, CHINESEBIG5_CHARSET);
}

void PaintAbout(HWND dialog) {
  const ScopedPaint paint(dialog);
  const HDC dc = paint.dc();
  SetBkMode(dc, TRANSPARENT);
  const ScopedFont title = AboutFont(dc, 14);
  const ScopedFont body = AboutFont(dc, 10);
  DrawAboutLine(dc, title, kProductName, {80, 10, 280, 35});
  DrawAboutLine(dc, body, kProductVersionLine, {70, 35, 240, 60});
  DrawAboutLine(dc, body, kProductRights, {20, 65, 240, 85});
  DrawAboutLine(dc, body, kProductMaker, {20, 90, 240, 110});
  DrawAboutLine(dc, body, kProductWebAddress, {20, 115, 240, 135});
  DrawAboutLine(dc, body, kProductReserved, {20, 140, 240, 160});
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      break;
    case WM_PAINT:
      PaintAbout(dialog);
      return TRUE;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, 0);
}

}  // namespace quill
