#include "win/dpi.h"

#include <algorithm>
#include <vector>

namespace quill {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up at run time: systems before Windows 10 1607 do not have it.
GetDpiForWindowFn DpiForWindowCall() {
  static const auto call = [] {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr ? nullptr
                             : reinterpret_cast<GetDpiForWindowFn>(
                                   reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
  }();
  return call;
}

int ScreenDpi() {
  const ScopedGetDC dc(nullptr);
  return dc.get() == nullptr ? kBaseDpi : SaneDpi(GetDeviceCaps(dc.get(), LOGPIXELSY));
}

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

int WindowDpi(HWND window) {
  if (window != nullptr) {
    if (const GetDpiForWindowFn call = DpiForWindowCall(); call != nullptr) {
      const UINT dpi = call(window);
      if (dpi != 0) return SaneDpi(static_cast<int>(dpi));
    }
  }
  return ScreenDpi();
}

void ScalePixelsWhole(const DWORD* pixels, int width, int height, int factor, DWORD* out) {
  const int outWidth = width * factor;
  for (int y = 0; y < height; ++y) {
    DWORD* row = out + static_cast<std::size_t>(y) * factor * outWidth;
    for (int x = 0; x < width; ++x) {
      const DWORD pixel = pixels[static_cast<std::size_t>(y) * width + x];
      for (int k = 0; k < factor; ++k) row[x * factor + k] = pixel;
    }
    for (int k = 1; k < factor; ++k) {
      std::copy(row, row + outWidth, row + static_cast<std::size_t>(k) * outWidth);
    }
  }
}

std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int* width, int* height) {
  BITMAP shape{};
  *width = *height = 0;
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof shape, &shape) != sizeof shape ||
      shape.bmWidth <= 0 || shape.bmHeight <= 0) {
    return {};
  }
  const ScopedGetDC screen(nullptr);
  if (screen.get() == nullptr) return {};
  std::vector<DWORD> pixels(static_cast<std::size_t>(shape.bmWidth) * shape.bmHeight);
  BITMAPINFO info = TopDownInfo(shape.bmWidth, shape.bmHeight);
  if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(shape.bmHeight), pixels.data(), &info,
                DIB_RGB_COLORS) != shape.bmHeight) {
    return {};
  }
  *width = shape.bmWidth;
  *height = shape.bmHeight;
  return pixels;
}

ScopedBitmap ScaleBitmapWhole(HBITMAP bitmap, int factor) {
  int width = 0;
  int height = 0;
  const std::vector<DWORD> pixels = BitmapPixels(bitmap, &width, &height);
  if (pixels.empty() || factor < 1) return {};
  const ScopedGetDC screen(nullptr);
  if (screen.get() == nullptr) return {};
  std::vector<DWORD> grown(pixels.size() * static_cast<std::size_t>(factor) * factor);
  ScalePixelsWhole(pixels.data(), width, height, factor, grown.data());
  const BITMAPINFO grownInfo = TopDownInfo(width * factor, height * factor);
  return ScopedBitmap(CreateDIBitmap(screen.get(), &grownInfo.bmiHeader, CBM_INIT, grown.data(),
                                     &grownInfo, DIB_RGB_COLORS));
}

ScopedBitmap LoadBitmapWhole(HINSTANCE instance, int id, int factor) {
  ScopedBitmap original(LoadBitmapW(instance, MAKEINTRESOURCEW(id)));
  if (!original || factor == 1) return ScopedBitmap(original.release());
  return ScaleBitmapWhole(original.get(), factor);
}

}  // namespace quill
