#pragma once
// The caption groups of the library settings object (TkvIntl): the texts of the library's
// dialogs, navigator hints, rich-text editor menus and messages. Each group is a persistent
// object whose published properties are plain texts (two dialog groups also carry a help
// context); Assign copies every published value, nested groups included, which is how a
// connected settings component hands its texts to the global one.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/persistent.h"

class TkvADOIntl : public TPersistent {
  KORCAM_CLASS(TkvADOIntl, TPersistent)

 public:
  TkvADOIntl() = default;
  void Assign(TPersistent* Source) override;

  // Data sets of the class library's ADO family find lookup values with their own Locate.
  PLAIN_PROPERTY(bool, UseLocateWhenFindingValue, true)
};

class TkvDBNavigatorIntlHints : public TPersistent {
  KORCAM_CLASS(TkvDBNavigatorIntlHints, TPersistent)

 public:
  TkvDBNavigatorIntlHints() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, FirstHint, "Move to first record")
  PLAIN_PROPERTY(std::string, PriorHint, "Move to prior record")
  PLAIN_PROPERTY(std::string, NextHint, "Move to next record")
  PLAIN_PROPERTY(std::string, LastHint, "Move to last record")
  PLAIN_PROPERTY(std::string, InsertHint, "Insert new record")
  PLAIN_PROPERTY(std::string, DeleteHint, "Delete current record")
  PLAIN_PROPERTY(std::string, EditHint, "Edit current record")
  PLAIN_PROPERTY(std::string, PostHint, "Post changes of current record")
  PLAIN_PROPERTY(std::string, CancelHint, "Cancel changes made to current record")
  PLAIN_PROPERTY(std::string, RefreshHint, "Refresh the contents of the dataset")
  PLAIN_PROPERTY(std::string, PriorPageHint, "Move backward %d records")
  PLAIN_PROPERTY(std::string, NextPageHint, "Move forward %d records")
  PLAIN_PROPERTY(std::string, SaveBookmarkHint, "Bookmark current record")
  PLAIN_PROPERTY(std::string, RestoreBookmarkHint, "Go back to saved bookmark")
  PLAIN_PROPERTY(std::string, RecordViewDialogHint, "View current record")
  PLAIN_PROPERTY(std::string, LocateDialogHint, "Locate a specific record")
  PLAIN_PROPERTY(std::string, FilterDialogHint, "Filter the dataset")
  PLAIN_PROPERTY(std::string, SearchDialogHint, "Search the dataset")
};

class TkvDBNavigatorIntl : public TPersistent {
  KORCAM_CLASS(TkvDBNavigatorIntl, TPersistent)

 public:
  TkvDBNavigatorIntl();
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, ConfirmDeleteMessage, "Delete record?")
  OWNED_PROPERTY(TkvDBNavigatorIntlHints, Hints)
};

class TkvSearchDialogIntl : public TPersistent {
  KORCAM_CLASS(TkvSearchDialogIntl, TPersistent)

 public:
  TkvSearchDialogIntl() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, SearchCharLabel, "&Search Characters")
  PLAIN_PROPERTY(std::string, SearchCharShortLabel, "&Search Char")
  PLAIN_PROPERTY(std::string, SearchByLabel, "Search &By")
  PLAIN_PROPERTY(std::string, StatusRecLabel, "Rec #")
  PLAIN_PROPERTY(std::string, StatusOfLabel, "of")
  PLAIN_PROPERTY(std::string, SearchCharHint, "Enter characters for incremental search")
  PLAIN_PROPERTY(std::string, SearchByHint, "Incremental searching and sorting order")
};

class TkvLocateDialogIntl : public TPersistent {
  KORCAM_CLASS(TkvLocateDialogIntl, TPersistent)

