#pragma once
// The text of a single-line edit and what editing does to it, without any window: code points,
// a selection given by an anchor and a caret, the length limit, the case rule, and one level of
// undo (undoing twice gives the change back, as the edit control of the window system does).
//
// Positions count code points. Every change reports whether the text changed, so the control
// can fire OnChange, and whether something was refused (the control beeps).

#include <cstddef>
#include <string>

enum class TEditCase { Normal, Upper, Lower };

class TEditBuffer {
 public:
  // The text as UTF-8 and as code points.
  std::string Text() const;
  const std::u32string& Chars() const { return FChars; }
  size_t Length() const { return FChars.size(); }
  // Replaces everything (a program setting Text): the selection goes to the start, the undo
  // step is forgotten. The limit does not cut a text set this way.
  void SetText(const std::string& Value);

  // ---- selection ---------------------------------------------------------------------------
  size_t Anchor() const { return FAnchor; }
  size_t Caret() const { return FCaret; }
  size_t SelStart() const { return std::min(FAnchor, FCaret); }
  size_t SelEnd() const { return std::max(FAnchor, FCaret); }
  size_t SelLength() const { return SelEnd() - SelStart(); }
  std::string SelText() const;
  // Start and end are clamped to the text; End before Start selects backwards (the caret at End).
  void SetSelection(size_t Start, size_t End);
  // Moves the caret; Extend keeps the anchor (a Shift+movement).
  void MoveCaret(size_t Position, bool Extend);
  void SelectAll() { SetSelection(0, FChars.size()); }
  // The start of the word before Position and the end of the word after it (Ctrl+arrows,
  // double clicks). A word is a run of letters and digits; spaces and punctuation separate.
  size_t WordLeft(size_t Position) const;
  size_t WordRight(size_t Position) const;
  void SelectWordAt(size_t Position);

  // ---- editing -----------------------------------------------------------------------------
  struct TResult {
    bool Changed = false;
    bool Refused = false;  // something could not be done (beep)
  };
  // Replaces the selection by Text (converted to the case rule, cut at the first line break, and
  // cut to what the limit leaves room for; cut text counts as refused). Typing is one character.
  TResult Insert(const std::u32string& Text);
  TResult Insert(const std::string& Utf8Text);
  // Backspace: the selection, or the character before the caret.
  TResult DeleteBackward();
  // Delete: the selection, or the character after the caret.
  TResult DeleteForward();
  TResult ClearSelection();
  // Swaps the text and selection with the state before the last change.
  TResult Undo();
  bool CanUndo() const { return FHasUndo; }
  void ClearUndo() { FHasUndo = false; }

  // ---- rules ---------------------------------------------------------------------------------
  // 0: no limit. A smaller limit does not cut the text that is there.
  size_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(size_t Value) { FMaxLength = Value; }
  TEditCase CharCase() const { return FCase; }
  // Converts the text that is there too (a change).
  TResult SetCharCase(TEditCase Value);

 private:
  void SaveUndo();
  std::u32string Converted(std::u32string Text) const;

  std::u32string FChars;
  size_t FAnchor = 0;
  size_t FCaret = 0;
  size_t FMaxLength = 0;
  TEditCase FCase = TEditCase::Normal;
  bool FHasUndo = false;
  std::u32string FUndoChars;
  size_t FUndoAnchor = 0;
  size_t FUndoCaret = 0;
};
