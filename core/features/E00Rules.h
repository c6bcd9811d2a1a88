#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

// What to do with one kind of E00 file: the coverage it applies to, the colour and
// class word of its features, whether its labels (points) or its arcs (lines) are
// taken, and where a label's name and type code stand in the file's INFO table.
struct E00Rule {
    std::string File;
    std::uint32_t Colour = 0;  // red in the low byte, then green, then blue
    std::string Keyword;
    std::string Info;
    std::string IndexField;
    std::string NameField;
    std::string TypeField;
    std::int32_t Label = 0;
    bool operator==(const E00Rule&) const = default;
};

using E00Rules = std::vector<E00Rule>;

// Where the rows of a rule table went when it was edited: for each row of the earlier
// table, its position in the edited one, or none when it was deleted.
using RuleRenumbering = std::vector<std::optional<std::int32_t>>;
// The renumbering of an edit whose row i came from earlier row origins[i] (none: an
// inserted row), for an earlier table of earlierCount rows. Origins out of range are
// ignored.
RuleRenumbering RenumberingFromOrigins(const std::vector<std::optional<std::int32_t>>& origins,
                                       std::size_t earlierCount);

// The renumbering that takes each earlier row to the first later row equal to it, or to
// none when no row is.
RuleRenumbering RenumberingByEquality(const E00Rules& earlier, const E00Rules& later);

// One section of the per-user settings, as the rules are stored there.
class ProfileSection {
public:
    virtual ~ProfileSection() = default;
    virtual std::optional<std::int32_t> ReadInt(const std::string& key) const = 0;
    virtual std::optional<std::string> ReadText(const std::string& key) const = 0;
    virtual void WriteInt(const std::string& key, std::int32_t value) = 0;
    virtual void WriteText(const std::string& key, const std::string& text) = 0;
};

// The name of the settings section that holds the rules.
constexpr const char* kE00RulesSection = "E00FileRules";

// RIVER, COAST, CITY, ROAD, AIRPORT, LABEL and RAIL.
E00Rules BuiltInE00Rules();

// Appends the stored rules ("Version" 2, "Count", "Rule0" ...; reading stops at the
// first missing or empty row) to rules, or the built-in ones when none was read. True
// when the rules came from the store.
bool LoadE00Rules(const ProfileSection& store, E00Rules& rules);
// Stores "Count", "Version" 2 and one "Rule%d" text per rule.
void SaveE00Rules(ProfileSection& store, const E00Rules& rules);

// A rule as stored: "File,colour in hex,Keyword,Info,IndexField,NameField,TypeField,Label".
std::string FormatE00Rule(const E00Rule& rule);
// The reverse. Fields beyond the last comma are empty; a colour that is no hexadecimal
// number is 0. Commas inside a field shift the later fields, as they were stored.
E00Rule ParseE00Rule(std::string_view text);

// The rules' Files (with their Keywords when asked) for a message: "dnnet.e00, ponet.e00",
// "dnnet.e00 (RIVER), ..."; "none" when there are no rules.
std::string KnownRules(const E00Rules& rules, bool keywords);

// The position of the first rule whose File is coverage (case aside), or none.
std::optional<std::int32_t> RuleForCoverage(const E00Rules& rules, std::string_view coverage);

// The rule at position index, or null when the table has no such row (it was
// shortened after features were loaded with that index).
const E00Rule* RuleAt(const E00Rules& rules, std::int32_t index);
std::optional<std::string> GetRuleKeyword(const E00Rules& rules, std::int32_t index);
bool IsLabelRule(const E00Rules& rules, std::int32_t index);

// An in-memory settings section.
class MemoryProfileSection : public ProfileSection {
public:
    std::optional<std::int32_t> ReadInt(const std::string& key) const override;
    std::optional<std::string> ReadText(const std::string& key) const override;
    void WriteInt(const std::string& key, std::int32_t value) override { m_values[key] = std::to_string(value); }
    void WriteText(const std::string& key, const std::string& text) override { m_values[key] = text; }

private:
    std::map<std::string, std::string> m_values;
};

}  // namespace gw
