#pragma once
// The pieces form: a small main window read from its form resource
// (tests/fixtures/forms/pieces.form) with a page control, splitters, an action manager with two
// tool bars (one with a drop-down), a track bar, a popup menu and a tray icon, whose handlers log
// what ran. The headless tests drive it; the X11 tests show it on a real server.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/actionmanager.h"
#include "platform/forms/actiontoolbar.h"
#include "platform/forms/customcontrol.h"
#include "platform/forms/form.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/menus.h"
#include "platform/forms/pagecontrol.h"
#include "platform/forms/splitter.h"
#include "platform/forms/trackbar.h"
#include "platform/forms/trayicon.h"
#include "platform/user/desktopservices.h"

// A panel that fills itself with its colour and writes its caption at its bottom left.
class TPiecesPanel : public TCustomControl {
  KORCAM_CLASS(TPiecesPanel, TCustomControl)

 public:
  explicit TPiecesPanel(TComponent* AOwner);
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  void Dispatch(TMessage& Message) override;

 protected:
  void Paint() override;
};

class TPiecesForm : public TForm {
  KORCAM_CLASS(TPiecesForm, TForm)

 public:
  explicit TPiecesForm(TComponent* AOwner) : TForm(AOwner) {}

  PUBLISHED_FIELD(TImageList, ImageList1)
  PUBLISHED_FIELD(TActionManager, ActionManager1)
  PUBLISHED_FIELD(TAction, ActionCapture)
  PUBLISHED_FIELD(TAction, ActionMovie)
  PUBLISHED_FIELD(TAction, ActionSeparatorToHide)
  PUBLISHED_FIELD(TAction, ActionButtons)
  PUBLISHED_FIELD(TAction, ActionViewAlbum)
  PUBLISHED_FIELD(TAction, ActionList)
  PUBLISHED_FIELD(TAction, ActionReport)
  PUBLISHED_FIELD(TAction, ActionExit)
  PUBLISHED_FIELD(TPopupMenu, PopupMenuTray)
  PUBLISHED_FIELD(TTrayIcon, TrayIcon)
  PUBLISHED_FIELD(TPageControl, PageControl1)
  PUBLISHED_FIELD(TTabSheet, TabSheetWebCam)
  PUBLISHED_FIELD(TTabSheet, TabSheetAlbum)
  PUBLISHED_FIELD(TTabSheet, TabSheetImage)
  PUBLISHED_FIELD(TPiecesPanel, PanelOptions)
  PUBLISHED_FIELD(TSplitter, Splitter1)
  PUBLISHED_FIELD(TSplitter, Splitter2)
  PUBLISHED_FIELD(TActionToolBar, ActionToolBar2)
  PUBLISHED_FIELD(TActionToolBar, ActionToolBar3)
  PUBLISHED_FIELD(TTrackBar, TrackBarAlbum)

  PUBLISHED_METHOD(FormCreate, TObject* Sender)
  PUBLISHED_METHOD(ActionExecute, TObject* Sender)
  PUBLISHED_METHOD(Open1Click, TObject* Sender)
  PUBLISHED_METHOD(Close1Click, TObject* Sender)
  PUBLISHED_METHOD(PopupMenuTrayPopup, TObject* Sender)
  PUBLISHED_METHOD(TrayIconMinimize, TObject* Sender)
  PUBLISHED_METHOD(TrayIconRestore, TObject* Sender)
  PUBLISHED_METHOD(Splitter1Moved, TObject* Sender)
  PUBLISHED_METHOD(TrackBarAlbumChange, TObject* Sender)

  // What ran, in order: "ActionExecute Image;", "Open1Click;" ...
  std::string Log;
  // Every field held its component when OnCreate ran.
  bool FieldsBoundAtCreate = false;
};

struct TFreePiecesForm {
  void operator()(TPiecesForm* Form) const;
};
using TPiecesFormHolder = std::unique_ptr<TPiecesForm, TFreePiecesForm>;

// Registers the form's resource from the fixture file (once); NewForm and CreateForm read it.
void RegisterPiecesForm();
// Makes the form from its resource.
TPiecesFormHolder MakePiecesForm();

// A tray that records what it is asked (installed with SetNotifyArea).
class TRecordingTray : public TNotifyArea {
 public:
  bool Present = true;
  std::vector<std::string> Log;
  std::map<std::pair<HWND, UINT>, TNotifyIconData> Icons;

  bool Exists() override;
  bool Add(const TNotifyIconData& Data) override;
  bool Modify(const TNotifyIconData& Data) override;
  bool Delete(HWND Wnd, UINT ID) override;
};
