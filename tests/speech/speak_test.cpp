// Reading aloud through the main window's command 1103, with the recording
// stand-in behind the speech interface, and once with Wine's own service.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <sapi.h>

#include <cstddef>
#include <cstdio>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "resources/ids.h"
#include "shell/shell_fixture.h"
#include "speech/fake_speech.h"
#include "speech/speech.h"
#include "support/test_books.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;

class SpeakTest : public ShellTest {
 protected:
  void StartWith(SpeechApi* speech) {
    options_.speech = speech;
    MakeBook("deflex_a.xqb", u"Default A", {"Alpha=first letter", "beta=second letter"});
    SetInstallFolder(Folder());
    ASSERT_EQ(Start(), 1);
  }
  void Speak() {
    SendMessageA(Window().hwnd, WM_COMMAND, IDM_SPEAK, 0);
    Pump();
  }
  bool SpeakButtonEnabled() {
    return SendMessageA(Window().toolbar, TB_ISBUTTONENABLED, IDM_SPEAK, 0) != 0;
  }
  bool SetupItemEnabled() {
    const UINT state = GetMenuState(GetMenu(Window().hwnd), IDM_VOICE_SETTING, MF_BYCOMMAND);
    return (state & (MF_GRAYED | MF_DISABLED)) == 0;
  }

  FakeSpeech fake_;
};

