#include "textutil.h"
#include "jsontext.h"
#include <cerrno>
#include <cstdlib>
#include <ctime>

std::string htmlEscape(const std::string &text)
{
    // The JSON library already replaces invalid UTF-8 with U+FFFD; a string
    // taken through it and back is the text with only that repair.
    const std::string valid = Json::parse(dumpJson(text)).get<std::string>();
    std::string out;
    out.reserve(valid.size());
    for (const unsigned char c : valid) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '\t':
        case '\n':
        case '\r': out += static_cast<char>(c); break;
        default:
            if (c < 0x20 || c == 0x7F)
                out += "\xEF\xBF\xBD";
            else
                out += static_cast<char>(c);
        }
    }
    return out;
}

std::string percentDecode(const std::string &text, bool plusIsSpace)
{
    auto hexValue = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (c == '+' && plusIsSpace) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string percentEncode(const std::string &text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const unsigned char c : text) {
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string formatLocalTime(int64_t unixSeconds, const char *format)
{
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::string();
    char buffer[64];
    const size_t length = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, length);
}

bool parseInt(const std::string &text, long long minimum, long long maximum, long long &out)
{
    if (text.empty() || text.size() > 20)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-' && text.size() > 1))
            return false;
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < minimum || value > maximum)
        return false;
    out = value;
    return true;
}
