#include "json.h"
#include "textutil.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const int kMaxDepth = 64;

class Parser
{
public:
    explicit Parser(const std::string &text)
        : m_text(text)
    {
    }

    bool parseDocument(JsonValue &out)
    {
        skipSpace();
        if (!parseValue(out, 0))
            return false;
        skipSpace();
        if (m_pos != m_text.size())
            return fail("trailing characters");
        return true;
    }

    std::string error() const { return m_error + " at offset " + std::to_string(m_pos); }

private:
    bool fail(const char *message)
    {
        if (m_error.empty())
            m_error = message;
        return false;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }

    void skipSpace()
    {
        while (!atEnd()) {
            const char c = m_text[m_pos];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                break;
            ++m_pos;
        }
    }

    bool expectWord(const char *word)
    {
        for (const char *p = word; *p; ++p, ++m_pos) {
            if (peek() != *p)
                return fail("invalid literal");
        }
        return true;
    }

    bool parseValue(JsonValue &out, int depth)
    {
        if (depth > kMaxDepth)
            return fail("nesting too deep");
        switch (peek()) {
        case '{':
            return parseObject(out, depth);
        case '[':
            return parseArray(out, depth);
        case '"': {
            std::string s;
            if (!parseString(s))
                return false;
            out = JsonValue(std::move(s));
            return true;
        }
        case 't':
            out = JsonValue(true);
            return expectWord("true");
        case 'f':
            out = JsonValue(false);
            return expectWord("false");
        case 'n':
            out = JsonValue();
            return expectWord("null");
        default:
            return parseNumber(out);
        }
    }

    bool parseObject(JsonValue &out, int depth)
    {
        ++m_pos; // '{'
        out = JsonValue::object();
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                return fail("expected member name");
            std::string key;
            if (!parseString(key))
                return false;
            skipSpace();
            if (peek() != ':')
                return fail("expected ':'");
            ++m_pos;
            skipSpace();
            JsonValue value;
            if (!parseValue(value, depth + 1))
                return false;
            out.set(key, std::move(value));
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == '}') {
                ++m_pos;
                return true;
            }
            return fail("expected ',' or '}'");
        }
    }

    bool parseArray(JsonValue &out, int depth)
    {
        ++m_pos; // '['
        out = JsonValue::array();
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            JsonValue value;
            if (!parseValue(value, depth + 1))
                return false;
            out.append(std::move(value));
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == ']') {
                ++m_pos;
                return true;
            }
            return fail("expected ',' or ']'");
        }
    }

    bool parseHex4(uint32_t &out)
    {
        if (m_pos + 4 > m_text.size())
            return fail("truncated \\u escape");
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            out <<= 4;
            if (c >= '0' && c <= '9')
                out |= uint32_t(c - '0');
            else if (c >= 'a' && c <= 'f')
                out |= uint32_t(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                out |= uint32_t(c - 'A' + 10);
            else
                return fail("invalid \\u escape");
        }
        return true;
    }

    bool parseString(std::string &out)
    {
        ++m_pos; // opening quote
        for (;;) {
            if (atEnd())
                return fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20)
                return fail("control character in string");
            if (c != '\\') {
                uint32_t codePoint = 0;
                const size_t length = utf8SequenceLength(m_text, m_pos, &codePoint);
                if (length == 0)
                    return fail("invalid UTF-8");
                out.append(m_text, m_pos, length);
                m_pos += length;
                continue;
            }
            ++m_pos;
            const char e = peek();
            ++m_pos;
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                uint32_t unit = 0;
                if (!parseHex4(unit))
                    return false;
                if (unit >= 0xD800 && unit <= 0xDBFF && m_pos + 1 < m_text.size() && m_text[m_pos] == '\\'
                    && m_text[m_pos + 1] == 'u') {
                    const size_t save = m_pos;
                    m_pos += 2;
                    uint32_t low = 0;
                    if (!parseHex4(low))
                        return false;
                    if (low >= 0xDC00 && low <= 0xDFFF)
                        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    else
                        m_pos = save; // lone high surrogate; the next escape stands alone
                }
                if (unit >= 0xD800 && unit <= 0xDFFF)
                    unit = 0xFFFD;
                appendUtf8(out, unit);
                break;
            }
            default:
                return fail("invalid escape");
            }
        }
    }

    bool parseNumber(JsonValue &out)
    {
        const size_t start = m_pos;
        auto digits = [this] {
            const size_t from = m_pos;
            while (peek() >= '0' && peek() <= '9')
                ++m_pos;
            return m_pos > from;
        };
        if (peek() == '-')
            ++m_pos;
        if (peek() == '0')
            ++m_pos;
        else if (!digits())
            return fail("invalid value");
        if (peek() == '.') {
            ++m_pos;
            if (!digits())
                return fail("invalid number");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_pos;
            if (peek() == '+' || peek() == '-')
                ++m_pos;
            if (!digits())
                return fail("invalid number");
        }
        // The portal never calls setlocale, so strtod sees '.' as the decimal point.
        const std::string literal = m_text.substr(start, m_pos - start);
        const double value = std::strtod(literal.c_str(), nullptr);
        if (!std::isfinite(value))
            return fail("number out of range");
        out = JsonValue(value);
        return true;
    }

    const std::string &m_text;
    size_t m_pos = 0;
    std::string m_error;
};

