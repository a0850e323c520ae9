#include "platform/forms/customcontrol.h"

KORCAM_REGISTER_CLASS(TCustomControl)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    // The window paints through Paint even when it has no windowless children.
    FControlState.Include(csCustomPaint);
    try {
      TWinControl::Dispatch(Message);
    } catch (...) {
      FControlState.Exclude(csCustomPaint);
      throw;
    }
    FControlState.Exclude(csCustomPaint);
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->Lock();
  try {
    FCanvas->SetHandle(DC);
    FCanvas->UpdateTextFlags();
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}
