// The node stream: how a tree of nodes is written to and read from the view's defined properties
// "StreamVersion" and "Data" (the layout is in vctreenode.h). The same bytes carry the nodes
// across a re-creation of the window and through TvcTreeNodes::Assign.
//
// Reading trusts nothing it reads: a length or count that runs past the end of the stream is a
// read error before anything is allocated for it, and nesting deeper than any tree a user builds
// is refused, so a damaged form cannot exhaust memory or the stack. The nodes read to their end
// before the error stay in the tree; the one being read when it came goes.

#include <algorithm>
#include <cstring>

#include "platform/classes/formreader.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vctreenode.h"
#include "vcontrols/treeview/vctreeview.h"

namespace {

constexpr int32_t MaxNesting = 256;

int64_t Remaining(TStream& Stream) { return Stream.Size() - Stream.Position(); }

int32_t ReadInt(TStream& Stream) {
  uint8_t Bytes[4];
  Stream.ReadBuffer(Bytes, 4);
  return int32_t(uint32_t(Bytes[0]) | uint32_t(Bytes[1]) << 8 | uint32_t(Bytes[2]) << 16 | uint32_t(Bytes[3]) << 24);
}

void WriteInt(TStream& Stream, int32_t Value) {
  const auto Bits = uint32_t(Value);
  const uint8_t Bytes[4] = {uint8_t(Bits), uint8_t(Bits >> 8), uint8_t(Bits >> 16), uint8_t(Bits >> 24)};
  Stream.WriteBuffer(Bytes, 4);
}

void Skip(TStream& Stream, int64_t Count) {
  if (Count <= 0) return;
  if (Count > Remaining(Stream)) throw EReadError("Stream read error");
  Stream.Seek(Count, soCurrent);
}

std::string ReadBytes(TStream& Stream, int32_t Length) {
  if (Length <= 0) return std::string();
  if (Length > Remaining(Stream)) throw EReadError("Stream read error");
  std::string Result(size_t(Length), '\0');
  Stream.ReadBuffer(Result.data(), Length);
  return Result;
}

void WriteBytes(TStream& Stream, const std::string& Bytes) {
  if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
}

}  // namespace

void TvcTreeNode::WriteData(TStream& Stream, TvcNodeRecord& Record) {
  std::memset(Record.Bytes, 0, sizeof(Record.Bytes));
  // At most 255 bytes of text, never half a character.
  const std::string_view Text = Utf8TruncateBytes(FText, 255);
  const int32_t Length = int32_t(Text.size());
  const int32_t Size = vcNodeRecordFixed + Length + (RecordSize() - vcNodeRecordSize);
  int32_t Children = 0;
  for (TvcTreeNode* Child = GetFirstChild(); Child; Child = Child->GetNextSibling()) ++Children;
  Record.SetInt(0, FImageIndex);
  Record.SetInt(4, FSelectedIndex);
  Record.SetInt(8, FStateIndex);
  Record.SetInt(12, FOverlayIndex);
  Record.Bytes[16] = uint8_t(FCheckboxType);
  Record.Bytes[17] = uint8_t((FChecked ? 1 : 0) | (FGrayed ? 2 : 0));
  Record.Bytes[18] = Expanded() ? 1 : 0;
  Record.SetInt(22, FData);
  Record.SetInt(26, int32_t(FDataText.size()));
  Record.SetInt(30, int32_t(FDataText2.size()));
  Record.SetInt(34, Children);
  Record.Bytes[38] = uint8_t(Length);
  std::memcpy(Record.Bytes + vcNodeRecordFixed, Text.data(), Text.size());
  WriteInt(Stream, Size);
  Stream.WriteBuffer(Record.Bytes, std::min(Size, vcNodeRecordSize));
  for (int32_t Extra = Size - vcNodeRecordSize; Extra > 0; --Extra) {
    const uint8_t Zero = 0;
    Stream.WriteBuffer(&Zero, 1);
  }
  WriteBytes(Stream, FDataText);
  WriteBytes(Stream, FDataText2);
  for (TvcTreeNode* Child = GetFirstChild(); Child; Child = Child->GetNextSibling()) Child->WriteData(Stream, Record);
}

