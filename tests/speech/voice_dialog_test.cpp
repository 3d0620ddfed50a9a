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
#include "speech/audio_format.h"
#include "speech/speech.h"
#include "speech/voice_dialog.h"
#include "support/test_books.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;
using Answer = DialogAnswerer::Answer;

// What the dialog shows.
struct Shown {
  std::string format;
  int rate = 99;
  int volume = 99;
  std::string voice;
  Strings voices;
  LRESULT formatRows = 0;
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
  shown.formatRows = SendMessageA(formats, CB_GETCOUNT, 0, 0);
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

void CloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }
void Escape(HWND dialog) {
  PostMessageA(GetDlgItem(dialog, IDC_RATE_SLIDER), WM_KEYDOWN, VK_ESCAPE, 0);
}

class VoiceDialogTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    options_.speech = &fake_;
    StartWithBook(Entries({"Alpha=first letter"}));
  }

  // Opens the dialog on settings (the window's, from its menu, when none);
  // answer reads and moves it, then closes it with finish. The dialog's
  // result when opened on settings.
  INT_PTR Open(Answer answer, Answer finish, Shown* shown = nullptr,
               SpeechSettings* settings = nullptr) {
    dialogs_->Queue([answer, finish, shown](HWND dialog) {
      if (shown != nullptr) *shown = Read(dialog);
      answer(dialog);
      finish(dialog);
    });
    INT_PTR result = 0;
    if (settings != nullptr) {
      result = ShowVoiceDialog(GetModuleHandleA(nullptr), Main(), fake_, *settings);
    } else {
      // Opened from the File menu's "&Setup ...", on the window's settings.
      Command(IDM_VOICE_SETTING);
    }
    Pump();
    EXPECT_EQ(fake_.live, 0) << "the voice list gives its tokens back";
    return result;
  }
  // What the window's next request applies, as the recording voice gets it:
  // volume, rate, the format of row formatIndex and the voice (none: the
  // service's default).
  void ExpectSettings(int volume, int rate, int formatIndex, const std::wstring& voice = L"") {
    fake_.voiceSet.clear();
    Command(IDM_SPEAK);
    EXPECT_EQ(fake_.volume, volume);
    EXPECT_EQ(fake_.rate, rate);
    GUID formatId = {};
    WAVEFORMATEX* wanted = nullptr;
    ASSERT_EQ(MakeStreamFormat(AudioFormatTable[formatIndex].streamFormat, &formatId, &wanted),
              S_OK);
    EXPECT_EQ(fake_.format.nSamplesPerSec, wanted->nSamplesPerSec);
    EXPECT_EQ(fake_.format.wBitsPerSample, wanted->wBitsPerSample);
    EXPECT_EQ(fake_.format.nChannels, wanted->nChannels);
    CoTaskMemFree(wanted);
    EXPECT_EQ(fake_.voiceSet, voice);
  }

  FakeSpeech fake_;
};

TEST_F(VoiceDialogTest, FirstOpeningShowsTheDefaultsAndOkKeepsThem) {
  Shown shown;
  dialogs_->Queue([&](HWND dialog) {
    shown = Read(dialog);
    // Text typed into the format field is not a choice.
    SetDlgItemTextA(dialog, IDC_FORMAT_LIST, "8kHz 8 Bit Mono");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FORMAT_LIST, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_FORMAT_LIST)));
    DialogAnswerer::PressOk(dialog);
  });
  // Opened from the File menu's "&Setup ..." item.
  Command(IDM_VOICE_SETTING);

  EXPECT_EQ(shown.format, "22kHz 16 Bit Mono");
  EXPECT_EQ(shown.formatRows, 36);
  EXPECT_EQ(shown.rate, 0);
  EXPECT_EQ(shown.volume, 100) << "128 lies above the slider: it shows its maximum";
  // The voices with a description, in the user's language where the voice
  // has one; the service's default voice is the one selected.
  const std::string ann = VoiceDescriptionLanguage() == 0x409 ? "Ann - English" : "Ann";
  EXPECT_EQ(shown.voices, (Strings{ann, "Bert"}));
  EXPECT_EQ(shown.voice, "Bert");
  EXPECT_EQ(DialogTexts(), Strings{"[Voice Setting]"});
  ExpectSettings(128, 0, 18);
  EXPECT_EQ(fake_.live, 0);
}

