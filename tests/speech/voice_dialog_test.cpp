// The Voice Setting dialog opened from the main window, answered from the
// dialog thread of the fixture as a user would: keys on the sliders, a pick
// from the lists, OK, Cancel or the close box.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ids.h"
#include "shell/shell_fixture.h"
#include "speech/fake_speech.h"
#include "speech/speech.h"
#include "speech/voice_dialog.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;

// What the dialog shows.
struct Shown {
  std::string format;
  int rate = 99;
  int volume = 99;
  std::string voice;
  Strings voices;
};

std::string ItemText(HWND combo, LRESULT item) {
  char text[128] = {};
  if (item < 0 || SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0) >= 127) {
    return {};
  }
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
  return text;
}

Shown Read(HWND dialog) {
  Shown shown;
  HWND formats = GetDlgItem(dialog, IDC_FORMAT_LIST);
  shown.format = ItemText(formats, SendMessageA(formats, CB_GETCURSEL, 0, 0));
  shown.rate = static_cast<int>(SendDlgItemMessageA(dialog, IDC_RATE_SLIDER, TBM_GETPOS, 0, 0));
  shown.volume = static_cast<int>(SendDlgItemMessageA(dialog, IDC_VOLUME_SLIDER, TBM_GETPOS, 0, 0));
  HWND voices = GetDlgItem(dialog, IDC_VOICE_LIST);
  shown.voice = ItemText(voices, SendMessageA(voices, CB_GETCURSEL, 0, 0));
  const LRESULT count = SendMessageA(voices, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; item < count; ++item) shown.voices.push_back(ItemText(voices, item));
  return shown;
}

// Presses a key on a slider as often as asked; the slider reports each move.
void PressKey(HWND dialog, int slider, WPARAM key, int times = 1) {
  for (int i = 0; i < times; ++i) SendDlgItemMessageA(dialog, slider, WM_KEYDOWN, key, 0);
}

// Picks an item of a list as a click would, with its notification.
void Pick(HWND dialog, int list, int item) {
  HWND combo = GetDlgItem(dialog, list);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

class VoiceDialogTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    options_.speech = &fake_;
    MakeBook("deflex_a.xqb", u"Default A", {"Alpha=first letter"});
    SetInstallFolder(Folder());
    ASSERT_EQ(Start(), 1);
    fake_.calls.clear();
  }

  // Opens the dialog; answer reads and moves it, then closes it with finish.
  INT_PTR Open(std::function<void(HWND)> answer, DialogAnswerer::Answer finish,
               Shown* shown = nullptr) {
    dialogs_->Queue([answer, finish, shown](HWND dialog) {
      if (shown != nullptr) *shown = Read(dialog);
      answer(dialog);
      finish(dialog);
    });
    const INT_PTR result = ShowVoiceDialog(GetModuleHandleA(nullptr), Window().hwnd, fake_);
    Pump();
    EXPECT_EQ(fake_.live, 0) << "the voice list gives its tokens back";
    return result;
  }
  static void Nothing(HWND) {}
  static void CloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }
  static void Escape(HWND dialog) {
    PostMessageA(GetDlgItem(dialog, IDC_RATE_SLIDER), WM_KEYDOWN, VK_ESCAPE, 0);
  }

  void ExpectSettings(int volume, int rate, int formatIndex) {
    EXPECT_EQ(speechSettings.volume, volume);
    EXPECT_EQ(speechSettings.rate, rate);
    EXPECT_EQ(speechSettings.formatIndex, formatIndex);
  }

  FakeSpeech fake_;
};

TEST_F(VoiceDialogTest, FirstOpeningShowsTheDefaultsAndOkKeepsThem) {
  struct Setup {
    std::vector<LRESULT> itemData;
    LRESULT rateMin = 0, rateMax = 0, ratePage = 0, volumeMin = 0, volumeMax = 0, volumePage = 0;
  } setup;
  Shown shown;
  dialogs_->Queue([&](HWND dialog) {
    shown = Read(dialog);
    for (int row = 0; row < 40; ++row) {
      setup.itemData.push_back(
          SendDlgItemMessageA(dialog, IDC_FORMAT_LIST, CB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    }
    setup.rateMin = SendDlgItemMessageA(dialog, IDC_RATE_SLIDER, TBM_GETRANGEMIN, 0, 0);
    setup.rateMax = SendDlgItemMessageA(dialog, IDC_RATE_SLIDER, TBM_GETRANGEMAX, 0, 0);
    setup.ratePage = SendDlgItemMessageA(dialog, IDC_RATE_SLIDER, TBM_GETPAGESIZE, 0, 0);
    setup.volumeMin = SendDlgItemMessageA(dialog, IDC_VOLUME_SLIDER, TBM_GETRANGEMIN, 0, 0);
    setup.volumeMax = SendDlgItemMessageA(dialog, IDC_VOLUME_SLIDER, TBM_GETRANGEMAX, 0, 0);
    setup.volumePage = SendDlgItemMessageA(dialog, IDC_VOLUME_SLIDER, TBM_GETPAGESIZE, 0, 0);
    // Text typed into the format field is not a choice.
    SetDlgItemTextA(dialog, IDC_FORMAT_LIST, "8kHz 8 Bit Mono");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FORMAT_LIST, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_FORMAT_LIST)));
    DialogAnswerer::PressOk(dialog);
  });
  // Opened from the File menu's "&Setup ..." item.
  SendMessageA(Window().hwnd, WM_COMMAND, IDM_VOICE_SETTING, 0);
  Pump();

  EXPECT_EQ(shown.format, "22kHz 16 Bit Mono");
  EXPECT_EQ(shown.rate, 0);
  EXPECT_EQ(shown.volume, 100) << "128 lies above the slider: it shows its maximum";
  ASSERT_EQ(setup.itemData.size(), 40u);
  for (int row = 0; row < 36; ++row) EXPECT_EQ(setup.itemData[row], row + 4) << row;
  EXPECT_EQ(setup.itemData[36], CB_ERR) << "36 rows, no more";
  EXPECT_EQ(setup.rateMin, -10);
  EXPECT_EQ(setup.rateMax, 10);
  EXPECT_EQ(setup.ratePage, 5);
  EXPECT_EQ(setup.volumeMin, 0);
  EXPECT_EQ(setup.volumeMax, 100);
  EXPECT_EQ(setup.volumePage, 10);
  // The voices with a description, in the user's language where the voice
  // has one; the service's default voice is the one selected.
  const std::string ann = VoiceDescriptionLanguage() == 0x409 ? "Ann - English" : "Ann";
  EXPECT_EQ(shown.voices, (Strings{ann, "Bert"}));
  EXPECT_EQ(shown.voice, "Bert");
  EXPECT_EQ(DialogTexts(), Strings{"[Voice Setting]"});

  ExpectSettings(128, 0, 18);
  EXPECT_EQ(fake_.live, 0);
}

