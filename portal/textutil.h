#pragma once
#include <cstdint>
#include <string>

// Text for HTML element content and quoted attribute values. Invalid UTF-8
// and control characters other than tab and line breaks become U+FFFD.
std::string htmlEscape(const std::string &text);

// Percent-decoding as done for query strings; malformed escapes stay literal.
std::string percentDecode(const std::string &text, bool plusIsSpace);
// Percent-encodes every byte except RFC 3986's unreserved characters, which
// suits both URL query values and RFC 8187 header parameters.
std::string percentEncode(const std::string &text);

// Local wall-clock time of a Unix time, e.g. formatLocalTime(t, "%m-%d %H:%M").
std::string formatLocalTime(int64_t unixSeconds, const char *format);

// Strict decimal integer (optional leading '-'); false on anything else or overflow.
bool parseInt(const std::string &text, long long minimum, long long maximum, long long &out);
