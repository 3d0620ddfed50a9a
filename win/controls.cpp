#include "win/controls.h"

namespace quill {

namespace {

// Each procedure subclasses a control once.
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

HWND CreateChildControl(HWND parent, HINSTANCE instance, const ControlKind& kind,
                        const ControlBox& box, int id) {
  return CreateWindowExW(kind.exStyle, kind.className, kind.text, WS_CHILD | kind.style, box.x,
                         box.y, box.width, box.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

bool SubclassControl(HWND control, SUBCLASSPROC proc, void* owner) {
  return control != nullptr &&
         SetWindowSubclass(control, proc, kSubclassId, reinterpret_cast<DWORD_PTR>(owner)) != FALSE;
}

LRESULT PassToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, SUBCLASSPROC proc) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(control, proc, kSubclassId);
  return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace quill
