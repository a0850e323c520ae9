// The main window's life: creation, the start-up sequence that restores the user's settings,
// the two kinds of close (into the tray, or the real close that saves and disconnects) and the
// destruction of what start-up created.
//
// Start-up runs in a fixed order because later steps read what earlier ones set: the settings
// file is read after this edition's groups are hidden and the log file is named, and before the
// window and the editors are restored from the items.

#include "app/formghost.h"

#include <algorithm>

#include "app/datamodule1.h"
#include "app/optiontext.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/picture.h"
#include "platform/forms/screen.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/htmlhelp.h"
#include "platform/shell/version.h"
#include "platform/user/winuser.h"

KORCAM_REGISTER_CLASS(TFormGhost)

TFormGhost* FormGhost = nullptr;

namespace {

const char* const SettingsFileName = "korcam.ini";

// The index of the entry that equals Text exactly (case-sensitive); -1 when none does.
int IndexOfExact(TStrings* Strings, const std::string& Text) {
  for (int Index = 0; Index < Strings->Count(); ++Index)
    if (Strings->Strings(Index) == Text) return Index;
  return -1;
}

// Every option text of a table, by upper-cased key, the first of each key in tree order (as
// FindItemByTagString finds it).
std::map<std::string, std::string> OptionTexts(TkvDataInspector* Table) {
  std::map<std::string, std::string> Texts;
  for (TkvInspectorItem* Item = Table->FirstItem(false); Item; Item = Item->NextItem(false, false))
    Texts.emplace(UpperCase(Item->TagString()), Item->EditText());
  return Texts;
}

}  // namespace

TFormGhost::TFormGhost(TComponent* AOwner) : TForm(AOwner) {
  FormGhost = this;
}

TFormGhost::~TFormGhost() {
  if (FormGhost == this) FormGhost = nullptr;
}

TkvInspectorItem* TFormGhost::FindOption(const std::string& Key) const {
  TkvInspectorItem* Item = InspectorOptions->FindItemByTagString(Key);
  if (!Item) throw EInvalidOperation("The options table has no option \"" + Key + "\"");
  return Item;
}

TkvInspectorItem* TFormGhost::FindImageOption(const std::string& Key) const {
  TkvInspectorItem* Item = InspectorImageEffects->FindItemByTagString(Key);
  if (!Item) throw EInvalidOperation("The image options table has no option \"" + Key + "\"");
  return Item;
}

// ---- values that start-up converts ---------------------------------------------------------------
//
// A hand-edited settings file may hold a text that does not convert. Rather than end the
// program, the value is logged and the option goes back to the text the form gave it.

std::string TFormGhost::RestoreFormValue(TkvDataInspector* Table, const std::string& Key, const std::string& Reason) {
  const auto& Defaults = Table == InspectorOptions ? FFormOptions : FFormImageOptions;
  TkvInspectorItem* Item = Table == InspectorOptions ? FindOption(Key) : FindImageOption(Key);
  auto Found = Defaults.find(UpperCase(Key));
  const std::string Default = Found != Defaults.end() ? Found->second : std::string();
  WriteLog("Settings value \"" + Item->EditText() + "\" of \"" + Key + "\" " + Reason + "; \"" + Default +
           "\" is used");
  Item->SetEditText(Default);
  return Default;
}

int32_t TFormGhost::OptionInteger(const std::string& Key) {
  int32_t Value = 0;
  if (TryStrToInt(FindOption(Key)->EditText(), Value)) return Value;
  return StrToIntDef(RestoreFormValue(InspectorOptions, Key, "is not a whole number"), 0);
}

TDateTime TFormGhost::OptionTime(const std::string& Key) {
  TDateTime Value = 0;
  if (TryStrToTime(FindOption(Key)->EditText(), Value)) return Value;
  return StrToTimeDef(RestoreFormValue(InspectorOptions, Key, "is not a time"), 0);
}