// Each change kept with OK is stored as the slider or list shows it, and the
// next opening shows it; the last format reaches the next request.
TEST_F(VoiceDialogTest, OkKeepsEachChangeAndTheNextOpeningShowsIt) {
  struct Case {
    const char* what;
    void (*change)(HWND);
    int volume, rate, formatIndex;
  };
  const Case cases[] = {
      // Five pages down from the top of the slider.
      {"volume 50", [](HWND d) { PressKey(d, IDC_VOLUME_SLIDER, VK_PRIOR, 5); }, 50, 0, 18},
      {"rate page", [](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_NEXT); }, 50, 5, 18},
      {"rate low end", [](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_HOME); }, 50, -10, 18},
      {"rate high end", [](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_END); }, 50, 10, 18},
      {"volume low end", [](HWND d) { PressKey(d, IDC_VOLUME_SLIDER, VK_HOME); }, 0, 10, 18},
      {"last format", [](HWND d) { Pick(d, IDC_FORMAT_LIST, 35); }, 0, 10, 35},
  };
  int shownVolume = 100;
  int shownRate = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Shown shown;
    Open(c.change, DialogAnswerer::PressOk, &shown);
    EXPECT_EQ(shown.volume, shownVolume);
    EXPECT_EQ(shown.rate, shownRate);
    ExpectSettings(c.volume, c.rate, c.formatIndex);
    shownVolume = c.volume;
    shownRate = c.rate;
  }
  Command(IDM_SPEAK);
  EXPECT_EQ(fake_.format.nSamplesPerSec, 48000u);
  EXPECT_EQ(fake_.format.wBitsPerSample, 16);
  EXPECT_EQ(fake_.format.nChannels, 2);

  // A service whose voices cannot be listed leaves the list empty; the rest
  // of the dialog works as before, and no voice is chosen.
  fake_.Fail("EnumTokens");
  Shown shown;
  Open([](HWND d) { PressKey(d, IDC_RATE_SLIDER, VK_HOME); }, DialogAnswerer::PressOk, &shown);
  EXPECT_EQ(shown.voices, Strings{});
  ExpectSettings(0, -10, 35);
}

// OK with the voice list untouched chooses no voice: every request speaks
// in the service's default voice, also after that default has changed. A
// voice picked from the list is used from then on.
TEST_F(VoiceDialogTest, OnlyAVoicePickedFromTheListIsUsed) {
  // The token and voice calls of one request.
  const auto speakVoiceCalls = [this] {
    fake_.calls.clear();
    Command(IDM_SPEAK);
    Strings made;
    for (const std::string& call : fake_.calls) {
      if (call.starts_with("CreateToken") || call.starts_with("Token.SetId") ||
          call.starts_with("SetVoice")) {
        made.push_back(call);
      }
    }
    return made;
  };
  const Strings outputOnly{"CreateToken", "Token.SetId " + Narrow(fake_.audioOutputId)};
  const auto untouched = [](HWND) {};
  Shown shown;
  // The service's default as started, then changed by the user.
  struct Case {
    std::wstring systemDefault;
    const char* shownStart;
  };
  for (const Case& c : {Case{fake_.voices[1].id, "Bert"}, Case{fake_.voices[0].id, "Ann"}}) {
    SCOPED_TRACE(c.shownStart);
    fake_.defaultVoiceId = c.systemDefault;
    Open(untouched, DialogAnswerer::PressOk, &shown);
    EXPECT_TRUE(shown.voice.starts_with(c.shownStart)) << shown.voice;
    EXPECT_EQ(speakVoiceCalls(), outputOnly);
  }
  Open([](HWND d) { Pick(d, IDC_VOICE_LIST, 1); }, DialogAnswerer::PressOk);
  Strings chosen = outputOnly;
  chosen.insert(chosen.end(), {"CreateToken", "Token.SetId " + Narrow(fake_.voices[1].id),
                               "SetVoice " + Narrow(fake_.voices[1].id)});
  EXPECT_EQ(speakVoiceCalls(), chosen);
  // The next OK with the list untouched keeps that choice.
  Open(untouched, DialogAnswerer::PressOk, &shown);
  EXPECT_EQ(shown.voice, "Bert");
  EXPECT_EQ(speakVoiceCalls(), chosen);
}

