// The resources built into the program: their ids, shapes, sizes, bit
// depths, texts and the layout of their cells.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "display/phonetic_glyphs.h"
#include "quill_version.h"
#include "resources/ids.h"
#include "shell/product.h"

namespace quill {
namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// The header of a bitmap resource as stored, before any conversion.
BITMAPINFOHEADER StoredBitmap(int id) {
  BITMAPINFOHEADER header{};
  HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (found == nullptr) return header;
  HGLOBAL loaded = LoadResource(Module(), found);
  const void* data = LockResource(loaded);
  if (data != nullptr && SizeofResource(Module(), found) >= sizeof header) {
    std::memcpy(&header, data, sizeof header);
  }
  return header;
}

// A bitmap resource's pixels, top-down, as the screen shows them.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> rgb;
  COLORREF At(int x, int y) const {
    return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)];
  }
};

Pixels LoadPixels(int id) {
  Pixels out;
  HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
  if (bitmap == nullptr) return out;
  BITMAP shape{};
  GetObjectA(bitmap, sizeof shape, &shape);
  out.width = shape.bmWidth;
  out.height = shape.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = out.width;
  info.bmiHeader.biHeight = -out.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> raw(static_cast<std::size_t>(out.width) *
                                 static_cast<std::size_t>(out.height));
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(out.height), raw.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  for (std::uint32_t v : raw) out.rgb.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
  return out;
}

TEST(BitmapResourceTest, SizesAndBitDepths) {
  struct Expected {
    int id, width, height, bits;
  };
  for (const Expected& e : {Expected{IDB_PHONETIC_GLYPHS, 406, 10, 4},
                            Expected{IDB_TOOLBAR, 178, 17, 8}, Expected{IDB_SPLASH, 520, 316, 8},
                            Expected{IDB_TREE, 57, 17, 8}}) {
    const BITMAPINFOHEADER h = StoredBitmap(e.id);
    EXPECT_EQ(h.biWidth, e.width) << e.id;
    EXPECT_EQ(h.biHeight, e.height) << e.id;
    EXPECT_EQ(h.biBitCount, e.bits) << e.id;
  }
}

// Which rows of a glyph cell hold ink (anything but white).
std::set<int> InkRows(const Pixels& glyphs, int cell) {
  std::set<int> rows;
  for (int y = 0; y < kGlyphHeight; ++y) {
    for (int x = 0; x < kGlyphWidth; ++x) {
      if (glyphs.At(GlyphColumn(cell) + x, y) != RGB(255, 255, 255)) rows.insert(y);
    }
  }
  return rows;
}

TEST(GlyphBitmapTest, NavySeparatorsBetweenCellsThatAreNeverBlank) {
  const Pixels glyphs = LoadPixels(IDB_PHONETIC_GLYPHS);
  ASSERT_EQ(glyphs.width, kGlyphBitmapWidth);
  for (int k = 0; k <= kGlyphCellCount; ++k) {
    for (int y = 0; y < kGlyphHeight; ++y) {
      EXPECT_EQ(glyphs.At(kGlyphPitch * k, y), RGB(0, 0, 128)) << "separator " << k;
    }
  }
  std::set<std::vector<COLORREF>> seen;
  for (int cell = 0; cell < kGlyphCellCount; ++cell) {
    EXPECT_FALSE(InkRows(glyphs, cell).empty()) << cell;
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kGlyphHeight; ++y) {
      for (int x = 0; x < kGlyphWidth; ++x) pixels.push_back(glyphs.At(GlyphColumn(cell) + x, y));
    }
    EXPECT_TRUE(seen.insert(pixels).second) << "cell " << cell << " repeats another";
  }
}

