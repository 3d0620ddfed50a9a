// Reading aloud through the main window's command 1103, with the recording
// stand-in behind the speech interface, and once with Wine's own service.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <sapi.h>

#include <atomic>
#include <cstddef>
#include <fstream>
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
using WStrings = std::vector<std::wstring>;

// The wave format that reached the audio object, as one line.
std::string FormatText(const WAVEFORMATEX& f) {
  return std::string(f.wFormatTag == WAVE_FORMAT_PCM && f.cbSize == 0 ? "PCM " : "? ") +
         std::to_string(f.nSamplesPerSec) + " Hz " + std::to_string(f.wBitsPerSample) + " bit " +
         std::to_string(f.nChannels) + " ch, align " + std::to_string(f.nBlockAlign) + ", " +
         std::to_string(f.nAvgBytesPerSec) + " B/s";
}

class SpeakTest : public ShellTest {
 protected:
  void StartWith(SpeechApi* speech) {
    options_.speech = speech;
    StartWithBook(Entries({"Alpha=first letter", "beta=second letter"}));
  }
  void Speak() { Command(IDM_SPEAK); }
  // Whether the toolbar's speak button and the File menu's setup item are
  // enabled.
  std::pair<bool, bool> CommandsEnabled() {
    const UINT state = GetMenuState(GetMenu(Main()), IDM_VOICE_SETTING, MF_BYCOMMAND);
    return {SendMessageA(Toolbar(), TB_ISBUTTONENABLED, IDM_SPEAK, 0) != 0,
            (state & (MF_GRAYED | MF_DISABLED)) == 0};
  }

  // The default book opened by the test itself, its cursor on "Alpha", for
  // the speech calls made without the window.
  BookFile* TestBook() {
    if (!book_.IsOpen()) {
      EXPECT_EQ(book_.Open((Folder() + "\\deflex_a.xqb").c_str()), 1);
    }
    return &book_;
  }
  void TearDown() override {
    book_.Close();
    ShellTest::TearDown();
  }

  FakeSpeech fake_;
  BookFile book_;
  // Settings of the test's own, for the speech calls made without the window.
  SpeechSettings settings_;
};

TEST_F(SpeakTest, SettingsReachTheVoiceAndEverythingIsReleased) {
  StartWith(&fake_);
  fake_.calls.clear();
  Speak();
  EXPECT_TRUE(IsEqualGUID(fake_.formatId, SPDFID_WaveFormatEx));
  EXPECT_EQ(FormatText(fake_.format), "PCM 22050 Hz 16 bit 1 ch, align 2, 44100 B/s");
  EXPECT_TRUE(fake_.outputBound);
  EXPECT_EQ(fake_.spoken, WStrings{L"Alpha"});
  EXPECT_EQ(fake_.live, 0);
  // The steps in their order: the default audio output, its format, the
  // binding, then rate, volume and the text; no voice is chosen.
  EXPECT_EQ(fake_.calls,
            (Strings{"CreateVoice", "CreateCategory", "Category.SetId AudioOutput",
                     "GetDefaultTokenId", "CreateToken", "Token.SetId " + Narrow(fake_.audioOutputId),
                     "CreateAudio", "SetFormat", "SetOutput FALSE", "SetRate 0", "SetVolume 128",
                     "Speak 0"}));
  EXPECT_EQ(DialogTexts(), Strings{});

  // Settings reach the voice unchanged (the Voice Setting dialog's tests
  // show its OK hands them over).
  struct Case {
    int row, rate, volume;
    const char* format;
  };
  for (const Case& c : {Case{0, 5, 50, "PCM 8000 Hz 8 bit 1 ch, align 1, 8000 B/s"},
                        Case{31, -10, 0, "PCM 44100 Hz 16 bit 2 ch, align 4, 176400 B/s"},
                        Case{35, 10, 100, "PCM 48000 Hz 16 bit 2 ch, align 4, 192000 B/s"},
                        // The volume goes over as its low 16 bits.
                        Case{18, -3, 0x10007, "PCM 22050 Hz 16 bit 1 ch, align 2, 44100 B/s"}}) {
    SCOPED_TRACE(c.row);
    settings_.formatIndex = c.row;
    settings_.rate = c.rate;
    settings_.volume = c.volume;
    SpeakCurrentKey(fake_, TestBook(), settings_);
    EXPECT_EQ(fake_.rate, c.rate);
    EXPECT_EQ(fake_.volume, c.volume & 0xFFFF);
    EXPECT_EQ(FormatText(fake_.format), c.format);
    EXPECT_EQ(fake_.live, 0);
  }
}

