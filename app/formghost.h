#pragma once
// The main window: the title strip with the page buttons, the WebCam page (options table, live
// picture, tool bar), the Album and Image pages and the status bar, read from its form resource
// (resources/forms/formghost.form), and the state that the whole program keeps in it.
//
// This file declares the window; its work is spread over:
//   formghost.cpp          creation, start-up, the two kinds of close, destruction
//   formghostsettings.cpp  the settings file (korcam.ini) and the error-history log
//   formghostoptions.cpp   the option handlers that start-up runs
//   formghostcapture.cpp   the capture device: drivers, connection, frame buffer, frames, size
//   formghostcompose.cpp   the composition of the live picture and its text and time stamps
//   formghostmotion.cpp    the motion check, the motion button and the e-mail hook
//   formghostpending.cpp   the handlers and routines of features still to come (they do nothing)
//
// Every setting lives in the two option tables; an option is found by its key
// (FindOption / FindImageOption) and read as its text or check state.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/capturetypes.h"
#include "app/watermarkblend.h"
#include "kvcontrols/editors/kvcombo.h"
#include "kvcontrols/editors/kvcombobox.h"
#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvspinedit.h"
#include "platform/forms/actiontoolbar.h"
#include "platform/forms/form.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/mediaplayer.h"
#include "platform/forms/pagecontrol.h"
#include "platform/forms/splitter.h"
#include "platform/forms/trackbar.h"
#include "platform/rtl/datetime_type.h"
#include "platform/shell/shellctrls.h"
#include "vcontrols/buttons/vcbuttongroup.h"
#include "vcontrols/buttons/vcimgbtn.h"
#include "vcontrols/buttons/vcshapebtn.h"
#include "vcontrols/combos/vccolorcombo.h"
#include "vcontrols/combos/vcfontcombo.h"
#include "vcontrols/imaging/vcimager.h"
#include "vcontrols/outlook/vcoutlookbar.h"
#include "vcontrols/panels/vcpanel.h"
#include "vcontrols/statusbar/vcstatusbar.h"
#include "vcontrols/text/vclabel.h"

class TBitmap;
class TMemoryStream;
class TPicture;
class TStringList;

class TFormGhost : public TForm {
  KORCAM_CLASS(TFormGhost, TForm)

 public:
  explicit TFormGhost(TComponent* AOwner);
  ~TFormGhost() override;

  // ---- the title strip, the pages and the status bar ------------------------------------------
  PUBLISHED_FIELD(TvcPanel, vcPanelTitle)
  PUBLISHED_FIELD(TvcButtonGroup, vcButtonGroupTitle)
  PUBLISHED_FIELD(TvcShapeBtn, vcButtonGroupTitlevcShapeBtnWebCam)
  PUBLISHED_FIELD(TvcShapeBtn, vcButtonGroupTitlevcShapeBtnAlbum)
  PUBLISHED_FIELD(TvcShapeBtn, vcButtonGroupTitlevcShapeBtnImage)
  PUBLISHED_FIELD(TvcShapeBtn, vcShapeBtnExit)
  PUBLISHED_FIELD(TvcPanel, vcPanelKorvaneWebCam)
  PUBLISHED_FIELD(TPageControl, PageControl1)
  PUBLISHED_FIELD(TTabSheet, TabSheetWebCam)
  PUBLISHED_FIELD(TTabSheet, TabSheetAlbum)
  PUBLISHED_FIELD(TTabSheet, TabSheetImage)
  PUBLISHED_FIELD(TvcStatusBar, vcStatusBar1)
  PUBLISHED_FIELD(TImageList, ImageListTriangle)