 public:
  TkvLocateDialogIntl() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, FieldValueLabel, "Field &Value")
  PLAIN_PROPERTY(std::string, SearchTypeLabel, "&Search Type")
  PLAIN_PROPERTY(std::string, CaseSensitiveLabel, "&Case-sensitive")
  PLAIN_PROPERTY(std::string, MatchExactLabel, "&Exact Match")
  PLAIN_PROPERTY(std::string, MatchStartLabel, "&Partial Match at Beginning")
  PLAIN_PROPERTY(std::string, MatchAnyLabel, "Partial Match &Anywhere")
  PLAIN_PROPERTY(std::string, FieldsLabel, "&Fields")
  PLAIN_PROPERTY(std::string, BtnFirst, "Fi&rst")
  PLAIN_PROPERTY(std::string, BtnNext, "&Next")
  PLAIN_PROPERTY(std::string, BtnCancel, "Cancel")
  PLAIN_PROPERTY(std::string, BtnClose, "Close")
  PLAIN_PROPERTY(std::string, FieldValueHint, "Enter field's search value")
  PLAIN_PROPERTY(std::string, CaseSensitiveHint, "Searching is case-sensitive")
  PLAIN_PROPERTY(std::string, MatchExactHint, "Match occurs only if there is an exact match")
  PLAIN_PROPERTY(std::string, MatchStartHint, "Match occurs if the start of the field's value matches")
  PLAIN_PROPERTY(std::string, MatchAnyHint, "Match occurs if any part of the field matches")
  PLAIN_PROPERTY(std::string, BtnFirstHint, "Find first match")
  PLAIN_PROPERTY(std::string, BtnNextHint, "Find next match from current record")
  PLAIN_PROPERTY(std::string, FieldNameHint, "Select the field to search on")
};

class TkvMonthCalendarIntl : public TPersistent {
  KORCAM_CLASS(TkvMonthCalendarIntl, TPersistent)

 public:
  TkvMonthCalendarIntl() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, PopupYearLabel, "Edit Year")
  PLAIN_PROPERTY(std::string, EnterYearPrompt, "Enter Valid Year")
};

class TkvFilterDialogIntl : public TPersistent {
  KORCAM_CLASS(TkvFilterDialogIntl, TPersistent)

 public:
  TkvFilterDialogIntl() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, BtnViewSummary, "View Su&mmary")
  PLAIN_PROPERTY(std::string, BtnViewSummaryHint, "View summary of current search criteria")
  PLAIN_PROPERTY(std::string, ViewSummaryNotText, "NOT")
  PLAIN_PROPERTY(std::string, BtnNewSearch, "&New Search")
  PLAIN_PROPERTY(std::string, BtnNewSearchHint, "Start a new search")
  PLAIN_PROPERTY(std::string, FieldOrderLabel, "Field Order")
  PLAIN_PROPERTY(std::string, FieldOrderHint, "Sort field list alphabetically or in their natural logical order")
  PLAIN_PROPERTY(std::string, AlphabeticLabel, "Alpha&betic")
  PLAIN_PROPERTY(std::string, LogicalLabel, "&Logical")
  PLAIN_PROPERTY(std::string, AllFieldsLabel, "&All")
  PLAIN_PROPERTY(std::string, SearchedFieldsLabel, "&Searched")
  PLAIN_PROPERTY(std::string, StartingRangeLabel, "&Starting Range")
  PLAIN_PROPERTY(std::string, EndingRangeLabel, "En&ding Range")
  PLAIN_PROPERTY(std::string, StartingRangeHint, "Enter starting range for field")
  PLAIN_PROPERTY(std::string, EndingRangeHint, "Enter ending range for field")
  PLAIN_PROPERTY(std::string, BtnClearMin, "&Clear")
  PLAIN_PROPERTY(std::string, BtnClearMax, "Cl&ear")
  PLAIN_PROPERTY(std::string, BtnClearFilterValue, "&Clear")
  PLAIN_PROPERTY(std::string, BtnClearMinHint, "Clear starting range for field")
  PLAIN_PROPERTY(std::string, BtnClearMaxHint, "Clear ending range for field")
  PLAIN_PROPERTY(std::string, BtnClearFilterValueHint, "Clear the current field's search value")
  PLAIN_PROPERTY(std::string, ByValueLabel, "By &Value")
  PLAIN_PROPERTY(std::string, ByRangeLabel, "By &Range")
  PLAIN_PROPERTY(std::string, FieldValueLabel, "Field &Value")
  PLAIN_PROPERTY(std::string, FieldValueHint, "Enter field's search value")
  PLAIN_PROPERTY(std::string, SearchTypeLabel, "Search Type")
  PLAIN_PROPERTY(std::string, SearchTypeHint, "Specify how the Field Value should be compared")
  PLAIN_PROPERTY(std::string, MatchExactLabel, "&Exact Match")
  PLAIN_PROPERTY(std::string, MatchStartLabel, "&Partial Match at Beginning")
  PLAIN_PROPERTY(std::string, MatchAnyLabel, "Partial Match Any&where")
  PLAIN_PROPERTY(std::string, CaseSensitiveLabel, "Case Sensi&tive")
  PLAIN_PROPERTY(std::string, CaseSensitiveHint, "Searching is case-sensitive")
  PLAIN_PROPERTY(std::string, NonMatchingLabel, "N&on-matching records")
  PLAIN_PROPERTY(std::string, NonMatchingHint, "Show records that do not match the field value criteria")
  PLAIN_PROPERTY(std::string, SummaryFieldLabel, "Field")
  PLAIN_PROPERTY(std::string, SummarySearchLabel, "Search Type")
  PLAIN_PROPERTY(std::string, SummaryValueLabel, "Value")
  PLAIN_PROPERTY(std::string, SummaryCaption, "")
  PLAIN_PROPERTY(std::string, FieldsLabel, "&Fields")
  PLAIN_PROPERTY(std::string, ValueRangeTabHint, "Search fields by value or by range")
  PLAIN_PROPERTY(std::string, AllSearchedTabHint, "Show all fields or only currently searched fields")
};

