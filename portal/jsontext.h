#pragma once
#include <nlohmann/json.hpp>
#include <string>

// Replies keep their keys in the order they were set, as documented.
using Json = nlohmann::ordered_json;

// Compact JSON text. Invalid UTF-8 in a string becomes U+FFFD rather than
// failing the reply: some strings echo request values.
std::string dumpJson(const Json &value);

// dumpJson for an inline <script> element: '<', '>' and '&' are escaped so
// the text can neither end the element nor open a comment, and U+2028/U+2029
// so older JavaScript parsers do not see a line break inside a string.
std::string dumpJsonForScript(const Json &value);
