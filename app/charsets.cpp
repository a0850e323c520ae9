#include "app/charsets.h"

#include <string_view>

namespace {

struct TCharsetName {
  std::string_view Text;
  uint8_t Charset;
};

constexpr TCharsetName Charsets[] = {
    {"Arabic", 178},           {"Chinese Simplified", 134}, {"Chinese Traditional", 136}, {"Cyrillic", 204},
    {"Greek", 161},            {"Hebrew", 177},             {"Japanese (shift-JIS)", 128}, {"Korean (Johab)", 130},
    {"Korean (Wansung)", 129}, {"Macintosh", 77},           {"Thai", 222},                 {"Turkish", 162},
    {"Vietnamese", 163},       {"Western", 0},
};

}  // namespace

uint8_t CharsetOfText(const std::string& Text) {
  for (const TCharsetName& Entry : Charsets)
    if (Entry.Text == Text) return Entry.Charset;
  return 0;
}
