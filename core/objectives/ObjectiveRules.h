#pragma once

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

    // Replaces the rules by those of the file at path; the name shown becomes the
    // file's name. BaseId and IgnoreNoNames keep their values unless the file sets
    // them. A file that cannot be read reads as an empty one: false then.
    bool LoadObjectiveRules(const std::string& path);
    // Applies the lines of an ".obr" text, appending its rules.
    void Parse(std::string_view text);

    // The first rule of that Type, case ignored, or null.
    const ObjectiveRule* FindRule(std::string_view name) const;

    std::vector<ObjectiveRule> m_objectiveRules;
    std::int32_t m_baseId = 4;
    std::int32_t m_ignoreNoNames = 0;
    std::string m_objRulesName = "Default";
};

}  // namespace gw
