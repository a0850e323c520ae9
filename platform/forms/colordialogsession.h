#pragma once
// What the colour dialog does, apart from its window: the colour being chosen, picked from the
// 48 basic colours or the 16 custom colours or typed as its red, green and blue values; the
// custom colours themselves (the dialog's "Add to Custom Colors" puts the current colour into
// the chosen custom slot); and whether the part that defines custom colours is open. The window
// is one view of a session; a test's script is another, calling what a user's clicks and keys
// lead to.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/classes/typinfo.h"
#include "platform/gdi/colors.h"

// The colour dialog's options, in the class library's order.
KORCAM_ENUM(TColorDialogOption, cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor)
using TColorDialogOptions = TSet<TColorDialogOption>;

// The value of one colour channel typed by the user: a decimal whole number from 0 to 255,
// blanks around it allowed; nothing for any other text (empty, a sign, letters, too large).
std::optional<uint8_t> ParseColorChannel(std::string_view Text);

class TColorDialogSession {
 public:
  static constexpr int BasicColorCount = 48;
  static constexpr int CustomColorCount = 16;
  // The basic colours in the dialog's order: six rows of eight, row by row.
  static const std::array<TColor, BasicColorCount>& BasicColors();

  // Initial: the colour shown first (system colours resolved; clNone and clDefault start black).
  TColorDialogSession(TColor Initial, const std::array<TColor, CustomColorCount>& Custom,
                      TColorDialogOptions Options);

  TColorDialogOptions Options() const { return FOptions; }
  const std::string& Title() const { return FTitle; }

  // ---- the colour -------------------------------------------------------------------------
  // A plain RGB value (0x00BBGGRR).
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // The basic or custom colour at Index becomes the colour (and that swatch the chosen one);
  // an index outside the swatches changes nothing.
  void SelectBasic(int Index);
  void SelectCustom(int Index);
  // The swatch chosen last (-1: none of that kind).
  int SelectedBasic() const { return FSelectedBasic; }
  int SelectedCustom() const { return FSelectedCustom; }
  // One channel (0 red, 1 green, 2 blue) typed as text. A text ParseColorChannel does not take
  // leaves the colour unchanged and answers false; the window keeps the text and refuses to
  // confirm until it is put right.
  bool SetChannelText(int Channel, std::string_view Text);
  uint8_t Channel(int Channel) const;

  // ---- custom colours ---------------------------------------------------------------------
  const std::array<TColor, CustomColorCount>& CustomColors() const { return FCustom; }
  // The current colour goes into the chosen custom slot, or the first slot when none is chosen;
  // the next slot becomes the chosen one, so that repeated adds fill the slots in turn.
  void AddToCustomColors();
  // The part that defines custom colours (the channel fields and the add button) is shown.
  bool FullOpen() const { return FFullOpen; }
  // Opens it, unless cdPreventFullOpen forbids it.
  void OpenFull();

  // ---- the end ----------------------------------------------------------------------------
  void Accept();
  void Cancel();
  bool Accepted() const { return FAccepted; }

  // Called after every change of the colour, the custom colours or the open state.
  std::function<void()> OnChange;

 private:
  void Changed();

  TColorDialogOptions FOptions;
  std::string FTitle = "Color";
  TColor FColor = 0;
  std::array<TColor, CustomColorCount> FCustom{};
  int FSelectedBasic = -1;
  int FSelectedCustom = -1;
  bool FFullOpen = false;
  bool FAccepted = false;
};

// A script answers every colour dialog in place of its window (tests install one, as they do for
// the file dialogs): it receives the session and calls what the user's clicks would; a session
// it leaves unaccepted is cancelled. Installs Script (an empty one removes it) and returns the
// one before.
using TColorDialogScript = std::function<void(TColorDialogSession& Session)>;
TColorDialogScript SetColorDialogScript(TColorDialogScript Script);

// Runs a session: the script when one is installed, else the dialog's window while a back end
// shows the program's windows, else nobody can answer and it counts as cancelled. True when it
// was accepted.
bool RunColorDialog(TColorDialogSession& Session);