  // ---- the WebCam page -------------------------------------------------------------------------
  PUBLISHED_FIELD(TvcPanel, vcPanelInspector)
  PUBLISHED_FIELD(TvcOutlookBar, vcOutlookBar1)
  PUBLISHED_FIELD(TvcShapeBtn, vcOutlookBar1vcShapeBtnWebcam)
  PUBLISHED_FIELD(TvcShapeBtn, vcOutlookBar1vcShapeBtnAbout)
  PUBLISHED_FIELD(TkvDataInspector, InspectorOptions)
  PUBLISHED_FIELD(TvcImageBtn, vcImageBtnExpand)
  PUBLISHED_FIELD(TvcLabel, vcLabelBuildAbout)
  PUBLISHED_FIELD(TvcLabel, vcLabelVersionAbout)
  PUBLISHED_FIELD(TvcLabel, vcLabelWebSite)
  PUBLISHED_FIELD(TvcLabel, vcLabelForum)
  PUBLISHED_FIELD(TvcLabel, vcLabelSupport)
  PUBLISHED_FIELD(TvcLabel, vcLabelSales)
  PUBLISHED_FIELD(TvcLabel, vcLabelInfo)
  PUBLISHED_FIELD(TSplitter, Splitter1)
  PUBLISHED_FIELD(TvcImageBtn, vcImageBtnHide)
  PUBLISHED_FIELD(TvcPanel, vcPanelVideo)
  PUBLISHED_FIELD(TActionToolBar, ActionToolBar2)
  PUBLISHED_FIELD(TvcPanel, vcPanelContain)
  PUBLISHED_FIELD(TvcPanel, vcPanel1)
  PUBLISHED_FIELD(TvcImager, ImageMain)
  PUBLISHED_FIELD(TvcImager, ImageLastShot)
  PUBLISHED_FIELD(TvcGroupBox, vcGroupBoxButtons)
  PUBLISHED_FIELD(TvcShapeBtn, vcShapeBtnLocally)
  PUBLISHED_FIELD(TvcShapeBtn, vcShapeBtnMotion)
  PUBLISHED_FIELD(TvcShapeBtn, vcShapeBtnFtp)
  PUBLISHED_FIELD(TvcShapeBtn, vcShapeBtnHttp)
  PUBLISHED_FIELD(TvcLabel, vcLabelMotion)

