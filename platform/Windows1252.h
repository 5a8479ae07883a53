#pragma once
// Text encodings of configuration files: UTF-8 checks and the Windows-1252 code page, which
// files written by the Windows program use for umlauts and the like.

#include <string>
#include <string_view>

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Every byte to its character; the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the control characters of the same number, as Windows reads them, so that
// they come back as the same byte.
std::string Windows1252ToUtf8(std::string_view bytes);

// Back to Windows-1252; a character the code page cannot hold, and every malformed UTF-8
// byte, becomes '?'.
std::string Utf8ToWindows1252(std::string_view text);

// The text with every malformed UTF-8 byte replaced by '?'.
std::string RepairUtf8(std::string_view bytes);
