#pragma once
// Command lines in the other system's form, as the registry's Run values and the shell's
// parameters carry them: blanks separate the arguments, double quotes group blanks into one, and
// backslashes are literal except before a quote. The program name at the start of a whole
// command line follows a simpler rule of its own (a quoted name ends at the next quote, without
// escapes). Nothing here runs a shell or expands anything: these only cut text into arguments
// and join arguments into text.

#include <string>
#include <string_view>
#include <vector>

// The arguments of a command tail: 2n backslashes before a quote give n backslashes and the quote
// opens or closes a group; 2n+1 give n backslashes and a literal quote; "" inside a group is a
// literal quote; backslashes elsewhere are literal.
std::vector<std::string> SplitCommandArguments(std::string_view Text);
// A whole command line: the program name, then the arguments of the rest.
std::vector<std::string> SplitCommandLine(std::string_view Text);

// One argument as SplitCommandArguments reads it back: as it is when it needs no quotes (unless
// Force), else quoted with the backslashes before quotes doubled.
std::string QuoteCommandArgument(const std::string& Argument, bool Force = false);
// Program and arguments as one command line; the program is always quoted.
std::string JoinCommandLine(const std::vector<std::string>& Arguments);
