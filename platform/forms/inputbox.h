#pragma once
// InputBox and InputQuery: a small modal dialog asking for one line of text. It shows the prompt,
// an edit holding the starting value (all of it selected), and OK and Cancel buttons; Enter
// answers OK and Escape Cancel. It is centred on the screen and sized to its prompt.

#include <string>

// True when the user answered OK; Value then holds the edited text (it is left alone on Cancel).
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);
// The edited text on OK, Default on Cancel.
std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default);
