// Code page 1250, the text encoding of the Windows program, and UTF-8, the
// encoding of the source files and of the headless front end's output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The Unicode code point of a code page 1250 byte; 0xFFFD for the five
// bytes that the code page leaves undefined.
uint32_t cp1250_to_unicode(uint8_t byte);
// The code page 1250 byte of a code point, or -1 when it has none.
int cp1250_from_unicode(uint32_t codePoint);

std::string cp1250_to_utf8(const char* text, size_t length);
// What becomes of a byte that does not start a well-formed UTF-8 sequence:
// a "?", or the byte itself, for text that may already be in code page 1250
// (file names and folders the Windows system handed over).
enum InvalidUtf8 : uint8_t { INVALID_UTF8_AS_QUESTION_MARK, INVALID_UTF8_KEPT };
// Characters without a code page 1250 form become "?".
std::string utf8_to_cp1250(const char* text, size_t length,
                           InvalidUtf8 invalid = INVALID_UTF8_AS_QUESTION_MARK);
