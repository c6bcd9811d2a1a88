#include "tests/TestSupport.h"
#include "tests/features/E00Text.h"

#include <QImage>

#include <filesystem>

namespace gw::test {
namespace {

// Theaters generate writes, regular and large, square and not, with every companion
// file, inspect clean: their figures agree with the description generate wrote, the
// theater compared with itself differs nowhere, and the picture has a pixel a tile.
TEST(InspectCommand, WhatGenerateWritesInspectsCleanAndAFaultExitsOne) {
    TempDir dir;
    const std::string rivers = dir.Path("rivers.e00");
    WriteFile(rivers, LineCoverage("/DATA/DNNET.E00", {{{13.5, 43.6}, {14, 44}, {14.5, 44.3}}}));
    for (const std::string size : {"--segments 8", "--segments 8,4 --large"}) {
        const std::string l2 = dir.Path("t.l2"), png = dir.Path("t.png");
        const CommandResult built = RunCli("generate " + SamplePath() + " " + l2 + " " + size + " --map " + SampleDir() +
                                           "/coast.pal --objectives --builtin-rules --e00 " + rivers + " --quiet");
        ASSERT_EQ(built.status, 0) << built.err;
        const CommandResult r = RunCli("inspect " + l2 + " --json --builtin-rules --against " + l2 + " --png " + png);
        EXPECT_EQ(r.status, 0) << size << "\n" << r.out << r.err;
        EXPECT_TRUE(Has(r.out, "\"problems\": []")) << r.out;
        EXPECT_TRUE(Has(r.out, "\"segments_differing\": 0")) << r.out;
        for (const char* file : {"t.txt", "t.mea", "t.map", "t-RIVER.tdf", "t-obj.csv"}) {
            EXPECT_TRUE(Has(r.out, dir.Path(file))) << file;
        }
        EXPECT_EQ(QImage(QString::fromStdString(png)).size(), size == "--segments 8" ? QSize(128, 128) : QSize(128, 64));
    }

    // A problem exits 1, a bad command line 2.
    const std::string l2 = dir.Path("t.l2");
    std::filesystem::resize_file(l2, std::filesystem::file_size(l2) - 1);
    const CommandResult cut = RunCli("inspect " + l2);
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(Has(cut.out, "problems: " + l2 + ": ")) << cut.out;
    const CommandResult bad = RunCli("inspect " + l2 + " --segments 4,x");
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(Has(bad.err, "--segments takes X or X,Y")) << bad.err;
    const CommandResult over = RunCli("inspect " + l2 + " --png " + dir.Path("t.o2"));
    EXPECT_EQ(over.status, 2);
    EXPECT_TRUE(Has(over.err, "t.o2 is a file of the theater this run reads")) << over.err;
}

}  // namespace
}  // namespace gw::test