class TkvRichEditMenuLabels : public TPersistent {
  KORCAM_CLASS(TkvRichEditMenuLabels, TPersistent)

 public:
  TkvRichEditMenuLabels() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, FileCaption, "&File")
  PLAIN_PROPERTY(std::string, LoadCaption, "&Load")
  PLAIN_PROPERTY(std::string, SaveAsCaption, "Save &As")
  PLAIN_PROPERTY(std::string, SaveExitCaption, "&Save and Exit")
  PLAIN_PROPERTY(std::string, PrintCaption, "&Print")
  PLAIN_PROPERTY(std::string, PageSetupCaption, "Page Set&up")
  PLAIN_PROPERTY(std::string, ExitCaption, "E&xit")
  PLAIN_PROPERTY(std::string, EditCaption, "&Edit")
  PLAIN_PROPERTY(std::string, UndoCaption, "&Undo")
  PLAIN_PROPERTY(std::string, CutCaption, "Cu&t")
  PLAIN_PROPERTY(std::string, CopyCaption, "&Copy")
  PLAIN_PROPERTY(std::string, PasteCaption, "&Paste")
  PLAIN_PROPERTY(std::string, ClearCaption, "Cle&ar")
  PLAIN_PROPERTY(std::string, SelectallCaption, "Select A&ll")
  PLAIN_PROPERTY(std::string, FindCaption, "&Find")
  PLAIN_PROPERTY(std::string, FindNextCaption, "Find &Next")
  PLAIN_PROPERTY(std::string, ReplaceCaption, "R&eplace")
  PLAIN_PROPERTY(std::string, InsertObjectCaption, "&Object...")
  PLAIN_PROPERTY(std::string, SpellCheckCaption, "Check &Spelling")
  PLAIN_PROPERTY(std::string, InsertCaption, "&Insert")
  PLAIN_PROPERTY(std::string, RulerCaption, "&Ruler")
  // Empty: the editor window then keeps its own "&Redo".
  PLAIN_PROPERTY(std::string, RedoCaption, "")
  PLAIN_PROPERTY(std::string, ViewCaption, "&View")
  PLAIN_PROPERTY(std::string, ToolbarCaption, "&Toolbar")
  PLAIN_PROPERTY(std::string, FormatBarCaption, "&Format Bar")
  PLAIN_PROPERTY(std::string, ViewStatusBarCaption, "&Status Bar")
  PLAIN_PROPERTY(std::string, OptionsCaption, "&Options")
  PLAIN_PROPERTY(std::string, FormatCaption, "F&ormat")
  PLAIN_PROPERTY(std::string, ToolCaption, "&Tools")
  PLAIN_PROPERTY(std::string, FontCaption, "&Font")
  PLAIN_PROPERTY(std::string, BulletStyleCaption, "&Bullet Style")
  PLAIN_PROPERTY(std::string, ParagraphCaption, "&Paragraph")
  PLAIN_PROPERTY(std::string, TabsCaption, "&Tabs")
  PLAIN_PROPERTY(std::string, HelpCaption, "Help")
};

