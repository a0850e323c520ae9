#pragma once
// The font pickers: TvcCustomFontCombo and TvcFontCombo, tree combos (vctreecombo.h) whose
// drop-down lists the installed fonts, each with a glyph for its kind (TrueType, printer; none
// for other kinds), under a block of recently chosen fonts kept in RecentFonts (newest first, at
// most MaxMRU, each also in its sorted place below). While the drop-down shows, the hint of the
// selected font shows its name written in that font. SelectedFont is the font the program reads.
//
// Fonts are the families fontconfig knows (platform/gdi/font.h): outline faces count as
// TrueType, bitmap faces as raster. The printer's fonts are the installed outline faces (Linux
// prints with them); there are no printer-only fonts. The list is filled when the combo's window
// is made (PreLoad), else at the first drop-down or key press.

#include <memory>
#include <string>

#include "platform/forms/imagelist.h"
#include "platform/gdi/font.h"
#include "vcontrols/combos/vctreecombo.h"

class TvcCustomFontCombo;

KORCAM_ENUM(TvcComboFontType, vcftPrinter, vcftTrueType, vcftVector, vcftRaster)
KORCAM_ENUM(TvcFontType, vcScreenFonts, vcPrinterFonts, vcRasterFonts)

// (FontCombo, FontName, FontType, EnumLogFont, NewTextMetric, Accept): may refuse a font.
using TvcAddFontEvent =
    TEvent<TObject*, const std::string&, TvcComboFontType, const ENUMLOGFONTA&, const NEWTEXTMETRICA&, bool&>;
// (FontCombo, FontName, Hint, Font): may change the hint text and the font it shows in.
using TvcFontHintEvent = TEvent<TObject*, const std::string&, std::string&, TFont*>;

// The glyphs of every font combo: 12 x 12, image 0 VCFONTTRUETYPE, image 1 VCFONTPRINTER, each
// masked by its bitmap's transparent colour; made with the first font combo, freed with the
// last.
class TFontImageList : public TImageList {
  KORCAM_CLASS(TFontImageList, TImageList)

 public:
  explicit TFontImageList(TComponent* AOwner);
  ~TFontImageList() override;
  static TFontImageList* Shared();
};

// A node of the font tree; Recent marks the copies in the recent block.
class TvcFontPopupNode : public TvcTreeComboTreeNode {
  KORCAM_CLASS(TvcFontPopupNode, TvcTreeComboTreeNode)

 public:
  explicit TvcFontPopupNode(TvcTreeNodes* AOwner) : TvcTreeComboTreeNode(AOwner) {}
  bool Recent() const { return FRecent; }
  void SetRecent(bool Value) { FRecent = Value; }

 private:
  bool FRecent = false;
};

class TvcFontPopupTreeView : public TvcPopupTreeView {
  KORCAM_CLASS(TvcFontPopupTreeView, TvcPopupTreeView)

 public:
  explicit TvcFontPopupTreeView(TComponent* AOwner);

 protected:
  // The item, then the line between the recent block and the other fonts.
  void PaintItem(TvcTreeNode* Node, RECT Rect, TvcItemStates State) override;
  // A PreLoad combo fills the list as soon as the tree's window exists.
  void CreateWnd() override;
};

class TvcCustomFontCombo : public TvcCustomTreeCombo {
  KORCAM_CLASS(TvcCustomFontCombo, TvcCustomTreeCombo)

 public:
  explicit TvcCustomFontCombo(TComponent* AOwner);
  ~TvcCustomFontCombo() override;
  void BeforeDestruction() override;

  PLAIN_PROPERTY(TvcFontType, FontSelections, vcScreenFonts)
  PLAIN_PROPERTY(bool, ImmediateHints, false)
  PROPERTY(int32_t, MaxMRU, 6)
  PLAIN_PROPERTY(bool, PreLoad, false)
  OWNED_PROPERTY(TStringList, RecentFonts)
  PLAIN_PROPERTY(bool, ShowFontHint, true)
  EVENT(TvcAddFontEvent, OnAddFont)
  EVENT(TvcFontHintEvent, OnGenerateFontHint)

 public:
  // The selected node's text; empty when none.
  std::string SelectedFont() const;

  // ---- extension points ---------------------------------------------------------------------------------
  // One enumerated family: appended (with its kind's glyph) unless OnAddFont refuses it.
  virtual void AddFont(const ENUMLOGFONTA& LogFont, const NEWTEXTMETRICA& Metric, DWORD FontType);
  virtual void GenerateFontHint(const std::string& FontName, std::string& Hint, TFont* Font);
  // Keeps at most MaxMRU recent fonts (all with -1).
  virtual void TrimRecentFonts();
  // Name goes to the top of the recent fonts (moved when it is there already).
  virtual void AddRecentFont(const std::string& Name);
  virtual void RemoveRecentNodes();
  virtual void InsertRecentNodes();
  virtual void FontTreeMouseMove(TvcCustomTreeView* Tree, TvcTreeNode* Node, TShiftState Shift, int32_t X, int32_t Y);
  virtual void FontTreeChange(TvcCustomTreeView* Tree, TvcTreeNode* Node);
  virtual bool DoAddFont(const std::string& Name, TvcComboFontType Kind, const ENUMLOGFONTA& LogFont,
                         const NEWTEXTMETRICA& Metric);
  // RecentOnly: only the recent block is made again.
  virtual void LoadFonts(bool RecentOnly);

  TvcPopupTreeView* CreateTreeView() override;
  TvcTreeNode* GetSearchStartNode() override;
  void CloseUp(bool Accept) override;
  void DropDown() override;

 protected:
  friend class TvcFontPopupTreeView;

  void CreateWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  // Makes Class the application's hint window class (ImmediateHints: with no hint pause while
  // it is the font hint's).
  void SetHintWindowClass(const TClassInfo* Class);
  // The list is filled on demand when it holds no more than the recent fonts.
  void LoadOnDemand();

  const TClassInfo* FSavedHintClass = nullptr;
  int32_t FSavedHintPause = -1;
  std::string FSavedSelection;
  bool FHasSavedSelection = false;
  bool FLoading = false;
};

class TvcFontCombo : public TvcCustomFontCombo {
  KORCAM_CLASS(TvcFontCombo, TvcCustomFontCombo)

 public:
  explicit TvcFontCombo(TComponent* AOwner) : TvcCustomFontCombo(AOwner) {}

  PUBLISH_PROPERTY(TvcCustomCombo, TvcComboStyle, Style, vccombo::csDropDownList)
  PUBLISH_PROPERTY(TvcCustomTreeCombo, bool, ShowMatchText, true)
  PUBLISH_PROPERTY(TvcCustomTreeCombo, int32_t, DropDownWidth, 0)
  PUBLISH_PROPERTY(TvcCustomTreeCombo, bool, Sorted, true)
  PUBLISH_PROPERTY(TvcCustomTreeCombo, TvcTreeViewOptions, TreeOptions, tvoHideSelection, tvoShowButtons, tvoShowLines,
                   tvoShowRoot, tvoToolTips)
  KORCAM_PROPERTY_ROW(OnSelectionChange, korcam_detail::MakeEventProperty("OnSelectionChange", "TNotifyEvent",
                                                                          &TvcCustomTreeCombo::OnSelectionChange))
};
