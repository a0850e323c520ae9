#include "platform/forms/graphiccontrol.h"

KORCAM_REGISTER_CLASS(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(Message);
    return;
  }
  TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message) {
  // Only the parent's painting sends this, with its DC set up for this control.
  if (!Message.DC()) return;
  FCanvas->Lock();
  try {
    FCanvas->SetHandle(Message.DC());
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
