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

namespace quill {

HWND LabelControl(HWND control, const wchar_t* text) {
  const HWND parent = control != nullptr ? GetParent(control) : nullptr;
  if (parent == nullptr) return nullptr;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(control, GWLP_HINSTANCE));
  const HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                     instance, nullptr);
  if (label == nullptr) return nullptr;
  constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW;
  const HWND before = GetWindow(control, GW_HWNDPREV);
  if (before != nullptr) {
    SetWindowPos(label, before, 0, 0, 0, 0, kOrderOnly);
  } else {
    // The control is first: the label goes first and the control right
    // after it, still above every other.
    SetWindowPos(label, HWND_TOP, 0, 0, 0, 0, kOrderOnly);
    SetWindowPos(control, label, 0, 0, 0, 0, kOrderOnly);
  }
  return label;
}

}  // namespace quill