class TkvRichEditPopupMenuLabels : public TPersistent {
  KORCAM_CLASS(TkvRichEditPopupMenuLabels, TPersistent)

 public:
  TkvRichEditPopupMenuLabels() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, EditCaption, "&Edit")
  PLAIN_PROPERTY(std::string, ViewCaption, "&View")
  PLAIN_PROPERTY(std::string, CutCaption, "Cu&t")
  PLAIN_PROPERTY(std::string, CopyCaption, "&Copy")
  PLAIN_PROPERTY(std::string, PasteCaption, "&Paste")
  PLAIN_PROPERTY(std::string, FontCaption, "&Font")
  PLAIN_PROPERTY(std::string, BulletStyleCaption, "&Bullet Style")
  PLAIN_PROPERTY(std::string, BoldCaption, "B&old")
  PLAIN_PROPERTY(std::string, ItalicCaption, "&Italic")
  PLAIN_PROPERTY(std::string, UnderlineCaption, "&Underline")
  PLAIN_PROPERTY(std::string, ParagraphCaption, "P&aragraph")
  PLAIN_PROPERTY(std::string, TabsCaption, "&Tabs")
  PLAIN_PROPERTY(std::string, FindCaption, "Fin&d")
  PLAIN_PROPERTY(std::string, ReplaceCaption, "&Replace")
  PLAIN_PROPERTY(std::string, InsertObjectCaption, "Insert &Object...")
  PLAIN_PROPERTY(std::string, SpellCheckCaption, "Check &Spelling")
  PLAIN_PROPERTY(std::string, ObjectPropertiesCaption, "Object P&roperties")
};

class TkvRichEditParagraphDlg : public TPersistent {
  KORCAM_CLASS(TkvRichEditParagraphDlg, TPersistent)

 public:
  TkvRichEditParagraphDlg() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, ParagraphDlgCaption, "Paragraph")
  PLAIN_PROPERTY(std::string, IndentationGroupBoxCaption, "Indentation")
  PLAIN_PROPERTY(std::string, LeftEditCaption, "Left:")
  PLAIN_PROPERTY(std::string, RightEditCaption, "Right:")
  PLAIN_PROPERTY(std::string, FirstLineEditCaption, "First line:")
  PLAIN_PROPERTY(std::string, AlignmentCaption, "Alignment")
  PLAIN_PROPERTY(std::string, LeftEditHint, "Left Indentation")
  PLAIN_PROPERTY(std::string, RightEditHint, "Right Indentation")
  PLAIN_PROPERTY(std::string, FirstLineEditHint, "First Line of Paragraph Indentation")
  PLAIN_PROPERTY(std::string, SpacingGroupCaption, "Spacing")
  PLAIN_PROPERTY(std::string, BeforeParagraphCaption, "&Before")
  PLAIN_PROPERTY(std::string, AfterParagraphCaption, "Aft&er")
  PLAIN_PROPERTY(std::string, WithinParagraphCaption, "Li&ne Spacing")
  PLAIN_PROPERTY(std::string, WithinParagraphAtCaption, "&At")
  PLAIN_PROPERTY(std::string, AlignmentHint, "Changes Alignment of Paragraph")
  PLAIN_PROPERTY(std::string, AlignLeft, "Left")
  PLAIN_PROPERTY(std::string, AlignRight, "Right")
  PLAIN_PROPERTY(std::string, AlignCenter, "Center")
  PLAIN_PROPERTY(std::string, AlignJustify, "Justify")
  PLAIN_PROPERTY(std::string, SpacingSingle, "")
  PLAIN_PROPERTY(std::string, Spacing1_5, "")
  PLAIN_PROPERTY(std::string, SpacingDouble, "")
  PLAIN_PROPERTY(std::string, SpacingAtLeast, "")
  PLAIN_PROPERTY(std::string, SpacingExactly, "")
  PLAIN_PROPERTY(std::string, SpacingMultiple, "")
  PLAIN_PROPERTY(int32_t, HelpContext, 0)
};

