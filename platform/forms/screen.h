#pragma once
// TScreen: what the program knows about the display and its own windows: the size of the
// screen, the forms and data modules that exist, the active form and the control with the focus,
// the cursor shown over every window (Cursor; crDefault lets each control choose its own), and
// the font families the device layer offers.

#include <memory>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/rtl/stringlist.h"

class TCustomForm;
class TDataModule;
class TWinControl;
class TFont;
class TControl;

class TScreen : public TComponent {
  KORCAM_CLASS(TScreen, TComponent)

 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int32_t Width() const;
  int32_t Height() const;
  // The screen's pixels per inch: 96 unless set (a test checks scaling at other densities).
  int32_t PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int32_t Value) { FPixelsPerInch = Value; }
  RECT WorkAreaRect() const;
  int32_t WorkAreaWidth() const;
  int32_t WorkAreaHeight() const;

  int FormCount() const { return int(FForms.size()); }
  TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
  int CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(int Index) const { return Forms(Index); }
  int DataModuleCount() const { return int(FDataModules.size()); }
  TDataModule* DataModules(int Index) const { return FDataModules.at(size_t(Index)); }

  TCustomForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  TCustomForm* FocusedForm() const { return FFocusedForm; }

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  HCURSOR Cursors(TCursor Index) const { return CursorHandle(Index); }

  // Font family names, sorted, made on first use.
  TStrings* Fonts();
  void ResetFonts();
  TFont* HintFont() const { return FHintFont.get(); }

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

  // Bookkeeping of the forms and data modules (their constructors and destructors call these).
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void AddDataModule(TDataModule* DataModule);
  void RemoveDataModule(TDataModule* DataModule);
  // Called by a form when the focus moves inside it.
  void SetActive(TCustomForm* Form, TWinControl* Control);
  void SetFocusedForm(TCustomForm* Form) { FFocusedForm = Form; }
  // A control that goes away is forgotten.
  void ControlGone(TControl* Control);

 private:
  int32_t FPixelsPerInch = 96;
  std::vector<TCustomForm*> FForms;
  std::vector<TDataModule*> FDataModules;
  TCustomForm* FActiveForm = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::unique_ptr<TStringList> FFonts;
  std::unique_ptr<TFont> FHintFont;
};

extern TScreen* Screen;
