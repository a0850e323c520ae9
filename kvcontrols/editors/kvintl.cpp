#include "kvcontrols/editors/kvintl.h"

#include "kvcontrols/editors/kvtextutils.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/rtl/format.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/input.h"

KORCAM_REGISTER_CLASS(TkvIntl)

TkvIntl* kvGlobalIntl = nullptr;

namespace {

// The library's start and end code: the global settings object exists before any control reads
// it and outlives every control of the program.
struct TkvIntlUnit {
  TkvIntlUnit() { kvGlobalIntl = new TkvIntl(nullptr); }
  ~TkvIntlUnit() {
    if (kvGlobalIntl) kvGlobalIntl->Free();
  }
  TkvIntlUnit(const TkvIntlUnit&) = delete;
  TkvIntlUnit& operator=(const TkvIntlUnit&) = delete;
};

const TkvIntlUnit IntlUnit;

// The class library's masked-edit error text.
constexpr const char* MaskEditErrorText = "Invalid input value.  Use escape key to abandon changes";

}  // namespace

TkvIntl::TkvIntl(TComponent* AOwner)
    : TComponent(AOwner),
      FADO(std::make_unique<TkvADOIntl>()),
      FNavigator(std::make_unique<TkvDBNavigatorIntl>()),
      FSearchDialog(std::make_unique<TkvSearchDialogIntl>()),
      FLocateDialog(std::make_unique<TkvLocateDialogIntl>()),
      FMonthCalendar(std::make_unique<TkvMonthCalendarIntl>()),
      FFilterDialog(std::make_unique<TkvFilterDialogIntl>()),
      FRichEdit(std::make_unique<TkvDBRichEditIntl>()),
      FUserMessages(std::make_unique<TkvUserMessagesIntl>()) {}

TkvIntl::~TkvIntl() {
  if (kvGlobalIntl == this) kvGlobalIntl = nullptr;
}

void TkvIntl::SetADO(TkvADOIntl* Value) { FADO->Assign(Value); }
void TkvIntl::SetNavigator(TkvDBNavigatorIntl* Value) { FNavigator->Assign(Value); }
void TkvIntl::SetSearchDialog(TkvSearchDialogIntl* Value) { FSearchDialog->Assign(Value); }
void TkvIntl::SetLocateDialog(TkvLocateDialogIntl* Value) { FLocateDialog->Assign(Value); }
void TkvIntl::SetMonthCalendar(TkvMonthCalendarIntl* Value) { FMonthCalendar->Assign(Value); }
void TkvIntl::SetFilterDialog(TkvFilterDialogIntl* Value) { FFilterDialog->Assign(Value); }
void TkvIntl::SetRichEdit(TkvDBRichEditIntl* Value) { FRichEdit->Assign(Value); }
void TkvIntl::SetUserMessages(TkvUserMessagesIntl* Value) { FUserMessages->Assign(Value); }

void TkvIntl::SetCheckBoxInGridStyle(TkvCheckBoxInGridStyle Value) {
  FCheckBoxInGridStyle = Value;
  if (FConnected && kvGlobalIntl && kvGlobalIntl != this) kvGlobalIntl->SetCheckBoxInGridStyle(Value);
}

void TkvIntl::SetGridPaintStyle(TkvGridPaintStyle Value) {
  FGridPaintStyle = Value;
  if (FConnected && kvGlobalIntl && kvGlobalIntl != this) kvGlobalIntl->SetGridPaintStyle(Value);
}

void TkvIntl::SetConnected(bool Value) {
  FConnected = Value;
  if (Value) CopyToGlobal();
}

void TkvIntl::Loaded() {
  TComponent::Loaded();
  if (FConnected) CopyToGlobal();
}

