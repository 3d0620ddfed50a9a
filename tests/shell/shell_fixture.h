// A real MainWindow in this process, on a registry key and a book folder of
// its own, with its dialogs answered by a second thread.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "book/book_builder.h"
#include "panels/history_list.h"
#include "resources/ids.h"
#include "shell/main_window.h"
#include "support/dialog_answerer.h"

namespace quill::testing {

class ShellTest : public ::testing::Test {
 protected:
  static constexpr const char* kSettingsPath = "Software\\QuillpadTest\\Shell";

  void SetUp() override;
  void TearDown() override;

  // Creates the window as the program does: 1 when it was created.
  int Start();
  void Close();

  // The windows a user sees, found as another program would find them:
  // the main window, its controls by id or class, the panels and theirs.
  HWND Main() const { return window_ ? window_->Handle() : nullptr; }
  HWND Input() const { return GetDlgItem(Main(), IDC_INPUT_BOX); }
  HWND WordList() const { return GetDlgItem(Main(), IDC_WORD_LIST); }
  HWND Pane() const { return GetDlgItem(Main(), IDC_CONTENT_PANE); }
  HWND StatusBar() const;
  HWND Toolbar() const { return GetDlgItem(GetDlgItem(Main(), IDC_REBAR), IDC_TOOLBAR); }
  HWND FindPanel() const { return FindWindowExA(Main(), nullptr, "SubWnd", nullptr); }
  HWND ShelfPanel() const { return FindWindowExA(Main(), nullptr, "TreeSubWnd", nullptr); }
  HWND Tree() const;
  // Which side panel is shown: 0 none, 1 the find panel, 2 the shelf.
  int ShownPanel() const;
  // The book the window remembers for the next run (XQB_PATH), as it stores
  // it when it closes: closes the window.
  std::string RememberedBookAtExit();

  // A book in the test's folder, made from "key=content" pairs.
  std::string MakeBook(const std::string& name, const std::u16string& title,
                       std::initializer_list<const char*> entries);
  std::string MakeBook(const std::string& name, const std::u16string& title,
                       const std::vector<BookEntry>& entries);
  std::string Folder() const { return folder_; }
  void SetInstallFolder(const std::string& folder) { SetString("InstallPath", folder); }
  // Makes deflex_a.xqb of entries in the test's folder, installs from that
  // folder and starts the window; the test stops unless it started.
  void StartWithBook(const std::vector<BookEntry>& entries);
  // Sends command to the main window as its toolbar does.
  void Command(int id);
  // The private messages the panels send: a book of the shelf to open, a
  // word to look up (texts in the ANSI code page here, UTF-16 on the way).
  void OpenShelfBook(const std::string& folder, const std::string& file);
  LRESULT LookUp(const std::string& word);
  static std::wstring Wide(const std::string& ansi);

  void SetString(const char* name, const std::string& value);
  void SetDword(const char* name, DWORD value);
  void SetBinary(const char* name, const std::vector<BYTE>& bytes, DWORD type);
  // A stored value's type and bytes; type 0 when it is missing.
  DWORD ValueType(const char* name);
  std::vector<BYTE> ValueBytes(const char* name);
  LONG ValueLong(const char* name);

  static void Pump();
  static std::string Text(HWND window);
  std::string InputText() { return Text(Input()); }
  std::string PaneText() { return Text(Pane()); }
  std::string StatusText();
  bool PaneEnabled();
  bool ListShown() { return IsWindowVisible(WordList()) != 0; }
  int ListRows() { return static_cast<int>(SendMessageA(WordList(), LVM_GETITEMCOUNT, 0, 0)); }
  // A control's rectangle in the main window's client coordinates.
  RECT ChildRect(HWND child);
  std::vector<std::string> DialogTexts();

  MainWindowOptions options_;
  HistoryList history_{100};
  std::unique_ptr<DialogAnswerer> dialogs_;

 private:
  std::string folder_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace quill::testing
