#pragma once
// UTF-8 helpers and the fixed simple case map. Text is UTF-8 everywhere; where the system counts
// or steps characters it counts code points. Upper- and lower-casing use one built-in one-to-one
// map (Latin-1, Latin Extended-A, Greek, Cyrillic, Armenian and the fullwidth Latin letters), so a
// result never depends on the machine's locale. Characters outside the map are left unchanged.

#include <cstddef>
#include <string>
#include <string_view>

// The replacement character stands for every byte sequence that is not valid UTF-8.
inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// Decodes the code point at byte offset Index and advances Index past it. A malformed or
// truncated sequence, an overlong form or a surrogate yields ReplacementCharacter and advances by
// one byte, so a walk over any bytes always ends. Index must be below Text.size().
char32_t Utf8Decode(std::string_view Text, size_t& Index);
// Appends the UTF-8 form of Code (a surrogate or a value above 0x10FFFF appends U+FFFD).
void Utf8Append(std::string& Text, char32_t Code);
std::string Utf8Encode(char32_t Code);
std::u32string Utf8ToUtf32(std::string_view Text);
std::string Utf32ToUtf8(std::u32string_view Text);

// The number of code points (a malformed byte counts as one).
size_t Utf8Length(std::string_view Text);
// The byte length of the sequence that starts with Lead (1 for a stray continuation byte).
size_t Utf8SequenceLength(unsigned char Lead);
// The byte offset of the next / previous code point boundary (clamped to 0 and Text.size()).
size_t Utf8Next(std::string_view Text, size_t Index);
size_t Utf8Prior(std::string_view Text, size_t Index);
// The byte offset of the code point with the given 0-based index, or Text.size() past the end.
size_t Utf8OffsetOf(std::string_view Text, size_t CodePointIndex);
// Whether Text is well-formed UTF-8.
bool Utf8IsValid(std::string_view Text);
// The longest prefix of Text of at most MaxBytes bytes that does not split a code point.
std::string_view Utf8TruncateBytes(std::string_view Text, size_t MaxBytes);

char32_t UnicodeToUpper(char32_t Code);
char32_t UnicodeToLower(char32_t Code);
// Whether the case map has a lower (upper) counterpart for Code.
bool UnicodeIsUpper(char32_t Code);
bool UnicodeIsLower(char32_t Code);

std::string Utf8UpperCase(std::string_view Text);
std::string Utf8LowerCase(std::string_view Text);
