#include "tests/features/E00Text.h"
#include "core/document/FeatureLoader.h"
#include "tests/generate/WriterFixture.h"

#include <gmock/gmock.h>

namespace gw {
namespace {

class FeatureLoaderTest : public test::WriterFixture {
protected:
    void SetUp() override { OpenDem(test::MinuteDem([](int, int) { return 0; })); }  // -1..1 both ways
    std::vector<E00LoadReport> Load(const std::vector<std::string>& paths) {
        return LoadE00Files(doc, rules, paths, *progress, prompts);
    }
    std::string Rivers() {
        return Write("rivers.e00", test::LineCoverage("/X/DNNET.E00", {{{0, 0}, {5, 5}, {0.5, 0.5}},
                                                                       {{3, 3}, {4, 4}},
                                                                       {{-1, 0.3}},
                                                                       {{2, 2}, {1, 1}, {2, 2}}}));
    }
};

TEST_F(FeatureLoaderTest, ArcsKeepTheirPointsOnTheDem) {
    const std::vector<E00LoadReport> reports = Load({Rivers()});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].parsed.ok() && reports[0].recognised);
    ASSERT_EQ(doc.features().size(), 3u) << "the arc wholly outside gives none";
    EXPECT_EQ(doc.features()[0].points, (std::vector<GeoPoint>{{0, 0}, {0.5, 0.5}}));
    EXPECT_EQ(doc.features()[1].points, (std::vector<GeoPoint>{{0.3, -1}})) << "the edge counts as inside";
    EXPECT_EQ(doc.features()[2].points, (std::vector<GeoPoint>{{1, 1}}));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FeatureLoaderTest, UnrecognisedAndBrokenFilesAreReportedAndTheOthersLoaded) {
    const std::string other = Write("other.e00", test::LineCoverage("/X/UNKNOWN.E00", {{{0, 0}}}));
    const std::string broken = Write("broken.e00", test::LineCoverage("/X/DNNET.E00", {{{0, 0}}, {{0.5, 0.5}, {0.6, 0.6}}})
                                                       .substr(0, 150));
    const std::string missing = dir.Path("missing.e00");
    const std::vector<E00LoadReport> reports = Load({Rivers(), other, broken, missing});
    EXPECT_TRUE(reports[0].problems.empty());
    ASSERT_EQ(reports[1].problems.size(), 1u);
    EXPECT_THAT(reports[1].problems[0],
                testing::StartsWith(other + ": no E00 rule names its coverage \"UNKNOWN.E00\"; the rules know dnnet.e00"));
    ASSERT_EQ(reports[2].problems.size(), 1u);
    EXPECT_THAT(reports[2].problems[0], testing::StartsWith(broken + ": line "));
    ASSERT_EQ(reports[3].problems.size(), 1u) << "no coverage is named by a file that did not open";
    EXPECT_THAT(reports[3].problems[0], testing::StartsWith(missing + ": "));
    EXPECT_FALSE(reports[3].recognised);
    EXPECT_FALSE(reports[2].parsed.ok());
    EXPECT_EQ(reports[2].featuresAdded, 1u) << "a file that broke off yields what was read";
    EXPECT_EQ(doc.features().size(), 3u + 1u);
}

TEST_F(FeatureLoaderTest, CancelEndsOnlyTheCurrentFileAndIsReported) {
    test::CancellingProgress cancelling(1);
    progress = &cancelling;
    const std::vector<E00LoadReport> reports = Load({Rivers(), Rivers()});
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Cancel?"});
    EXPECT_EQ(doc.features().size(), 1u + 3u);
    EXPECT_TRUE(reports[0].processed.IsCancelled());
    EXPECT_FALSE(reports[1].processed.IsCancelled()) << "the second file was loaded whole";

    prompts.answerYes = false;
    test::CancellingProgress declined(1);
    progress = &declined;
    EXPECT_FALSE(Load({Rivers()})[0].processed.IsCancelled()) << "No goes on";
}

}  // namespace
}  // namespace gw
