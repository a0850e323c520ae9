#pragma once
// The status bar: the common controls' status-bar window whose parts are drawn by the bar
// itself, one part per panel. A panel's Style decides what it shows: its own text, a control
// placed in it, the state of Caps Lock, Num Lock, Scroll Lock or Insert, the date and/or time,
// an image of the bar's Images, the caret position of a rich edit, the application's current
// hint, or the user's or the computer's name. Panel texts are drawn by the caption renderer
// (TextOptions), with its effects and alignment.
//
// Widths (Resize). A panel's Width is a whole number of pixels or a whole number followed by
// "%". Fixed panels take their pixels first, in order, each at most what is left of the bar; the
// percentage panels then share what the fixed panels left, each its percentage of that same
// remainder. 90% and 10% of a bar 693 wide are 623 and 69; 100, 50% and 50% on 300 are 100 each.
//
// What changes by itself is refreshed without invalidating the bar: date and time panels every
// second, hint panels and rich-edit caret panels every 100 ms (timers of the bar's window), and
// the key-state panels of every bar when one of those keys is pressed or released (a keyboard
// hook of the user-interface thread). Such a repaint draws the one panel into a bitmap and copies
// it onto the window in one piece.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/events.h"
#include "platform/forms/canvas.h"
#include "platform/forms/font.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/wincontrol.h"
#include "platform/rtl/datetime_type.h"
#include "vcontrols/common/vccollection.h"
#include "vcontrols/text/vctext.h"

class TPopupMenu;
class TvcCustomStatusBar;
class TvcStatusPanel;
class TvcStatusPanels;

KORCAM_ENUM(TvcStatusPanelStyle, psTextOnly, psControl, psOverWrite, psCapsLock, psNumLock, psDateTime, psDate, psTime,
            psGlyph, psRichEditStatus, psHint, psUserName, psComputerName, psScrollLock, psHintContainerOnly)
KORCAM_ENUM(TvcStatusPanelBevel, pbNone, pbLowered, pbRaised)

// (Sender, Text): the text a panel shows changed.
using TvcPanelTextChangedEvent = TEvent<TObject*, const std::string&>;
// (Panel, Text, Enabled): may change what is drawn, and whether it is drawn enabled.
using TvcDrawTextEvent = TEvent<TvcStatusPanel*, std::string&, bool&>;
// (StatusBar, Panel, Rect): after a panel was drawn.
using TDrawPanelEvent = TEvent<TvcCustomStatusBar*, TvcStatusPanel*, const RECT&>;
// (StatusBar, StatusPanel, KeyIsOn, Rect, Text): before a key-state panel draws its text.
using TDrawKeyboardStateEvent = TEvent<TvcCustomStatusBar*, TvcStatusPanel*, bool, RECT&, std::string&>;

// The texts of the key-state panels. A change repaints the bar.
// The rich edit a psRichEditStatus panel follows: a control whose class descends from the class
// library's rich edit, recognised by its class name (the rich edit stays unknown to this library;
// the caret is read through the edit messages).
bool IsRichEdit(const TComponent* Component);

class TvcStatusBarText : public TPersistent {
  KORCAM_CLASS(TvcStatusBarText, TPersistent)

 public:
  explicit TvcStatusBarText(TvcCustomStatusBar* Bar = nullptr) : FBar(Bar) {}

  PROPERTY(std::string, CapsLock, "Caps")
  PROPERTY(std::string, NumLock, "Num")
  PROPERTY(std::string, Overwrite, "Overwrite")
  PROPERTY(std::string, ScrollLock, "Scroll")

 public:
  void Assign(TPersistent* Source) override;

 private:
  void Changed();
  TvcCustomStatusBar* FBar;
};

class TvcStatusPanel : public TvcCollectionItem {
  KORCAM_CLASS(TvcStatusPanel, TvcCollectionItem)

 public:
  // Named Panel0, Panel1, ... (the first free number), 50 pixels wide, with the bar's font.
  explicit TvcStatusPanel(TCollection* Collection);
  ~TvcStatusPanel() override;

