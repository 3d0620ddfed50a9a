#include "shell/toolbar.h"

#include <commctrl.h>

#include "resources/ids.h"
#include "win/controls.h"
#include "win/message_box.h"

#include <algorithm>
#include <utility>

namespace quill {

namespace {

struct ToolbarButton {
  int image;
  int command;
  BYTE style;
  BYTE state;
};

constexpr int kSeparator = -1;
// The art's background, seen through on the buttons.
constexpr COLORREF kButtonFace = RGB(192, 192, 192);
// A button at 96 DPI, and what it adds to its image at any DPI.
constexpr int kButtonWidth = IMG_TOOLBAR_SIZE + 7;
constexpr int kButtonHeight = IMG_TOOLBAR_SIZE + 6;
constexpr int kButtonPadWidth = kButtonWidth - IMG_TOOLBAR_SIZE;
constexpr int kButtonPadHeight = kButtonHeight - IMG_TOOLBAR_SIZE;

// The buttons in order.
constexpr ToolbarButton kButtons[] = {
    {IMG_OPEN_BOOK, IDM_OPEN_BOOK, BTNS_BUTTON, TBSTATE_ENABLED},
    {kSeparator, 0, BTNS_SEP, 0},
    {IMG_PREVIOUS_ENTRY, IDM_PREVIOUS_ENTRY, BTNS_BUTTON, TBSTATE_ENABLED},
    {IMG_NEXT_ENTRY, IDM_NEXT_ENTRY, BTNS_BUTTON, TBSTATE_ENABLED},
    {kSeparator, 0, BTNS_SEP, 0},
    {IMG_SPEAK, IDM_SPEAK, BTNS_BUTTON, TBSTATE_ENABLED},
    {kSeparator, 0, BTNS_SEP, 0},
    {IMG_FIND_PANEL, IDM_FIND_PANEL, BTNS_CHECK, TBSTATE_ENABLED},
    {IMG_BOOK_SHELF, IDM_BOOK_SHELF, BTNS_CHECK, TBSTATE_ENABLED},
    {kSeparator, 0, BTNS_SEP, 0},
    {IMG_HISTORY, IDM_HISTORY, BTNS_BUTTON, TBSTATE_ENABLED},
    {IMG_ABOUT, IDM_ABOUT, BTNS_BUTTON, TBSTATE_HIDDEN},
    {IMG_EXIT, IDM_EXIT, BTNS_BUTTON, TBSTATE_HIDDEN},
    {IMG_VOICE_SETTING, IDM_VOICE_SETTING, BTNS_BUTTON, TBSTATE_HIDDEN},
};
constexpr int kButtonCount = static_cast<int>(sizeof kButtons / sizeof kButtons[0]);

// The toolbar's band: never narrower than this, nor lower.
constexpr int kBandMinWidth = 50;
constexpr int kBandMinHeight = 24;

constexpr DWORD kRebarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                              WS_BORDER | RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER |
                              CCS_NOPARENTALIGN;
constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                CCS_NORESIZE;

}  // namespace

bool Toolbar::Create(HWND parent, HINSTANCE instance, const ControlBox& box, int dpi) {
  instance_ = instance;
  dpi_ = dpi;
  rebar_ = CreateChildControl(parent, instance, {0, REBARCLASSNAMEW, nullptr, kRebarStyle}, box,
                              IDC_REBAR);
  if (rebar_ == nullptr) return false;
  REBARINFO info{};
  info.cbSize = sizeof info;
  info.fMask = RBIM_IMAGELIST;
  SendMessageW(rebar_, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  CreateBar(instance);
  if (toolbar_ == nullptr) {
    ShowError(nullptr, "Toolbar not created!", nullptr);
    ShowError(nullptr, "Could not create the toolbar", nullptr);
    return true;
  }
  UseImages(WholeFactor(dpi_));
  InsertBand();
  return true;
}

void Toolbar::SetDpi(int dpi) {
  dpi_ = dpi;
  if (toolbar_ == nullptr) return;
  UseImages(WholeFactor(dpi_));
  SizeBand();
}

// At 96 DPI the toolbar keeps the images it was made with. Otherwise an
// image list of the art grown pixel for pixel by factor takes their place,
// and the buttons grow with the DPI around it.
void Toolbar::UseImages(int factor) {
  if (factor == 1 && !images_ && dpi_ == kBaseDpi) return;
  const int size = IMG_TOOLBAR_SIZE * factor;
  ScopedImageList images(
      ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, IMG_TOOLBAR_COUNT, 0));
  const ScopedBitmap art = LoadBitmapWhole(instance_, IDB_TOOLBAR, factor);
  if (!images || !art || ImageList_AddMasked(images.get(), art.get(), kButtonFace) < 0) return;
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  // The previous list goes only after the toolbar let go of it.
  images_ = std::move(images);
  const int width = std::max(size + kButtonPadWidth, ScaleForDpi(kButtonWidth, dpi_));
  const int height = std::max(size + kButtonPadHeight, ScaleForDpi(kButtonHeight, dpi_));
  SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

// The band's least size at the DPI: never lower than the buttons now are.
void Toolbar::SetChildSize(REBARBANDINFOW* band) const {
  const auto buttons = static_cast<DWORD>(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));
  band->cxMinChild = ScaleForDpi(kBandMinWidth, dpi_);
  band->cyMinChild = std::max<UINT>(HIWORD(buttons), ScaleForDpi(kBandMinHeight, dpi_));
}

void Toolbar::SizeBand() {
  REBARBANDINFOW band{};
  band.cbSize = REBARBANDINFOW_V3_SIZE;
  band.fMask = RBBIM_CHILDSIZE;
  SetChildSize(&band);
  SendMessageW(rebar_, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
}

void Toolbar::CreateBar(HINSTANCE instance) {
  TBBUTTON buttons[kButtonCount] = {};
  for (int i = 0; i < kButtonCount; ++i) {
    const bool separator = kButtons[i].image == kSeparator;
    buttons[i].iBitmap = separator ? 0 : kButtons[i].image;
    buttons[i].idCommand = kButtons[i].command;
    buttons[i].fsState = kButtons[i].state;
    buttons[i].fsStyle = kButtons[i].style;
    buttons[i].iString = separator ? -1 : 0;
  }
  toolbar_ = CreateToolbarEx(rebar_, kToolbarStyle, IDC_TOOLBAR, kButtonCount, instance,
                             IDB_TOOLBAR, buttons, kButtonCount, IMG_TOOLBAR_SIZE,
                             IMG_TOOLBAR_SIZE, IMG_TOOLBAR_SIZE, IMG_TOOLBAR_SIZE,
                             sizeof(TBBUTTON));
}

void Toolbar::InsertBand() {
  REBARBANDINFOW band{};
  band.cbSize = REBARBANDINFOW_V3_SIZE;
  band.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE |
               RBBIM_BACKGROUND | RBBIM_ID;
  band.fStyle = RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_FIXEDBMP | RBBS_GRIPPERALWAYS;
  band.clrFore = GetSysColor(COLOR_BTNTEXT);
  band.clrBack = GetSysColor(COLOR_BTNFACE);
  band.hwndChild = toolbar_;
  SetChildSize(&band);
  band.cx = band.cxMinChild;
  band.wID = IDC_TOOLBAR;
  SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

void Toolbar::CheckShelfButton() {
  SendMessageW(toolbar_, TB_SETSTATE, IDM_BOOK_SHELF, TBSTATE_CHECKED | TBSTATE_ENABLED);
}

void Toolbar::CheckPanelButton(HWND bar, SidePanelState shown) {
  const bool find = shown == kFindPanel;
  SendMessageW(bar, TB_SETSTATE, find ? IDM_FIND_PANEL : IDM_BOOK_SHELF,
               TBSTATE_CHECKED | TBSTATE_ENABLED);
  SendMessageW(bar, TB_SETSTATE, find ? IDM_BOOK_SHELF : IDM_FIND_PANEL, TBSTATE_ENABLED);
}

void Toolbar::EnableSpeakButton(bool enabled) {
  SendMessageW(toolbar_, TB_ENABLEBUTTON, IDM_SPEAK, enabled ? TRUE : FALSE);
}

const wchar_t* Toolbar::TooltipText(UINT_PTR id) {
  switch (id) {
    case IDM_ABOUT: return L"About";
    case IDM_OPEN_BOOK: return L"Open XQB...";
    case IDM_PREVIOUS_ENTRY: return L"Last";
    case IDM_NEXT_ENTRY: return L"Next";
    case IDM_SPEAK: return L"Voice";
    case IDM_FIND_PANEL: return L"Find View";
    case IDM_BOOK_SHELF: return L"Book View";
    case IDM_HISTORY: return L"History";
    default: return nullptr;
  }
}

}  // namespace quill
