// Child controls of the program's windows: the one way they are made and
// the one way one is subclassed.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "win/placement.h"

namespace quill {

// A kind of control: its extended style, class, text and style (WS_CHILD
// is added; WS_VISIBLE is the caller's to give).
struct ControlKind {
  DWORD exStyle;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
};

// A control of kind in parent at box, with the command id id; null when it
// cannot be made.
HWND CreateChildControl(HWND parent, HINSTANCE instance, const ControlKind& kind,
                        const ControlBox& box, int id);

// Subclasses control: proc sees its messages first, with owner as its
// reference data, and hands on what it does not keep through
// PassToControl.
bool SubclassControl(HWND control, SUBCLASSPROC proc, void* owner);

// What a subclass procedure ends with: the message goes on to the
// control's own procedure; at WM_NCDESTROY the subclass is taken away
// first, as the system asks.
LRESULT PassToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, SUBCLASSPROC proc);

}  // namespace quill

namespace quill {

// Gives control a label the way screen readers look for one: a static text
// just before it in its parent's window order. The label is hidden and has
// no size, so it takes no place in the layout and never the focus.
HWND LabelControl(HWND control, const wchar_t* text);

}  // namespace quill
