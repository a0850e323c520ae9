#pragma once
// Files under resources/ (forms, glyph bitmaps, sounds, the still picture), embedded in the
// program by the build and found by their path below resources/: "forms/ghost.form".

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Made by the generated source of the build: one per embedded file.
struct TResourceRegistration {
  TResourceRegistration(const char* Name, const unsigned char* Data, size_t Size);
};

// The bytes of an embedded file (path ASCII case-insensitive), or nothing.
std::optional<std::span<const uint8_t>> FindResourceData(std::string_view Name);
std::vector<std::string> ResourceNames();
// Registers bytes at run time under a name (tests use it for fixtures).
void RegisterResourceData(const std::string& Name, std::span<const uint8_t> Data);
