#include "vcontrols/text/vclabel.h"

#include "platform/db/blobfields.h"
#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/forms/controlcanvas.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcontrols/common/vccommon.h"
#include "platform/rtl/scopeexit.h"

KORCAM_REGISTER_CLASS(TvcCustomLabel)
KORCAM_REGISTER_CLASS(TvcDBCustomLabel)
KORCAM_REGISTER_CLASS(TvcLabel)

// --- TvcCustomLabel -----------------------------------------------------------------------------

TvcCustomLabel::TvcCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FTextOptions = std::make_unique<TvcCaptionText>(
      MakeTextOwnerHooks([this] { Invalidate(); }, [this] { AdjustBounds(); }, [this] { return IsTextEnabled(); }),
      Font(), Canvas());
  FControlStyle.Include(csOpaque);
  FControlStyle.Include(csReplicatable);
  FAutoSize = true;
  SetBounds(Left(), Top(), 65, 17);
}

TvcCustomLabel::~TvcCustomLabel() = default;

void TvcCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
  Invalidate();
}

void TvcCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

bool TvcCustomLabel::Transparent() const {
  return !FControlStyle.Contains(csOpaque);
}

void TvcCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

std::string TvcCustomLabel::GetLabelText() const {
  return Caption();
}

void TvcCustomLabel::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TvcCustomLabel::DoMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

bool TvcCustomLabel::IsTextEnabled() const {
  return Enabled();
}

void TvcCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading) || !FAutoSize) return;
  // Measured on the screen, whatever the label's own canvas is bound to now.
  TControlCanvas* LabelCanvas = static_cast<TControlCanvas*>(Canvas());
  HDC Screen = GetDC(nullptr);
  LabelCanvas->SetHandle(Screen);
  RECT R{};
  {
    TScopeExit Release([LabelCanvas, Screen] {
      LabelCanvas->SetHandle(nullptr);
      ReleaseDC(nullptr, Screen);
    });
    FTextOptions->CalcRect(true, R);
  }
  int32_t NewLeft = Left();
  if (FTextOptions->Alignment() == taRightJustify) NewLeft = Left() + Width() - RectWidth(R);
  SetBounds(NewLeft, Top(), RectWidth(R), RectHeight(R));
}

void TvcCustomLabel::Paint() {
  TCanvas* C = Canvas();
  if (!Transparent()) {
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(ClientRect());
  }
  C->Brush()->SetStyle(bsClear);
  FTextOptions->SetText(GetLabelText());
  FTextOptions->SetTextRect(ClientRect());
  if (FTextOptions->DoubleBuffered()) FTextOptions->AssignFont(Font());
  FTextOptions->Draw();
}

void TvcCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TvcCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TvcCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      FTextOptions->SetText(Caption());
      AdjustBounds();
      Invalidate();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      AdjustBounds();
      return;
    case CM_MOUSEENTER:
      // The label fires its own enter and leave events (the class library's would fire twice).
      if (Message.LParam == 0) DoMouseEnter();
      return;
    case CM_MOUSELEAVE:
      if (Message.LParam == 0) DoMouseLeave();
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      return;
    default:
      TGraphicControl::Dispatch(Message);
      return;
  }
}

void TvcCustomLabel::CMDialogChar(TMessage& Message) {
  if (FFocusControl && Enabled() && FTextOptions->Options().Contains(toShowAccel) &&
      IsAccel(char32_t(Message.WParam), Caption()) && FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
    return;
  }
  TGraphicControl::Dispatch(Message);
}

// --- TvcDBCustomLabel ---------------------------------------------------------------------------

TvcDBCustomLabel::TvcDBCustomLabel(TComponent* AOwner)
    : TvcCustomLabel(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
  FControlStyle.Include(csReplicatable);
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent([this](TObject* Sender) { DataChange(Sender); });
}

TvcDBCustomLabel::~TvcDBCustomLabel() {
  FDataLink->OnDataChange = nullptr;
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TvcDBCustomLabel::DataSource() const {
  return FDataLink->DataSource();
}

void TvcDBCustomLabel::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSourceFixed() && ComponentState().Contains(csLoading)) return;
  if (FDataLink->DataSource() == Value) return;
  if (FDataLink->DataSource()) FDataLink->DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

const std::string& TvcDBCustomLabel::DataField() const {
  return FDataLink->FieldName();
}

void TvcDBCustomLabel::SetDataField(const std::string& Value) {
  FDataLink->SetFieldName(Value);
}

void TvcDBCustomLabel::SetAutoSize(bool Value) {
  if (Value && !AutoSize() && FDataLink->DataSourceFixed())
    throw EDatabaseError("Operation not allowed in a DBCtrlGrid");
  TvcCustomLabel::SetAutoSize(Value);
}

std::string TvcDBCustomLabel::GetFieldText() const {
  TField* Field = FDataLink->Field();
  if (!Field) {
    if (ComponentState().Contains(csDesigning) && FDataLink->DataSource() && Caption().empty()) return Name();
    return Caption();
  }
  if (Field->DataType() == ftMemo) return Field->AsString();
  return Field->DisplayText();
}

std::string TvcDBCustomLabel::GetLabelText() const {
  // A copy painted for a data-aware grid shows the row's field.
  if (ControlState().Contains(csPaintCopy)) return GetFieldText();
  return Caption();
}

void TvcDBCustomLabel::DataChange(TObject*) {
  SetCaption(GetFieldText());
}

void TvcDBCustomLabel::Loaded() {
  TvcCustomLabel::Loaded();
  if (ComponentState().Contains(csDesigning)) DataChange(this);
}

void TvcDBCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TvcCustomLabel::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TvcDBCustomLabel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_GETDATALINK) {
    Message.Result = LRESULT(FDataLink.get());
    return;
  }
  TvcCustomLabel::Dispatch(Message);
}