class TkvRichEditTabDlg : public TPersistent {
  KORCAM_CLASS(TkvRichEditTabDlg, TPersistent)

 public:
  TkvRichEditTabDlg() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, TabDlgCaption, "Tab")
  PLAIN_PROPERTY(std::string, TabGroupBoxCaption, "&Tab Stop Position")
  PLAIN_PROPERTY(std::string, SetTabButtonCaption, "Set")
  PLAIN_PROPERTY(std::string, ClearTabButtonCaption, "Clear")
  PLAIN_PROPERTY(std::string, ClearAllButtonCaption, "Clear All")
  PLAIN_PROPERTY(std::string, TabPositionEditHint, "Tab Position Edit Box")
  PLAIN_PROPERTY(std::string, ListBoxHint, "List of tabs and their positions")
  PLAIN_PROPERTY(std::string, SetButtonHint, "Set a new tab position")
  PLAIN_PROPERTY(std::string, ClearButtonHint, "Clear the selected tab position")
  PLAIN_PROPERTY(std::string, ClearAllButtonHint, "Clear all the tabs")
  PLAIN_PROPERTY(int32_t, HelpContext, 0)
};

class TkvDBRichEditIntl : public TPersistent {
  KORCAM_CLASS(TkvDBRichEditIntl, TPersistent)

 public:
  TkvDBRichEditIntl();
  void Assign(TPersistent* Source) override;

