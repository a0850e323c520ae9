#include "tests/sourcepath.h"

// The only test file that knows where the tree is checked out: every other one compiles the same
// in any clone, so a compiler cache shared by two clones serves both.
std::string SourcePath(const std::string& Relative) { return std::string(KORCAM_SOURCE_DIR) + "/" + Relative; }
