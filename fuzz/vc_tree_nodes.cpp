// Bytes as a tree view's node stream (its form's "Items.Data"), which a user can hand the program
// in a form file. The first byte chooses the stream version the view reads with; the rest is the
// data. Anything must be read or refused with a read error, never crash, exhaust the stack or
// allocate what the stream does not hold; and the nodes read must write themselves to a stream
// that reads back to the same nodes (written again, the bytes are the same).

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/forms/form.h"
#include "platform/rtl/streams.h"
#include "vcontrols/treeview/vctreeview.h"

namespace {

TvcTreeView* TheView() {
  static TvcTreeView* View = [] {
    auto* Form = NewForm<TForm>(nullptr);
    Form->SetBounds(0, 0, 200, 200);
    auto* Made = new TvcTreeView(Form);
    Made->SetParent(Form);
    Made->SetBounds(0, 0, 180, 180);
    Made->HandleNeeded();
    return Made;
  }();
  return View;
}

std::vector<uint8_t> Written(TvcTreeNodes* Items) {
  TMemoryStream Stream;
  Items->WriteData(Stream);
  const auto* Bytes = static_cast<const uint8_t*>(Stream.Memory());
  return std::vector<uint8_t>(Bytes, Bytes + Stream.Size());
}

void Read(TvcTreeNodes* Items, const uint8_t* Data, size_t Size) {
  TMemoryStream Stream;
  if (Size) Stream.WriteBuffer(Data, int32_t(Size));
  Stream.SetPosition(0);
  Items->ReadData(Stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1 || Size > (1u << 20)) return 0;
  TvcTreeView* View = TheView();
  TvcTreeNodes* Items = View->Items();
  View->SetStreamVersion(Data[0] & 1);
  try {
    Read(Items, Data + 1, Size - 1);
  } catch (const EReadError&) {
  }
  const std::vector<uint8_t> First = Written(Items);
  Read(Items, First.data(), First.size());
  if (Written(Items) != First) __builtin_trap();
  Items->Clear();
  return 0;
}
