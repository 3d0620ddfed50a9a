// The Voice Setting dialog: it edits pending copies of the speech settings
// and writes them into the caller's settings only on OK.
#include "speech/voice_dialog.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "win/wide_text.h"
#include "resources/ids.h"
#include "win/registry_key.h"
#include "win/scoped_win.h"
#include "speech/audio_format.h"
#include "speech/co_task_mem.h"
#include "speech/speech.h"

namespace quill {

namespace {

// The speech service's own failure codes.
constexpr HRESULT kSpeechNoMoreItems = static_cast<HRESULT>(0x80045039L);
constexpr HRESULT kSpeechNotFound = static_cast<HRESULT>(0x8004503AL);

constexpr int kRateMin = -10;
constexpr int kRateMax = 10;
constexpr int kRatePage = 5;
constexpr int kVolumeMin = 0;
constexpr int kVolumeMax = 100;
constexpr int kVolumePage = 10;

// Windows 2000 and later tell the user's interface language.
constexpr DWORD kFirstUiLanguageMajorVersion = 5;
// Right-to-left and Thai interfaces describe their voices in English.
constexpr LANGID kArabic = MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_SAUDI_ARABIA);
constexpr LANGID kHebrew = MAKELANGID(LANG_HEBREW, SUBLANG_DEFAULT);
constexpr LANGID kThai = MAKELANGID(LANG_THAI, SUBLANG_DEFAULT);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
static_assert(kArabic == 0x401 && kHebrew == 0x40D && kThai == 0x41E && kEnglish == 0x409);

// What one opening of the dialog works with: the service whose voices it
// lists, the settings OK writes into, and the pending values the controls
// change until then (each opening starts them from the settings).
struct VoiceDialogState {
  SpeechApi* api = nullptr;
  SpeechSettings* settings = nullptr;
  int pendingVolume = kDefaultSpeechVolume;
  int pendingRate = 0;
  int pendingFormatIndex = kDefaultFormatIndex;
  // Whether the user picked a voice from the list since the dialog opened.
  // Until then OK stores no voice, so that the speech service's default
  // (even one changed later in the run) is spoken in.
  bool voicePicked = false;
};

// The state of an open dialog, kept in its user data; null before
// WM_INITDIALOG.
VoiceDialogState* StateOf(HWND dialog) {
  return reinterpret_cast<VoiceDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// A trackbar range: the low end in the low word, the high end in the high
// word, each a signed 16-bit number.
LPARAM SliderRange(int low, int high) {
  const DWORD packed = static_cast<DWORD>(static_cast<WORD>(low)) |
                       (static_cast<DWORD>(static_cast<WORD>(high)) << 16);
  return static_cast<LPARAM>(static_cast<LONG>(packed));
}

SpeechToken* VoiceItemToken(HWND combo, LRESULT item) {
  const LRESULT data = SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
  return data == CB_ERR ? nullptr : reinterpret_cast<SpeechToken*>(data);
}

// The token id of a list item, or an empty text.
std::wstring VoiceItemId(HWND combo, LRESULT item) {
  SpeechToken* token = VoiceItemToken(combo, item);
  CoTaskText id;
  if (token == nullptr || FAILED(token->GetId(id.put())) || !id) return {};
  return id.get();
}

// The voice's description in language (its value named by the language id
// in hexadecimal), or its default description.
HRESULT VoiceDescription(SpeechToken& token, LANGID language, CoTaskText& description) {
  wchar_t name[8] = {};
  std::swprintf(name, sizeof name / sizeof name[0], L"%X", static_cast<unsigned>(language));
  HRESULT result = token.GetStringValue(name, description.put());
  if (result == kSpeechNotFound) result = token.GetStringValue(nullptr, description.put());
  return result;
}

void SelectVoice(SpeechApi& api, HWND combo, const wchar_t* selectId) {
  std::wstring wanted = selectId != nullptr ? selectId : L"";
  if (wanted.empty()) {
    ScopedComPtr<SpeechCategory> category;
    CoTaskText defaultId;
    if (SUCCEEDED(api.CreateCategory(category.put())) &&
        SUCCEEDED(category->SetId(kVoiceCategory, FALSE)) &&
        SUCCEEDED(category->GetDefaultTokenId(defaultId.put())) && defaultId) {
      wanted = defaultId.get();
    }
  }
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; !wanted.empty() && item < count; ++item) {
    if (VoiceItemId(combo, item) == wanted) {
      SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
      return;
    }
  }
}

// Reads a registry text under HKEY_USERS as a hexadecimal number; 0 when it
// is missing or not a number.
LANGID HexRegistryLanguage(const char* path, const char* name) {
  const ScopedRegKey key = OpenRegistryKey({HKEY_USERS, path});
  if (!key) return 0;
  char text[32] = {};
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  if (!ReadValue(key, name, text, &size, &type) || type != REG_SZ) return 0;
  return static_cast<LANGID>(std::strtoul(text, nullptr, 16));
}

using UiLanguageFunction = LANGID(WINAPI*)();

// The dialog's handlers.

void FillFormatList(HWND dialog, int selectedRow) {
  for (int row = 0; row < kAudioFormatCount; ++row) {
    const std::wstring label = Widen(AudioFormatTable[row].label);
    SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(label.c_str()));
    SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_SETITEMDATA, static_cast<WPARAM>(row),
                        AudioFormatTable[row].streamFormat);
  }
  SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_SETCURSEL, static_cast<WPARAM>(selectedRow), 0);
}

void SetUpSlider(HWND dialog, int slider, int low, int high, int position, int page) {
  SendDlgItemMessageW(dialog, slider, TBM_SETRANGE, TRUE, SliderRange(low, high));
  SendDlgItemMessageW(dialog, slider, TBM_SETPOS, TRUE, position);
  SendDlgItemMessageW(dialog, slider, TBM_SETPAGESIZE, 0, page);
}

