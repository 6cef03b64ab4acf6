#pragma once

#include <string>

// The profile file's text is UTF-8, the narrow encoding of this platform, so
// these conversions keep the bytes and only check them: text that is not
// valid UTF-8 is a failed conversion, which logs an error and gives an empty
// result.
std::string UTF16ToANSI(const std::string& text);
std::string ANSIToUTF16(const std::string& text);
