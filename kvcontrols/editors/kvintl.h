#pragma once
// TkvIntl: the settings and captions of the whole data-aware library. One instance, the global
// kvGlobalIntl, lives from the library's start to its end; every control reads its captions,
// messages and a handful of behaviour switches from it, without a nil test. Further TkvIntl
// components placed on forms change nothing by themselves, but while one is Connected its values
// are copied into the global object (once its form has loaded, and whenever Connected is set).

#include <cstdint>
#include <memory>
#include <string>

#include "kvcontrols/editors/kvintlcaptions.h"
#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/forms/buttons.h"
#include "platform/forms/graphics.h"

class TField;
class TForm;

// How check-box cells of the grid are drawn.
KORCAM_ENUM(TkvCheckBoxInGridStyle, cbStyleAuto, cbStyleCheckmark, cbStyleXmark, cbStyleCheckmarkFlat)
// gpsDynamicDeviceContext makes the grid paint through its own buffer.
KORCAM_ENUM(TkvGridPaintStyle, gpsBitmapCanvas, gpsDynamicDeviceContext)

// (Sender, Field, var Msg, var DoDefault): a handler may change the message, or clear DoDefault
// to suppress both the beep and the exception.
using TkvPictureValidationError = TEvent<TObject*, TField*, std::string&, bool&>;

class TkvIntl : public TComponent {
  KORCAM_CLASS(TkvIntl, TComponent)

 public:
  explicit TkvIntl(TComponent* AOwner);
  // Clears kvGlobalIntl when this is the global object.
  ~TkvIntl() override;

  OWNED_PROPERTY(TkvADOIntl, ADO)
  OWNED_PROPERTY(TkvDBNavigatorIntl, Navigator)
  OWNED_PROPERTY(TkvSearchDialogIntl, SearchDialog)
  OWNED_PROPERTY(TkvLocateDialogIntl, LocateDialog)
  OWNED_PROPERTY(TkvMonthCalendarIntl, MonthCalendar)
  OWNED_PROPERTY(TkvFilterDialogIntl, FilterDialog)
  OWNED_PROPERTY(TkvDBRichEditIntl, RichEdit)
  OWNED_PROPERTY(TkvUserMessagesIntl, UserMessages)
  // Dialog buttons are glyph buttons.
  PLAIN_PROPERTY(bool, OKCancelBitmapped, true)
  PLAIN_PROPERTY(std::string, BtnOKCaption, "&OK")
  PLAIN_PROPERTY(std::string, BtnCancelCaption, "Cancel")
  // Both writers also write the global object while this component is connected to it.
  PROPERTY(TkvCheckBoxInGridStyle, CheckBoxInGridStyle, cbStyleAuto)
  PROPERTY(TkvGridPaintStyle, GridPaintStyle, gpsDynamicDeviceContext)
  // Bytes with which a data set releases its filter memo buffer.
  PLAIN_PROPERTY(int32_t, FilterMemoSize, 65536)
  // The INI file of grid column layouts and history lists; empty: kvDefaultIniFileName().
  PLAIN_PROPERTY(std::string, IniFileName, "")
  PLAIN_PROPERTY(bool, UseLocateMethodForSearch, true)
  // The font style of the glyph dialog buttons and of the memo dialog.
  PLAIN_PROPERTY(TFontStyles, DialogFontStyle)
  // The two-digit-year epoch every new date/time picker starts with.
  PLAIN_PROPERTY(int32_t, DefaultEpochYear, 1950)
  EVENT(TkvPictureValidationError, OnValidationErrorUsingMask)
  // Setting it to True copies this component's values into kvGlobalIntl; False undoes nothing.
  PROPERTY(bool, Connected, false)

  // While True, removing a key range from a table on an SQL database closes and reopens it.
  bool ReopenOnCancelRange() const { return FReopenOnCancelRange; }
  void SetReopenOnCancelRange(bool Value) { FReopenOnCancelRange = Value; }

  void Loaded() override;
  // Copies every value except Connected into kvGlobalIntl (nothing when this is the global).
  void CopyToGlobal();
  // The picture-mask error: the handler may change the message or suppress the error; unless it
  // does, a beep and EInvalidOperation with the message. Edits call it on kvGlobalIntl with
  // themselves as Sender when their text fails their mask.
  virtual void DoValidationErrorUsingMask(TObject* Sender, TField* Field);

 private:
  bool FReopenOnCancelRange = true;
};

// The library's settings object; created by the library's start code before any form is read,
// freed by its end code after every control is gone.
extern TkvIntl* kvGlobalIntl;

// The OK, Cancel or Help button of one of the library's dialogs: owned by Form and parented to
// it, hidden (the dialog places and shows it), sized for the screen's pixels per inch; a glyph
// button (TBitBtn) when kvGlobalIntl's OKCancelBitmapped is set, else a plain TButton.
TButton* kvCreateDialogButton(TForm* Form, TBitBtnKind Kind);

// FilterMemoSize of kvGlobalIntl.
int32_t kvGetFilterMemoSize();

// The INI file name that grid layouts and history lists use when no name is set: the program's
// base name followed by ".ini". A program without an extension (every Linux program) keeps its
// whole name, so the name never collapses to ".ini".
std::string kvDefaultIniFileName();
