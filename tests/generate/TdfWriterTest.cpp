#include "core/generate/TdfWriter.h"
#include "tests/generate/WriterFixture.h"

namespace gw {
namespace {

class TdfWriterTest : public test::WriterFixture {
protected:
    void SetUp() override { OpenThirtyMileTheater(); }
    void Add(std::int32_t rule, std::vector<GeoPoint> points, std::string name = "", std::int32_t type = 0) {
        doc.AddFeature(Feature{rule, std::move(points), std::move(name), type});
    }
    WriteResult Write() { return WriteTdfFiles(Context(), dir.Path("t.l2")); }
};

TEST_F(TdfWriterTest, PointsBecomeTileCoordinatesFromTheSouthWest) {
    Add(0, {{0, 0}, {0.25, 0}, {0, 0.25}, {-0.25, -0.25}, {0.26, 0}, {0.1, -0.3}}, "", 4);
    Add(0, {{0.125, -0.125}}, "Long Name  ", 2);
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(test::ReadFile(dir.Path("t-RIVER.tdf")),
              "RIVER 4 16,16 16,32 32,16 0,0 4\r\n"
              "RIVER 1 8,24 2 Long Name  \r\n");
}

TEST_F(TdfWriterTest, RulesSharingAKeywordShareItsFileInFeatureOrder) {
    rules[3].Keyword = "RIVER";  // ROAD's rule now writes under RIVER
    rules[6].Keyword = "River";  // another file: the case is the name's
    Add(0, {{0, 0}}, "a");
    Add(3, {{0.1, 0.1}}, "b");
    Add(6, {{0, 0}}, "c");
    Add(0, {{-0.1, -0.1}}, "d");
    const WriteResult result = Write();
    ASSERT_EQ(result.outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(result.files, (std::vector<std::string>{dir.Path("t-RIVER.tdf"), dir.Path("t-River.tdf")}));
    EXPECT_EQ(test::ReadFile(dir.Path("t-RIVER.tdf")),
              "RIVER 1 16,16 0 a\r\n"
              "RIVER 1 22,22 0 b\r\n"
              "RIVER 1 9,9 0 d\r\n");
    EXPECT_EQ(test::ReadFile(dir.Path("t-River.tdf")), "River 1 16,16 0 c\r\n");
}

TEST_F(TdfWriterTest, AKeywordThatWouldNameAFolderIsRefused) {
    rules[1].Keyword = "../COAST";
    Add(0, {{0, 0}});
    Add(1, {{0, 0}});
    const WriteResult result = Write();
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_NE(result.message.find("the keyword \"../COAST\" cannot be part of a file name"), std::string::npos);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Can't open file " + dir.Path("t-../COAST.tdf")});
    EXPECT_FALSE(test::Exists(dir.Path("t-RIVER.tdf"))) << "a failed writer puts none of its files in place";
    EXPECT_FALSE(test::Exists(dir.Path("COAST.tdf")));
}

}  // namespace
}  // namespace gw
