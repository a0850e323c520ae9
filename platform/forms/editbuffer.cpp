#include "platform/forms/editbuffer.h"

#include <algorithm>

#include "platform/rtl/unicode.h"

namespace {

bool IsWordChar(char32_t C) {
  if (C < 128) return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_';
  // Beyond ASCII every character but the spaces is part of a word.
  return C != 0x00A0 && C != 0x2007 && C != 0x202F && !(C >= 0x2000 && C <= 0x200B) && C != 0x3000;
}

}  // namespace

std::string TEditBuffer::Text() const {
  return Utf32ToUtf8(FChars);
}

void TEditBuffer::SetText(const std::string& Value) {
  FChars = Converted(Utf8ToUtf32(Value));
  FAnchor = FCaret = 0;
  FHasUndo = false;
}

std::string TEditBuffer::SelText() const {
  return Utf32ToUtf8(FChars.substr(SelStart(), SelLength()));
}

void TEditBuffer::SetSelection(size_t Start, size_t End) {
  FAnchor = std::min(Start, FChars.size());
  FCaret = std::min(End, FChars.size());
}

void TEditBuffer::MoveCaret(size_t Position, bool Extend) {
  FCaret = std::min(Position, FChars.size());
  if (!Extend) FAnchor = FCaret;
}

size_t TEditBuffer::WordLeft(size_t Position) const {
  Position = std::min(Position, FChars.size());
  while (Position > 0 && !IsWordChar(FChars[Position - 1])) --Position;
  while (Position > 0 && IsWordChar(FChars[Position - 1])) --Position;
  return Position;
}

size_t TEditBuffer::WordRight(size_t Position) const {
  Position = std::min(Position, FChars.size());
  while (Position < FChars.size() && IsWordChar(FChars[Position])) ++Position;
  while (Position < FChars.size() && !IsWordChar(FChars[Position])) ++Position;
  return Position;
}

void TEditBuffer::SelectWordAt(size_t Position) {
  Position = std::min(Position, FChars.size());
  size_t Start = Position, End = Position;
  while (Start > 0 && IsWordChar(FChars[Start - 1])) --Start;
  while (End < FChars.size() && IsWordChar(FChars[End])) ++End;
  SetSelection(Start, End);
}

std::u32string TEditBuffer::Converted(std::u32string Text) const {
  if (FCase == TEditCase::Upper)
    for (char32_t& C : Text) C = UnicodeToUpper(C);
  else if (FCase == TEditCase::Lower)
    for (char32_t& C : Text) C = UnicodeToLower(C);
  return Text;
}

void TEditBuffer::SaveUndo() {
  FUndoChars = FChars;
  FUndoAnchor = FAnchor;
  FUndoCaret = FCaret;
  FHasUndo = true;
}

TEditBuffer::TResult TEditBuffer::Insert(const std::u32string& Text) {
  TResult Result;
  std::u32string Piece = Converted(Text);
  // A single-line edit takes text up to the first line break.
  size_t Break = Piece.find_first_of(U"\r\n");
  if (Break != std::u32string::npos) Piece.resize(Break);
  const size_t Kept = FChars.size() - SelLength();
  if (FMaxLength > 0) {
    const size_t Room = Kept >= FMaxLength ? 0 : FMaxLength - Kept;
    if (Piece.size() > Room) {
      Piece.resize(Room);
      Result.Refused = true;
    }
  }
  if (Piece.empty() && SelLength() == 0) return Result;
  if (Piece.empty() && Result.Refused) return Result;  // nothing fits: the selection stays
  SaveUndo();
  const size_t Start = SelStart();
  FChars.replace(Start, SelLength(), Piece);
  FAnchor = FCaret = Start + Piece.size();
  Result.Changed = true;
  return Result;
}

TEditBuffer::TResult TEditBuffer::Insert(const std::string& Utf8Text) {
  return Insert(Utf8ToUtf32(Utf8Text));
}

TEditBuffer::TResult TEditBuffer::ClearSelection() {
  TResult Result;
  if (SelLength() == 0) return Result;
  SaveUndo();
  const size_t Start = SelStart();
  FChars.erase(Start, SelLength());
  FAnchor = FCaret = Start;
  Result.Changed = true;
  return Result;
}

TEditBuffer::TResult TEditBuffer::DeleteBackward() {
  if (SelLength() > 0) return ClearSelection();
  TResult Result;
  if (FCaret == 0) return Result;
  SaveUndo();
  FChars.erase(FCaret - 1, 1);
  FAnchor = --FCaret;
  Result.Changed = true;
  return Result;
}

TEditBuffer::TResult TEditBuffer::DeleteForward() {
  if (SelLength() > 0) return ClearSelection();
  TResult Result;
  if (FCaret >= FChars.size()) return Result;
  SaveUndo();
  FChars.erase(FCaret, 1);
  FAnchor = FCaret;
  Result.Changed = true;
  return Result;
}

TEditBuffer::TResult TEditBuffer::Undo() {
  TResult Result;
  if (!FHasUndo) return Result;
  std::swap(FChars, FUndoChars);
  std::swap(FAnchor, FUndoAnchor);
  std::swap(FCaret, FUndoCaret);
  Result.Changed = FChars != FUndoChars;
  return Result;
}

TEditBuffer::TResult TEditBuffer::SetCharCase(TEditCase Value) {
  TResult Result;
  if (FCase == Value) return Result;
  FCase = Value;
  std::u32string Now = Converted(FChars);
  if (Now != FChars) {
    FChars = std::move(Now);
    FHasUndo = false;
    Result.Changed = true;
  }
  return Result;
}
