// The handlers and routines of the main window whose features come with later work. The form
// resource binds every handler by name, and start-up and the real close call the routines in
// their places; until its feature is built each of them does nothing.

#include <string>

#include "app/formghost.h"

// ---- loading the watermark and its options -------------------------------------------------
// FIXME: waits for the watermark picture.
void TFormGhost::LoadWatermark() {}
void TFormGhost::BlendWatermark(TBitmap*) {}
void TFormGhost::InspectorOptionsItems4Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems4Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems4Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::kvDBSpinEditTransperarencyChange(TObject*) {}
void TFormGhost::kvDBComboDlgPictureStampCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgPictureStampKeyPress(TObject*, char32_t&) {}

// ---- the picture button and the picture options --------------------------------------------
// FIXME: waits for the picture saving.
void TFormGhost::vcShapeBtnLocallyClick(TObject*) {}
void TFormGhost::InspectorOptionsItems8Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems8Items3Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems8Items3Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems5Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}

// ---- layout, splitters, hide and expand buttons, pages, keys, status bar, About links ------
// FIXME: waits for the window shell.
void TFormGhost::ArrangePanels() {}
void TFormGhost::FormResize(TObject*) {}
void TFormGhost::Splitter1Moved(TObject*) {}
void TFormGhost::Splitter3Moved(TObject*) {}
void TFormGhost::vcImageBtnHideClick(TObject*) {}
void TFormGhost::vcImageBtnImageHideClick(TObject*) {}
void TFormGhost::vcImageBtnExpandClick(TObject*) {}
void TFormGhost::vcImageBtnImageExpandClick(TObject*) {}
void TFormGhost::vcOutlookBar1Change(TvcCustomButtonGroup*, TvcButtonGroupItem*, TvcButtonGroupItem*) {}
void TFormGhost::vcOutlookBarImageChange(TvcCustomButtonGroup*, TvcButtonGroupItem*, TvcButtonGroupItem*) {}
void TFormGhost::vcButtonGroupTitlevcShapeBtnWebCamClick(TObject*) {}
void TFormGhost::vcShapeBtnExitClick(TObject*) {}
void TFormGhost::vcStatusBar1DrawPanel(TvcCustomStatusBar*, TvcStatusPanel*, const RECT&) {}
void TFormGhost::ImageMainDblClick(TObject*) {}
void TFormGhost::vcLabelWebSiteClick(TObject*) {}
void TFormGhost::vcLabelSupportClick(TObject*) {}
void TFormGhost::vcLabelSalesClick(TObject*) {}
void TFormGhost::vcLabelInfoClick(TObject*) {}
void TFormGhost::vcLabelForumClick(TObject*) {}
void TFormGhost::vcLabelWebSiteMouseEnter(TObject*) {}
void TFormGhost::vcLabelWebSiteMouseLeave(TObject*) {}

// ---- the option rows that act at once, their file and folder dialogs and the editors that take no typing ---
// FIXME: waits for the preference handlers.
void TFormGhost::InspectorOptionsItems0Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems0Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems0Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems1Items14ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems8Items5Items4ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems9Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::vcShapeBtnMotionClick(TObject*) {}
void TFormGhost::kvDBComboBoxSelectDriverKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgLogFileCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgLogFileKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgCaptureSoundFileNameCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgCaptureSoundFileNameKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgLocallyFileCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgLocallyFileKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgMotionCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgMotionKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgSoundNameCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgSoundNameKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgLaunchCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgLaunchKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBSpinEditStartingDelayAfterDownClick(TObject*) {}
void TFormGhost::kvDBSpinEditMessagePerMinAfterDownClick(TObject*) {}
void TFormGhost::InspectorOptionsItems6Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems6Items6Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems6Items6Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems7Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems7Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::kvDBComboBoxIPAddressesCloseUp(TObject*, bool) {}
void TFormGhost::kvDBComboBoxIPAddressesDropDown(TObject*) {}
void TFormGhost::kvDBComboBoxIPAddressesKeyPress(TObject*, char32_t&) {}

// ---- gamer view and the translucency rows --------------------------------------------------
// FIXME: waits for the gamer view and window translucency.
void TFormGhost::InspectorOptionsItems12Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems12Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems12Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::kvDBSpinEditTranslucentGamerChange(TObject*) {}
void TFormGhost::InspectorOptionsItems1Items6ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems1Items7ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::kvDBSpinEditTranslucentChange(TObject*) {}

// ---- the lines painted over the option tables and the row hints ----------------------------
// FIXME: waits for the option-table painting and hints.
void TFormGhost::InspectorOptionsDrawDataCell(TkvDataInspector*, TkvInspectorItem*, bool, RECT, bool&) {}
void TFormGhost::InspectorOptionsDrawCaptionCell(TkvDataInspector*, TkvInspectorItem*, bool, RECT, RECT&, bool&) {}
void TFormGhost::InspectorOptionsMouseMove(TObject*, TShiftState, int, int) {}
void TFormGhost::InspectorImageEffectsDrawDataCell(TkvDataInspector*, TkvInspectorItem*, bool, RECT, bool&) {}
void TFormGhost::InspectorImageEffectsDrawCaptionCell(TkvDataInspector*, TkvInspectorItem*, bool, RECT, RECT&, bool&) {}
void TFormGhost::InspectorImageEffectsMouseMove(TObject*, TShiftState, int, int) {}

