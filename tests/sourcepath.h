#pragma once
// Where the tests find their fixture files: a path under the source tree of this build.

#include <string>

// The source tree joined with Relative ("tests/fixtures/forms/demo.form").
std::string SourcePath(const std::string& Relative);