TEST_F(SpeakTest, DefaultsReachTheVoiceAndEverythingIsReleased) {
  StartWith(&fake_);
  fake_.calls.clear();
  Speak();
  EXPECT_EQ(fake_.volume, 128);
  EXPECT_EQ(fake_.rate, 0);
  ASSERT_TRUE(fake_.formatGiven);
  EXPECT_TRUE(IsEqualGUID(fake_.formatId, SPDFID_WaveFormatEx));
  EXPECT_EQ(fake_.format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(fake_.format.nSamplesPerSec, 22050u);
  EXPECT_EQ(fake_.format.wBitsPerSample, 16);
  EXPECT_EQ(fake_.format.nChannels, 1);
  EXPECT_EQ(fake_.format.nBlockAlign, 2);
  EXPECT_EQ(fake_.format.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(fake_.format.cbSize, 0);
  EXPECT_TRUE(fake_.outputBound);
  EXPECT_EQ(fake_.spoken, std::vector<std::wstring>{L"Alpha"});
  EXPECT_EQ(fake_.live, 0);
  // The steps in their order: the default audio output, its format, the
  // binding, then rate, volume and the text; no voice is chosen.
  EXPECT_EQ(fake_.calls,
            (Strings{"CreateVoice", "CreateCategory", "Category.SetId AudioOutput",
                     "GetDefaultTokenId", "CreateToken", "Token.SetId " + Narrow(fake_.audioOutputId),
                     "CreateAudio", "SetFormat", "SetOutput FALSE", "SetRate 0", "SetVolume 128",
                     "Speak 0"}));
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(SpeakTest, SettingsReachTheVoiceUnchanged) {
  StartWith(&fake_);
  struct Case {
    int row, rate, volume;
    DWORD samples;
    WORD bits, channels, blockAlign;
    DWORD bytesPerSecond;
  };
  for (const Case& c : {Case{0, 5, 50, 8000, 8, 1, 1, 8000},
                        Case{31, -10, 0, 44100, 16, 2, 4, 176400},
                        Case{35, 10, 100, 48000, 16, 2, 4, 192000},
                        // The volume goes over as its low 16 bits.
                        Case{18, -3, 0x10000 + 7, 22050, 16, 1, 2, 44100}}) {
    speechSettings.formatIndex = c.row;
    speechSettings.rate = c.rate;
    speechSettings.volume = c.volume;
    Speak();
    EXPECT_EQ(fake_.rate, c.rate) << c.row;
    EXPECT_EQ(fake_.volume, c.volume & 0xFFFF) << c.row;
    EXPECT_EQ(fake_.format.nSamplesPerSec, c.samples) << c.row;
    EXPECT_EQ(fake_.format.wBitsPerSample, c.bits) << c.row;
    EXPECT_EQ(fake_.format.nChannels, c.channels) << c.row;
    EXPECT_EQ(fake_.format.nBlockAlign, c.blockAlign) << c.row;
    EXPECT_EQ(fake_.format.nAvgBytesPerSec, c.bytesPerSecond) << c.row;
    EXPECT_EQ(fake_.live, 0) << c.row;
  }
}

TEST_F(SpeakTest, NothingToReadSpeaksAnEmptyText) {
  MakeBook("empty.xqb", u"Empty", {});
  StartWith(&fake_);
  // A closed book (as after a failed reopen)...
  Window().book.Close();
  Speak();
  // ...and a book without entries.
  ASSERT_EQ(Window().book.Open((Folder() + "\\empty.xqb").c_str()), 1);
  Speak();
  EXPECT_EQ(fake_.spoken, (std::vector<std::wstring>{L"", L""}));
  EXPECT_EQ(fake_.live, 0);
  EXPECT_EQ(DialogTexts(), Strings{});
}

// The writer keeps keys to 511 units, but a book from elsewhere may hold
// longer ones (its textBufferUnits says how long): such a key is read whole.
TEST_F(SpeakTest, LongKeyIsSpokenWhole) {
  const std::string entry = std::string(500, 'k') + "=" + std::string(300, 'k');
  BookLayout layout;
  layout.compressIndexes = false;
  std::vector<std::uint8_t> image = BuildImage(Entries({"a=short", entry.c_str()}), layout);
  // Entry 1's key swallows its content: 800 units.
  const std::size_t record =
      Peek<std::uint32_t>(image, offsetof(BookHeader, entryIndexOffset)) + 1 +
      sizeof(EntryIndexRecord);
  Poke<std::uint16_t>(image, record + offsetof(EntryIndexRecord, keyBytes), 1600);
  Poke<std::uint16_t>(image, record + offsetof(EntryIndexRecord, contentBytes), 0);
  Poke<std::int32_t>(image, offsetof(BookHeader, textBufferUnits), 801);
  FILE* file = std::fopen((Folder() + "\\deflex_a.xqb").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(image.data(), 1, image.size(), file);
  std::fclose(file);
  SetInstallFolder(Folder());
  options_.speech = &fake_;
  ASSERT_EQ(Start(), 1);
  ASSERT_EQ(Window().book.SetCurrentEntry(1), 1);
  Speak();
  ASSERT_EQ(fake_.spoken.size(), 1u);
  EXPECT_EQ(fake_.spoken[0], std::wstring(800, L'k'));
}

TEST_F(SpeakTest, VoiceThatCannotBeMadeSpeaksNothing) {
  StartWith(&fake_);
  fake_.Fail("CreateVoice", REGDB_E_CLASSNOTREG);
  Speak();
  EXPECT_EQ(fake_.spoken, std::vector<std::wstring>{});
  EXPECT_EQ(fake_.live, 0);
  EXPECT_EQ(DialogTexts(), Strings{"ERROR: Error to intiliaze TTS."});
}

// Whichever later step fails, the word is still spoken where it can be, no
// message is shown and every object is given back.
TEST_F(SpeakTest, LaterFailuresReleaseEverything) {
  StartWith(&fake_);
  struct Case {
    const char* call;
    bool bound;  // whether the voice still speaks to the audio object
  };
  for (const Case& c :
       {Case{"CreateCategory", false}, Case{"Category.SetId", false},
        Case{"GetDefaultTokenId", false}, Case{"CreateToken", false}, Case{"Token.SetId", false},
        Case{"CreateAudio", false}, Case{"SetFormat", true}, Case{"SetOutput", true},
        Case{"SetRate", true}, Case{"SetVolume", true}, Case{"Speak", true}}) {
    FakeSpeech fake;
    fake.Fail(c.call);
    SpeakCurrentKey(fake, &Window().book, speechSettings);
    EXPECT_EQ(fake.live, 0) << c.call;
    EXPECT_EQ(fake.spoken, std::vector<std::wstring>{L"Alpha"}) << c.call;
    EXPECT_EQ(fake.outputBound, c.bound) << c.call;
  }
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(SpeakTest, ChosenVoiceIsSetBeforeSpeaking) {
  StartWith(&fake_);
  speechSettings.voiceId = fake_.voices[0].id;
  Speak();
  EXPECT_EQ(fake_.voiceSet, fake_.voices[0].id);
  EXPECT_EQ(fake_.live, 0);
  // A voice no longer installed leaves the default one.
  FakeSpeech gone;
  gone.Fail("Token.SetId", static_cast<HRESULT>(0x8004503AL));
  SpeakCurrentKey(gone, &Window().book, speechSettings);
  EXPECT_EQ(gone.voiceSet, L"");
  EXPECT_EQ(gone.spoken, std::vector<std::wstring>{L"Alpha"});
  EXPECT_EQ(gone.live, 0);
}

// A thread whose COM is already set up another way cannot initialise it for
// the voice: the user is told, and nothing is made.
TEST_F(SpeakTest, ComThatCannotStartIsReported) {
  StartWith(&fake_);
  fake_.calls.clear();
  std::atomic<bool> done{false};
  std::thread other([this, &done] {
    const HRESULT multi = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    SpeakCurrentKey(fake_, &Window().book, speechSettings);
    if (SUCCEEDED(multi)) CoUninitialize();
    done = true;
  });
  // The message box is owned by the main window: this thread keeps serving
  // it meanwhile.
  while (!done) {
    Pump();
    Sleep(10);
  }
  other.join();
  EXPECT_EQ(fake_.calls, Strings{});
  EXPECT_EQ(fake_.live, 0);
  EXPECT_EQ(DialogTexts(), Strings{"ERROR: Error to intiliaze COM."});
}

TEST_F(SpeakTest, NoVoiceAtStartGreysTheSpeechCommands) {
  fake_.Fail("CreateVoice");
  StartWith(&fake_);
  EXPECT_FALSE(SpeakButtonEnabled());
  EXPECT_FALSE(SetupItemEnabled());
  EXPECT_EQ(fake_.live, 0);
}

// Wine's own speech service: the probe finds a voice and a request comes
// back without a message (Wine's voice cannot really speak yet).
TEST_F(SpeakTest, PlatformServiceAnswersQuietly) {
  StartWith(nullptr);
  EXPECT_TRUE(SpeakButtonEnabled());
  EXPECT_TRUE(SetupItemEnabled());
  Speak();
  EXPECT_EQ(DialogTexts(), Strings{});
  EXPECT_TRUE(IsWindow(Window().hwnd));
}

}  // namespace
}  // namespace quill::testing
