// libFuzzer harness: any bytes as an objective rules file. The rules must read back the
// same from their formatted text, and writing objectives for each of them on a small
// theater must stop within the writer's limit.
#include "core/objectives/ObjectiveRules.h"
#include "core/generate/ObjectivesWriter.h"
#include "core/progress/ProgressState.h"
#include "core/util/OutputFile.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::int64_t kLimit = 2000;

void Check(bool holds) {
    if (!holds) std::abort();
}

bool SameRules(const gw::ObjectiveRuleSet& a, const gw::ObjectiveRuleSet& b) {
    if (a.m_baseId != b.m_baseId || a.m_ignoreNoNames != b.m_ignoreNoNames) return false;
    return std::equal(a.m_objectiveRules.begin(), a.m_objectiveRules.end(), b.m_objectiveRules.begin(),
                      b.m_objectiveRules.end(), [](const gw::ObjectiveRule& x, const gw::ObjectiveRule& y) {
                          return x.Type == y.Type && x.Priority == y.Priority && x.Ids == y.Ids &&
                                 x.Generates == y.Generates;
                      });
}

class QuietPrompts : public gw::UserPrompts {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string output = "/tmp/gridwright-obr-fuzz-" + std::to_string(::getpid()) + ".csv";
    gw::ObjectiveRuleSet rules;
    rules.m_objectiveRules.clear();
    rules.Parse(std::string_view(reinterpret_cast<const char*>(data), size));

    gw::ObjectiveRuleSet back;
    back.m_objectiveRules.clear();
    back.Parse(gw::FormatObjectiveRules(rules));
    Check(SameRules(rules, back));

    gw::OutputFile file;
    if (!file.Create(output).ok()) return 0;
    gw::CRandom random;
    gw::NullProgress progress;
    QuietPrompts prompts;
    gw::ObjectivesWriter writer(rules, random, 8, 8, file, progress, prompts, kLimit);
    for (std::size_t i = 0; i < std::min<std::size_t>(rules.m_objectiveRules.size(), 8); ++i) {
        writer.MakeTopLevel("Town", rules.m_objectiveRules[i].Type, 0, {static_cast<std::int32_t>(i), 3});
    }
    Check((writer.stop() == gw::ObjectivesWriter::Stop::kNone) == writer.stopReason().empty());
    Check(file.Close().ok());
    return 0;
}
