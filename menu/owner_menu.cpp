#include "menu/owner_menu.h"

#include "resources/ids.h"

namespace quill {

HMENU OwnerMenu::Load(HINSTANCE instance) {
  menuBar_ = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  return menuBar_;
}

void OwnerMenu::MeasureItem(MEASUREITEMSTRUCT* /*item*/) const {}

void OwnerMenu::DrawItem(const DRAWITEMSTRUCT* /*item*/) const {}

void OwnerMenu::PreparePopup(HMENU /*popup*/, HWND /*owner*/, HWND /*toolbar*/) {}

LRESULT OwnerMenu::MenuChar(HMENU /*menu*/, WORD /*character*/, WORD /*flags*/) const {
  return MAKELRESULT(0, MNC_IGNORE);
}

}  // namespace quill