// ---- the effect rows of both tables, their editors and colour combos -----------------------
// FIXME: waits for the image-effect options.
void TFormGhost::InspectorOptionsItems10Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items3Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items3Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items3Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items4ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items4Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items4Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items7ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items7Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items8ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items9ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items10ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items10Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items11ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items11Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items12ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items12Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items13ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items13Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items14ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items14Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items15ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items15Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items15Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items15Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items15Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems10Items16ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items3Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items3Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items3Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items4ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items4Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items4Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items7ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items7Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items8ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items9ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items10ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items10Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items11ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items11Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items12ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items12Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items13ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items13Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items14ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items14Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items15ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items15Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items15Items1ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items15Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items15Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorImageEffectsItems0Items16ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::kvDBSpinEditRotationAngleChange(TObject*) {}
void TFormGhost::kvDBSpinEditRotationCenterXChange(TObject*) {}
void TFormGhost::kvDBSpinEditRotationCenterYChange(TObject*) {}
void TFormGhost::kvDBSpinEditAlphaBlendChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageEffectsContrastChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageEffectsLightnessChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageEffectsSaturationChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageEffectsSharpenChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageEffectsSpongeChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageEffectsGaussianBlurChange(TObject*) {}
void TFormGhost::kvDBSpinEditWaveRatioChange(TObject*) {}
void TFormGhost::kvDBSpinEditWaveXDivChange(TObject*) {}
void TFormGhost::kvDBSpinEditWaveYDivChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageRotationAngleChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageRotationCenterXChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageRotationCenterYChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageAlphaBlendChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageImageEffectsContrastChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageImageEffectsLightnessChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageImageEffectsSaturationChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageImageEffectsSharpenChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageImageEffectsSpongeChange(TObject*) {}
void TFormGhost::kvDBSpinEditImageImageEffectsGaussianBlurChange(TObject*) {}
void TFormGhost::kvDBSpinImageEditWaveRatioChange(TObject*) {}
void TFormGhost::kvDBSpinImageEditWaveXDivChange(TObject*) {}
void TFormGhost::kvDBSpinImageEditWaveYDivChange(TObject*) {}
void TFormGhost::vcColorComboImageEffectsChange(TObject*) {}
void TFormGhost::vcColorComboImageEffectsTintChange(TObject*) {}
void TFormGhost::vcColorComboImageImageEffectsChange(TObject*) {}
void TFormGhost::vcColorComboImageImageEffectsTintChange(TObject*) {}
void TFormGhost::kvDBComboDlgAlphaBlendCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgAlphaBlendKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgImageAlphaBlendCustomDlg(TObject*) {}

// ---- browsing the album's folders and files ------------------------------------------------
// FIXME: waits for the album page.
void TFormGhost::vcButtonGroupTitlevcShapeBtnAlbumClick(TObject*) {}
void TFormGhost::Splitter2Moved(TObject*) {}
void TFormGhost::ShellTreeView1Click(TObject*) {}
void TFormGhost::ShellTreeView1DblClick(TObject*) {}
void TFormGhost::ShellListView1Click(TObject*) {}
void TFormGhost::ShellListView1DblClick(TObject*) {}
void TFormGhost::ShellListView1KeyDown(TObject*, WORD&, TShiftState) {}
void TFormGhost::ShellListView1KeyPress(TObject*, char32_t&) {}
void TFormGhost::ShellListView1KeyUp(TObject*, WORD&, TShiftState) {}
void TFormGhost::ShellListView1Exit(TObject*) {}
void TFormGhost::TabSheetAlbumExit(TObject*) {}

// ---- showing one album file with its own effects -------------------------------------------
// FIXME: waits for the image page.
void TFormGhost::vcButtonGroupTitlevcShapeBtnImageClick(TObject*) {}
void TFormGhost::TabSheetImageExit(TObject*) {}
void TFormGhost::vcImagerImageStopDblClick(TObject*) {}
void TFormGhost::vcPanelAlbumImageDblClick(TObject*) {}

// ---- the motion check of every composition ------------------------------------------------
// FIXME: waits for the motion detection and response.
void TFormGhost::CheckMotion() {}

// ---- the media players and their position bars ---------------------------------------------
// FIXME: waits for the album movie playback.
void TFormGhost::TrackBarAlbumChange(TObject*) {}
void TFormGhost::MediaPlayerAlbumClick(TObject*, TMPBtnType, bool&) {}
void TFormGhost::MediaPlayerAlbumNotify(TObject*) {}

// ---- the hidden network groups ---------------------------------------------------------------
// This edition runs nothing behind the FTP and HTTP buttons.
void TFormGhost::vcShapeBtnFtpClick(TObject*) {}
void TFormGhost::vcShapeBtnHttpClick(TObject*) {}
