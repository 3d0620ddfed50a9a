#include "display_window.h"

#include <commctrl.h>

#include <cstdint>

#include "resources/ids.h"

namespace quill::testing {

namespace {

constexpr char kClassName[] = "QuillDisplayTest";
constexpr int kClientWidth = 1100;
constexpr int kClientHeight = 360;

void RegisterOnce() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExA(&wc);
  done = true;
}

COLORREF FromDib(const std::uint32_t bgrx) {
  return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
}

// Copies a rectangle of a device context into 32-bit top-down pixels.
std::vector<COLORREF> Grab(HDC source, int left, int top, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(source);
  HGDIOBJ previous = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = FromDib(pixels[i]);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(dib);
  return out;
}

}  // namespace

DisplayWindow::DisplayWindow() {
  RegisterOnce();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  window_ = CreateWindowExA(0, kClassName, "Orvelle Quillpad", WS_OVERLAPPEDWINDOW, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance, nullptr);
  panes_.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                     window_, nullptr, instance, nullptr);
  panes_.contentPane = CreateWindowExA(
      0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                         ES_NOHIDESEL | ES_WANTRETURN | ES_READONLY,
      5, 90, kClientWidth - 5, kClientHeight - 110, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CONTENT_PANE)), instance, nullptr);
  panes_.inputBox = CreateWindowExA(
      WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER |
                                                           ES_AUTOHSCROLL,
      10, 35, 300, 25, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INPUT_BOX)),
      instance, nullptr);
  SendMessageA(panes_.contentPane, WM_SETFONT,
               reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  Pump();
}

DisplayWindow::~DisplayWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void DisplayWindow::Fill(const RECT& rect, COLORREF colour) {
  HDC dc = GetDC(window_);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
  ReleaseDC(window_, dc);
}

void DisplayWindow::Pump() {
  UpdateWindow(window_);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::vector<COLORREF> DisplayWindow::Capture(const RECT& rect) const {
  HDC dc = GetDC(window_);
  std::vector<COLORREF> out =
      Grab(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  ReleaseDC(window_, dc);
  return out;
}

COLORREF DisplayWindow::Pixel(int x, int y) const { return Capture({x, y, x + 1, y + 1})[0]; }

std::u16string DisplayWindow::PaneText() const {
  const int length = GetWindowTextLengthW(panes_.contentPane);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int got =
      GetWindowTextW(panes_.contentPane, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
  return text;
}

std::string DisplayWindow::StatusText() const {
  char text[512] = {};
  const LRESULT length = SendMessageA(panes_.statusBar, SB_GETTEXTLENGTHA, 0, 0);
  if (LOWORD(length) >= sizeof text) return "(too long)";
  SendMessageA(panes_.statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

GlyphBitmap::GlyphBitmap() {
  HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PHONETIC_GLYPHS));
  if (bitmap == nullptr) return;
  BITMAP shape{};
  GetObjectA(bitmap, sizeof shape, &shape);
  width_ = shape.bmWidth;
  height_ = shape.bmHeight;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  pixels_ = Grab(memory, 0, 0, width_, height_);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
}

COLORREF GlyphBitmap::Pixel(int x, int y) const {
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

}  // namespace quill::testing
