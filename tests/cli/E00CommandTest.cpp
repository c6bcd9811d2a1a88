// The e00 command: what it prints beyond the reader's lists, and how it refuses.
#include "tests/TestSupport.h"
#include "tests/features/E00Text.h"

#include <sys/stat.h>

namespace gw {
namespace {

using test::RunCommand;

std::string Cli(const std::string& args) { return test::CliPath() + " " + args; }

TEST(E00Command, PrintsExtentsAndWhatLiesOnADem) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    const std::string dem = data + "/dem/fr_it_etopo2.hdr";
    const auto rivers = RunCommand(Cli("e00 --dem " + dem + " " + data + "/e00/dcw/dnnet.e00"));
    ASSERT_EQ(rivers.status, 0) << rivers.err;
    EXPECT_NE(rivers.out.find("arc_points: 8682\n"), std::string::npos) << "the former lines stay";
    const std::string added = "arc_extent: x -7.124743 to 21.155031, y 33.823071 to 53.094986\n"
                              "dem: " + dem + "\narc_points_on_dem: 7158\nlabels_on_dem: 0\n";
    EXPECT_EQ(rivers.out.substr(rivers.out.size() - std::min(added.size(), rivers.out.size())), added)
        << "after the former lines";
    EXPECT_EQ(rivers.out.find("label_extent"), std::string::npos) << "no labels, no extent";

    const auto airports = RunCommand(Cli("e00 --json --dem " + dem + " " + data + "/e00/dcw/aepoint.e00"));
    ASSERT_EQ(airports.status, 0) << airports.err;
    EXPECT_NE(airports.out.find("\"label_extent\": {\"min_x\": -6.8999949, \"min_y\": 34.051468, \"max_x\": 20.966923, "
                                "\"max_y\": 52.983158}"),
              std::string::npos)
        << airports.out;
    EXPECT_NE(airports.out.find("\"arc_points_on_dem\": 0, \"labels_on_dem\": 1369}}\n"), std::string::npos);
    EXPECT_EQ(airports.out.find("arc_extent"), std::string::npos);
}

TEST(E00Command, ADemThatCannotBeOpenedEndsTheCommandFirst) {
    test::TempDir dir;
    test::WriteFile(dir.Path("x.e00"), test::LineCoverage("/X/DNNET.E00", {{{0, 0}}}));
    const auto run = RunCommand(Cli("e00 --dem " + dir.Path("none.hdr") + " " + dir.Path("x.e00")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(dir.Path("none.hdr")), std::string::npos) << run.err;
}

TEST(E00Command, RefusesWhatItCannotReadWhole) {
    test::TempDir dir;
    const std::string fifo = dir.Path("pipe.e00");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto pipe = RunCommand("timeout 20 " + Cli("e00 " + fifo));
    EXPECT_EQ(pipe.status, 1) << "refused, not waiting for a writer";
    EXPECT_NE(pipe.err.find(fifo + " is a pipe, not a regular file"), std::string::npos) << pipe.err;

    std::string text = test::LineCoverage("/X/DNNET.E00", {{{1.5, 2}, {3, -4}}});
    text.resize(text.size() - 4);  // without "EOS\n"
    test::WriteFile(dir.Path("noend.e00"), text);
    const auto noEnd = RunCommand(Cli("e00 " + dir.Path("noend.e00")));
    EXPECT_EQ(noEnd.status, 1);
    EXPECT_NE(noEnd.out.find("arc_points: 2\n"), std::string::npos) << "what was read is printed";
    EXPECT_NE(noEnd.out.find("arc_extent: x 1.5 to 3, y -4 to 2\n"), std::string::npos) << noEnd.out;
    EXPECT_NE(noEnd.err.find("line 5: the file ends without its EOS line"), std::string::npos) << noEnd.err;
}

}  // namespace
}  // namespace gw
