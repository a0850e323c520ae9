#pragma once
// A self-check of every registered class, for each library's tests: each class that can be made
// without context reads its declared defaults back, a fresh instance writes no property that
// equals its default, and no class declares a property or method name twice.

#include <string>
#include <vector>

// One line per problem found; empty when every registered class is consistent.
std::vector<std::string> CheckRegisteredClasses();