TEST(GlyphBitmapTest, TheCrossIsRedAndTheGlyphsGreyscale) {
  const Pixels glyphs = LoadPixels(IDB_PHONETIC_GLYPHS);
  ASSERT_EQ(glyphs.width, kGlyphBitmapWidth);
  int red = 0;
  for (int y = 0; y < kGlyphHeight; ++y) {
    for (int x = 0; x < kGlyphWidth; ++x) {
      const COLORREF c = glyphs.At(GlyphColumn(0) + x, y);
      red += GetRValue(c) > 180 && GetGValue(c) < 60;
    }
  }
  EXPECT_GE(red, 10);
  int darkest = 255;
  int smoothing = 0;
  for (int cell = 1; cell < kGlyphCellCount; ++cell) {
    for (int y = 0; y < kGlyphHeight; ++y) {
      for (int x = 0; x < kGlyphWidth; ++x) {
        const COLORREF c = glyphs.At(GlyphColumn(cell) + x, y);
        EXPECT_TRUE(GetRValue(c) == GetGValue(c) && std::abs(GetBValue(c) - GetRValue(c)) <= 8)
            << "cell " << cell << " is not greyscale";
        darkest = std::min<int>(darkest, GetRValue(c));
        smoothing += GetRValue(c) > 128 && GetRValue(c) < 255;
      }
    }
  }
  EXPECT_LT(darkest, 48);
  EXPECT_GT(smoothing, 0);
}

TEST(GlyphBitmapTest, LettersStandOnRow7AndOnlyDescendersGoBelow) {
  const Pixels glyphs = LoadPixels(IDB_PHONETIC_GLYPHS);
  ASSERT_EQ(glyphs.width, kGlyphBitmapWidth);
  // Letters without a descender end exactly on the baseline.
  for (char c : std::string("iIUObtdkfvszmnhlrwa0123456789DE")) {
    const std::set<int> rows = InkRows(glyphs, GlyphIndex(c));
    ASSERT_FALSE(rows.empty()) << c;
    EXPECT_EQ(*rows.rbegin(), 7) << c;
  }
  // Descenders reach the last row.
  for (char c : std::string("pjgMNABC")) EXPECT_EQ(*InkRows(glyphs, GlyphIndex(c)).rbegin(), 9) << c;
  // Short letters keep to the x-height, tall ones rise above it.
  for (char c : std::string("IUOvszmnrwa0125789")) EXPECT_GE(*InkRows(glyphs, GlyphIndex(c)).begin(), 3) << c;
  for (char c : std::string("bdkhlfD")) EXPECT_LE(*InkRows(glyphs, GlyphIndex(c)).begin(), 1) << c;
  // The stress marks: one at the top, one below the baseline.
  EXPECT_LE(*InkRows(glyphs, GlyphIndex('\'')).rbegin(), 3);
  EXPECT_GE(*InkRows(glyphs, GlyphIndex('.')).begin(), 8);
  // "L": a bar down to the baseline, a dot below it.
  const std::set<int> bar = InkRows(glyphs, GlyphIndex('L'));
  EXPECT_TRUE(bar.count(7) && !bar.count(8) && bar.count(9));
}

// Counts pixels of a cell that are not colour.
int Drawn(const Pixels& p, int left, int width, int height, COLORREF background) {
  int drawn = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = left; x < left + width; ++x) drawn += p.At(x, y) != background;
  }
  return drawn;
}

TEST(ImageBitmapTest, ToolbarCellsOnTheButtonFace) {
  const Pixels toolbar = LoadPixels(IDB_TOOLBAR);
  ASSERT_EQ(toolbar.width, 178);
  const COLORREF face = RGB(192, 192, 192);
  for (int cell = 0; cell < IMG_TOOLBAR_COUNT; ++cell) {
    const int drawn = Drawn(toolbar, cell * IMG_TOOLBAR_SIZE, IMG_TOOLBAR_SIZE, 16, face);
    EXPECT_GT(drawn, 30) << cell;
    EXPECT_LT(drawn, 16 * 16) << cell;
  }
  EXPECT_EQ(Drawn(toolbar, 176, 2, 17, face), 0);
  EXPECT_EQ(toolbar.At(0, 0), face);
}