  PROPERTY(TvcStatusPanelBevel, Bevel, pbLowered)
  PROPERTY(TColor, Color, clBtnFace)
  // The control a psControl panel shows, or the rich edit of a psRichEditStatus panel. Any
  // other control makes the panel psControl, a rich edit psRichEditStatus, nothing psTextOnly.
  PROPERTY(TComponent*, Component, nullptr)
  PROPERTY(bool, Enabled, true)
  OWNED_PROPERTY(TFont, Font)
  PROPERTY(std::string, Hint, "")
  PROPERTY(int32_t, ImageIndex, 0)
  PROPERTY(int32_t, Indent, 0)
  PROPERTY(int32_t, Margin, 0)
  // Unique among the bar's panels (case-sensitive); a name taken raises EInvalidOperation.
  NODEFAULT_PROPERTY(std::string, Name, "")
  PROPERTY(TPopupMenu*, PopupMenu, nullptr)
  PROPERTY(TvcStatusPanelStyle, Style, psTextOnly)
  PLAIN_PROPERTY(int32_t, Tag, 0)
  PROPERTY(std::string, Text, "")
  OWNED_PROPERTY(TvcCaptionText, TextOptions)
  // "120" (pixels) or "25%"; anything else (an empty text too) raises EInvalidOperation and
  // keeps the old width.
  KORCAM_PROPERTY_ROW(Width, MakeWidthProperty())
  EVENT(TNotifyEvent, OnClick)
  EVENT(TNotifyEvent, OnDblClick)
  EVENT(TvcDrawTextEvent, OnDrawText)
  EVENT(TMouseEvent, OnMouseDown)
  EVENT(TMouseMoveEvent, OnMouseMove)
  EVENT(TMouseEvent, OnMouseUp)
  EVENT(TvcPanelTextChangedEvent, OnTextChanged)

 public:
  const std::string& Width() const { return FWidth; }
  void SetWidth(const std::string& Value);
  // The width the bar computed from Width (0 for a percentage until the bar has a size).
  int32_t PixelWidth() const { return FPixelWidth; }
  // The name, or the inherited text without one.
  std::string DisplayName() const override;

  // --- operations ---
  virtual std::string MakeUniqueName() const;
  virtual TvcCustomStatusBar* StatusBar() const;
  virtual bool IsWidthStored() const { return FWidth != "0"; }
  virtual void FontChanged(TObject* Sender);
  // A component that goes away: the panel's control or popup menu is forgotten.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Whether the text being drawn is drawn enabled (as OnDrawText left it).
  virtual bool IsTextEnabled() const { return FDrawnEnabled; }
  // The date or time text of the moment; true when it changed (OnTextChanged has fired).
  virtual bool UpdateDateTimeText();
  // Draws the panel on Canvas in Rect, as its Style says.
  virtual void PaintPanel(TCanvas* Canvas, const RECT& Rect);
  virtual void PaintControl();
  virtual void PaintGlyph();
  virtual void PaintKeyState();
  virtual void PaintHint();
  virtual void PaintUserName();
  virtual void PaintComputerName();
  virtual void PaintRichEditStatus();
  // Text in Rect (narrowed by 2 on each side and by Indent on the left) through TextOptions,
  // after OnDrawText; OnTextChanged when what was drawn differs from Text.
  virtual void DrawPanelText(const std::string& AText, const RECT& Rect, bool AEnabled);
  // A point of the panel on the screen.
  virtual POINT PanelToScreen(POINT Point) const;
  // The part's rectangle in the bar (empty without a window).
  virtual RECT GetRect() const;
  // Paints the panel straight onto the bar's window (not while the bar is read; a date panel
  // only when the day changed, unless the bar is being resized).
  virtual void Redraw();

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoTextChanged(const std::string& Value);

  // The caret last shown by a psRichEditStatus panel (0-based).
  int32_t CaretLine() const { return FCaretLine; }
  int32_t CaretColumn() const { return FCaretColumn; }
  // Reads the caret of the panel's rich edit; repaints when it moved.
  void UpdateCaretPosition();
  // The virtual key of a key-state style (0 for the others).
  static int KeyOfStyle(TvcStatusPanelStyle Style);

 protected:
  void AssignTo(TPersistent* Dest) override;
  // The parts are sent again and the panel's part repaints.
  void MarkChanged() { Changed(false); }
  static TPropertyInfo MakeWidthProperty();

  TCanvas* FDrawCanvas = nullptr;
  int32_t FCaretColumn = 0;
  int32_t FCaretLine = 0;
  bool FDrawnEnabled = true;
  bool FPainting = false;
  std::string FWidth = "50";
  int32_t FPixelWidth = 50;
  TDateTime FLastTime = 0;
  RECT FPanelRect{};

 private:
  friend class TvcCustomStatusBar;
  // A control the panel holds (nullptr for any other component).
  TControl* ComponentControl() const;
  // The panel's text rectangle as a painting style shows it, narrowed by its glyph.
  void DrawText(const std::string& AText, bool AEnabled) { DrawPanelText(AText, FPanelRect, AEnabled); }
};

class TvcStatusPanels : public TvcCollection {
  KORCAM_CLASS(TvcStatusPanels, TvcCollection)

 public:
  TvcStatusPanels(TvcCustomStatusBar* Bar, const TClassInfo& ItemClass);

