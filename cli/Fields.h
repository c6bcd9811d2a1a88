#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace gw::cli {

// A value a command reports: a text, a whole number, a real number or a nested list of
// fields. Reals print as the shortest text that reads back the same; a real that is
// not finite is "null" in JSON.
struct FieldValue;
using Fields = std::vector<std::pair<std::string, FieldValue>>;
struct FieldValue {
    std::variant<std::string, std::int64_t, double, bool, Fields, std::vector<Fields>, std::vector<std::string>> value;

    FieldValue(std::string text) : value(std::move(text)) {}
    FieldValue(const char* text) : value(std::string(text)) {}
    FieldValue(double number) : value(number) {}
    FieldValue(bool flag) : value(flag) {}
    FieldValue(Fields fields) : value(std::move(fields)) {}
    FieldValue(std::vector<Fields> list) : value(std::move(list)) {}
    FieldValue(std::vector<std::string> texts) : value(std::move(texts)) {}
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
    FieldValue(Integer number) : value(static_cast<std::int64_t>(number)) {}
};

// A JSON string; bytes above 127 are taken as Latin-1, so the output is valid UTF-8.
std::string JsonString(std::string_view text);

// The fields as one JSON object.
std::string ToJson(const Fields& fields);

// The fields as "name: value" lines; nested fields are indented under their name, a
// list of them or of texts repeats the name for each entry.
std::string ToText(const Fields& fields, int indent = 0);

}  // namespace gw::cli
