#include "shell/about_box.h"

#include "resources/ids.h"
#include "shell/product.h"
#include "win/dpi.h"
#include "win/scoped_win.h"
#include "win/wide_text.h"
#include "win/window_base.h"

namespace quill {

namespace {

// A line's rectangle at 96 DPI, drawn at the dialog's DPI.
void DrawAboutLine(HDC dc, HFONT font, const char* text, RECT rect, int dpi) {
  const ScopedSelect select(dc, font);
  rect = {ScaleForDpi(rect.left, dpi), ScaleForDpi(rect.top, dpi), ScaleForDpi(rect.right, dpi),
          ScaleForDpi(rect.bottom, dpi)};
  DrawTextW(dc, Widen(text).c_str(), -1, &rect, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
}

ScopedFont AboutFont(int dpi, int points) {
  return FontFromPoints(dpi, points, PointRounding::kDown, CHINESEBIG5_CHARSET);
}

void PaintAbout(HWND dialog) {
  const ScopedPaint paint(dialog);
  const HDC dc = paint.dc();
  const int dpi = WindowDpi(dialog);
  SetBkMode(dc, TRANSPARENT);
  const ScopedFont title = AboutFont(dpi, kAboutTitlePoints);
  const ScopedFont body = AboutFont(dpi, kAboutBodyPoints);
  for (const AboutLine& line : kAboutLines) {
    DrawAboutLine(dc, line.title ? title.get() : body.get(), line.text, line.rect, dpi);
  }
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
