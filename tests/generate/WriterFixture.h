#pragma once

#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "core/document/GridwrightDoc.h"
#include "core/generate/GenerateContext.h"
#include "core/layout/HeightTable.h"
#include "core/layout/TheaterLayout.h"
#include "core/progress/ProgressState.h"

#include <functional>

namespace gw::test {

// Prompts that answer as told and remember what they were shown.
class ScriptedPrompts : public UserPrompts {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        return answerYes;
    }
    std::optional<std::string> ChoosePaletteFile() override { return palette; }

    bool answerYes = true;
    std::optional<std::string> palette;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
};

// A progress whose Cancel is pressed when pressAfterSteps steps have been taken.
class CancellingProgress : public NullProgress {
public:
    explicit CancellingProgress(int pressAfterSteps) : m_pressAfter(pressAfterSteps) {}
    int StepIt() override {
        ++m_steps;
        return NullProgress::StepIt();
    }
    bool CheckCancelButton() override { return m_steps == m_pressAfter; }

private:
    int m_pressAfter;
    int m_steps = 0;
};

// A DEM over -1..1 degrees both ways, one post per minute of arc (120 x 120), with
// values from `value(column, row)` in feet.
inline DemSpec MinuteDem(const std::function<int(int, int)>& value) {
    DemSpec spec;
    spec.rows = spec.columns = 120;
    spec.left = spec.lower = -1;
    spec.right = spec.upper = 1;
    for (int r = 0; r < 120; ++r)
        for (int c = 0; c < 120; ++c) spec.posts.push_back(static_cast<std::int16_t>(value(c, r)));
    return spec;
}

// A document, a layout and the default height table, with the means to run writers.
class WriterFixture : public ::testing::Test {
protected:
    // Opens a DEM as the document; the layout starts as the form does.
    void OpenHeader(const std::string& header) {
        ASSERT_TRUE(doc.OnOpenDocument(header).ok());
        layout.OnDocumentUpdate(doc);
        layout.OnInitialUpdate();
    }
    void OpenDem(const DemSpec& spec) { OpenHeader(WriteDem(dir, "dem", spec)); }
    void SetSegments(int x, int y) {
        layout.OnSquareClicked(false);
        layout.SetSegmentsX(std::to_string(x));
        layout.OnSegmentsYChanged(std::to_string(y));
    }
    // A flat DEM over -1..1 degrees and a theater of 32 x 32 tiles, 30 nautical miles
    // each way, centred on (0, 0): its edges lie at 0.25 degrees, and tile positions
    // work out exactly.
    void OpenThirtyMileTheater() {
        OpenDem(MinuteDem([](int, int) { return 0; }));
        layout.OnCenterLatKillFocus("0");
        layout.OnCenterLongKillFocus("0");
        layout.OnResolutionChanged("0.234375");
        SetSegments(2, 2);
    }

    // Writes the text as the file name in the folder; gives its path.
    std::string Write(const std::string& name, const std::string& text) {
        WriteFile(dir.Path(name), text);
        return dir.Path(name);
    }

    GenerateContext Context() {
        return GenerateContext{doc, layout, heights, rules, objectiveRules, random, *progress, prompts};
    }

    TempDir dir;
    CGridwrightDoc doc;
    TheaterLayout layout;
    HeightTable heights;
    E00Rules rules = BuiltInE00Rules();
    ObjectiveRuleSet objectiveRules;
    CRandom random;
    NullProgress quiet;
    Progress* progress = &quiet;
    ScriptedPrompts prompts;
};

}  // namespace gw::test
