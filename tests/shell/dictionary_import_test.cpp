// Opening a dictionary from the open-file dialog: converted once into the
// books folder behind a progress dialog, reused while it is unchanged, and
// a failure or a Cancel keeps the book that was open.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "import/convert.h"
#include "resources/ids.h"
#include "shell/dictionary_import.h"
#include "shell/shell_fixture.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;

class DictionaryImportTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    books_ = Folder() + "\\books";
    options_.convertedBooksFolder = Wide(books_);
    options_.convertDictionary = [this](const import::ConvertRequest& request) {
      ++conversions_;
      return stand_in_ ? stand_in_(request) : import::ConvertToBook(request);
    };
  }
  void StartWithOldBook() { StartWithBook({{u"old", u"the book open before"}}); }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = Folder() + "\\" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  void Open(const std::string& path) {
    dialogs_->Queue(DialogAnswerer::ChooseFile(path));
    Command(IDM_OPEN_BOOK);
  }
  // What the books folder holds, by name.
  Strings BooksFolder() {
    Strings names;
    if (!std::filesystem::exists(books_)) return names;
    for (const auto& item : std::filesystem::directory_iterator(books_)) {
      names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Entry(const std::string& word) {
    LookUp(word);
    return PaneText();
  }

  std::string books_;
  std::atomic<int> conversions_{0};
  DictionaryConverter stand_in_;
};

TEST_F(DictionaryImportTest, TheSourcesItConvertsAreToldByTheirEnding) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"C:\\d\\czech.ifo", true},    {L"C:\\d\\wn.DSL", true},      {L"C:\\d\\wn.dsl.dz", true},
      {L"C:\\d\\gcide.index", true},  {L"C:\\d\\words.txt", true},   {L"C:\\d\\deflex_a.xqb", false},
      {L"C:\\d\\czech.idx", false},   {L"C:\\d\\x.dict.dz", false},  {L"C:\\d\\ifo", false},
      {L"", false},
  };
  for (const auto& [path, converted] : cases) EXPECT_EQ(IsDictionarySource(path), converted);
  EXPECT_FALSE(IsDictionarySource(nullptr));
}

TEST_F(DictionaryImportTest, AWordListOpensAsABookMadeOnceUntilItChanges) {
  StartWithOldBook();
  const std::string source = Write("Words.txt", "apple\ta fruit\nbanana\ta longer fruit\n");
  Open(source);
  EXPECT_EQ(DialogTexts(), Strings{"[Open]"});
  EXPECT_EQ(StatusText(), "Words");
  EXPECT_EQ(Entry("apple"), "a fruit\r\n");
  EXPECT_EQ(BooksFolder(), (Strings{"Words.xqb", "Words.xqb.source"}));
  EXPECT_EQ(conversions_, 1);

  // The same unchanged source: the book made before, no second conversion.
  Open(Folder() + "\\deflex_a.xqb");
  EXPECT_EQ(StatusText(), "Default A");
  Open(source);
  EXPECT_EQ(conversions_, 1);
  EXPECT_EQ(StatusText(), "Words");

  // Changed: made again, with the new word, though the book made before is
  // the one open; nothing of it is left once the new one is shown.
  Write("Words.txt", "apple\ta fruit\nbanana\ta longer fruit\ncherry\ta small fruit\n");
  Open(source);
  EXPECT_EQ(DialogTexts(), Strings(4, "[Open]"));  // no message of a failure
  EXPECT_EQ(conversions_, 2);
  EXPECT_EQ(StatusText(), "Words");
  EXPECT_EQ(Entry("cherry"), "a small fruit\r\n");
  EXPECT_EQ(BooksFolder(), (Strings{"Words.xqb", "Words.xqb.source"}));
  EXPECT_EQ(RememberedBookAtExit(), books_ + "\\Words.xqb");
}

// The dialog gives a name typed without an extension ".txt", the first
// ending of the dictionaries: a name that names no file is a book that
// cannot be opened, and a book opens as a book whatever its name.
TEST_F(DictionaryImportTest, OnlyAnExistingFileThatIsNoBookGoesToTheConverter) {
  StartWithOldBook();
  ASSERT_TRUE(CopyFileA((Folder() + "\\deflex_a.xqb").c_str(), (Folder() + "\\shelf.txt").c_str(),
                        FALSE));
  Open(Folder() + "\\shelf.txt");
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(Entry("old"), "the book open before\r\n");

  dialogs_->Queue(DialogAnswerer::ChooseFile(Folder() + "\\missing"));
  // Asked whether to create it: yes, as a user who wants the file would.
  dialogs_->Queue([](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); });
  Command(IDM_OPEN_BOOK);
  const Strings texts = DialogTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "ERROR: Xqb File open error.");
  EXPECT_EQ(conversions_, 0);
  EXPECT_EQ(BooksFolder(), Strings{});
  EXPECT_FALSE(std::filesystem::exists(Folder() + "\\missing.txt"));
}

