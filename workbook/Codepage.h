#pragma once

// Character conversion between the program's UTF-8 texts and the 8-bit and UTF-16 texts
// inside workbooks. Only Windows-1252 is mapped; other 8-bit code pages are read as 1252,
// which agrees with them for ASCII.

#include <cstdint>
#include <string>
#include <string_view>

namespace tv::codepage {

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, uint32_t cp);

// Appends the UTF-8 form of Windows-1252 bytes.
void Append1252(std::string& out, const uint8_t* p, size_t n);
// Appends the UTF-8 form of Latin-1 bytes (the "compressed" strings of newer workbooks).
void AppendLatin1(std::string& out, const uint8_t* p, size_t n);
// Appends the UTF-8 form of n little-endian UTF-16 code units; broken surrogates become U+FFFD.
void AppendUtf16(std::string& out, const uint8_t* p, size_t n);

// Windows-1252 bytes of a UTF-8 text; characters outside the code page become '?'.
// Malformed UTF-8 is taken byte by byte as Latin-1.
std::string Utf8To1252(std::string_view utf8);

} // namespace tv::codepage
