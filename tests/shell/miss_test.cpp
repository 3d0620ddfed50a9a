// A word the book lacks: the note of what the book offers over the nearest
// entry, a double-click that looks a word of the pane up, and Ctrl+Enter.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/ids.h"
#include "shell/shell_fixture.h"

namespace quill::testing {
namespace {

class MissTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeBook("deflex_a.xqb", u"Misses",
             {"accurate=[@'kjUr@t]\nexact", "acute=[@'kjut]\nsharp", "curate=a cleric -- of a parish",
              "micelle=a particle", "mouse=small (see: rodent), not acurate", "pronounce=say",
              "pronunciation=how it is said", "receive=get", "Recife=a city", "rodent=gnawer",
              "zebra=stripes"});
    SetInstallFolder(Folder());
    ASSERT_EQ(Start(), 1);
  }

  void Enter(const std::string& word) {
    SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word.c_str()));
    SendMessageA(Input(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
  }
  // The pane as an entry shows it when looked up by its own key.
  std::string EntryPane(const std::string& key) {
    Enter(key);
    return PaneText();
  }
  // Double-clicks the pane on the first character of the first `what`
  // after `after` in its text.
  void DoubleClickPane(const std::string& what, const std::string& after = "") {
    const std::string text = PaneText();
    const std::size_t from = text.find(after);
    ASSERT_NE(from, std::string::npos) << after << " in " << text;
    const std::size_t at = text.find(what, from + after.size());
    ASSERT_NE(at, std::string::npos) << what << " in " << text;
    const auto point = static_cast<DWORD>(SendMessageA(Pane(), EM_POSFROMCHAR, at, 0));
    const LPARAM inside = MAKELPARAM(LOWORD(point) + 2, HIWORD(point) + 3);
    SendMessageA(Pane(), WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageA(Pane(), WM_LBUTTONUP, 0, inside);
    SendMessageA(Pane(), WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    SendMessageA(Pane(), WM_LBUTTONUP, 0, inside);
    Pump();
  }
  void CtrlEnter() {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(Input(), WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(Input(), WM_CHAR, '\n', 1);  // what Ctrl+Enter types
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    Pump();
  }
};

TEST_F(MissTest, AMissShowsItsOffersOverTheNearestEntry) {
  struct Case {
    const char* typed;
    const char* note;     // "" for none
    const char* nearest;  // the entry shown under it, unchanged
  } const cases[] = {
      {"acurate", "acurate: not in this book. Did you mean accurate, curate, acute?", "acute"},
      {"Mice", "Mice: not in this book. Did you mean mouse?", "micelle"},
      {"recieve", "recieve: not in this book. Did you mean receive, Recife?", "receive"},
      // A prefix being typed shows the key it begins, and no note.
      {"pronunc", "", "pronunciation"},
      {"zzzzqqq", "", "zebra"},
      {"ACCURATE", "", "accurate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string entry = EntryPane(c.nearest);
    Enter(c.typed);
    const std::string note = c.note;
    EXPECT_EQ(PaneText(), note.empty() ? entry : note + "\r\n" + entry);
    EXPECT_EQ(InputText(), c.typed);
  }
  // The phonetic line stays the entry's own: the pane of accurate holds
  // no transcription, with or without a note above.
  Enter("accurat");
  EXPECT_EQ(PaneText().find("[@"), std::string::npos) << PaneText();
}

TEST_F(MissTest, ADoubleClickLooksUpTheWordUnderThePointer) {
  Enter("acurate");
  DoubleClickPane("curate", "mean accurate, ");
  EXPECT_EQ(InputText(), "curate");
  EXPECT_EQ(PaneText(), EntryPane("curate"));

  // Beside punctuation: on the question mark just past "acute".
  Enter("acurate");
  DoubleClickPane("?");
  EXPECT_EQ(InputText(), "acute");
  EXPECT_EQ(PaneText(), EntryPane("acute"));

  // Any word of an entry, its brackets and comma left out.
  Enter("mouse");
  DoubleClickPane("rodent");
  EXPECT_EQ(InputText(), "rodent");
  EXPECT_EQ(PaneText(), "gnawer\r\n");
  // A double-click on a word the book lacks gets its note in turn.
  Enter("mouse");
  DoubleClickPane("acurate");
  EXPECT_EQ(InputText(), "acurate");
  EXPECT_EQ(PaneText().rfind("acurate: not in this book. Did you mean accurate", 0), 0u) << PaneText();

  // Nothing but spaces and dashes there: nothing looked up.
  Enter("curate");
  DoubleClickPane("--");
  EXPECT_EQ(InputText(), "curate");
}

TEST_F(MissTest, CtrlEnterShowsTheFirstOffer) {
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("recieve"));
  CtrlEnter();
  EXPECT_EQ(InputText(), "receive");
  EXPECT_EQ(PaneText(), "get\r\n");
  // A base form first; a word the book holds, or one it offers nothing
  // for, is shown as Enter shows it.
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("mice"));
  CtrlEnter();
  EXPECT_EQ(InputText(), "mouse");
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("zebra"));
  CtrlEnter();
  EXPECT_EQ(InputText(), "zebra");
  EXPECT_EQ(PaneText(), "stripes\r\n");
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("pronunc"));
  CtrlEnter();
  EXPECT_EQ(InputText(), "pronunc");
  EXPECT_EQ(PaneText(), EntryPane("pronunciation"));
}

}  // namespace
}  // namespace quill::testing