TEST_F(SpeakTest, NothingToReadSpeaksAnEmptyText) {
  MakeBook("empty.xqb", u"Empty", {});
  StartWith(&fake_);
  // No book open (the remembered one went while a shelf book was open, and
  // its reopen failed), then a book without entries from the shelf.
  const std::string folder = Folder();
  const auto openEmpty = [&] {
    OpenShelfBook(folder, "empty.xqb");
    ASSERT_EQ(StatusText(), "Empty");
  };
  openEmpty();
  ASSERT_TRUE(DeleteFileA((Folder() + "\\deflex_a.xqb").c_str()));
  SendMessageA(Main(), MSG_REOPEN_BOOK, 0, 0);
  ASSERT_EQ(DialogTexts(), Strings{"ERROR: Xqb File open error."});
  Speak();
  openEmpty();
  Speak();
  EXPECT_EQ(fake_.spoken, (WStrings{L"", L""}));
  EXPECT_EQ(fake_.live, 0);
  EXPECT_EQ(DialogTexts().size(), 1u);
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
  std::ofstream(Folder() + "\\deflex_a.xqb", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  SetInstallFolder(Folder());
  options_.speech = &fake_;
  ASSERT_EQ(Start(), 1);
  SendMessageA(Main(), WM_KEYDOWN, VK_DOWN, 0);
  Speak();
  EXPECT_EQ(fake_.spoken, WStrings{std::wstring(800, L'k')});
}

// Whichever later step fails, the word is still spoken where it can be, no
// message is shown and every object is given back; a voice no longer
// installed leaves the default one.
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
    SCOPED_TRACE(c.call);
    FakeSpeech fake;
    fake.Fail(c.call);
    SpeakCurrentKey(fake, TestBook(), settings_);
    EXPECT_EQ(fake.live, 0);
    EXPECT_EQ(fake.spoken, WStrings{L"Alpha"});
    EXPECT_EQ(fake.outputBound, c.bound);
  }
  settings_.voiceId = fake_.voices[0].id;
  FakeSpeech gone;
  gone.Fail("Token.SetId", static_cast<HRESULT>(0x8004503AL));
  SpeakCurrentKey(gone, TestBook(), settings_);
  EXPECT_EQ(gone.voiceSet, L"");
  EXPECT_EQ(gone.spoken, WStrings{L"Alpha"});
  EXPECT_EQ(gone.live, 0);
  EXPECT_EQ(DialogTexts(), Strings{});
}

// A thread whose COM is already set up another way cannot initialise it for
// the voice: the user is told, and nothing is made.
TEST_F(SpeakTest, ComThatCannotStartIsReported) {
  StartWith(&fake_);
  fake_.calls.clear();
  std::atomic<bool> done{false};
  std::thread other([this, &done] {
    const HRESULT multi = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    SpeakCurrentKey(fake_, TestBook(), settings_);
    if (SUCCEEDED(multi)) CoUninitialize();
    done = true;
  });
  // The message box is owned by the main window: this thread serves it.
  while (!done) {
    Pump();
    Sleep(10);
  }
  other.join();
  EXPECT_EQ(fake_.calls, Strings{});
  EXPECT_EQ(fake_.live, 0);
  EXPECT_EQ(DialogTexts(), Strings{"ERROR: Error to intiliaze COM."});
}

// No voice at start greys the speech commands; a request all the same
// tells the user and speaks nothing.
TEST_F(SpeakTest, VoiceThatCannotBeMadeSpeaksNothing) {
  fake_.Fail("CreateVoice", REGDB_E_CLASSNOTREG);
  StartWith(&fake_);
  EXPECT_EQ(CommandsEnabled(), std::make_pair(false, false));
  Speak();
  EXPECT_EQ(fake_.spoken, WStrings{});
  EXPECT_EQ(fake_.live, 0);
  EXPECT_EQ(DialogTexts(), Strings{"ERROR: Error to intiliaze TTS."});
}

// Wine's own speech service: the probe finds a voice and a request comes
// back without a message (Wine's voice cannot really speak yet).
TEST_F(SpeakTest, PlatformServiceAnswersQuietly) {
  StartWith(nullptr);
  EXPECT_EQ(CommandsEnabled(), std::make_pair(true, true));
  Speak();
  EXPECT_EQ(DialogTexts(), Strings{});
  EXPECT_TRUE(IsWindow(Main()));
}

}  // namespace
}  // namespace quill::testing