  // ---- the Album page --------------------------------------------------------------------------
  PUBLISHED_FIELD(TvcPanel, vcPanelAlbumLeft)
  PUBLISHED_FIELD(TShellComboBox, ShellComboBox1)
  PUBLISHED_FIELD(TShellTreeView, ShellTreeView1)
  PUBLISHED_FIELD(TvcImager, vcImagerAlbumPreview)
  PUBLISHED_FIELD(TvcPanel, vcPanelStatisticsImage)
  PUBLISHED_FIELD(TvcLabel, vcLabelName)
  PUBLISHED_FIELD(TvcLabel, vcLabelSize)
  PUBLISHED_FIELD(TvcLabel, vcLabelKB)
  PUBLISHED_FIELD(TvcPanel, vcPanelAVIPreview)
  PUBLISHED_FIELD(TvcImager, vcImagerAlbumStop)
  PUBLISHED_FIELD(TvcPanel, vcPanelStatisticsAVI)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIName)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVISize)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVILength)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVICurrent)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIKB)
  PUBLISHED_FIELD(TTrackBar, TrackBarAlbum)
  PUBLISHED_FIELD(TMediaPlayer, MediaPlayerAlbum)
  PUBLISHED_FIELD(TSplitter, Splitter2)
  PUBLISHED_FIELD(TvcPanel, vcPanelAlbumMain)
  PUBLISHED_FIELD(TActionToolBar, ActionToolBar3)
  PUBLISHED_FIELD(TShellListView, ShellListView1)

  // ---- the Image page --------------------------------------------------------------------------
  PUBLISHED_FIELD(TActionToolBar, ActionToolBarImage)
  PUBLISHED_FIELD(TvcPanel, vcPanelImage)
  PUBLISHED_FIELD(TvcOutlookBar, vcOutlookBarImage)
  PUBLISHED_FIELD(TvcShapeBtn, vcShapeBtnImageEffects)
  PUBLISHED_FIELD(TkvDataInspector, InspectorImageEffects)
  PUBLISHED_FIELD(TvcImageBtn, vcImageBtnImageExpand)
  PUBLISHED_FIELD(TSplitter, Splitter3)
  PUBLISHED_FIELD(TvcImageBtn, vcImageBtnImageHide)
  PUBLISHED_FIELD(TvcPanel, vcPanelAlbumImage)
  PUBLISHED_FIELD(TvcImager, vcImagerAlbumImage)
  PUBLISHED_FIELD(TvcPanel, vcPanelAVIImage)
  PUBLISHED_FIELD(TvcImager, vcImagerImageStop)
  PUBLISHED_FIELD(TTrackBar, TrackBarImage)
  PUBLISHED_FIELD(TMediaPlayer, MediaPlayerImage)
  PUBLISHED_FIELD(TvcPanel, vcPanelStatisticsImageImage)
  PUBLISHED_FIELD(TvcLabel, vcLabelImageName)
  PUBLISHED_FIELD(TvcLabel, vcLabelImageSize)
  PUBLISHED_FIELD(TvcLabel, vcLabelImageCount)
  PUBLISHED_FIELD(TvcLabel, vcLabelImageKB)
  PUBLISHED_FIELD(TvcPanel, vcPanelStatisticsAVIImage)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIImageName)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIImageSize)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIImageLength)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIImageCurrent)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIImageKB)
  PUBLISHED_FIELD(TvcLabel, vcLabelAVIImageCount)

  // ---- the editors of option rows ----------------------------------------------------------------
  PUBLISHED_FIELD(TkvDBComboBox, kvDBComboBoxSelectDriver)
  PUBLISHED_FIELD(TkvDBComboBox, kvDBComboBoxCharSet)
  PUBLISHED_FIELD(TkvDBComboBox, kvDBComboBoxTextFormat)
  PUBLISHED_FIELD(TkvDBComboBox, kvDBComboBoxTimeFormat)
  PUBLISHED_FIELD(TkvDBComboBox, kvDBComboBoxIPAddresses)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgLogFile)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgCaptureSoundFileName)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgPictureStamp)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgLocallyFile)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgMotion)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgSoundName)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgLaunch)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgAlphaBlend)
  PUBLISHED_FIELD(TkvDBComboDlg, kvDBComboDlgImageAlphaBlend)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditPreviewRate)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditJPEGQuality)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditMaxFileSize)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTranslucent)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditGMTText)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTextPlacementVertical)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTextPlacementHorizontal)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTextFontSize)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditGMTTime)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTimePlacementVertical)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTimePlacementHorizontal)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTimeFontSize)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditPicturePlacementVertical)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditPicturePlacementHorizontal)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTransperarency)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditPictureValue)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditSaveLast)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditMotionValue)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditMotionSensibility)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditFrameRate)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditStartingDelay)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditMessagePerMin)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditTranslucentGamer)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditRotationAngle)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditRotationCenterX)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditRotationCenterY)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditAlphaBlend)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageEffectsContrast)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageEffectsLightness)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageEffectsSaturation)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageEffectsSharpen)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageEffectsSponge)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageEffectsGaussianBlur)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditWaveRatio)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditWaveXDiv)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditWaveYDiv)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageRotationAngle)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageRotationCenterX)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageRotationCenterY)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageAlphaBlend)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageImageEffectsContrast)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageImageEffectsLightness)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageImageEffectsSaturation)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageImageEffectsSharpen)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageImageEffectsSponge)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinEditImageImageEffectsGaussianBlur)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinImageEditWaveRatio)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinImageEditWaveXDiv)
  PUBLISHED_FIELD(TkvDBSpinEdit, kvDBSpinImageEditWaveYDiv)
  PUBLISHED_FIELD(TkvDBDateTimePicker, kvTimePickerFTPRestrictCaptuningFrom)
  PUBLISHED_FIELD(TkvDBDateTimePicker, kvTimePickerFTPRestrictCaptuningTo)
  PUBLISHED_FIELD(TkvDBDateTimePicker, kvTimePickerLocallyRestrictCaptuningFrom)
  PUBLISHED_FIELD(TkvDBDateTimePicker, kvTimePickerLocallyRestrictCaptuningTo)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboText)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboShadowText)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboTime)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboShadowTime)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboImageEffects)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboImageEffectsTint)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboImageImageEffects)
  PUBLISHED_FIELD(TvcColorCombo, vcColorComboImageImageEffectsTint)
  PUBLISHED_FIELD(TvcFontCombo, vcFontComboText)
  PUBLISHED_FIELD(TvcFontCombo, vcFontComboTime)

  // ---- creation, close, destruction (formghost.cpp) ---------------------------------------------
  PUBLISHED_METHOD(FormCreate, TObject* Sender)
  PUBLISHED_METHOD(FormClose, TObject* Sender, TCloseAction& Action)
  PUBLISHED_METHOD(FormDestroy, TObject* Sender)

  // ---- option handlers that start-up runs (formghostoptions.cpp) --------------------------------
  PUBLISHED_METHOD(kvDBComboBoxCharSetChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditPreviewRateChange, TObject* Sender)
  PUBLISHED_METHOD(InspectorOptionsItems1Items8ItemChanged, TkvDataInspector* Sender, TkvInspectorItem* Item,
                   const std::string& NewValue)
  PUBLISHED_METHOD(InspectorOptionsItems1Items11ItemChanged, TkvDataInspector* Sender, TkvInspectorItem* Item,
                   const std::string& NewValue)
  PUBLISHED_METHOD(InspectorOptionsItems1Items12Items2Items2ItemChanged, TkvDataInspector* Sender,
                   TkvInspectorItem* Item, const std::string& NewValue)

  // ---- handlers of features still to come (formghostpending.cpp) ---------------------------------
