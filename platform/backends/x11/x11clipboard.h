#pragma once
// Copy and paste with other programs through the X selections: CLIPBOARD (what copy and paste
// commands use) and PRIMARY (the text last selected, pasted with the middle button). The class
// library's clipboard reaches CLIPBOARD through the clipboard store the back end installs while it
// runs (desktopservices.h); without the back end the clipboard keeps its content in the process.
//
// Setting a selection makes the back end its owner: other programs ask for the content in the
// format they want -- text as UTF8_STRING (also STRING, TEXT, text/plain), a picture as
// image/png -- and the back end answers from its copy until another program takes the selection
// over; content bigger than the server's largest request goes out in pieces (INCR). Getting asks
// the owner and waits (at most two seconds) for the answer; content that comes in pieces (INCR)
// is collected whole. When the back end owns the selection itself, its own copy
// is returned without asking the server.
//
// What other programs hand us is bounded: content above 128 MB, or a transfer in pieces that
// takes more than 30 seconds, is refused, and so is a picture of more than 32 million pixels
// (an 8K screen's worth), however small its file. Getting text or a picture refused for its size
// raises EInvalidOperation or EGraphicTooLarge with a message for the user; content that cannot
// be read at all is not there (nullopt).
//
// Only the thread that runs the back end may call these; elsewhere, and without a running back
// end, setting fails (false) and getting finds nothing.

#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

enum class TX11Selection { Clipboard, Primary };

bool X11SetSelectionText(TX11Selection Selection, const std::string& Text);
bool X11SetSelectionImage(TX11Selection Selection, const TBgraImage& Image);
// Gives the selection up (as emptying the clipboard does) when we own it.
void X11ClearSelection(TX11Selection Selection);

std::optional<std::string> X11GetSelectionText(TX11Selection Selection);
std::optional<TBgraImage> X11GetSelectionImage(TX11Selection Selection);
// The target names the owner offers ("UTF8_STRING", "image/png", ...); empty when nobody owns
// the selection.
std::vector<std::string> X11SelectionFormats(TX11Selection Selection);
bool X11SelectionHasText(TX11Selection Selection);
bool X11SelectionHasImage(TX11Selection Selection);