void TkvIntl::CopyToGlobal() {
  TkvIntl* Global = kvGlobalIntl;
  if (!Global || Global == this) return;
  Global->FilterDialog()->Assign(FFilterDialog.get());
  Global->RichEdit()->Assign(FRichEdit.get());
  Global->SearchDialog()->Assign(FSearchDialog.get());
  Global->MonthCalendar()->Assign(FMonthCalendar.get());
  Global->LocateDialog()->Assign(FLocateDialog.get());
  Global->ADO()->Assign(FADO.get());
  Global->Navigator()->Assign(FNavigator.get());
  Global->SetOKCancelBitmapped(FOKCancelBitmapped);
  Global->UserMessages()->Assign(FUserMessages.get());
  Global->SetBtnOKCaption(FBtnOKCaption);
  Global->SetBtnCancelCaption(FBtnCancelCaption);
  // The extension is appended to whatever name was given, so "app.ini" becomes "app.ini.ini".
  if (FIniFileName.empty() || FIniFileName == ".ini")
    Global->SetIniFileName("");
  else
    Global->SetIniFileName(FIniFileName + ".ini");
  Global->SetCheckBoxInGridStyle(FCheckBoxInGridStyle);
  Global->SetGridPaintStyle(FGridPaintStyle);
  Global->OnValidationErrorUsingMask = OnValidationErrorUsingMask;
  Global->SetDialogFontStyle(FDialogFontStyle);
  Global->SetUseLocateMethodForSearch(FUseLocateMethodForSearch);
  Global->SetReopenOnCancelRange(FReopenOnCancelRange);
  Global->SetDefaultEpochYear(FDefaultEpochYear);
  Global->SetFilterMemoSize(FFilterMemoSize);
}

void TkvIntl::DoValidationErrorUsingMask(TObject* Sender, TField* Field) {
  std::string Message = Format(MaskEditErrorText, std::string());
  bool DoDefault = true;
  if (OnValidationErrorUsingMask) OnValidationErrorUsingMask(Sender, Field, Message, DoDefault);
  if (!DoDefault) return;
  MessageBeep(0);
  throw EInvalidOperation(Message);
}

int32_t kvGetFilterMemoSize() { return kvGlobalIntl->FilterMemoSize(); }

TButton* kvCreateDialogButton(TForm* Form, TBitBtnKind Kind) {
  const bool Glyphs = kvGlobalIntl->OKCancelBitmapped();
  TButton* Button = Glyphs ? new TBitBtn(Form) : new TButton(Form);
  Button->SetVisible(false);
  Button->SetParent(Form);
  const int32_t PixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
  Button->SetWidth(PixelsPerInch * 77 / 96);
  Button->SetHeight(PixelsPerInch * 24 / 96);
  if (auto* BitButton = dynamic_cast<TBitBtn*>(Button)) {
    BitButton->SetMargin(2);
    BitButton->SetKind(Kind);
    BitButton->SetLayout(blGlyphLeft);
    BitButton->SetNumGlyphs(2);
    BitButton->SetSpacing(-1);
    // A glyph needs a little more height than a caption alone.
    BitButton->SetWidth(PixelsPerInch * 77 / 96);
    BitButton->SetHeight(PixelsPerInch * 27 / 96);
    BitButton->Font()->SetColor(clWindowText);
    BitButton->Font()->SetHeight(-11);
    BitButton->Font()->SetName("MS Sans Serif");
    BitButton->Font()->SetStyle(kvGlobalIntl->DialogFontStyle());
  }
  switch (Kind) {
    case bkOK:
      Button->SetCaption(kvGlobalIntl->BtnOKCaption());
      Button->SetModalResult(mrOk);
      break;
    case bkCancel:
      Button->SetCaption(kvGlobalIntl->BtnCancelCaption());
      Button->SetModalResult(mrCancel);
      Button->SetCancel(true);
      break;
    case bkHelp:
      Button->SetCaption("Help");
      break;
    default:
      break;
  }
  return Button;
}

std::string kvDefaultIniFileName() {
  const std::string BaseName = kvProgramBaseName(ProgramPath());
  return BaseName.empty() ? std::string() : BaseName + ".ini";
}