TEST_F(DictionaryImportTest, AFailedConversionShowsItsReasonAndKeepsTheOpenBook) {
  StartWithOldBook();
  const std::string ifo = Write("broken.ifo", "not a StarDict information file\n");
  Open(ifo);
  const Strings texts = DialogTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].rfind("ERROR: " + ifo + ": ", 0), 0u) << texts[1];
  EXPECT_EQ(texts[1].find('\n'), std::string::npos) << texts[1];
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(Entry("old"), "the book open before\r\n");
  EXPECT_EQ(BooksFolder(), Strings{});
  EXPECT_NE(IsWindowEnabled(Main()), 0);
  EXPECT_EQ(RememberedBookAtExit(), Folder() + "\\deflex_a.xqb");
}

// The stand-in reports half the source read, then a tenth of the book made,
// each once the user has seen the one before, and waits for the Cancel
// button; then it hands the cancelled request to the real conversion, which
// must stop.
TEST_F(DictionaryImportTest, CancelStopsTheConversionAndLeavesNothing) {
  StartWithOldBook();
  std::atomic<bool> sawCancel{false};
  std::atomic<int> worker{0};
  std::atomic<int> seenSteps{0};
  auto waitFor = [](const std::function<bool()>& done) {
    for (int i = 0; i < 1000 && !done(); ++i) Sleep(10);
  };
  stand_in_ = [&](const import::ConvertRequest& request) {
    worker = static_cast<int>(GetCurrentThreadId());
    request.reading(1, 2);
    waitFor([&] { return seenSteps >= 1; });
    request.progress(1, 10);
    waitFor([&] { return request.cancelled(); });
    sawCancel = request.cancelled();
    return import::ConvertToBook(request);
  };
  struct Seen {
    int position = -1;
    std::wstring text;
  } seen[2];
  bool responsive = false;
  bool ownerEnabled = true;
  std::thread user([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 1000 && dialog == nullptr; ++i, Sleep(10)) {
      dialog = FindWindowW(kConversionDialogClass, nullptr);
    }
    if (dialog == nullptr) return;
    HWND bar = GetDlgItem(dialog, IDC_CONVERSION_PROGRESS);
    for (Seen& step : seen) {
      const int before = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
      for (int i = 0; i < 300 && SendMessageW(bar, PBM_GETPOS, 0, 0) == before; ++i) Sleep(10);
      step.position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
      wchar_t text[128] = {};
      GetDlgItemTextW(dialog, IDC_CONVERSION_TEXT, text, 128);
      step.text = text;
      ++seenSteps;
    }
    DWORD_PTR answer = 0;
    responsive = SendMessageTimeoutW(GetWindow(dialog, GW_OWNER), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                     5000, &answer) != 0;
    ownerEnabled = IsWindowEnabled(GetWindow(dialog, GW_OWNER)) != 0;
    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  });
  const std::string source = Write("big.txt", "apple\ta fruit\n");
  Open(source);
  user.join();
  EXPECT_TRUE(sawCancel);
  EXPECT_NE(worker, static_cast<int>(GetCurrentThreadId()));
  // One bar for both steps: it moves on from reading into making the book.
  EXPECT_GT(seen[0].position, 0);
  EXPECT_GT(seen[1].position, seen[0].position);
  EXPECT_LT(seen[1].position, 100);
  EXPECT_EQ(seen[0].text, L"Reading \u201Cbig\u201D...");
  EXPECT_EQ(seen[1].text, L"Making the book of \u201Cbig\u201D...");
  EXPECT_TRUE(responsive);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(FindWindowW(kConversionDialogClass, nullptr), nullptr);
  EXPECT_NE(IsWindowEnabled(Main()), 0);
  EXPECT_EQ(DialogTexts(), Strings{"[Open]"});  // a cancel is no failure
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(BooksFolder(), Strings{});
}

}  // namespace
}  // namespace quill::testing