TEST_F(VoiceDialogTest, VolumeFiftyIsKeptAndShownNextTime) {
  // Five pages down from the top of the slider.
  EXPECT_EQ(Open([](HWND d) { PressKey(d, IDC_VOLUME_SLIDER, VK_PRIOR, 5); },
                 DialogAnswerer::PressOk),
            IDOK);
  ExpectSettings(50, 0, 18);
  Shown shown;
  EXPECT_EQ(Open(Nothing, DialogAnswerer::PressCancel, &shown), IDCANCEL);
  EXPECT_EQ(shown.volume, 50);
  ExpectSettings(50, 0, 18);
}

TEST_F(VoiceDialogTest, CancelEscapeAndCloseBoxLeaveTheSettings) {
  const auto change = [](HWND d) {
    PressKey(d, IDC_VOLUME_SLIDER, VK_PRIOR);
    PressKey(d, IDC_RATE_SLIDER, VK_END);
    Pick(d, IDC_FORMAT_LIST, 3);
    Pick(d, IDC_VOICE_LIST, 0);
  };
  for (const DialogAnswerer::Answer& finish :
       {DialogAnswerer::Answer(DialogAnswerer::PressCancel), DialogAnswerer::Answer(Escape),
        DialogAnswerer::Answer(CloseBox)}) {
    EXPECT_EQ(Open(change, finish), IDCANCEL);
    ExpectSettings(128, 0, 18);
    EXPECT_EQ(speechSettings.voiceId, L"");
  }
  // The next opening shows the confirmed values again, and OK keeps them.
  Shown shown;
  EXPECT_EQ(Open(Nothing, DialogAnswerer::PressOk, &shown), IDOK);
  EXPECT_EQ(shown.format, "22kHz 16 Bit Mono");
  EXPECT_EQ(shown.rate, 0);
  EXPECT_EQ(shown.volume, 100);
  ExpectSettings(128, 0, 18);
}

TEST_F(VoiceDialogTest, LastFormatReachesTheNextRequest) {
  EXPECT_EQ(Open([](HWND d) { Pick(d, IDC_FORMAT_LIST, 35); }, DialogAnswerer::PressOk), IDOK);
  ExpectSettings(128, 0, 35);
  SendMessageA(Window().hwnd, WM_COMMAND, IDM_SPEAK, 0);
  EXPECT_EQ(fake_.format.nSamplesPerSec, 48000u);
  EXPECT_EQ(fake_.format.wBitsPerSample, 16);
  EXPECT_EQ(fake_.format.nChannels, 2);
}

TEST_F(VoiceDialogTest, RateSliderEndsAreStoredUnchanged) {
  EXPECT_EQ(Open([](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_HOME); }, DialogAnswerer::PressOk),
            IDOK);
  ExpectSettings(128, -10, 18);
  Shown shown;
  EXPECT_EQ(Open([](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_END); }, DialogAnswerer::PressOk,
                 &shown),
            IDOK);
  EXPECT_EQ(shown.rate, -10);
  ExpectSettings(128, 10, 18);
}

TEST_F(VoiceDialogTest, ChosenVoiceIsKeptForTheRun) {
  EXPECT_EQ(Open([](HWND d) { Pick(d, IDC_VOICE_LIST, 0); }, DialogAnswerer::PressOk), IDOK);
  EXPECT_EQ(speechSettings.voiceId, fake_.voices[0].id);
  Shown shown;
  EXPECT_EQ(Open([](HWND d) { Pick(d, IDC_VOICE_LIST, 1); }, DialogAnswerer::PressCancel, &shown),
            IDCANCEL);
  EXPECT_TRUE(shown.voice.starts_with("Ann"));
  EXPECT_EQ(speechSettings.voiceId, fake_.voices[0].id);
  SendMessageA(Window().hwnd, WM_COMMAND, IDM_SPEAK, 0);
  EXPECT_EQ(fake_.voiceSet, fake_.voices[0].id);
}

// A service whose voices cannot be listed leaves the list empty; the rest of
// the dialog works as before.
TEST_F(VoiceDialogTest, VoicesThatCannotBeListedLeaveTheListEmpty) {
  fake_.Fail("EnumTokens");
  Shown shown;
  EXPECT_EQ(Open([](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_HOME); }, DialogAnswerer::PressOk,
                 &shown),
            IDOK);
  EXPECT_EQ(shown.voices, Strings{});
  ExpectSettings(128, -10, 18);
  EXPECT_EQ(speechSettings.voiceId, L"");
}

}  // namespace
}  // namespace quill::testing