TColor TFormGhost::OptionColor(TkvDataInspector* Table, const std::string& Key) {
  TkvInspectorItem* Item = Table == InspectorOptions ? FindOption(Key) : FindImageOption(Key);
  TColor Value = clNone;
  if (ColorFromOptionText(Item->EditText(), Value)) return Value;
  const std::string Default = RestoreFormValue(Table, Key, "is not a colour");
  return ColorFromOptionText(Default, Value) ? Value : clNone;
}

// ---- start-up ----------------------------------------------------------------------------------

void TFormGhost::FormCreate(TObject*) {
  TDataModule1* Module = DataModule1;

  // 1. Titles.
  vcLabelBuildAbout->SetCaption("Sep 25 2003");
  Application->SetTitle("Korvane Webcam Lite");
  SetCaption("Korvane Webcam Lite 1.1");
  vcLabelVersionAbout->SetCaption(Caption());
  Module->TrayIcon->SetHint("Korvane Webcam Lite");
  Module->ActionCaptureImage->SetHint("Capture an Image. Ctrl+I");

  // 2. The log's name, which the settings file may replace.
  FindOption("Log File")->SetEditText("korcam.log");

  // 3. What this edition does not offer: the button box, the network and e-mail actions and
  // option groups (their values stay in the table and in the settings file).
  vcGroupBoxButtons->SetVisible(false);
  for (TAction* Action : {Module->ActionHTTPServer, Module->ActionSendEmail, Module->ActionSendEmailImage,
                          Module->ActionSendEmailInstant, Module->ActionHangUp, Module->ActionSeparatorImageToHide})
    Action->SetVisible(false);
  vcPanelContain->Refresh();
  for (const char* Key : {"FTP Upload", "HTTP Server", "Email Settings", "Dial-Up", "HTTP Server Send Email",
                          "Send Email motion detection", "Motion detection Upload to FTP", "Send Photo Webcam"})
    FindOption(Key)->SetVisible(false);

  // 4. The pictures and buffers the window owns. The still picture is what the form gave the live
  // image; the live image itself starts empty.
  FStillPicture = std::make_unique<TPicture>();
  FStillPicture->Assign(ImageMain->Picture());
  FComposedPicture = std::make_unique<TPicture>();
  ImageMain->Picture()->Assign(nullptr);
  FWatermarkBitmap = std::make_unique<TBitmap>();
  FFrameBuffer = std::make_unique<TMemoryStream>();
  FFrameBitmap = std::make_unique<TBitmap>();
  FFrameHeaderSize = 40;

  // 5. The pages are switched by the title buttons, not by tabs.
  TabSheetAlbum->SetTabVisible(false);
  TabSheetImage->SetTabVisible(false);
  TabSheetWebCam->SetTabVisible(false);
  PageControl1->SetHeight(ClientHeight() - vcPanelTitle->Height() - vcStatusBar1->Height() -
                          PageControl1->TabHeight());
  PageControl1->SetLeft(-1);
  PageControl1->SetWidth(ClientWidth() + 2);

  // 6. The motion label's home.
  Module->FMotionLabelLeft = vcLabelMotion->Left();
  Module->FMotionLabelTop = vcLabelMotion->Top();

  // 7. The settings file; without one the form's values stand. The form's values are kept first:
  // they are what a stored value that does not convert falls back to.
  FFormOptions = OptionTexts(InspectorOptions);
  FFormImageOptions = OptionTexts(InspectorImageEffects);
  if (FileExists(ProgramFolder() + SettingsFileName)) LoadSettings(SettingsFileName);

  // 8. The help system.
  HtmlHelpA(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&FHelpCookie));

  // 9. Character set and preview rate.
  kvDBComboBoxCharSet->SetItemIndex(IndexOfExact(kvDBComboBoxCharSet->Items(), FindOption("Charset")->EditText()));
  kvDBComboBoxCharSet->SetReadOnly(true);
  kvDBComboBoxCharSetChange(nullptr);
  kvDBSpinEditPreviewRateChange(nullptr);

  // 10. The schedule pickers.
  kvTimePickerFTPRestrictCaptuningFrom->SetTime(OptionTime("FTP Schedule From"));
  kvTimePickerFTPRestrictCaptuningTo->SetTime(OptionTime("FTP Schedule To"));
  kvTimePickerLocallyRestrictCaptuningFrom->SetTime(OptionTime("Picture Schedule From"));
  kvTimePickerLocallyRestrictCaptuningTo->SetTime(OptionTime("Picture Schedule To"));

  // 11. Stamp placements.
  FTextPlacementHorizontal = float(OptionInteger("Text horisontal placement"));
  FTextPlacementVertical = float(OptionInteger("Text vertical placement"));
  FTimePlacementHorizontal = float(OptionInteger("Time horisontal placement"));
  FTimePlacementVertical = float(OptionInteger("Time vertical placement"));
  FPicturePlacementHorizontal = float(OptionInteger("Picture horisontal placement"));
  FPicturePlacementVertical = float(OptionInteger("Picture vertical placement"));

  // 12. Fonts of the stamps: the node of "Font Text Stamp" and "Font Time Stamp" in the font
  // combos' trees (the trees' windows, and with PreLoad the lists of fonts, come with this first
  // look). A font that is not installed selects nothing.
  const std::pair<TvcFontCombo*, const char*> StampFonts[] = {{vcFontComboText, "Font Text Stamp"},
                                                               {vcFontComboTime, "Font Time Stamp"}};
  for (const auto& [Combo, Key] : StampFonts)
    if (TvcTreeNode* Node = Combo->TreeView()->Items()->FindNode(FindOption(Key)->EditText(), false))
      Combo->TreeView()->SetSelected(Node);

  // 13. Colours. A colour the combos did not list is stored by its RGB text.
  vcColorComboText->SetSelectedColor(OptionColor(InspectorOptions, "Color Text Stamp"));
  vcColorComboTime->SetSelectedColor(OptionColor(InspectorOptions, "Color Time Stamp"));
  vcColorComboShadowText->SetSelectedColor(OptionColor(InspectorOptions, "Shadow Color Text Stamp"));
  vcColorComboShadowTime->SetSelectedColor(OptionColor(InspectorOptions, "Shadow Color Time Stamp"));
  vcColorComboImageEffects->SetSelectedColor(OptionColor(InspectorOptions, "Image Effects Color"));
  vcColorComboImageEffectsTint->SetSelectedColor(OptionColor(InspectorOptions, "Image Effects TintColor"));
  vcColorComboImageImageEffects->SetSelectedColor(OptionColor(InspectorImageEffects, "Image Effects Color"));
  vcColorComboImageImageEffectsTint->SetSelectedColor(OptionColor(InspectorImageEffects, "Image Effects TintColor"));

  // 14. Layout from the hidden "Misc" group.
  FVideoWidth = OptionInteger("PanelWidth");
  FVideoHeight = OptionInteger("PanelHeight");
  FSplitterLeft = OptionInteger("SplitterLeft");
  FSplitterImageLeft = OptionInteger("SplitterImageLeft");
  FSplitterAlbum = OptionInteger("SplitterAlbum");
  vcImageBtnHide->SetTag(OptionInteger("BtnHideTag"));
  vcImageBtnImageHide->SetTag(OptionInteger("BtnImageHideTag"));
  vcPanelInspector->SetWidth(OptionInteger("PanelInspectorWidth"));
  vcPanelImage->SetWidth(OptionInteger("PanelImageWidth"));
  Module->ActionVideoOptions->SetTag(OptionInteger("VideoOptionsTag"));
  Module->FDirectSaveNumber = OptionInteger("DirectCurrNumber");
  vcPanelAlbumLeft->SetWidth(FSplitterAlbum);

  // 15. The active outlook page and title button; clicking the title button opens its page.
  vcOutlookBar1->SetSelected(
      static_cast<TvcButtonGroupItem*>(vcOutlookBar1->ButtonItems()->FindItemID(OptionInteger("OutlookBarActiveButton"))));
  FSelectedPathName = FindOption("SelectedPathName")->EditText();
  if (!FSelectedPathName.empty() && FileExists(FSelectedPathName)) FShowSelectedPath = true;
  vcButtonGroupTitle->SetSelected(
      static_cast<TvcButtonGroupItem*>(vcButtonGroupTitle->ButtonItems()->FindItemID(OptionInteger("TitleActiveButton"))));
  if (TvcButtonGroupItem* Title = vcButtonGroupTitle->Selected())
    if (Title->Button()) Title->Button()->Click();
  FShowSelectedPath = false;

  // 16. The time formats the user kept.
  TkvInspectorItem* TimeFormat = FindOption("Time Format");
  if (TimeFormat->PickList()->Count() > 0) kvDBComboBoxTimeFormat->Items()->Assign(*TimeFormat->PickList()->Items());

  // 17. The hide buttons of the two option panels.
  vcImageBtnHide->SetDown(vcImageBtnHide->Tag() != 0);
  vcImageBtnHide->SetHint(vcImageBtnHide->Tag() != 0 ? "Restore Options F8" : "Hide Options F8");
  vcImageBtnImageHide->SetDown(vcImageBtnImageHide->Tag() != 0);
  vcImageBtnImageHide->SetHint(vcImageBtnImageHide->Tag() != 0 ? "Restore Image Options F8" : "Hide Image Options F8");

  // 18. Centred on the screen, then the stored bounds ("-1" keeps the form's own).
  SetTop((Screen->Height() - Height()) / 2);
  SetLeft((Screen->Width() - Width()) / 2);
  if (FindOption("FormWidth")->EditText() != "-1") SetWidth(OptionInteger("FormWidth"));
  if (FindOption("FormHeight")->EditText() != "-1") SetHeight(OptionInteger("FormHeight"));
  if (FindOption("FormLeft")->EditText() != "-1") SetLeft(OptionInteger("FormLeft"));
  if (FindOption("FormTop")->EditText() != "-1") SetTop(OptionInteger("FormTop"));

  // 19. The capture drivers.
  ListCaptureDrivers();

  // 20. The picture server's connections start empty.
  FindOption("Connections Qty")->SetEditText("");
  FindOption("Connections IP")->SetEditText("");
  FHTTPConnections = std::make_unique<TStringList>();

  // 21. The chosen driver and the stamps' time formats. A format the user typed is kept even when
  // the list does not hold it. The text stamp's format is restored here too: its combo would
  // otherwise get the stored format only when the options table paints its row.
  kvDBComboBoxSelectDriver->SetItemIndex(
      IndexOfExact(kvDBComboBoxSelectDriver->Items(), FindOption("Select driver")->EditText()));
  kvDBComboBoxSelectDriver->SetReadOnly(true);
  kvDBComboBoxTimeFormat->SetItemIndex(IndexOfExact(kvDBComboBoxTimeFormat->Items(), TimeFormat->EditText()));
  kvDBComboBoxTimeFormat->SetText(TimeFormat->EditText());
  TkvInspectorItem* TextFormat = FindOption("Text Format");
  kvDBComboBoxTextFormat->SetItemIndex(IndexOfExact(kvDBComboBoxTextFormat->Items(), TextFormat->EditText()));
  kvDBComboBoxTextFormat->SetText(TextFormat->EditText());

  // 22. The picture server's address (hidden group). The list holds one entry in this edition;
  // an index it does not have falls back to that entry.
  const std::string AddressIndex = FindOption("IndexIpAddresses")->EditText();
  int32_t Address = AddressIndex.empty() || AddressIndex == "-1" ? 0 : OptionInteger("IndexIpAddresses");
  if (Address < 0 || Address >= kvDBComboBoxIPAddresses->Items()->Count()) Address = 0;
  kvDBComboBoxIPAddresses->SetItemIndex(Address);
  if (Address < kvDBComboBoxIPAddresses->Items()->Count())
    FindOption("Picture Server IP Addresses")->SetEditText(kvDBComboBoxIPAddresses->Items()->Strings(Address));
  kvDBComboBoxIPAddressesCloseUp(nullptr, false);
  kvDBComboBoxIPAddresses->SetReadOnly(true);

  // 23. Group rows offer no editor of their own.
  for (const char* Key : {"Preferences", "Video Device", "Text Caption", "Time Caption", "Enable picture stamp",
                          "Picture Quality", "FTP Upload", "HTTP Server", "Picture", "Motion detection",
                          "Text placement", "Time placement", "Picture placement", "Misc", "Watermark",
                          "Video Window Size", "FTP Interval", "FTPProxy", "FTPAdvanced", "Picture Interval",
                          "Connections", "Image Effects", "Actions motion detection", "Email Settings",
                          "SMTP Server", "POP Server", "HTTP Server Send Email", "Send Photo Webcam", "Dial-Up",
                          "Gamer View"})
    FindOption(Key)->SetDisableDefaultEditor(true);
  FindImageOption("Send Email Image")->SetDisableDefaultEditor(true);

  // 24. Double buffering of the panels that repaint often.
  for (TvcPanel* Panel : {vcPanel1, vcPanelTitle, vcPanelAlbumImage, vcPanelAVIImage, vcPanelAVIPreview})
    Panel->SetDoubleBuffered(true);

  // 25. Translucency is offered where the system has it.
  OSVERSIONINFOA Version{};
  Version.dwOSVersionInfoSize = sizeof Version;
  const bool Translucency = GetVersionExA(&Version) && Version.dwMajorVersion > 4;
  for (const char* Key : {"Translucent", "Transparency", "Translucent Gamer"})
    FindOption(Key)->SetVisible(Translucency);

  // 26. The tray icon, and the window on the screen or in the tray.
  TTrayIcon* Tray = Module->TrayIcon;
  const bool ShowIcon = FindOption("Show WebCam icon in system tray")->IsChecked();
  try {
    Tray->SetVisible(ShowIcon);
  } catch (const Exception&) {
    // A tray that refuses the icon leaves the program without it; nothing else depends on it.
  }
  Tray->SetHideOnMinimize(FindOption("Hide minimized window")->IsChecked());
  Tray->Update();
  if (ShowIcon) Application->SetShowMainForm(false);
  FInTray = FindOption("Minimize on start")->IsChecked();
  if (FInTray) {
    if (Tray->IconShown())
      Tray->Minimize();
    else
      SetWindowState(wsMinimized);
  } else {
    Tray->Restore();
  }

  // 27. Options that act at once.
  InspectorOptionsItems1Items8ItemChanged(nullptr, nullptr, "0");
  InspectorOptionsItems1Items11ItemChanged(nullptr, nullptr, "0");
  InspectorOptionsItems1Items12Items2Items2ItemChanged(nullptr, nullptr, "0");

  // 28. The watermark.
  LoadWatermark();
  vcOutlookBar1->Refresh();

  // 29. The live image's effects, and with them every option that acts at once.
  InspectorOptionsItems10Items16ItemChanged(nullptr, nullptr, "0");

  // 30. Gamer view.
  if (FindOption("Gamer View Enable")->IsChecked()) InspectorOptionsItems12Items0ItemChanged(nullptr, nullptr, "0");

  // 31. Both tables repaint with their restored rows; the Image page's effects.
  InspectorOptions->LockRedraw();
  InspectorOptions->UnlockRedraw(true);
  InspectorImageEffectsItems0Items16ItemChanged(nullptr, nullptr, "0");
  InspectorImageEffects->LockRedraw();
  InspectorImageEffects->UnlockRedraw(true);

  // 32. The capture device.
  ConnectCaptureDriver();

  // 33. The album's list as the user left it.
  ShellListView1->SetSorted(FindOption("AlbumSorted")->IsChecked());
  int32_t ViewStyle = OptionInteger("AlbumViewStyle");
  if (ViewStyle < vsIcon || ViewStyle > vsReport)
    ViewStyle = StrToIntDef(RestoreFormValue(InspectorOptions, "AlbumViewStyle", "is not a view style"), vsReport);
  ShellListView1->SetViewStyle(TViewStyle(std::clamp<int32_t>(ViewStyle, vsIcon, vsReport)));
  ShellListView1->Refresh();

  // 34. Running.
  Module->Timer1->SetEnabled(true);
  FCreated = true;
}