const JsonValue kNull;
const std::string kEmptyString;
const JsonValue::Array kEmptyArray;
const JsonValue::Object kEmptyObject;

} // namespace

JsonValue::JsonValue(bool value)
    : m_type(Type::Bool)
    , m_bool(value)
{
}

JsonValue::JsonValue(const char *value)
    : m_type(Type::String)
    , m_string(value ? value : "")
{
}

JsonValue::JsonValue(std::string value)
    : m_type(Type::String)
    , m_string(std::move(value))
{
}

JsonValue JsonValue::array()
{
    JsonValue v;
    v.m_type = Type::Array;
    return v;
}

JsonValue JsonValue::object()
{
    JsonValue v;
    v.m_type = Type::Object;
    return v;
}

bool JsonValue::toBool(bool fallback) const
{
    return m_type == Type::Bool ? m_bool : fallback;
}

double JsonValue::toNumber(double fallback) const
{
    return m_type == Type::Number ? m_number : fallback;
}

bool JsonValue::toInt64(int64_t &out) const
{
    const double kLimit = 9007199254740992.0; // 2^53: beyond it doubles skip integers
    if (m_type != Type::Number || std::trunc(m_number) != m_number || std::fabs(m_number) > kLimit)
        return false;
    out = static_cast<int64_t>(m_number);
    return true;
}

const std::string &JsonValue::toString() const
{
    return m_type == Type::String ? m_string : kEmptyString;
}

const JsonValue::Array &JsonValue::items() const
{
    return m_type == Type::Array ? m_array : kEmptyArray;
}

const JsonValue::Object &JsonValue::members() const
{
    return m_type == Type::Object ? m_object : kEmptyObject;
}

const JsonValue &JsonValue::operator[](const std::string &key) const
{
    for (const Member &member : members()) {
        if (member.first == key)
            return member.second;
    }
    return kNull;
}

bool JsonValue::contains(const std::string &key) const
{
    for (const Member &member : members()) {
        if (member.first == key)
            return true;
    }
    return false;
}

JsonValue &JsonValue::append(JsonValue value)
{
    if (m_type == Type::Null)
        m_type = Type::Array;
    if (m_type == Type::Array)
        m_array.push_back(std::move(value));
    return *this;
}

JsonValue &JsonValue::set(const std::string &key, JsonValue value)
{
    if (m_type == Type::Null)
        m_type = Type::Object;
    if (m_type != Type::Object)
        return *this;
    for (Member &member : m_object) {
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    }
    m_object.emplace_back(key, std::move(value));
    return *this;
}

std::string JsonValue::dump() const
{
    std::string out;
    dumpTo(out);
    return out;
}

void JsonValue::dumpTo(std::string &out) const
{
    switch (m_type) {
    case Type::Null:
        out += "null";
        break;
    case Type::Bool:
        out += m_bool ? "true" : "false";
        break;
    case Type::Number: {
        int64_t whole = 0;
        if (toInt64(whole)) {
            out += std::to_string(whole);
        } else {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", m_number);
            out += buffer;
        }
        break;
    }
    case Type::String:
        out += jsonQuote(m_string);
        break;
    case Type::Array: {
        out += '[';
        bool first = true;
        for (const JsonValue &item : m_array) {
            if (!first)
                out += ',';
            first = false;
            item.dumpTo(out);
        }
        out += ']';
        break;
    }
    case Type::Object: {
        out += '{';
        bool first = true;
        for (const Member &member : m_object) {
            if (!first)
                out += ',';
            first = false;
            out += jsonQuote(member.first);
            out += ':';
            member.second.dumpTo(out);
        }
        out += '}';
        break;
    }
    }
}

bool JsonValue::parse(const std::string &text, JsonValue &out, std::string *error)
{
    Parser parser(text);
    JsonValue result;
    if (!parser.parseDocument(result)) {
        if (error)
            *error = parser.error();
        return false;
    }
    out = std::move(result);
    return true;
}

std::string jsonQuote(const std::string &text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20 || c == '<' || c == '>' || c == '&') {
                    out += "\\u00";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xF];
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        uint32_t codePoint = 0;
        const size_t length = utf8SequenceLength(text, i, &codePoint);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
        } else if (codePoint == 0x2028 || codePoint == 0x2029) {
            // Valid JSON, but a line break to older JavaScript parsers.
            out += codePoint == 0x2028 ? "\\u2028" : "\\u2029";
            i += length;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    out += '"';
    return out;
}