TEST(ImageBitmapTest, TreeCellsOnPureGreen) {
  const Pixels tree = LoadPixels(IDB_TREE);
  ASSERT_EQ(tree.width, 3 * IMG_TREE_WIDTH);
  const COLORREF green = RGB(0, 255, 0);
  for (int cell : {IMG_TREE_BOOK, IMG_TREE_OPEN_BOOK, IMG_TREE_FOLDER}) {
    const int left = cell * IMG_TREE_WIDTH;
    EXPECT_EQ(tree.At(left, 0), green);
    EXPECT_EQ(tree.At(left + IMG_TREE_WIDTH - 1, IMG_TREE_HEIGHT - 1), green);
    EXPECT_GT(Drawn(tree, left, IMG_TREE_WIDTH, IMG_TREE_HEIGHT, green), 60) << cell;
  }
  // The image list built from it masks the green out.
  HIMAGELIST list = ImageList_Create(IMG_TREE_WIDTH, IMG_TREE_HEIGHT, ILC_MASK | ILC_COLOR24, 2, 0);
  HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(IDB_TREE));
  EXPECT_EQ(ImageList_AddMasked(list, bitmap, RGB(0, 255, 0)), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  DeleteObject(bitmap);
  ImageList_Destroy(list);
}

TEST(IconResourceTest, SmallAndLargeIcons) {
  HRSRC group = FindResourceA(Module(), MAKEINTRESOURCEA(IDI_APP), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Module(), group)));
  for (int size : {16, 32}) {
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
    ASSERT_NE(image, nullptr) << size;
    BITMAPINFOHEADER header;
    std::memcpy(&header, LockResource(LoadResource(Module(), image)), sizeof header);
    EXPECT_EQ(header.biWidth, size);
    EXPECT_EQ(header.biHeight, 2 * size);
  }
  HICON icon = LoadIconA(Module(), MAKEINTRESOURCEA(IDI_APP));
  EXPECT_NE(icon, nullptr);
}

TEST(StringResourceTest, WindowTitleAndClass) {
  char text[256] = {};
  ASSERT_GT(LoadStringA(Module(), IDS_WINDOW_TITLE, text, sizeof text), 0);
  EXPECT_STREQ(text, "Orvelle Quillpad");
  ASSERT_GT(LoadStringA(Module(), IDS_WINDOW_CLASS, text, sizeof text), 0);
  EXPECT_STREQ(text, "Quillpad");
}

// A string of the version resource's US English, Unicode block.
std::string VersionString(const std::vector<char>& block, const char* name) {
  const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
  void* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), path.c_str(), &text, &length) || text == nullptr) return "";
  return static_cast<const char*>(text);
}

// The version resource as Explorer and the installer script read it: from
// the file, not from the loaded module. One version number feeds the
// numbers, the texts and the About box.
TEST(VersionResourceTest, NumbersAndTextsFromTheOneVersion) {
  char file[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, file, sizeof file), 0u);
  const DWORD size = GetFileVersionInfoSizeA(file, nullptr);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(file, 0, size, block.data()));

  void* fixedData = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &fixedData, &fixedSize));
  ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedData);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(QUILL_VERSION_MINOR, QUILL_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, QUILL_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const std::string version = std::to_string(QUILL_VERSION_MAJOR) + "." +
                              std::to_string(QUILL_VERSION_MINOR) + "." +
                              std::to_string(QUILL_VERSION_PATCH);
  EXPECT_EQ(version, QUILL_VERSION_TEXT);
  EXPECT_EQ(VersionString(block, "FileVersion"), version);
  EXPECT_EQ(VersionString(block, "ProductVersion"), version);
  EXPECT_EQ(VersionString(block, "ProductName"), kProductName);
  EXPECT_EQ(VersionString(block, "LegalCopyright"), kProductRights);
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "quillpad.exe");
  EXPECT_EQ(std::string(kProductVersionLine), "Version " + version);
}

std::string ItemText(HMENU menu, UINT position) {
  char text[256] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST(MenuResourceTest, FileAndHelp) {
  HMENU bar = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_MAIN_MENU));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(ItemText(bar, 0), "&File");
  EXPECT_EQ(ItemText(bar, 1), "&Help");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(ItemText(file, 0), "&Open XQB...");
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(IDM_OPEN_BOOK));
  EXPECT_EQ(ItemText(file, 1), "&Setup ...");
  EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(IDM_VOICE_SETTING));
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(ItemText(file, 3), "E&xit");
  EXPECT_EQ(GetMenuItemID(file, 3), static_cast<UINT>(IDM_EXIT));
  HMENU help = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(help), 2);
  EXPECT_EQ(ItemText(help, 0), "&About ...");
  EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(IDM_ABOUT));
  EXPECT_EQ(ItemText(help, 1), "&Xqb Center");
  EXPECT_EQ(GetMenuItemID(help, 1), static_cast<UINT>(IDM_WEB_PAGE));
  DestroyMenu(bar);
}

