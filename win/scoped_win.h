#pragma once

// Scoped owners for what the shell acquires from Windows and must give back:
// device contexts, objects selected into them, GDI objects, icons, image
// lists, registry keys, COM pointers and the COM apartment. Each owns one
// handle, is move-only, and gives it back when it goes out of scope, so the
// window code never writes a release call by hand (and an early return
// cannot leak).

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace quill {

// Owns one handle of type Handle and gives it back with Closer when it goes
// out of scope; a null handle is never given back.
template <typename Handle, typename Closer>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle get() const { return handle_; }
  operator Handle() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Gives back the handle held (if any) and takes `handle` instead.
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr && handle_ != handle) Closer{}(handle_);
    handle_ = handle;
  }
  // Hands the handle to the caller, who gives it back from now on.
  Handle release() { return std::exchange(handle_, nullptr); }
  // Gives back the handle held and returns where a creating call writes the
  // new one (RegCreateKeyExA's last-but-one argument, for instance).
  Handle* put() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = nullptr;
};

struct GdiObjectCloser {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconCloser {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct ImageListCloser {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct RegKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
struct MemDcCloser {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct MenuCloser {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct KernelHandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// A font, brush, pen or bitmap deleted with DeleteObject.
template <typename T>
using ScopedGdiObj = ScopedHandle<T, GdiObjectCloser>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;
using ScopedPen = ScopedGdiObj<HPEN>;
using ScopedBitmap = ScopedGdiObj<HBITMAP>;

// An icon loaded or created for this program, destroyed with DestroyIcon.
using ScopedIcon = ScopedHandle<HICON, IconCloser>;

// An image list this program made, destroyed with ImageList_Destroy (a
// control the list is set on does not destroy it).
using ScopedImageList = ScopedHandle<HIMAGELIST, ImageListCloser>;

// An opened or created registry key, closed with RegCloseKey.
using ScopedRegKey = ScopedHandle<HKEY, RegKeyCloser>;

// A menu or menu bar this program built or loaded and did not hand to a
// window, destroyed with DestroyMenu.
using ScopedMenu = ScopedHandle<HMENU, MenuCloser>;

// An event, thread or file handle, closed with CloseHandle.
using ScopedKernelHandle = ScopedHandle<HANDLE, KernelHandleCloser>;

// A memory DC compatible with `dc` (CreateCompatibleDC), deleted with DeleteDC.
class ScopedMemDC : public ScopedHandle<HDC, MemDcCloser> {
 public:
  explicit ScopedMemDC(HDC dc) : ScopedHandle(CreateCompatibleDC(dc)) {}
};

// A window's DC from GetDC, given back with ReleaseDC to the same window.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ScopedGetDC(ScopedGetDC&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  ScopedGetDC& operator=(ScopedGetDC&&) = delete;
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;

  HDC get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// One WM_PAINT's BeginPaint/EndPaint pair for `window`.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~ScopedPaint() {
    if (window_ != nullptr) EndPaint(window_, &paint_);
  }
  ScopedPaint(ScopedPaint&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), paint_(other.paint_), dc_(other.dc_) {}
  ScopedPaint& operator=(ScopedPaint&&) = delete;
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;

  HDC dc() const { return dc_; }
  HDC get() const { return dc_; }
  operator HDC() const { return dc_; }
  const PAINTSTRUCT& ps() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
};

// Selects `object` into `dc` and selects the previous object back when it
// goes out of scope, so the object can then be deleted safely.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (dc_ != nullptr && previous_ != nullptr && previous_ != HGDI_ERROR) {
      SelectObject(dc_, previous_);
    }
  }
  ScopedSelect(ScopedSelect&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(other.previous_) {}
  ScopedSelect& operator=(ScopedSelect&&) = delete;
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

  // The object that was selected before, as SelectObject returned it.
  HGDIOBJ get() const { return previous_; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

struct ComReleaser {
  template <typename T>
  void operator()(T* object) const {
    object->Release();
  }
};

// Holds one reference to a COM object and releases it when it goes out of
// scope.
template <typename T>
class ScopedComPtr : public ScopedHandle<T*, ComReleaser> {
 public:
  using ScopedHandle<T*, ComReleaser>::ScopedHandle;
  T* operator->() const { return this->get(); }
  // Where CoCreateInstance or QueryInterface writes the new object, typed as
  // the void** those calls take (what was held is released first).
  void** putVoid() { return reinterpret_cast<void**>(this->put()); }
};

// CoInitialize for this thread, with CoUninitialize on leaving the scope
// when (and only when) the initialisation succeeded.
class ScopedCoInit {
 public:
  ScopedCoInit() : result_(CoInitialize(nullptr)) {}
  ~ScopedCoInit() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedCoInit(ScopedCoInit&& other) noexcept
      : result_(std::exchange(other.result_, E_FAIL)) {}
  ScopedCoInit& operator=(ScopedCoInit&&) = delete;
  ScopedCoInit(const ScopedCoInit&) = delete;
  ScopedCoInit& operator=(const ScopedCoInit&) = delete;

  bool ok() const { return SUCCEEDED(result_); }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace quill
