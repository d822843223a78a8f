#pragma once
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Just enough JSON for the portal's data files and replies. Objects keep their
// insertion order so that replies come out with keys in the documented order.
class JsonValue
{
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Array = std::vector<JsonValue>;
    using Member = std::pair<std::string, JsonValue>;
    using Object = std::vector<Member>;

    JsonValue() = default;
    JsonValue(bool value);
    JsonValue(const char *value);
    JsonValue(std::string value);
    template <typename T, typename = std::enable_if_t<std::is_arithmetic_v<T> && !std::is_same_v<T, bool>>>
    JsonValue(T value)
        : m_type(Type::Number)
        , m_number(static_cast<double>(value))
    {
    }

    static JsonValue array();
    static JsonValue object();

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Bool; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isArray() const { return m_type == Type::Array; }
    bool isObject() const { return m_type == Type::Object; }

    bool toBool(bool fallback = false) const;
    double toNumber(double fallback = 0) const;
    // Fails (returns false) for non-numbers, fractions and values beyond 2^53.
    bool toInt64(int64_t &out) const;
    // Empty for anything but a string.
    const std::string &toString() const;

    // Empty for anything but an array / object.
    const Array &items() const;
    const Object &members() const;
    // A null value when the key is missing or this is not an object.
    const JsonValue &operator[](const std::string &key) const;
    bool contains(const std::string &key) const;

    JsonValue &append(JsonValue value);                         // turns a null into an array
    JsonValue &set(const std::string &key, JsonValue value);    // turns a null into an object

    std::string dump() const;

    // Strict RFC 8259 parse of a whole document; nesting is limited so that
    // hostile input cannot exhaust the stack.
    static bool parse(const std::string &text, JsonValue &out, std::string *error = nullptr);

private:
    void dumpTo(std::string &out) const;

    Type m_type = Type::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    Array m_array;
    Object m_object;
};

// A JSON string literal. Besides the mandatory escapes it escapes <, > and &
// (so the text is safe inside an HTML <script> element) and U+2028/U+2029,
// and replaces invalid UTF-8 with U+FFFD so the output is always valid JSON.
std::string jsonQuote(const std::string &text);