// Records the commands a window receives.
std::vector<WORD> commands;
LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(AcceleratorResourceTest, AltWithQuestionMarkOrSlashOpensAbout) {
  HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  ACCEL entries[4] = {};
  ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 2);
  for (const ACCEL& a : {entries[0], entries[1]}) {
    EXPECT_EQ(a.cmd, IDM_ABOUT);
    EXPECT_TRUE(a.fVirt & FALT);
    EXPECT_FALSE(a.fVirt & FVIRTKEY) << "a character accelerator, not a virtual key";
  }
  EXPECT_EQ(std::set<WORD>({entries[0].key, entries[1].key}), std::set<WORD>({'?', '/'}));

  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordCommands;
  wc.hInstance = Module();
  wc.lpszClassName = "QuillAcceleratorTest";
  RegisterClassA(&wc);
  HWND window = CreateWindowA("QuillAcceleratorTest", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, Module(), nullptr);
  commands.clear();
  // The thread's key state says whether Alt is held.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  auto holdAlt = [&](bool down) {
    keys[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  holdAlt(true);
  const LPARAM altContext = 1 << 29;
  for (char c : {'?', '/', 'x'}) {
    MSG msg{window, WM_SYSCHAR, static_cast<WPARAM>(c), altContext, 0, {0, 0}};
    TranslateAcceleratorA(window, table, &msg);
  }
  holdAlt(false);
  MSG plain{window, WM_CHAR, '?', 0, 0, {0, 0}};
  TranslateAcceleratorA(window, table, &plain);
  EXPECT_EQ(commands, (std::vector<WORD>{IDM_ABOUT, IDM_ABOUT}));
  DestroyWindow(window);
  DestroyAcceleratorTable(table);
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[128] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Where a dialog control lies, in dialog units of its dialog.
RECT Placement(HWND dialog, int left, int top, int width, int height) {
  RECT r{left, top, left + width, top + height};
  MapDialogRect(dialog, &r);
  return r;
}

RECT ClientRectOf(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DialogResourceTest, VoiceSettingLayout) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_VOICE_SETTING), nullptr,
                                   QuietDialog, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(dialog), "Voice Setting");
  const LONG style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);

  HWND ok = GetDlgItem(dialog, IDOK);
  EXPECT_EQ(TextOf(ok), "OK");
  EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(SameRect(ClientRectOf(dialog, ok), Placement(dialog, 73, 79, 41, 12)));
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  EXPECT_EQ(TextOf(cancel), "Cancel");
  EXPECT_TRUE(SameRect(ClientRectOf(dialog, cancel), Placement(dialog, 118, 79, 42, 12)));

  struct Slider {
    int id, top;
  };
  for (const Slider& s : {Slider{IDC_RATE_SLIDER, 18}, Slider{IDC_VOLUME_SLIDER, 35}}) {
    HWND slider = GetDlgItem(dialog, s.id);
    ASSERT_NE(slider, nullptr) << s.id;
    EXPECT_EQ(ClassOf(slider), "msctls_trackbar32");
    const LONG sliderStyle = GetWindowLongA(slider, GWL_STYLE);
    EXPECT_TRUE(sliderStyle & TBS_NOTICKS);
    EXPECT_TRUE(sliderStyle & TBS_BOTH);
    EXPECT_TRUE(sliderStyle & WS_TABSTOP);
    // A trackbar sets its own height; where it starts and its width are the template's.
    const RECT placed = ClientRectOf(dialog, slider);
    const RECT expected = Placement(dialog, 46, s.top, 90, 10);
    EXPECT_EQ(placed.left, expected.left);
    EXPECT_EQ(placed.top, expected.top);
    EXPECT_EQ(placed.right, expected.right);
  }
  HWND formats = GetDlgItem(dialog, IDC_FORMAT_LIST);
  ASSERT_NE(formats, nullptr);
  EXPECT_EQ(ClassOf(formats), "ComboBox");
  EXPECT_EQ(GetWindowLongA(formats, GWL_STYLE) & 3, CBS_DROPDOWN);
  // The voice list lies under the buttons, a list to pick from.
  HWND voices = GetDlgItem(dialog, IDC_VOICE_LIST);
  ASSERT_NE(voices, nullptr);
  EXPECT_EQ(ClassOf(voices), "ComboBox");
  EXPECT_EQ(GetWindowLongA(voices, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  const RECT voicesPlaced = ClientRectOf(dialog, voices);
  const RECT voicesExpected = Placement(dialog, 50, 98, 110, 12);
  EXPECT_EQ(voicesPlaced.left, voicesExpected.left);
  EXPECT_EQ(voicesPlaced.top, voicesExpected.top);
  EXPECT_EQ(voicesPlaced.right, voicesExpected.right);

  // The labels and the group box, in their order.
  std::vector<std::string> statics;
  for (HWND child = GetWindow(ok, GW_HWNDFIRST); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == -1 || GetDlgCtrlID(child) == 0xFFFF) statics.push_back(TextOf(child));
  }
  EXPECT_EQ(statics, (std::vector<std::string>{"Rate", "Volume", "Format", "Voice Setup", "Voice"}));
  DestroyWindow(dialog);
}

