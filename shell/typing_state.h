// TypingState: what typing carries from one message to the next. Each flag
// is set by one event and taken (read and cleared) by the message it is
// meant for.
#pragma once

namespace quill {

// Where the input box stands after Enter. Enter shows an entry and selects
// the typed word; the user's next change of the box then brings the word
// list back through a focus notice of the program's own, which must leave
// the text as typed rather than select it.
enum class EnterState {
  kTyping,             // no Enter pending
  kEnterShown,         // Enter showed an entry; set by Enter, left by the next change
  kRefocusAfterEnter,  // that change sent the focus notice; cleared by it
};

class TypingState {
 public:
  // The program puts a key into the input box (the first key of a book,
  // the arrow keys); the EN_CHANGE this causes is to be ignored.
  void ExpectOwnChange() { skipNextChange_ = true; }
  // True, once, for the EN_CHANGE that ExpectOwnChange announced.
  bool TakeOwnChange() { return Take(skipNextChange_); }

  void EnterShown() { enter_ = EnterState::kEnterShown; }
  // The user's first change after Enter: true, once, and the focus notice
  // it sends is then expected.
  bool TakeChangeAfterEnter() {
    if (enter_ != EnterState::kEnterShown) return false;
    enter_ = EnterState::kRefocusAfterEnter;
    return true;
  }
  // EN_SETFOCUS: true, once, for the notice of the change after Enter.
  bool TakeRefocus() {
    if (enter_ != EnterState::kRefocusAfterEnter) return false;
    enter_ = EnterState::kTyping;
    return true;
  }

  // A click on a word-list row; the input box's next EN_SETFOCUS then
  // leaves the list hidden.
  void RowPicked() { listPicked_ = true; }
  bool TakeRowPicked() { return Take(listPicked_); }

  // Escape hid the list; the next EN_CHANGE shows it again.
  void EscapePressed() { showListOnChange_ = true; }
  bool TakeShowListOnChange() { return Take(showListOnChange_); }

 private:
  static bool Take(bool& flag) {
    const bool was = flag;
    flag = false;
    return was;
  }

  bool skipNextChange_ = false;
  EnterState enter_ = EnterState::kTyping;
  bool listPicked_ = false;
  bool showListOnChange_ = false;
};

}  // namespace quill
