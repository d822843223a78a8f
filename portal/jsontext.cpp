#include "jsontext.h"

std::string dumpJson(const Json &value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string dumpJsonForScript(const Json &value)
{
    // Outside strings JSON text never holds these characters, so escaping
    // them throughout keeps the text valid and its meaning the same.
    const std::string text = dumpJson(value);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') {
            out += "\\u003c";
        } else if (c == '>') {
            out += "\\u003e";
        } else if (c == '&') {
            out += "\\u0026";
        } else if (c == '\xE2' && (text.compare(i + 1, 2, "\x80\xA8") == 0 || text.compare(i + 1, 2, "\x80\xA9") == 0)) {
            out += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}