TEST(DialogResourceTest, AboutAndSplash) {
  HWND about = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, QuietDialog, 0);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(TextOf(about), "About");
  EXPECT_EQ(TextOf(GetDlgItem(about, IDOK)), "OK");
  DestroyWindow(about);

  HWND splash = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_SPLASH), nullptr, QuietDialog, 0);
  ASSERT_NE(splash, nullptr);
  const LONG style = GetWindowLongA(splash, GWL_STYLE);
  EXPECT_FALSE(style & WS_CAPTION) << "the splash has no caption";
  EXPECT_TRUE(style & WS_POPUP);
  HWND picture = GetDlgItem(splash, IDC_SPLASH_PICTURE);
  ASSERT_NE(picture, nullptr);
  HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(shown, nullptr);
  BITMAP shape{};
  GetObjectA(shown, sizeof shape, &shape);
  EXPECT_EQ(shape.bmWidth, 520);
  EXPECT_EQ(shape.bmHeight, 316);
  DestroyWindow(splash);
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// The manifests quillpad.exe carries, as the loader reads them: the 64-bit
// program of this build tree and the 32-bit one beside it.
std::vector<std::string> ProgramManifests(const std::wstring& program) {
  std::vector<std::string> manifests;
  const HMODULE file = LoadLibraryExW(program.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (file == nullptr) return manifests;
  EnumResourceNamesW(
      file, MAKEINTRESOURCEW(24),  // RT_MANIFEST
      [](HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) -> BOOL {
        const HRSRC resource = FindResourceW(module, name, type);
        const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
        if (loaded != nullptr) {
          reinterpret_cast<std::vector<std::string>*>(found)->emplace_back(
              static_cast<const char*>(LockResource(loaded)), SizeofResource(module, resource));
        }
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&manifests));
  FreeLibrary(file);
  return manifests;
}

TEST(ManifestTest, DpiAwareWithoutAnExecutionLevelOrNewControls) {
  wchar_t self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  // tests/resources/resources_win_tests.exe in the build tree.
  std::wstring tree = self;
  for (int up = 0; up < 3; ++up) tree.resize(tree.find_last_of(L"\\/"));
  const std::wstring programs[] = {tree + L"\\shell\\quillpad.exe",
                                   tree.substr(0, tree.find_last_of(L"\\/")) +
                                       L"\\win32\\shell\\quillpad.exe"};
  for (const std::wstring& program : programs) {
    SCOPED_TRACE(std::string(program.begin(), program.end()));
    ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES)
        << "build the program first (the 32-bit one in the win32 tree)";
    const std::vector<std::string> manifests = ProgramManifests(program);
    ASSERT_EQ(manifests.size(), 1u);
    const std::string& manifest = manifests[0];
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                            "WindowsSettings\">true</dpiAware>"),
              std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, System</dpiAwareness>"), std::string::npos);
    // Either would end the registry virtualisation the settings rely on,
    // or give the controls another look.
    for (const char* banned : {"trustInfo", "requestedExecutionLevel", "requestedPrivileges",
                               "Microsoft.Windows.Common-Controls", "dependency"}) {
      EXPECT_EQ(manifest.find(banned), std::string::npos) << banned;
    }
  }
}

}  // namespace
}  // namespace quill