  // Most hints hold a short and a long text separated by " | ".
  PLAIN_PROPERTY(std::string, FontNameComboHint, "Font | Changes the font of the selection")
  PLAIN_PROPERTY(std::string, FontSizeComboHint, "Font Size | Changes the font size of the selection")
  PLAIN_PROPERTY(std::string, NewButtonHint, "New | Creates a new document")
  PLAIN_PROPERTY(std::string, LoadButtonHint, "Load | Load from file")
  PLAIN_PROPERTY(std::string, SaveAsButtonHint, "Save As | Save to file")
  PLAIN_PROPERTY(std::string, PrintButtonHint, "Print | Prints the active document")
  PLAIN_PROPERTY(std::string, FindButtonHint, "Find | Finds the specified text")
  PLAIN_PROPERTY(std::string, CutButtonHint, "Cut | Cuts the selection and puts it on the Clipboard")
  PLAIN_PROPERTY(std::string, CopyButtonHint, "Copy | Copies the selection and puts it on the Clipboard")
  PLAIN_PROPERTY(std::string, UndoButtonHint, "Undo | Reverses the last action")
  PLAIN_PROPERTY(std::string, RedoButtonHint, "Redo | Reverses the last undo action")
  PLAIN_PROPERTY(std::string, PasteButtonHint, "Paste | Inserts Clipboard contents")
  PLAIN_PROPERTY(std::string, BoldButtonHint, "Bold | Makes the selection bold (toggle)")
  PLAIN_PROPERTY(std::string, ColorButtonHint, "Color | Formats the selection with a color")
  PLAIN_PROPERTY(std::string, UnderlineButtonHint,
                 "Underline | Formats the selection with a continuous underline (toggle)")
  PLAIN_PROPERTY(std::string, ItalicButtonHint, "Italic | Makes the selection italic (toggle)")
  PLAIN_PROPERTY(std::string, LeftButtonHint, "Align Left | Left-justifies paragraph (toggle)")
  PLAIN_PROPERTY(std::string, CenterButtonHint, "Center | Center-justifies paragraph (toggle)")
  PLAIN_PROPERTY(std::string, RightButtonHint, "Align Right | Right-justifies paragraph (toggle)")
  PLAIN_PROPERTY(std::string, JustifyButtonHint, "Justify | Full Justification for paragraph (toggle)")
  PLAIN_PROPERTY(std::string, BulletButtonHint, "Bullets | Inserts a bullet on this line (toggle)")
  PLAIN_PROPERTY(std::string, HighlightButtonHint, "Highlight Text | Makes the selection highlighted")
  PLAIN_PROPERTY(std::string, SaveExitHint, "Save And Exit | Saves changes and exits editor")
  PLAIN_PROPERTY(std::string, PageSetupHint, "Page Setup | Changes page layout settings")
  PLAIN_PROPERTY(std::string, ExitHint, "Exit")
  PLAIN_PROPERTY(std::string, ClearHint, "Erases the Selection")
  PLAIN_PROPERTY(std::string, SelectAllHint, "Selects all of the text")
  PLAIN_PROPERTY(std::string, FindNextHint, "Repeats the last find")
  PLAIN_PROPERTY(std::string, ReplaceHint, "Replaces specific text with different text")
  PLAIN_PROPERTY(std::string, InsertObjectHint, "Inserts new embedded object")
  PLAIN_PROPERTY(std::string, SpellCheckHint, "Check spelling")
  PLAIN_PROPERTY(std::string, ToolbarHint, "Shows or hides the toolbar")
  PLAIN_PROPERTY(std::string, FormatBarHint, "Shows or hides the format bar")
  PLAIN_PROPERTY(std::string, ViewStatusBarHint, "Shows or hides the status bar")
  PLAIN_PROPERTY(std::string, OptionsHint, "Sets options")
  PLAIN_PROPERTY(std::string, FontHint, "Selects font for current selection")
  PLAIN_PROPERTY(std::string, ParagraphHint, "Formats current or selected paragraph(s)")
  PLAIN_PROPERTY(std::string, TabsHint, "Sets tabs")
  OWNED_PROPERTY(TkvRichEditMenuLabels, MenuLabels)
  OWNED_PROPERTY(TkvRichEditPopupMenuLabels, PopupMenuLabels)
  OWNED_PROPERTY(TkvRichEditParagraphDlg, ParagraphDialog)
  OWNED_PROPERTY(TkvRichEditTabDlg, TabDialog)
  PLAIN_PROPERTY(std::string, CAPLockCaption, "CAP")
  PLAIN_PROPERTY(std::string, NUMLockCaption, "NUM")
};

class TkvUserMessagesIntl : public TPersistent {
  KORCAM_CLASS(TkvUserMessagesIntl, TPersistent)

 public:
  TkvUserMessagesIntl() = default;
  void Assign(TPersistent* Source) override;

  PLAIN_PROPERTY(std::string, kvDBGridDiscardChanges, "Discard changes to this record?")
  PLAIN_PROPERTY(std::string, PictureValidateError, "Invalid characters. Field : ")
  PLAIN_PROPERTY(std::string, LocateNoMatches, "No matches found")
  PLAIN_PROPERTY(std::string, LocateNoMoreMatches, "No more matches found")
  PLAIN_PROPERTY(std::string, MemoChangesWarning, "Changes have been made!  Are you sure you wish to cancel?")
  PLAIN_PROPERTY(std::string, RichEditExitWarning, "Changes have been made!  Do you wish to save your changes?")
  PLAIN_PROPERTY(std::string, RichEditClearWarning, "Clear entire text?")
  PLAIN_PROPERTY(std::string, RichEditSpellCheckComplete, "The spell check is complete.")
  PLAIN_PROPERTY(std::string, RichEditMSWordNotFound, "Unable to start Microsoft Word's Spell Checker.")
  PLAIN_PROPERTY(std::string, FilterDlgNoCriteria, "You have not selected any search criteria")
  PLAIN_PROPERTY(std::string, RecordViewExitWarning, "Changes have been made!  Do you wish to save your changes?")
};