void TvcTreeNode::ReadData(TStream& Stream, TvcNodeRecord& Record) {
  const int32_t Size = ReadInt(Stream);
  FStoredRecordSize = Size;
  if (Size > 0) {
    const int32_t Kept = std::min(Size, vcNodeRecordSize);
    if (Kept > Remaining(Stream)) throw EReadError("Stream read error");
    Stream.ReadBuffer(Record.Bytes, Kept);
    Skip(Stream, int64_t(Size) - Kept);
  }
  const std::string DataText = ReadBytes(Stream, Record.Int(26));
  const std::string DataText2 = ReadBytes(Stream, Record.Int(30));
  // What this node's record says is kept before its children reuse the buffer.
  const int32_t Length = Record.Bytes[38];
  const bool WasExpanded = Record.Bytes[18] != 0;
  const int32_t Children = Record.Int(34);
  const uint8_t Kind = Record.Bytes[16];
  const uint8_t Flags = Record.Bytes[17];
  const int32_t Image = Record.Int(0), Selected = Record.Int(4), State = Record.Int(8), Overlay = Record.Int(12),
                Data = Record.Int(22);
  SetText(std::string(reinterpret_cast<const char*>(Record.Bytes + vcNodeRecordFixed), size_t(Length)));
  SetDataText(DataText);
  SetDataText2(DataText2);
  SetImageIndex(Image);
  SetSelectedIndex(Selected);
  SetStateIndex(State);
  SetOverlayIndex(Overlay);
  SetData(Data);
  SetCheckboxType(Kind <= vccbRadioButton ? TvcCheckboxType(Kind) : vccbNone);
  SetChecked((Flags & 1) != 0);
  SetGrayed((Flags & 2) != 0);
  if (Children > 0) {
    if (++FOwner->FReadDepth > MaxNesting) {
      FOwner->FReadDepth = 0;
      throw EReadError("Tree nodes nested too deeply");
    }
    const TScopeExit Leave([this] {
      if (FOwner->FReadDepth > 0) --FOwner->FReadDepth;
    });
    for (int32_t Index = 0; Index < Children; ++Index) {
      // A child needs at least its record length.
      if (Remaining(Stream) < 4) throw EReadError("Stream read error");
      TvcTreeNode* Child = FOwner->AddChild(this, std::string());
      try {
        Child->ReadData(Stream, Record);
      } catch (...) {
        // A node not read to its end does not stay.
        Child->Delete();
        throw;
      }
    }
  }
  TvcCustomTreeView* View = TreeView();
  if (View && View->StreamExpandedNode() && WasExpanded) SetExpanded(true);
  if (StreamVersion() >= 1 && Size > vcNodeRecordFixed + Length) Skip(Stream, int64_t(Size) - (vcNodeRecordFixed + Length));
}

void TvcTreeNodes::WriteData(TStream& Stream) {
  // Without a window the saved nodes are the tree.
  if (FOwner && !FOwner->HandleAllocated() && FOwner->FSavedStream) {
    FOwner->SetStreamVersion(1);
    Stream.CopyFrom(*FOwner->FSavedStream, 0);
    return;
  }
  int32_t Roots = 0;
  for (TvcTreeNode* Node = GetFirstNode(); Node; Node = Node->GetNextSibling()) ++Roots;
  WriteInt(Stream, Roots);
  TvcNodeRecord Record;
  for (TvcTreeNode* Node = GetFirstNode(); Node; Node = Node->GetNextSibling()) Node->WriteData(Stream, Record);
  if (FOwner) FOwner->SetStreamVersion(1);
}

void TvcTreeNodes::ReadData(TStream& Stream) {
  if (!FOwner) return;
  // A view without a parent can have no window yet: the nodes wait in the saved stream and come
  // with the window.
  if (!FOwner->HandleAllocated() && !FOwner->Parent() && !FOwner->ParentWindow()) {
    auto Saved = std::make_unique<TMemoryStream>();
    if (Remaining(Stream) > 0) Saved->CopyFrom(Stream, Remaining(Stream));
    Saved->SetPosition(0);
    FOwner->FSavedStream = std::move(Saved);
    FOwner->FSavedNodes.clear();
    FOwner->FSavedMultiSelect.clear();
    return;
  }
  FOwner->HandleNeeded();
  Clear();
  ClearCache();
  BeginUpdate();
  const TScopeExit Done([this] {
    FReadDepth = 0;
    ClearCache();
    EndUpdate();
  });
  TvcNodeRecord Record;
  const int32_t Roots = ReadInt(Stream);
  for (int32_t Index = 0; Index < Roots; ++Index) {
    if (Remaining(Stream) < 4) throw EReadError("Stream read error");
    TvcTreeNode* Node = AddChild(nullptr, std::string());
    try {
      Node->ReadData(Stream, Record);
    } catch (...) {
      Node->Delete();
      throw;
    }
  }
  FOwner->SetStreamVersion(1);
}

void TvcTreeNodes::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      "StreamVersion",
      [this](TReader& Reader) {
        if (FOwner) FOwner->SetStreamVersion(int32_t(Reader.ReadInteger()));
      },
      [this](TWriter& Writer) {
        Writer.WriteInteger(1);
        if (FOwner) FOwner->SetStreamVersion(1);
      },
      true);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& Stream) { ReadData(Stream); }, [this](TStream& Stream) { WriteData(Stream); }, true);
}

void TvcTreeNodes::Assign(TPersistent* Source) {
  auto* Nodes = dynamic_cast<TvcTreeNodes*>(Source);
  if (!Nodes) {
    TPersistent::Assign(Source);
    return;
  }
  ClearCache();
  if (!FOwner) return;
  HWND Window = FOwner->Handle();
  InvalidateRect(Window, nullptr, TRUE);
  FOwner->SetStreamVersion(1);
  Clear();
  TMemoryStream Stream;
  Nodes->WriteData(Stream);
  Stream.SetPosition(0);
  ReadData(Stream);
  // The stream holds 255 bytes of each text; the copy keeps them whole.
  TvcTreeNode* To = GetFirstNode();
  for (TvcTreeNode* From = Nodes->GetFirstNode(); From && To; From = From->GetNext(), To = To->GetNext())
    if (From->Text().size() > 255) To->SetText(From->Text());
  if (TvcTreeNode* First = GetFirstNode()) First->SetSelected(true);
  FOwner->Repaint();
}
