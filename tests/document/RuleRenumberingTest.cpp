#include "core/document/GridwrightDoc.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

// Features of rules 0, 1 and 2 (and one whose rule has no row) through edits of a
// three-row table, given as the earlier row each edited row came from.
TEST(RuleRenumberingTest, FeaturesFollowTheirRulesAndLoseDeletedOnes) {
    using Origins = std::vector<std::optional<std::int32_t>>;
    const struct {
        const char* edit;
        Origins origins;
        std::vector<std::int32_t> rulesAfter;  // the features' rules, in load order
    } cases[] = {
        {"unchanged", {0, 1, 2}, {0, 1, 2}},
        {"a row inserted first", {std::nullopt, 0, 1, 2}, {1, 2, 3}},
        {"the middle row deleted", {0, 2}, {0, 1}},
        {"rows swapped and one appended", {1, 0, 2, std::nullopt}, {1, 0, 2}},
        {"all replaced", {std::nullopt, std::nullopt, std::nullopt}, {}},
    };
    for (const auto& c : cases) {
        CGridwrightDoc doc;
        for (const std::int32_t rule : {0, 1, 2, 7}) doc.AddFeature({rule, {}, "", 0});
        const std::size_t dropped = doc.RenumberRules(RenumberingFromOrigins(c.origins, 3));
        std::vector<std::int32_t> rules;
        for (const Feature& feature : doc.features()) rules.push_back(feature.ruleIndex);
        EXPECT_EQ(rules, c.rulesAfter) << c.edit;
        EXPECT_EQ(dropped, 4 - c.rulesAfter.size()) << c.edit;
    }
}

}  // namespace
}  // namespace gw
