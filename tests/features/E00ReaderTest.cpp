#include "tests/TestSupport.h"
#include "tests/features/E00Text.h"
#include "core/features/E00Reader.h"
#include "core/progress/ProgressState.h"

#include <md5.h>

#include <cstdio>

namespace gw {
namespace {

using namespace test;

class E00ReaderTest : public ::testing::Test {
protected:
    bool Parse(const std::string& body, const std::string& first = "EXP  0 /DATA/DNNET.E00\n") {
        status = e00.ParseText(first + body, progress);
        return status.ok();
    }
    E00Reader e00;
    NullProgress progress;
    Status status;
};

TEST_F(E00ReaderTest, ArcFailures) {
    EXPECT_FALSE(Parse("ARC  2\n" + I(-1) + I(0) + "\n")) << "a 20-character closing line";
    EXPECT_FALSE(Parse("ARC  2\n" + ArcRecord(1, 1).substr(0, 59) + "\n"));
    EXPECT_FALSE(Parse("ARC  2\n" + ArcRecord(1, 2) + F(1) + F(2) + F(3) + F(4) + "\n" + ArcRecord(2, 5) + F(1) + F(2) +
                       "\n"));
    EXPECT_EQ(e00.m_arcs.size(), 1u) << "what was read before the failure stays";
    EXPECT_EQ(status.code(), Status::Code::kCorruption);
    EXPECT_EQ(status.message(), "line 6: the file ends inside the coordinates of an arc") << "a cut-off last line";
    EXPECT_FALSE(Parse("ARC  4\n")) << "precision 4";
    EXPECT_FALSE(Parse("ARC\n"));
    EXPECT_TRUE(Parse("ARC  2\n" + kArcEnd + "EOS\n")) << "a section may be empty";
    EXPECT_FALSE(Parse("ARC  2\n" + ArcRecord(1, 1'000'000'000) + F(1) + F(2) + F(3) + F(4) + "\n"))
        << "a count far beyond the file ends at its end";
}

TEST_F(E00ReaderTest, InfoTablesCutRecordsIntoItems) {
    const std::string header = "POINTS.PAT                      XX   3   3  32         4\n";
    const std::string items = Item("NAME-WITH-16CHAR", 30, 20) + Item("KIND", 2, 50) + Item("LONG-TEXT", 45, 20);
    // 30 + 6 + 45 = 81 columns: two lines per record; short lines are not padded.
    std::string records;
    for (int k : {1, 2, 4, 3}) {
        const std::string name = "name" + std::to_string(k);
        records += name + std::string(30 - name.size(), ' ') + "     " + std::to_string(k) + "\nX\n";
    }
    ASSERT_TRUE(Parse("IFO  2\n" + header + items + records + "EOI\nEOS\n"));
    ASSERT_EQ(e00.m_tables.size(), 1u);
    const InfoTable* table = e00.FindTable("points.pat");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->itemCount, 3);
    ASSERT_EQ(table->records.size(), 4u);
    const InfoItem* name = table->FindItem("name-with-16char");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->name, "NAME-WITH-16CHAR");
    const InfoItem* kind = table->FindItem("KIND");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->position, 30);
    EXPECT_EQ(kind->width, 6);
    EXPECT_EQ(table->items[2].width, 45);
    EXPECT_EQ(table->GetItemText(0, *name), "name1" + std::string(25, ' '));
    EXPECT_EQ(table->GetItemText(1, table->items[2]), std::string(44, ' ') + "X") << "across the padded first line";

    // Record 3 holds kind 4: the shortcut misses and the scan finds it.
    EXPECT_EQ(table->FindRecord(*kind, 4), 2u);
    EXPECT_EQ(table->FindRecord(*kind, 1), 0u);
    EXPECT_EQ(table->FindRecord(*kind, 9), std::nullopt);
    EXPECT_EQ(table->FindRecord(*kind, 0), std::nullopt);
    EXPECT_FALSE(Parse("IFO  2\n" + header + items + "name1\n"));
}

// Every point read, arcs then labels, by the MD5 of its bytes.
std::string PointDigest(const E00Reader& e00) {
    std::string bytes;
    const auto add = [&](const GeoPoint& p) {
        bytes.append(reinterpret_cast<const char*>(&p.lat), sizeof p.lat);
        bytes.append(reinterpret_cast<const char*>(&p.lon), sizeof p.lon);
    };
    for (const auto& arc : e00.m_arcs)
        for (const GeoPoint& p : arc.points) add(p);
    for (const auto& label : e00.m_labels) add(label.point);
    char hex[33];
    return MD5Data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), hex);
}

// The export files nobody here wrote: what each holds, pinned to points that agree
// with another reader's, and where the broken ones stop.
TEST(E00ReaderRealFiles, CountsAndPointsOfEveryFile) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string dir = test::SharedDataDir() + "/e00/";
    struct Case {
        const char* file;
        bool ok;
        std::size_t arcs, labels, tables;
        const char* points;
    };
    const Case cases[] = {
        {"valencia.e00", true, 1074, 394, 3, "d09c6dd3d3efc77660f250737915a3ad"},
        {"testpoly.e00", true, 7, 2, 5, "63735bc44d8f6e6321ecfe6c99625f24"},
        {"testpoint.e00", true, 0, 80, 3, "c343ef3358368a1ba727642b1bb43407"},
        {"dcw/dnnet.e00", true, 540, 0, 3, "5b661421a9470a8b8f65757267d428c0"},
        {"dcw/ponet.e00", true, 481, 0, 3, "09b49ebfa2ed85f4aebdecc250922815"},
        {"dcw/pppoint.e00", true, 0, 1068, 3, "509ad9c52b960008cc4769df2e3c956e"},
        {"dcw/aepoint.e00", true, 0, 1563, 3, "838c2bdf71e62e4bb592387ff976bab1"},
        {"compressed/compressed.e00", false, 0, 0, 0, "d41d8cd98f00b204e9800998ecf8427e"},
        {"compressed/compressed_e00conv_none.e00", false, 3, 0, 0, "fef39162c1a38a0392898c73989a4d19"},
    };
    E00Reader e00;
    NullProgress progress;
    for (const Case& c : cases) {
        const Status parsed = e00.Parse(dir + c.file, progress);
        EXPECT_EQ(parsed.ok(), c.ok) << c.file << ": " << parsed.message();
        EXPECT_EQ(e00.m_arcs.size(), c.arcs) << c.file;
        EXPECT_EQ(e00.m_labels.size(), c.labels) << c.file;
        EXPECT_EQ(e00.m_tables.size(), c.tables) << c.file;
        EXPECT_EQ(PointDigest(e00), c.points) << c.file;
    }
    // A point coverage's record gives the name and, on its second line, the type.
    ASSERT_TRUE(e00.Parse(dir + "dcw/pppoint.e00", progress).ok());
    const InfoTable* pat = e00.FindTable("pppoint.pat");
    ASSERT_NE(pat, nullptr);
    const std::optional<std::size_t> first = pat->FindRecord(*pat->FindItem("PPPOINT#"), e00.m_labels[0].polygonId);
    ASSERT_TRUE(first);
    EXPECT_EQ(pat->GetItemText(*first, *pat->FindItem("PPPTNAME")), "'Ayn Fakrun" + std::string(19, ' '));
    EXPECT_EQ(pat->GetItemText(*first, *pat->FindItem("PPPTTYPE")), "     0");
}

}  // namespace
}  // namespace gw
