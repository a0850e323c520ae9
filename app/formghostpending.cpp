// The handlers and routines of the main window whose features come with later work. The form
// resource binds every handler by name, and start-up and the real close call the routines in
// their places; until its feature is built each of them does nothing.

#include <string>

#include "app/formghost.h"


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
void TFormGhost::ShowStatusMessage(const std::string&) {}

// ---- the option rows that act at once, their file and folder dialogs and the editors that take no typing ---
// FIXME: waits for the preference handlers.
void TFormGhost::InspectorOptionsItems0Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems0Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems0Items3ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::InspectorOptionsItems8Items5Items4ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {}
void TFormGhost::kvDBComboBoxSelectDriverKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgLogFileCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgLogFileKeyPress(TObject*, char32_t&) {}
void TFormGhost::kvDBComboDlgMotionCustomDlg(TObject*) {}
void TFormGhost::kvDBComboDlgMotionKeyPress(TObject*, char32_t&) {}
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

// ---- the media players and their position bars ---------------------------------------------
// FIXME: waits for the album movie playback.
void TFormGhost::TrackBarAlbumChange(TObject*) {}
void TFormGhost::MediaPlayerAlbumClick(TObject*, TMPBtnType, bool&) {}
void TFormGhost::MediaPlayerAlbumNotify(TObject*) {}

// ---- the hidden network groups ---------------------------------------------------------------
// This edition runs nothing behind the FTP and HTTP buttons.
void TFormGhost::vcShapeBtnFtpClick(TObject*) {}
void TFormGhost::vcShapeBtnHttpClick(TObject*) {}
