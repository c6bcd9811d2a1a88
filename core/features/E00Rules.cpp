#include "core/features/E00Rules.h"

#include "core/util/CNumbers.h"
#include "core/util/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace gw {

E00Rules BuiltInE00Rules() {
    return {
        {"dnnet.e00", 0x906800, "RIVER", "", "", "", "", 0},
        {"ponet.e00", 0xb400, "COAST", "", "", "", "", 0},
        {"pppoly.e00", 0x50d0, "CITY", "", "", "", "", 0},
        {"rdline.e00", 0x106f, "ROAD", "", "", "", "", 0},
        {"aepoint.e00", 0xffff, "AIRPORT", "aepoint.pat", "AEPOINT#", "AEPTNAME", "AEPTTYPE", 1},
        {"pppoint.e00", 0x800080, "LABEL", "pppoint.pat", "PPPOINT#", "PPPTNAME", "PPPTTYPE", 1},
        {"rrline.e00", 0x10000, "RAIL", "", "", "", "", 0},
    };
}

bool LoadE00Rules(const ProfileSection& store, E00Rules& rules) {
    const std::int32_t count = store.ReadInt("Count").value_or(0);
    if (store.ReadInt("Version").value_or(0) == 2 && count > 0) {
        for (std::int32_t i = 0; i < count; ++i) {
            const std::string text = store.ReadText("Rule" + std::to_string(i)).value_or("");
            if (text.empty()) break;
            rules.push_back(ParseE00Rule(text));
        }
    }
    if (!rules.empty()) return true;
    rules = BuiltInE00Rules();
    return false;
}

void SaveE00Rules(ProfileSection& store, const E00Rules& rules) {
    store.WriteInt("Count", static_cast<std::int32_t>(rules.size()));
    store.WriteInt("Version", 2);
    for (std::size_t i = 0; i < rules.size(); ++i) store.WriteText("Rule" + std::to_string(i), FormatE00Rule(rules[i]));
}

std::string FormatE00Rule(const E00Rule& r) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%x", static_cast<unsigned>(r.Colour));
    return r.File + "," + colour + "," + r.Keyword + "," + r.Info + "," + r.IndexField + "," + r.NameField + "," +
           r.TypeField + "," + std::to_string(r.Label);
}

E00Rule ParseE00Rule(std::string_view text) {
    std::string fields[8];
    for (int f = 0; f < 7; ++f) {
        const std::size_t comma = text.find(',');
        fields[f] = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    fields[7] = text;
    E00Rule rule;
    rule.File = fields[0];
    // "%x": white space, an optional sign and "0x", hexadecimal digits; 0 when none.
    rule.Colour = static_cast<std::uint32_t>(std::strtoul(fields[1].c_str(), nullptr, 16));
    rule.Keyword = fields[2];
    rule.Info = fields[3];
    rule.IndexField = fields[4];
    rule.NameField = fields[5];
    rule.TypeField = fields[6];
    rule.Label = ParseCInt(fields[7]);
    return rule;
}

const E00Rule* RuleAt(const E00Rules& rules, std::int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < rules.size() ? &rules[index] : nullptr;
}

std::optional<std::string> GetRuleKeyword(const E00Rules& rules, std::int32_t index) {
    const E00Rule* rule = RuleAt(rules, index);
    return rule ? std::optional(rule->Keyword) : std::nullopt;
}

bool IsLabelRule(const E00Rules& rules, std::int32_t index) {
    const E00Rule* rule = RuleAt(rules, index);
    return rule && rule->Label != 0;
}

std::optional<std::int32_t> MemoryProfileSection::ReadInt(const std::string& key) const {
    const auto value = m_values.find(key);
    if (value == m_values.end()) return std::nullopt;
    return ParseCInt(value->second);
}

std::optional<std::string> MemoryProfileSection::ReadText(const std::string& key) const {
    const auto value = m_values.find(key);
    return value == m_values.end() ? std::nullopt : std::optional(value->second);
}

RuleRenumbering RenumberingFromOrigins(const std::vector<std::optional<std::int32_t>>& origins,
                                       std::size_t earlierCount) {
    RuleRenumbering renumbering(earlierCount);
    for (std::size_t row = 0; row < origins.size(); ++row) {
        const std::optional<std::int32_t> origin = origins[row];
        if (origin && *origin >= 0 && static_cast<std::size_t>(*origin) < earlierCount) {
            renumbering[static_cast<std::size_t>(*origin)] = static_cast<std::int32_t>(row);
        }
    }
    return renumbering;
}

RuleRenumbering RenumberingByEquality(const E00Rules& earlier, const E00Rules& later) {
    RuleRenumbering renumbering;
    for (const E00Rule& rule : earlier) {
        const auto equal = std::find(later.begin(), later.end(), rule);
        renumbering.push_back(equal == later.end() ? std::nullopt
                                                   : std::optional<std::int32_t>(equal - later.begin()));
    }
    return renumbering;
}

std::optional<std::int32_t> RuleForCoverage(const E00Rules& rules, std::string_view coverage) {
    const auto rule =
        std::find_if(rules.begin(), rules.end(), [&](const E00Rule& r) { return EqualsNoCase(r.File, coverage); });
    if (rule == rules.end()) return std::nullopt;
    return static_cast<std::int32_t>(rule - rules.begin());
}

std::string KnownRules(const E00Rules& rules, bool keywords) {
    std::string known;
    for (const E00Rule& rule : rules) {
        known += (known.empty() ? "" : ", ") + rule.File + (keywords ? " (" + rule.Keyword + ")" : "");
    }
    return known.empty() ? "none" : known;
}

}  // namespace gw