// ---- close -------------------------------------------------------------------------------------

void TFormGhost::FormClose(TObject*, TCloseAction& Action) {
  if (!FRealClose) {
    // Any close but a real one puts the window into the tray; without a tray it only minimises,
    // so the window (and with it the real close that saves the settings) stays within reach.
    DataModule1->TrayIcon->Minimize();
    vcShapeBtnExit->SetDown(false);
    Action = caNone;
    return;
  }
  RealClose();
}

void TFormGhost::RealClose() {
  TDataModule1* Module = DataModule1;

  // 1. The dial-up connection.
  if (FindOption("Disconnect After Usage")->IsChecked()) HangUp();

  // 2. The layout into the "Misc" items. In gamer view the window is shrunk around the video:
  // the bounds from before gamer view stay stored.
  FindOption("PanelWidth")->SetEditText(IntToStr(FVideoWidth));
  FindOption("PanelHeight")->SetEditText(IntToStr(FVideoHeight));
  if (!FindOption("Gamer View Enable")->IsChecked()) {
    FindOption("FormWidth")->SetEditText(IntToStr(Width()));
    FindOption("FormHeight")->SetEditText(IntToStr(Height()));
    FindOption("FormLeft")->SetEditText(IntToStr(Left()));
    FindOption("FormTop")->SetEditText(IntToStr(Top()));
    FindOption("SplitterLeft")->SetEditText(IntToStr(FSplitterLeft));
    FindOption("BtnHideTag")->SetEditText(IntToStr(vcImageBtnHide->Tag()));
  }
  FindOption("SplitterImageLeft")->SetEditText(IntToStr(FSplitterImageLeft));
  FindOption("SplitterAlbum")->SetEditText(IntToStr(FSplitterAlbum));
  FindOption("BtnImageHideTag")->SetEditText(IntToStr(vcImageBtnImageHide->Tag()));
  FindOption("PanelInspectorWidth")->SetEditText(IntToStr(vcPanelInspector->Width()));
  if (Splitter3->Visible()) FindOption("PanelImageWidth")->SetEditText(IntToStr(vcPanelImage->Width()));
  if (TvcButtonGroupItem* Page = vcOutlookBar1->Selected())
    FindOption("OutlookBarActiveButton")->SetEditText(IntToStr(Page->ID()));
  if (TvcButtonGroupItem* Title = vcButtonGroupTitle->Selected())
    FindOption("TitleActiveButton")->SetEditText(IntToStr(Title->ID()));
  FindOption("IndexIpAddresses")->SetEditText(IntToStr(kvDBComboBoxIPAddresses->ItemIndex()));
  FindOption("SelectedPathName")->SetEditText(FSelectedPathName);
  FindOption("AlbumSorted")->SetChecked(ShellListView1->Sorted());
  FindOption("AlbumViewStyle")->SetEditText(IntToStr(int(ShellListView1->ViewStyle())));
  FindOption("VideoOptionsTag")->SetEditText(IntToStr(Module->ActionVideoOptions->Tag()));
  FindOption("HTTPServerTag")->SetEditText(IntToStr(Module->ActionHTTPServer->Tag()));
  FindOption("DirectCurrNumber")->SetEditText(IntToStr(Module->FDirectSaveNumber));
  if (FAlbumOpened && !ShellTreeView1->Path().empty() && DirectoryExists(ShellTreeView1->Path()))
    FindOption("AlbumPathName")->SetEditText(ShellTreeView1->Path());

  // 3.
  FRealClose = false;

  // 4. The focus leaves the editors (an editor still open commits its text). A window hidden in
  // the tray cannot take the focus; asking it to would raise and lose the settings below.
  TWinControl* Focus = Module->ActionGamers->Checked() ? static_cast<TWinControl*>(ActionToolBar2)
                                                       : static_cast<TWinControl*>(vcPanelTitle);
  if (Focus->CanFocus()) Focus->SetFocus();

  // 5. The settings file.
  SaveSettings(SettingsFileName);

  // 6. Open movies.
  for (TMediaPlayer* Player : {MediaPlayerAlbum, MediaPlayerImage})
    if (Player->DeviceID() != 0) Player->Close();

  // 7. From here on a timer that still fires does nothing.
  FRendering = true;
  FSaveBusy = true;
  FMotionBusy = true;
  FConnecting = true;
  FPreviewPaused = true;

  // 8. The network components off; a failure here changes nothing of what follows.
  try {
    Module->AntiFreeze1->SetActive(false);
    Module->HTTPServer->SetActive(false);
    if (Module->IdFTP1->Connected()) {
      if (FFtpTransferring) Module->IdFTP1->Abort();
      Module->IdFTP1->Quit();
      Module->IdFTP1->Disconnect();
    }
  } catch (const Exception&) {
  }

  // 9. The capture device, and the decompressor of its format.
  DisconnectCaptureDriver();
  FDecompressor = nullptr;

  // 10. The last log entry of a run: an empty line.
  WriteLog("\r\n");
}

