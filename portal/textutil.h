#pragma once
#include <cstdint>
#include <string>

// Length of the well-formed UTF-8 sequence at pos (1 to 4), or 0 when the
// bytes there are not one (overlong forms and surrogates count as invalid).
size_t utf8SequenceLength(const std::string &text, size_t pos, uint32_t *codePoint = nullptr);
void appendUtf8(std::string &out, uint32_t codePoint);

// Text for HTML element content and quoted attribute values. Invalid UTF-8
// and control characters other than tab and line breaks become U+FFFD.
std::string htmlEscape(const std::string &text);

// Percent-decoding as done for query strings; malformed escapes stay literal.
std::string percentDecode(const std::string &text, bool plusIsSpace);

// Local wall-clock time of a Unix time, e.g. formatLocalTime(t, "%m-%d %H:%M").
std::string formatLocalTime(int64_t unixSeconds, const char *format);

// Strict decimal integer (optional leading '-'); false on anything else or overflow.
bool parseInt(const std::string &text, long long minimum, long long maximum, long long &out);