#define KORCAM_ITEM_HANDLER(Name) \
  PUBLISHED_METHOD(Name, TkvDataInspector* Sender, TkvInspectorItem* Item, const std::string& NewValue)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems0Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems0Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems0Items3ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems0Items5ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems1Items6ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems1Items7ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems1Items14ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems3Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems4Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems4Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems4Items3ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems5Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems6Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems6Items6Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems6Items6Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems7Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems7Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems8Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems8Items3Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems8Items3Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems8Items5Items4ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems9Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items3ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items3Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items3Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items3Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items4ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items4Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items4Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items7ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items7Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items8ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items9ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items10ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items10Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items11ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items11Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items12ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items12Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items13ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items13Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items14ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items14Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items15ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items15Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items15Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items15Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items15Items3ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems10Items16ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems12Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems12Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorOptionsItems12Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items3ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items3Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items3Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items3Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items4ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items4Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items4Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items7ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items7Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items8ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items9ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items10ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items10Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items11ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items11Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items12ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items12Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items13ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items13Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items14ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items14Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items15ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items15Items0ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items15Items1ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items15Items2ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items15Items3ItemChanged)
  KORCAM_ITEM_HANDLER(InspectorImageEffectsItems0Items16ItemChanged)
#undef KORCAM_ITEM_HANDLER
  PUBLISHED_METHOD(InspectorOptionsDrawDataCell, TkvDataInspector* Sender, TkvInspectorItem* Item, bool Selected,
                   RECT Rect, bool& DefaultDrawing)
  PUBLISHED_METHOD(InspectorOptionsDrawCaptionCell, TkvDataInspector* Sender, TkvInspectorItem* Item,
                   bool Selected, RECT Rect, RECT& CaptionRect, bool& DefaultDrawing)
  PUBLISHED_METHOD(InspectorOptionsMouseMove, TObject* Sender, TShiftState Shift, int X, int Y)
  PUBLISHED_METHOD(InspectorImageEffectsDrawDataCell, TkvDataInspector* Sender, TkvInspectorItem* Item,
                   bool Selected, RECT Rect, bool& DefaultDrawing)
  PUBLISHED_METHOD(InspectorImageEffectsDrawCaptionCell, TkvDataInspector* Sender, TkvInspectorItem* Item,
                   bool Selected, RECT Rect, RECT& CaptionRect, bool& DefaultDrawing)
  PUBLISHED_METHOD(InspectorImageEffectsMouseMove, TObject* Sender, TShiftState Shift, int X, int Y)
  PUBLISHED_METHOD(FormResize, TObject* Sender)
  PUBLISHED_METHOD(FormKeyDown, TObject* Sender, WORD& Key, TShiftState Shift)
  PUBLISHED_METHOD(Splitter1Moved, TObject* Sender)
  PUBLISHED_METHOD(Splitter2Moved, TObject* Sender)
  PUBLISHED_METHOD(Splitter3Moved, TObject* Sender)
  PUBLISHED_METHOD(vcImageBtnHideClick, TObject* Sender)
  PUBLISHED_METHOD(vcImageBtnImageHideClick, TObject* Sender)
  PUBLISHED_METHOD(vcImageBtnExpandClick, TObject* Sender)
  PUBLISHED_METHOD(vcImageBtnImageExpandClick, TObject* Sender)
  PUBLISHED_METHOD(vcOutlookBar1Change, TvcCustomButtonGroup* ButtonGroup, TvcButtonGroupItem* OldSelected,
                   TvcButtonGroupItem* Selected)
  PUBLISHED_METHOD(vcOutlookBarImageChange, TvcCustomButtonGroup* ButtonGroup, TvcButtonGroupItem* OldSelected,
                   TvcButtonGroupItem* Selected)
  PUBLISHED_METHOD(vcButtonGroupTitlevcShapeBtnWebCamClick, TObject* Sender)
  PUBLISHED_METHOD(vcButtonGroupTitlevcShapeBtnAlbumClick, TObject* Sender)
  PUBLISHED_METHOD(vcButtonGroupTitlevcShapeBtnImageClick, TObject* Sender)
  PUBLISHED_METHOD(vcShapeBtnExitClick, TObject* Sender)
  PUBLISHED_METHOD(vcShapeBtnLocallyClick, TObject* Sender)
  PUBLISHED_METHOD(vcShapeBtnMotionClick, TObject* Sender)
  PUBLISHED_METHOD(vcShapeBtnFtpClick, TObject* Sender)
  PUBLISHED_METHOD(vcShapeBtnHttpClick, TObject* Sender)
  PUBLISHED_METHOD(vcStatusBar1DrawPanel, TvcCustomStatusBar* StatusBar, TvcStatusPanel* Panel, const RECT& Rect)
  PUBLISHED_METHOD(ImageMainDblClick, TObject* Sender)
  PUBLISHED_METHOD(vcImagerImageStopDblClick, TObject* Sender)
  PUBLISHED_METHOD(vcPanelAlbumImageDblClick, TObject* Sender)
  PUBLISHED_METHOD(vcLabelWebSiteClick, TObject* Sender)
  PUBLISHED_METHOD(vcLabelSupportClick, TObject* Sender)
  PUBLISHED_METHOD(vcLabelSalesClick, TObject* Sender)
  PUBLISHED_METHOD(vcLabelInfoClick, TObject* Sender)
  PUBLISHED_METHOD(vcLabelForumClick, TObject* Sender)
  PUBLISHED_METHOD(vcLabelWebSiteMouseEnter, TObject* Sender)
  PUBLISHED_METHOD(vcLabelWebSiteMouseLeave, TObject* Sender)
  PUBLISHED_METHOD(ShellTreeView1Click, TObject* Sender)
  PUBLISHED_METHOD(ShellTreeView1DblClick, TObject* Sender)
  PUBLISHED_METHOD(ShellListView1Click, TObject* Sender)
  PUBLISHED_METHOD(ShellListView1DblClick, TObject* Sender)
  PUBLISHED_METHOD(ShellListView1KeyDown, TObject* Sender, WORD& Key, TShiftState Shift)
  PUBLISHED_METHOD(ShellListView1KeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(ShellListView1KeyUp, TObject* Sender, WORD& Key, TShiftState Shift)
  PUBLISHED_METHOD(ShellListView1Exit, TObject* Sender)
  PUBLISHED_METHOD(TabSheetAlbumExit, TObject* Sender)
  PUBLISHED_METHOD(TabSheetImageExit, TObject* Sender)
  PUBLISHED_METHOD(TrackBarAlbumChange, TObject* Sender)
  PUBLISHED_METHOD(MediaPlayerAlbumClick, TObject* Sender, TMPBtnType Button, bool& DoDefault)
  PUBLISHED_METHOD(MediaPlayerAlbumNotify, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboBoxSelectDriverCloseUp, TObject* Sender, bool Accepted)
  PUBLISHED_METHOD(kvDBComboBoxSelectDriverKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboBoxTimeFormatChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboBoxTimeFormatKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboBoxIPAddressesCloseUp, TObject* Sender, bool Accepted)
  PUBLISHED_METHOD(kvDBComboBoxIPAddressesDropDown, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboBoxIPAddressesKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgLogFileCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgLogFileKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgCaptureSoundFileNameCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgCaptureSoundFileNameKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgPictureStampCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgPictureStampKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgLocallyFileCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgLocallyFileKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgMotionCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgMotionKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgSoundNameCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgSoundNameKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgLaunchCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgLaunchKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgAlphaBlendCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBComboDlgAlphaBlendKeyPress, TObject* Sender, char32_t& Key)
  PUBLISHED_METHOD(kvDBComboDlgImageAlphaBlendCustomDlg, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTranslucentChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTextPlacementVerticalChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTextPlacementHorizontalChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTextFontSizeChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTimePlacementVerticalChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTimePlacementHorizontalChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTimeFontSizeChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditPicturePlacementVerticalChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditPicturePlacementHorizontalChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTransperarencyChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditStartingDelayAfterDownClick, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditMessagePerMinAfterDownClick, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditTranslucentGamerChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditRotationAngleChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditRotationCenterXChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditRotationCenterYChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditAlphaBlendChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageEffectsContrastChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageEffectsLightnessChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageEffectsSaturationChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageEffectsSharpenChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageEffectsSpongeChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageEffectsGaussianBlurChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditWaveRatioChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditWaveXDivChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditWaveYDivChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageRotationAngleChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageRotationCenterXChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageRotationCenterYChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageAlphaBlendChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageImageEffectsContrastChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageImageEffectsLightnessChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageImageEffectsSaturationChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageImageEffectsSharpenChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageImageEffectsSpongeChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinEditImageImageEffectsGaussianBlurChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinImageEditWaveRatioChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinImageEditWaveXDivChange, TObject* Sender)
  PUBLISHED_METHOD(kvDBSpinImageEditWaveYDivChange, TObject* Sender)
  PUBLISHED_METHOD(vcColorComboImageEffectsChange, TObject* Sender)
  PUBLISHED_METHOD(vcColorComboImageEffectsTintChange, TObject* Sender)
  PUBLISHED_METHOD(vcColorComboImageImageEffectsChange, TObject* Sender)
  PUBLISHED_METHOD(vcColorComboImageImageEffectsTintChange, TObject* Sender)

 public:
  // ---- routines other parts of the program call ----------------------------------------------
  // The option of that key in InspectorOptions (case-insensitive); raises when the form holds no
  // such option, which a test of every key the code uses rules out.
  TkvInspectorItem* FindOption(const std::string& Key) const;
  // The same in InspectorImageEffects.
  TkvInspectorItem* FindImageOption(const std::string& Key) const;
  // Appends one line to the error-history log (see formghostsettings.cpp).
  void WriteLog(const std::string& Message);
  // Reads and writes both option tables from and to the program folder's file of that name.
  void LoadSettings(const std::string& FileName);
  void SaveSettings(const std::string& FileName);
  // The capture device and the composition of the live picture.
  void ListCaptureDrivers();
  void ConnectCaptureDriver();
  void DisconnectCaptureDriver();
  void RefreshMainImage(bool Force);
  void LoadWatermark();
  void BlendWatermark(TBitmap* Picture);
  // The no-op dial-up hang-up of this edition (it keeps its place in the real close).
  int HangUp();
  // The e-mail hook of the motion response; this edition sends nothing.
  void SendEmail(const std::string& SenderName, const std::string& SenderAddress, const std::string& Recipients,
                 const std::string& Subject, const std::string& Body, bool Attachment);
  // Plays a sound file (a bare name lies in the program folder) without waiting, after closing
  // the sound that played before.
  void PlaySoundFile(const std::string& FileName);
  // Asks for a picture now: the capture sound, then the picture timer fires at once.
  void CaptureImageNow();
  // Shows a message in the status bar for a while.
  void ShowStatusMessage(const std::string& Message);

  // ---- the capture layer (formghostcapture.cpp) ------------------------------------------------
  void PrepareFrameBuffer();
  void ApplyCaptureSize();
  void SetupSequenceCapture(bool ToFile);
  void InstallCaptureCallbacks(HWND Window);
  void RemoveCaptureCallbacks(HWND Window);
  void OnCaptureFrame(HWND Window, LPVIDEOHDR Header);
  void OnCaptureVideoStream(HWND Window, LPVIDEOHDR Header);
  void OnCaptureError(HWND Window, int Id, LPCSTR Text);
  void OnCaptureStatus(HWND Window, int Id, LPCSTR Text);
  // A capture window message, sent only while the capture window is a window; 0 (failed) when
  // it is not.
  LRESULT SendCaptureMessage(UINT Message, WPARAM WParam = 0, LPARAM LParam = 0);
  // Processes pending window messages for as long as the driver says it is capturing.
  void WaitWhileCapturing();
  // Opens the options table on the "Video Device" group, scrolled to the top.
  void OpenVideoDeviceGroup();

  // ---- the composition (formghostcompose.cpp) --------------------------------------------------
  // Moves the six stamp placements from one video size to another, keeping their fractions.
  void RescaleStampPlacements(int32_t OldWidth, int32_t OldHeight, int32_t NewWidth, int32_t NewHeight);
  // The motion check that ends a composition of a connected device.
  void CheckMotion();
  // Whether the frame Current differs enough from Snapshot (FMotionSnapshotSize bytes each) to be
  // a motion; a motion turns the motion button yellow.
  bool DetectMotion(const uint8_t* Current, const uint8_t* Snapshot);
  // Lays out the video block and the album and image previews.
  void ArrangePanels();

  // The keys that the program's code looks up, each once, with the table it lives in
  // (false: InspectorOptions, true: InspectorImageEffects).
  static const std::vector<std::pair<std::string, bool>>& OptionKeysInUse();

  // ---- state (kept by the whole program) ------------------------------------------------------
  // Capture connection.
  HMODULE FCaptureLibrary = nullptr;
  HWND FCaptureWindow = nullptr;
  bool FConnected = false;
  bool FConnecting = false;
  int32_t FVideoWidth = 0;
  int32_t FVideoHeight = 0;
  CAPDRIVERCAPS FDriverCaps{};
  CAPSTATUS FCaptureStatus{};
  // The driver index each entry of the driver list stands for (-1 for entry 0, "no driver").
  std::vector<int32_t> FDriverIndices;
  // Frame buffer.
  std::vector<uint8_t> FCaptureFormat;
  int32_t FCaptureFormatSize = 0;
  BITMAPINFOHEADER FDecompressFormat{};
  TDecompressorHandle FDecompressor;
  bool FDecompressing = false;
  BITMAPINFOHEADER FFrameHeader{};
  int32_t FFrameHeaderSize = 0;
  std::unique_ptr<TMemoryStream> FFrameBuffer;
  uint8_t* FFrameBits = nullptr;
  int32_t FFrameKind = 0;
  std::unique_ptr<TBitmap> FFrameBitmap;
  // Pictures and the watermark.
  std::unique_ptr<TPicture> FStillPicture;
  std::unique_ptr<TPicture> FComposedPicture;
  // The bitmap a composition works on. Kept from one composition to the next, so that frames of
  // one size reuse its memory.
  std::unique_ptr<TBitmap> FWorkingBitmap;
  std::unique_ptr<TBitmap> FWatermarkBitmap;
  std::vector<uint8_t> FWatermarkPixels;
  std::vector<uint8_t> FWatermarkAlpha;
  bool FWatermarkHasAlpha = false;
  bool FWatermarkNotReady = false;
  // The blend's tables and scratch rows, made with the first blend and kept.
  std::unique_ptr<TWatermarkBlender> FWatermarkBlender;
  // Stamp placements (pixels, rescaled with the video size).
  float FTextPlacementHorizontal = 0;
  float FTextPlacementVertical = 0;
  float FTimePlacementHorizontal = 0;
  float FTimePlacementVertical = 0;
  float FPicturePlacementHorizontal = 0;
  float FPicturePlacementVertical = 0;
  // Motion.
  int32_t FMotionCycle = 0;
  std::vector<uint8_t> FMotionSnapshot;
  int32_t FMotionSnapshotSize = 0;
  // A frame the check has to read first (one that is not of 24-bit rows); it and the snapshot
  // then change places.
  std::vector<uint8_t> FMotionFrame;
  // Sound.
  uint32_t FSoundDevice = 0;
  // Layout and pages.
  int32_t FSplitterLeft = 0;
  int32_t FSplitterImageLeft = 0;
  int32_t FSplitterAlbum = 0;
  DWORD FHelpCookie = 0;
  bool FAlbumOpened = false;
  std::string FSelectedPathName;
  bool FShowSelectedPath = false;
  int32_t FMediaItemIndex = 0;
  // Hidden network groups.
  bool FFtpTransferring = false;
  std::unique_ptr<TStringList> FHTTPConnections;
  // Busy and guard flags (re-entry through the inner message loops of long steps).
  bool FRendering = false;
  bool FPreviewPaused = false;
  bool FMotionBusy = false;
  bool FSaveBusy = false;
  bool FJpegCopying = false;
  bool FLastShotCopying = false;
  bool FSizeApplying = false;
  bool FGamerSwitching = false;
  // Window state.
  bool FInTray = false;
  bool FRealClose = false;
  bool FCreated = false;
  bool FSaveNow = false;
  int32_t FSavedInterval = 0;

 protected:
  void Dispatch(TMessage& Message) override;
  // WM_ENDSESSION: the end of the session closes for real, whatever its parameters say.
  void WMEndSession(TMessage& Message);

 private:
  // The integer of an option's text; a text that does not convert (a hand-edited settings
  // file) is logged and replaced by the form's own value.
  int32_t OptionInteger(const std::string& Key);
  // The time of an option's text, with the same fallback.
  TDateTime OptionTime(const std::string& Key);
  // The colour an option names ("Aqua", "None", or "RGB: r, g, b"), with the same fallback.
  TColor OptionColor(TkvDataInspector* Table, const std::string& Key);
  // Puts an option back to the text the form gave it, after logging why.
  std::string RestoreFormValue(TkvDataInspector* Table, const std::string& Key, const std::string& Reason);
  void RealClose();

  // The option texts as the form resource gave them, per table, taken before the settings file
  // is read: what a value that does not convert falls back to.
  std::map<std::string, std::string> FFormOptions;
  std::map<std::string, std::string> FFormImageOptions;
};

// The program's main window; nullptr before it is created and after it is freed.
extern TFormGhost* FormGhost;
