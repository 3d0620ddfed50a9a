// MainWindow: the keyboard's way round the window.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "shell/keyboard.h"
#include "shell/main_window.h"

namespace quill {

void MainWindow::RouteKeys() {
  const HWND controls[] = {entry_.InputBox(),       entry_.ContentPane(),    entry_.WordList(),
                           shelfPanel_.tree,        findPanel_.findEdit,     findPanel_.allBooksBox,
                           findPanel_.findButton,   findPanel_.resultList};
  for (const HWND control : controls) {
    if (control != nullptr) RouteWindowKeys(control, hwnd);
  }
}

std::vector<HWND> MainWindow::SidePanelControls() const {
  switch (sidePanel_) {
    case kShelfPanel:
      return {shelfPanel_.tree};
    case kFindPanel:
      return {findPanel_.findEdit, findPanel_.allBooksBox, findPanel_.findButton,
              findPanel_.resultList};
    default:
      return {};
  }
}

std::vector<HWND> MainWindow::FocusOrder() const {
  std::vector<HWND> order = {entry_.InputBox(), entry_.ContentPane()};
  for (const HWND control : SidePanelControls()) order.push_back(control);
  return order;
}

void MainWindow::MoveFocus(HWND target) {
  if (target == nullptr) return;
  if (target == entry_.ContentPane()) {
    // Typing ends: the list goes and the pane takes the focus enabled.
    entry_.ShowWordList(false);
    entry_.SetPaneEnabled(true);
  }
  // Focus rectangles show from the first key that moved the focus on.
  SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(target);
}

bool MainWindow::OnControlKey(HWND from, WPARAM key) {
  const Modifiers held = HeldModifiers();
  if (key == VK_TAB && !held.control && !held.alt) {
    MoveFocus(NextInOrder(FocusOrder(), from, held.shift));
    return true;
  }
  if (key == VK_F6 && !held.control && !held.alt && !held.shift) {
    // Between the input box and the side panel; nothing without a panel.
    const std::vector<HWND> panel = SidePanelControls();
    if (panel.empty()) return true;
    const bool inPanel = std::find(panel.begin(), panel.end(), from) != panel.end();
    MoveFocus(inPanel ? entry_.InputBox() : panel.front());
    return true;
  }
  const int command = CommandForKey(static_cast<UINT>(key), held.control, held.shift, held.alt);
  if (command == 0) return false;
  // A command its shown button or its menu item refuses now is refused by
  // its key (the hidden buttons are never enabled: their menu items say).
  const HWND bar = toolbar_.Bar();
  const auto id = static_cast<WPARAM>(command);
  if (bar != nullptr && SendMessageW(bar, TB_COMMANDTOINDEX, id, 0) >= 0 &&
      SendMessageW(bar, TB_ISBUTTONHIDDEN, id, 0) == FALSE &&
      SendMessageW(bar, TB_ISBUTTONENABLED, id, 0) == FALSE) {
    return true;
  }
  const UINT menuState = GetMenuState(menu_.Handle(), static_cast<UINT>(command), MF_BYCOMMAND);
  if (menuState != static_cast<UINT>(-1) && (menuState & (MF_GRAYED | MF_DISABLED)) != 0) return true;
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(bar));
  return true;
}

}  // namespace quill
