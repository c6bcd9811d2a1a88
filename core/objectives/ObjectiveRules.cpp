#include "core/objectives/ObjectiveRules.h"

#include "core/util/CNumbers.h"
#include "core/util/SmallFile.h"
#include "core/util/Text.h"

#include <algorithm>

namespace gw {
namespace {

std::string_view SkipLeading(std::string_view text, std::string_view characters) {
    text.remove_prefix(std::min(text.find_first_not_of(characters), text.size()));
    return text;
}

// "Generates NAME COUNT": the count is "%d-%d" or one number for both ends.
void AddGenerates(ObjectiveRule& rule, std::string_view value) {
    const std::size_t blank = std::min(value.find_first_of(" \t"), value.size());
    GeneratesEntry entry{std::string(value.substr(0, blank)), 0, 0};
    std::string_view count = SkipLeading(value.substr(blank), " \t\n\v\f\r");
    const std::size_t first = ScanCInt(count, entry.minimum);
    if (first == 0) return;
    entry.maximum = entry.minimum;
    count.remove_prefix(first);
    if (!count.empty() && count.front() == '-') ScanCInt(count.substr(1), entry.maximum);
    rule.Generates.push_back(std::move(entry));
}

// "Ids 1, 2 3": numbers separated by any run of blanks, commas and tabs; a text that
// is no number (an empty one before a leading comma, say) reads as 0.
void AddIds(ObjectiveRule& rule, std::string_view value) {
    while (!value.empty()) {
        const std::size_t end = std::min(value.find_first_of(" ,\t"), value.size());
        rule.Ids.push_back(ParseCInt(value.substr(0, end)));
        value = SkipLeading(value.substr(end), " ,\t");
    }
}

}  // namespace

ObjectiveRuleSet::ObjectiveRuleSet() {
    const std::vector<std::int32_t> labels = {1555, 1558, 1569, 1572, 1573, 1574, 1576, 1577, 1578, 1580,
                                              1584, 1585, 1586, 1587, 1588, 1590, 1591, 1592, 1593, 1594,
                                              1595, 1917, 1926, 1927, 1928, 1929, 1930, 1931, 1932};
    m_objectiveRules = {
        {"Label-2", 50, {231,  859,  1070, 1187, 1535, 1537, 1538, 1539, 1566, 1567, 1579, 1582, 1597,
                         1598, 1600, 1602, 1604, 1606, 1623, 1625, 1626, 1629, 1630, 1631, 1632, 1633,
                         1634, 1635, 1636, 1637, 1638, 1639, 1906, 1911, 1912, 1913, 1914, 1915},
         {{"Factory", 1, 2}}},
        {"Label-0", 20, labels, {}},
        {"Label-1", 20, labels, {}},
        {"Factory", 25, {218,  230,  234,  872,  1344, 1347, 1348, 1349, 1350, 1351, 1353, 1354, 1355, 1356,
                         1357, 1358, 1595, 1810, 1811, 1814, 1815, 1816, 1817, 1819, 1820, 1821, 1823, 1824,
                         1825, 1826, 1828, 1829, 1830, 1832, 1833, 1834, 1836, 1838, 1840, 1841, 1842, 1843,
                         1844, 1845, 1846, 1847, 1848, 1849, 1851, 1852, 1854, 1855, 1856, 1910, 245,  1412,
                         1479, 1728, 1729, 230,  1441, 1720, 1721, 1722, 1724, 1725, 1726, 1816, 1910},
         {}},
        {"Airport", 40, {1779}, {}},
    };
}

Status ObjectiveRuleSet::LoadObjectiveRules(const std::string& path) {
    std::string text;
    if (Status s = ReadSmallFile(path, kMaxFileBytes, "an objective rules file", text); !s.ok()) return s;
    m_objectiveRules.clear();
    m_objRulesName = FileNameOf(path);
    m_path = path;
    Parse(text);
    return Status::Ok();
}

void ObjectiveRuleSet::Parse(std::string_view text) {
    ObjectiveRule current;  // settings before the first "Type" go into a rule never kept
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = line.substr(0, line.find('\0'));
        if (line.empty() || line.front() == '#') continue;

        const std::size_t blank = std::min(line.find_first_of(" \t"), line.size());
        const std::string_view key = line.substr(0, blank);
        const std::string_view value = SkipLeading(line.substr(blank), " \t\r\n");
        if (EqualsNoCase(key, "Type")) {
            if (!current.Type.empty()) m_objectiveRules.push_back(current);
            current = ObjectiveRule{std::string(value), 10, {}, {}};
        } else if (EqualsNoCase(key, "Priority")) {
            current.Priority = ParseCInt(value);
        } else if (EqualsNoCase(key, "BaseId")) {
            m_baseId = ParseCInt(value);
        } else if (EqualsNoCase(key, "IgnoreNoNames")) {
            m_ignoreNoNames = ParseCInt(value);
        } else if (EqualsNoCase(key, "Generates")) {
            AddGenerates(current, value);
        } else if (EqualsNoCase(key, "Ids")) {
            AddIds(current, value);
        }
    }
    if (!current.Type.empty()) m_objectiveRules.push_back(std::move(current));
}

const ObjectiveRule* ObjectiveRuleSet::FindRule(std::string_view name) const {
    const auto rule = std::find_if(m_objectiveRules.begin(), m_objectiveRules.end(),
                                   [&](const ObjectiveRule& r) { return EqualsNoCase(r.Type, name); });
    return rule == m_objectiveRules.end() ? nullptr : &*rule;
}


std::string FormatGenerates(const GeneratesEntry& entry) {
    std::string text = entry.rule;
    text.append(" ").append(std::to_string(entry.minimum));
    if (entry.maximum != entry.minimum) text.append("-").append(std::to_string(entry.maximum));
    return text;
}

std::string FormatObjectiveRules(const ObjectiveRuleSet& rules) {
    constexpr std::size_t kIdsPerLine = 16;
    std::string text = "# Objective rules\r\n";
    const auto line = [&](std::string_view key, const std::string& value) {
        text.append(key).append(" ").append(value).append("\r\n");
    };
    line("BaseId", std::to_string(rules.m_baseId));
    line("IgnoreNoNames", std::to_string(rules.m_ignoreNoNames));
    for (const ObjectiveRule& rule : rules.m_objectiveRules) {
        text.append("\r\n");
        line("Type", rule.Type);
        line("Priority", std::to_string(rule.Priority));
        for (std::size_t first = 0; first < rule.Ids.size(); first += kIdsPerLine) {
            std::string ids;
            for (std::size_t i = first; i < std::min(first + kIdsPerLine, rule.Ids.size()); ++i) {
                ids.append(i == first ? "" : ", ").append(std::to_string(rule.Ids[i]));
            }
            line("Ids", ids);
        }
        for (const GeneratesEntry& entry : rule.Generates) line("Generates", FormatGenerates(entry));
    }
    return text;
}

}  // namespace gw
