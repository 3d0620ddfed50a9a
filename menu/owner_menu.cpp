#include "menu/owner_menu.h"

#include "resources/ids.h"

namespace quill {

HMENU OwnerMenu::Load(HINSTANCE instance) {
  menuBar_ = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  return menuBar_;
}

}  // namespace quill