  TvcStatusPanel* Items(int Index) const { return static_cast<TvcStatusPanel*>(TCollection::Items(Index)); }
  TvcStatusPanel* Add() { return static_cast<TvcStatusPanel*>(TvcCollection::Add()); }
  TvcCustomStatusBar* StatusBar() const { return FBar; }
  TPersistent* GetOwner() const override;
  // The panel of that name (case-sensitive; the last one when several share it); nullptr when none.
  TvcStatusPanel* PanelByName(const std::string& Name) const;
  // Every panel of the style repaints at once.
  virtual void RedrawStyle(TvcStatusPanelStyle Style);

 protected:
  // One panel: its part is sent again and repaints. Nothing given: every part is sent again.
  void Update(TCollectionItem* Item) override;

  TvcCustomStatusBar* FBar;
};

class TvcCustomStatusBar : public TWinControl {
  KORCAM_CLASS(TvcCustomStatusBar, TWinControl)

 public:
  explicit TvcCustomStatusBar(TComponent* AOwner);
  ~TvcCustomStatusBar() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TvcStatusPanels* Panels() const { return FPanels.get(); }
  void SetPanels(TvcStatusPanels* Value) { FPanels->Assign(Value); }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& Value);
  // Wished for, and the bar sits on a sizeable form.
  bool SizeGrip() const;
  bool SizeGripWish() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  TvcStatusBarText* StatusBarText() const { return FStatusBarText.get(); }
  void SetStatusBarText(TvcStatusBarText* Value) { FStatusBarText->Assign(Value); }

  EVENT(TDrawKeyboardStateEvent, OnDrawKeyboardState)
  EVENT(TDrawPanelEvent, OnDrawPanel)

 public:
  // --- operations ---
  virtual const TClassInfo& GetPanelsClass() const;
  // Sends every panel's part (at most 128) to the window.
  virtual void UpdateParts();
  // The panel under a client point ((-1, -1): under the cursor); nullptr when none.
  virtual TvcStatusPanel* PanelAt(int X, int Y) const;
  // One panel's part text and drawing flags; with Invalidate its rectangle repaints.
  void UpdatePart(int Index, bool Invalidate);
  // The panel's rectangle for drawing: the last panel leaves room for the size grip.
  RECT DrawingRect(const TvcStatusPanel* Panel, RECT Rect) const;
  // Set while a WM_SIZE is handled.
  bool Resizing() const { return FResizing; }
  // Whether the mouse is in the bar's container (its frame, else its form) on an active form.
  bool MouseInContainer() const;
  TCanvas* BarCanvas() const { return FCanvas.get(); }
  // Starts the panel timers the styles present need (not while designed).
  void StartTimers();
  // Kills the timer of Style when no panel but Except still needs it.
  void StopTimerUnlessNeeded(TvcStatusPanelStyle Style, const TvcStatusPanel* Except);
  void StartTimerFor(TvcStatusPanelStyle Style);
  // Every panel of every bar but Keeper that holds Component lets it go.
  static void ReleaseComponent(TComponent* Component, const TvcStatusPanel* Keeper);

  void Invalidate() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void PaintWindow(HDC DC) override;
  void Click() override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The panels' widths in pixels; see the top of the file.
  void Resize() override;
  virtual void DrawPanel(TvcStatusPanel* Panel, const RECT& Rect);

  std::unique_ptr<TCanvas> FCanvas;
  SIZE FPreviousSize{0, 0};
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TvcStatusPanels> FPanels;
  bool FSimplePanel = false;
  std::string FSimpleText;
  bool FSizeGrip = true;
  bool FResizing = false;
  std::unique_ptr<TvcStatusBarText> FStatusBarText;

 private:
  friend class TvcStatusPanel;
  void WMSize(TMessage& Message);
  void WMTimer(TMessage& Message);
  void CNDrawItem(TMessage& Message);
  bool FRecreating = false;
};

class TvcStatusBar : public TvcCustomStatusBar {
  KORCAM_CLASS(TvcStatusBar, TvcCustomStatusBar)

 public:
  explicit TvcStatusBar(TComponent* AOwner) : TvcCustomStatusBar(AOwner) {}

  PUBLISH_PROPERTY(TControl, TAlign, Align, alBottom)
  PUBLISH_PROPERTY(TvcCustomStatusBar, TCustomImageList*, Images, nullptr)
  KORCAM_PROPERTY_ROW(Panels, MakePanelsProperty())
  PUBLISH_PROPERTY(TvcCustomStatusBar, bool, SimplePanel, false)
  PUBLISH_PROPERTY(TvcCustomStatusBar, std::string, SimpleText, "")
  KORCAM_PROPERTY_ROW(SizeGrip, MakeSizeGripProperty())
  KORCAM_PROPERTY_ROW(StatusBarText, MakeStatusBarTextProperty())

 private:
  static TPropertyInfo MakePanelsProperty();
  static TPropertyInfo MakeSizeGripProperty();
  static TPropertyInfo MakeStatusBarTextProperty();
};
