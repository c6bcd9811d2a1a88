#include "cli/Fields.h"

#include "core/util/CNumbers.h"

#include <cmath>
#include <cstdio>

namespace gw::cli {
namespace {

std::string Scalar(const FieldValue& field, bool json) {
    return std::visit(
        [&](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return json ? JsonString(v) : v;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return std::to_string(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return json && !std::isfinite(v) ? "null" : FormatShortest(v);
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "true" : "false";
            } else if constexpr (std::is_same_v<T, Fields>) {
                return ToJson(v);
            } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
                std::string list = "[";
                for (std::size_t i = 0; i < v.size(); ++i) list += (i ? ", " : "") + JsonString(v[i]);
                return list + "]";
            } else {
                std::string list = "[";
                for (std::size_t i = 0; i < v.size(); ++i) list += (i ? ", " : "") + ToJson(v[i]);
                return list + "]";
            }
        },
        field.value);
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte > 0x7e) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string ToJson(const Fields& fields) {
    std::string out = "{";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out += (i ? ", " : "") + JsonString(fields[i].first) + ": " + Scalar(fields[i].second, true);
    }
    return out + "}";
}

std::string ToText(const Fields& fields, int indent) {
    const std::string pad(static_cast<std::size_t>(indent), ' ');
    std::string out;
    for (const auto& [name, field] : fields) {
        if (const auto* nested = std::get_if<Fields>(&field.value)) {
            out += pad + name + ":\n" + ToText(*nested, indent + 2);
        } else if (const auto* list = std::get_if<std::vector<Fields>>(&field.value)) {
            for (const Fields& entry : *list) out += pad + name + ":\n" + ToText(entry, indent + 2);
        } else if (const auto* texts = std::get_if<std::vector<std::string>>(&field.value)) {
            for (const std::string& text : *texts) out += pad + name + ": " + text + "\n";
        } else {
            out += pad + name + ": " + Scalar(field, false) + "\n";
        }
    }
    return out;
}

}  // namespace gw::cli