TEST_F(VoiceDialogTest, CancelEscapeAndCloseBoxLeaveTheSettings) {
  const auto change = [](HWND d) {
    PressKey(d, IDC_VOLUME_SLIDER, VK_PRIOR);
    PressKey(d, IDC_RATE_SLIDER, VK_END);
    Pick(d, IDC_FORMAT_LIST, 3);
    Pick(d, IDC_VOICE_LIST, 0);
  };
  for (const Answer& finish : {Answer(DialogAnswerer::PressCancel), Answer(Escape),
                               Answer(CloseBox)}) {
    Open(change, finish);
    ExpectSettings(128, 0, 18);
  }
  // The next opening shows the confirmed values again; a voice chosen with
  // OK is kept for the run, and shown and used after a cancelled change.
  Shown shown;
  Open([](HWND d) { Pick(d, IDC_VOICE_LIST, 0); }, DialogAnswerer::PressOk, &shown);
  EXPECT_EQ(shown.format, "22kHz 16 Bit Mono");
  EXPECT_EQ(shown.rate, 0);
  EXPECT_EQ(shown.volume, 100);
  ExpectSettings(128, 0, 18, fake_.voices[0].id);
  Open([](HWND d) { Pick(d, IDC_VOICE_LIST, 1); }, DialogAnswerer::PressCancel, &shown);
  EXPECT_TRUE(shown.voice.starts_with("Ann"));
  ExpectSettings(128, 0, 18, fake_.voices[0].id);
}

// The dialog shows and changes the settings it is given, and no others;
// each opening starts from them, whatever the last one left pending.
TEST_F(VoiceDialogTest, ShowsAndChangesOnlyTheSettingsItIsGiven) {
  SpeechSettings mine;
  mine.volume = 40;
  mine.rate = -3;
  mine.formatIndex = 5;
  mine.voiceId = fake_.voices[0].id;
  const auto pageUp = [](HWND d) { PressKey(d, IDC_VOLUME_SLIDER, VK_NEXT); };
  struct Case {
    Answer finish;
    INT_PTR result;
    int volume;  // afterwards
  };
  for (const Case& c : {Case{DialogAnswerer::PressCancel, IDCANCEL, 40},
                        Case{DialogAnswerer::PressOk, IDOK, 50}}) {
    SCOPED_TRACE(c.result);
    Shown shown;
    EXPECT_EQ(Open(pageUp, c.finish, &shown, &mine), c.result);
    EXPECT_EQ(shown.volume, 40);
    EXPECT_EQ(shown.rate, -3);
    EXPECT_EQ(shown.format, "11kHz 8 Bit Stereo");
    EXPECT_TRUE(shown.voice.starts_with("Ann")) << shown.voice;
    EXPECT_EQ(mine.volume, c.volume);
  }
  EXPECT_EQ(mine.rate, -3);
  EXPECT_EQ(mine.formatIndex, 5);
  EXPECT_EQ(mine.voiceId, fake_.voices[0].id);
  ExpectSettings(128, 0, 18);
}

}  // namespace
}  // namespace quill::testing