BOOL OnInitDialog(HWND dialog, VoiceDialogState* state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  const SpeechSettings& settings = *state->settings;
  state->pendingVolume = settings.volume;
  state->pendingRate = settings.rate;
  state->pendingFormatIndex = settings.formatIndex;
  state->voicePicked = false;

  FillFormatList(dialog, settings.formatIndex);
  SetUpSlider(dialog, IDC_RATE_SLIDER, kRateMin, kRateMax, settings.rate, kRatePage);
  SetUpSlider(dialog, IDC_VOLUME_SLIDER, kVolumeMin, kVolumeMax, settings.volume, kVolumePage);

  FillVoiceList(*state->api, GetDlgItem(dialog, IDC_VOICE_LIST), settings.voiceId.c_str());
  return TRUE;
}

BOOL OnHScroll(VoiceDialogState& state, HWND slider) {
  const int position = static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
  switch (GetDlgCtrlID(slider)) {
    case IDC_VOLUME_SLIDER:
      state.pendingVolume = position;
      break;
    case IDC_RATE_SLIDER:
      state.pendingRate = position;
      break;
    default:
      break;
  }
  return TRUE;
}

void OnOk(HWND dialog, const VoiceDialogState& state) {
  SpeechSettings& settings = *state.settings;
  settings.volume = state.pendingVolume;
  settings.rate = state.pendingRate;
  settings.formatIndex = state.pendingFormatIndex;
  HWND voices = GetDlgItem(dialog, IDC_VOICE_LIST);
  const LRESULT chosen = SendMessageW(voices, CB_GETCURSEL, 0, 0);
  if (state.voicePicked && chosen != CB_ERR) {
    std::wstring id = VoiceItemId(voices, chosen);
    if (!id.empty()) settings.voiceId = std::move(id);
  }
  EndDialog(dialog, IDOK);
}

BOOL OnCommand(HWND dialog, VoiceDialogState& state, int id, int code) {
  switch (id) {
    case IDOK:
      OnOk(dialog, state);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case IDC_FORMAT_LIST:
      // Only a choice from the list counts, never text typed into the field.
      if (code == CBN_SELCHANGE) {
        const LRESULT row = SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_GETCURSEL, 0, 0);
        if (row >= 0 && row < kAudioFormatCount) state.pendingFormatIndex = static_cast<int>(row);
      }
      return FALSE;
    case IDC_VOICE_LIST:
      if (code == CBN_SELCHANGE) state.voicePicked = true;
      return FALSE;
    default:
      return FALSE;
  }
}

void OnDestroy(HWND dialog) { ClearVoiceList(GetDlgItem(dialog, IDC_VOICE_LIST)); }

// lParam of the opening is the VoiceDialogState of this opening.
INT_PTR CALLBACK VoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    return OnInitDialog(dialog, reinterpret_cast<VoiceDialogState*>(lParam));
  }
  VoiceDialogState* state = StateOf(dialog);
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_HSCROLL:
      return OnHScroll(*state, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      return OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
      OnDestroy(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR ShowVoiceDialog(HINSTANCE instance, HWND owner, SpeechApi& api, SpeechSettings& settings) {
  VoiceDialogState state;
  state.api = &api;
  state.settings = &settings;
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_VOICE_SETTING), owner, VoiceDialogProc,
                         reinterpret_cast<LPARAM>(&state));
}

HRESULT FillVoiceList(SpeechApi& api, HWND combo, const wchar_t* selectId) {
  ScopedComPtr<SpeechCategory> category;
  ScopedComPtr<SpeechTokenList> tokens;
  if (FAILED(api.CreateCategory(category.put())) ||
      FAILED(category->SetId(kVoiceCategory, FALSE)) ||
      category->EnumTokens(tokens.put()) != S_OK || !tokens) {
    return kSpeechNoMoreItems;
  }
  const LANGID language = VoiceDescriptionLanguage();
  HRESULT result = S_OK;
  bool first = true;
  ScopedComPtr<SpeechToken> token;
  while (SUCCEEDED(result) && tokens->Next(token.put()) == S_OK && token) {
    CoTaskText description;
    if (FAILED(VoiceDescription(*token, language, description)) || !description) continue;
    const LRESULT item =
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(description.get()));
    if (item == CB_ERR || item == CB_ERRSPACE) {
      result = E_OUTOFMEMORY;
      continue;
    }
    // The list holds the token from here on.
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(token.release()));
    if (first) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    first = false;
  }
  if (SUCCEEDED(result)) SelectVoice(api, combo, selectId);
  return result;
}

void ClearVoiceList(HWND combo) {
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; item < count; ++item) {
    ScopedComPtr<SpeechToken> held(VoiceItemToken(combo, item));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), 0);
  }
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
}

LANGID VoiceDescriptionLanguage() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  LANGID language = 0;
  if (GetVersionExA(&version)) {
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
        version.dwMajorVersion >= kFirstUiLanguageMajorVersion) {
      const FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                           "GetUserDefaultUILanguage");
      const auto uiLanguage =
          reinterpret_cast<UiLanguageFunction>(reinterpret_cast<void (*)()>(found));
      if (uiLanguage != nullptr) language = uiLanguage();
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
      language = HexRegistryLanguage(".DEFAULT\\Control Panel\\International", "Locale");
      if (language == kArabic || language == kHebrew || language == kThai) language = kEnglish;
    } else {
      language = HexRegistryLanguage(".Default\\Control Panel\\desktop\\ResourceLocale", nullptr);
    }
  }
  return language != 0 ? language : GetUserDefaultLangID();
}

}  // namespace quill