// The window sees every key before the focused control.
void TFormGhost::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
  // Alt+X: the exit action, a real close. The key goes on to the focused control.
  if (Key == 'X' && Shift.Contains(ssAlt)) {
    DataModule1->ActionExit->Execute();
    return;
  }
  // On the WebCam page: Ctrl+D toggles the motion button, Ctrl+M records a movie by hand (the
  // action checks itself as it runs). A key that did something goes no further.
  if (Shift.Contains(ssCtrl) && PageControl1->ActivePage() == TabSheetWebCam) {
    if (Key == 'D' && vcShapeBtnMotion->Enabled()) {
      vcShapeBtnMotion->SetDown(!vcShapeBtnMotion->Down());
      vcShapeBtnMotionClick(vcShapeBtnMotion);
      Key = 0;
      return;
    }
    if (Key == 'M' && DataModule1->ActionMovie->Enabled()) {
      DataModule1->ActionMovie->Execute();
      Key = 0;
      return;
    }
  }
  // FIXME: waits for the window shell (the page, tool-bar and Image page keys).
}

void TFormGhost::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ENDSESSION) {
    WMEndSession(Message);
    return;
  }
  if (Message.Msg == WM_CAPTURE_STREAM_FRAME) {
    OnCaptureVideoStream(reinterpret_cast<HWND>(Message.WParam), reinterpret_cast<LPVIDEOHDR>(Message.LParam));
    Message.Result = 1;
    return;
  }
  TForm::Dispatch(Message);
}

void TFormGhost::WMEndSession(TMessage&) {
  FRealClose = true;
  Close();
}

int TFormGhost::HangUp() {
  // This edition dials nothing, so there is nothing to hang up.
  return 0;
}

// ---- destruction -------------------------------------------------------------------------------

void TFormGhost::FormDestroy(TObject*) {
  HtmlHelpA(nullptr, nullptr, HH_UNINITIALIZE, FHelpCookie);
  FStillPicture.reset();
  FComposedPicture.reset();
  FFrameBuffer.reset();
  FFrameBitmap.reset();
  FWatermarkBitmap.reset();
  FWatermarkPixels.clear();
  FWatermarkAlpha.clear();
  FMotionSnapshot.clear();
  FHTTPConnections.reset();
}
