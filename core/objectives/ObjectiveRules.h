#pragma once

#include "core/util/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

// A rule an objective spawns around itself: between minimum and maximum of it.
struct GeneratesEntry {
    std::string rule;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    bool operator==(const GeneratesEntry&) const = default;
};

// What an objective made from a map feature is: its priority, the object kinds it may
// be (one drawn at random) and the objectives it spawns.
struct ObjectiveRule {
    std::string Type;
    std::int32_t Priority = 10;
    std::vector<std::int32_t> Ids;
    std::vector<GeneratesEntry> Generates;
};

// The objective rules of a view: the defaults, or those of an ".obr" file.
class ObjectiveRuleSet {
public:
    // The default rules: Label-2, Label-0, Label-1, Factory and Airport, base id 4.
    ObjectiveRuleSet();

    // Rules files are small texts; anything larger is refused unread.
    static constexpr std::size_t kMaxFileBytes = 16 << 20;

    // Replaces the rules by those of the file at path; the name shown becomes the
    // file's name and m_path the file. BaseId and IgnoreNoNames keep their values unless the file sets
    // them. When the file cannot be opened or read (or is larger than kMaxFileBytes)
    // nothing changes and the status says why. A file that is read but holds no rule
    // (no "Type" line) still replaces the rules: the status is ok and m_objectiveRules
    // is empty, which the caller can tell the user.
    Status LoadObjectiveRules(const std::string& path);
    // Applies the lines of an ".obr" text, appending its rules. Like a C string, a
    // line stops at its first NUL byte.
    void Parse(std::string_view text);

    // The first rule of that Type, case ignored, or null.
    const ObjectiveRule* FindRule(std::string_view name) const;

    std::vector<ObjectiveRule> m_objectiveRules;
    std::int32_t m_baseId = 4;
    std::int32_t m_ignoreNoNames = 0;
    std::string m_objRulesName = "Default";
    std::string m_path;  // the file the rules were loaded from; empty: the defaults
};

// An entry as a "Generates" line writes it after the key: "Factory 1-2", or "Factory 3"
// when minimum and maximum agree.
std::string FormatGenerates(const GeneratesEntry& entry);

// The rules as an ".obr" text (lines end in CR LF) that Parse reads back to the same
// rules, BaseId and IgnoreNoNames: so for every set Parse can make. Rule names it
// cannot make (empty, starting with a blank, holding a line end or a NUL) do not
// survive the trip, nor "Generates" names holding a blank.
std::string FormatObjectiveRules(const ObjectiveRuleSet& rules);

}  // namespace gw
