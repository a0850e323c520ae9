#pragma once
// TCustomForm and TForm: top-level windows holding controls. A form keeps which of its controls
// is active (the one with the focus while the form is active), sends CM_EXIT and CM_ENTER down
// the chain of parents when the focus moves inside it, previews keys for its controls
// (KeyPreview), and closes through OnCloseQuery and OnClose, whose action decides what closing
// means: nothing (caNone), hide (caHide), minimise (caMinimize) or free (caFree). Closing the
// application's main form ends the application.
//
// Creation happens in two steps, because the form's resource names the form's own class and its
// handlers, which C++ only knows once the whole object is constructed:
//   1. the constructor (of the most derived class) builds the object;
//   2. AfterConstruction reads the form resource registered for the class, if there is one
//      (InitInheritedComponent), then fires OnCreate and shows the form when the resource made it
//      visible.
// TApplication::CreateForm and NewForm<T> do both steps; a derived constructor that needs its
// components in its own body calls InitInheritedComponent itself first (it reads only once).

#include <memory>
#include <string>

#include "platform/forms/controlcanvas.h"
#include "platform/forms/wincontrol.h"

KORCAM_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
KORCAM_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
            poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
KORCAM_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
KORCAM_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
KORCAM_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
KORCAM_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

class TCustomForm : public TWinControl {
  KORCAM_CLASS(TCustomForm, TWinControl)

 public:
  explicit TCustomForm(TComponent* AOwner);
  // The class library's CreateNew: a form that never reads a resource.
  TCustomForm(TComponent* AOwner, int Dummy);
  ~TCustomForm() override;
  void BeforeDestruction() override;

  // Step 2 of creation (see above). Safe to call more than once.
  virtual void AfterConstruction();
  // Reads the form resource registered for this form's class (or an ancestor's); false when
  // there is none. Runs once.
  bool InitInheritedComponent();

  // ---- published -------------------------------------------------------------------------
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PUBLISH_PROPERTY(TControl, TColor, Color, clBtnFace)
  PUBLISH_PROPERTY(TControl, bool, ParentColor, false)
  PUBLISH_PROPERTY(TControl, bool, ParentFont, false)
  PUBLISH_PROPERTY(TControl, bool, Visible, false)
  PROPERTY(TFormBorderStyle, BorderStyle, bsSizeable)
  PROPERTY(TBorderIcons, BorderIcons, biSystemMenu, biMinimize, biMaximize)
  PROPERTY(TFormStyle, FormStyle, fsNormal)
  PROPERTY(TPosition, Position, poDesigned)
  PROPERTY(TWindowState, WindowState, wsNormal)
  PLAIN_PROPERTY(bool, KeyPreview, false)
  PROPERTY(bool, AlphaBlend, false)
  PROPERTY(uint8_t, AlphaBlendValue, 255)
  PROPERTY(bool, TransparentColor, false)
  PROPERTY(TColor, TransparentColorValue, clBlack)
  PLAIN_PROPERTY(bool, OldCreateOrder, false)
  PLAIN_PROPERTY(int32_t, PixelsPerInch, 96)
  PLAIN_PROPERTY(int32_t, TextHeight, 13)
  PLAIN_PROPERTY(bool, Scaled, true)
  ACCESSOR_PROPERTY(TWinControl*, ActiveControl, nullptr)
  // The client size a form resource gives (written instead of Width and Height).
  // While the form is read they wait for the border style, which may come later in the text.
  int32_t ClientWidth() const { return TControl::ClientWidth(); }
  void SetClientWidth(int32_t Value);
  int32_t ClientHeight() const { return TControl::ClientHeight(); }
  void SetClientHeight(int32_t Value);
  PUBLISH_NODEFAULT(TCustomForm, int32_t, ClientWidth)
  PUBLISH_NODEFAULT(TCustomForm, int32_t, ClientHeight)
  EVENT(TNotifyEvent, OnActivate)
  EVENT(TCloseEvent, OnClose)
  EVENT(TCloseQueryEvent, OnCloseQuery)
  EVENT(TNotifyEvent, OnCreate)
  EVENT(TNotifyEvent, OnDeactivate)
  EVENT(TNotifyEvent, OnDestroy)
  EVENT(TNotifyEvent, OnHide)
  EVENT(TNotifyEvent, OnPaint)
  EVENT(TNotifyEvent, OnShow)

 public:
  void Show();
  void Hide();
  // Asks CloseQuery, then OnClose with the default action (caHide; caFree for a form whose
  // owner is not the application... as the class library: caHide), then acts on it.
  void Close();
  // OnCloseQuery (CanClose starts true); false keeps the form open.
  virtual bool CloseQuery();
  // Frees the form once the messages now queued are handled (from inside its own handlers).
  void Release();
  // Shows the form and runs a message loop until ModalResult is set (or the form closes).
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  bool Active() const { return FActive; }
  TFormState FormState() const { return FFormState; }
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The control inside that has (or last had) the focus, down to which CM_ENTER was sent.
  TWinControl* FocusedControl() const { return FFocusedControl; }

  // Moves the focus bookkeeping to Control: CM_EXIT up from the old control, CM_ENTER down to the
  // new one, CM_FOCUSCHANGED to the form. False when a handler moved the focus elsewhere.
  bool SetFocusedControl(TWinControl* Control);
  void FocusControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  void SetFocus() override;
  void SendCancelMode(TControl* Sender);

  // Runs the idle-time updates of the form's components (action lists).
  virtual void UpdateActions();
  // Runs the action whose shortcut the key message is, from the action lists the form owns;
  // true when one ran, which uses the key up. Keys ask here before the focused control sees them.
  virtual bool IsShortCut(TMessage& Message);

  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Paint();
  void PaintWindow(HDC DC) override;
  // The form's frame for a client rectangle, from its border style (no window needed).
  RECT ClientRectWithoutHandle() const;

  void WMClose(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  void WMPaint(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMActivate(TMessage& Message);
  void CMDeactivate(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMRelease(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);

  void SetActive(bool Value);
  void SetWindowFocus();
  // Applies AlphaBlend and TransparentColor to the window (a layered window).
  void UpdateLayeredAttributes();
  void MoveToPosition();

  friend class TWinControl;
  friend class TApplication;

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  std::unique_ptr<TControlCanvas> FCanvas;
  TFormState FFormState;
  TModalResult FModalResult = mrNone;
  bool FActive = false;
  bool FCreated = false;
  bool FResourceRead = false;
  bool FPositioned = false;
  int FFocusCount = 0;
  // While a control inside re-creates its window, the focus leaving and coming back is not a
  // move of the focus (no CM_EXIT / CM_ENTER).
  int FFocusSuspend = 0;
  int32_t FPendingClientWidth = -1;
  int32_t FPendingClientHeight = -1;
};

class TForm : public TCustomForm {
  KORCAM_CLASS(TForm, TCustomForm)

 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
  TForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner, Dummy) {}
};

// The resource a form or data module class reads: registered ones first, else
// "forms/<class name without its leading T, lower case>.form" when that resource exists.
void RegisterFormResource(const std::string& ClassName, const std::string& ResourceName);
std::string FindFormResource(const TClassInfo& Class);

// Makes a form (or data module) of class T with both creation steps.
template <class T>
T* NewForm(TComponent* AOwner) {
  T* Instance = new T(AOwner);
  try {
    Instance->AfterConstruction();
  } catch (...) {
    Instance->Free();
    throw;
  }
  return Instance;
}
