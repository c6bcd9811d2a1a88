#include "tests/TestSupport.h"

#include <sys/stat.h>

#include <algorithm>

namespace gw {
namespace {

using test::ReadFile;
using test::RunCommand;

std::string Cli(const std::string& args) { return test::CliPath() + " " + args; }
std::string Sample() { return test::SampleDir() + "/coast.hdr"; }

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CliScripting, EveryCommandLineMistakeExitsTwoAndSaysWhat) {
    struct Case {
        std::string args;
        std::string says;
    };
    const Case cases[] = {
        {"frobnicate x", "unknown command \"frobnicate\""},
        {"generate " + Sample() + " /tmp/never.l2 --bogus", "--bogus"},
        {"generate " + Sample() + " /tmp/never.l2 --obr r.obr", "--obr requires --objectives"},
        {"generate " + Sample() + " /tmp/never.l2 --e00 a.e00 b.e00 c.e00", "repeat it for more"},
        {"generate " + Sample() + " /tmp/never.l2 --vector a.shp b.shp", "--vector takes one layer"},
        {"generate " + Sample() + " /tmp/never.l2 --vector =RIVER", "the file is empty in \"=RIVER\""},
        {"generate " + Sample() + " /tmp/never.l2 --vector a.gpkg,=RIVER", "the layer after ',' is empty"},
        {"preview " + Sample() + " /tmp/never.l2 --vector a.shp=", "the rule after '=' is empty"},
        {"generate " + Sample() + " /tmp/never.l2 --unit parsecs", "parsecs"},
        {"generate " + Sample() + " /tmp/never.l2 --center 95,10", "within 90 degrees"},
        {"generate " + Sample() + " /tmp/never.l2 --center 89,10", "pass a pole"},
        {"generate " + Sample() + " /tmp/never.l2 --rules a.ini --builtin-rules", "excludes"},
        {"info", "DEM.hdr is required"},
        {"", "subcommand"},
    };
    for (const Case& c : cases) {
        const auto run = RunCommand(Cli(c.args));
        EXPECT_EQ(run.status, 2) << c.args << "\n" << run.err;
        EXPECT_TRUE(Has(run.err, c.says)) << c.args << "\n" << run.err;
    }
    EXPECT_FALSE(test::Exists("/tmp/never.l2"));

    const auto version = RunCommand(Cli("--version"));
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("gridwright-cli ", 0), 0u) << version.out;
    EXPECT_EQ(RunCommand(Cli("generate --help")).status, 0);
}

TEST(CliScripting, InfoAsJsonWithTheRastersRealExtremes) {
    const auto run = RunCommand(Cli("info --json --stats " + Sample()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.front(), '{');
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "}\n");
    for (const char* member : {"\"file_title\": \"Gridwright sample coast\"", "\"number_of_rows\": 300",
                               "\"raster_min\": -1698", "\"raster_max\": 3031", "\"elev_m_max\": 0",
                               "\"unit_factor\": 3.2799999713897705", "\"tiles\": \"1024 x 1024\""}) {
        EXPECT_TRUE(Has(run.out, member)) << member;
    }
    const auto full = RunCommand("sh -c '" + Cli("info " + Sample()) + " >/dev/full'");
    EXPECT_EQ(full.status, 1) << "a listing that could not be written is a failure";
    EXPECT_TRUE(Has(full.err, "cannot write standard output")) << full.err;
}

TEST(CliScripting, PipesAreRefusedInsteadOfWaitedOn) {
    test::TempDir dir;
    const std::string fifo = dir.Path("layer.e00");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& args : {"e00 " + fifo, "generate " + Sample() + " " + dir.Path("t.l2") + " --e00 " + fifo,
                                    "info " + fifo, "generate " + Sample() + " " + dir.Path("t.l2") + " --map " + fifo,
                                    "generate " + Sample() + " " + dir.Path("t.l2") + " --objectives --obr " + fifo}) {
        const auto run = RunCommand("timeout 10 " + Cli(args));
        EXPECT_EQ(run.status, 1) << args << "\n" << run.err;
        EXPECT_TRUE(Has(run.err, "not a regular file")) << args << "\n" << run.err;
    }
    EXPECT_FALSE(test::Exists(dir.Path("t.l2")));
}

TEST(CliScripting, RulesComeFromTheStoreABuiltInTableOrAFile) {
    test::TempDir dir;
    const auto builtin = RunCommand(Cli("rules --builtin-rules"));
    ASSERT_EQ(builtin.status, 0);
    EXPECT_TRUE(Has(builtin.out, "source: built-in (--builtin-rules)\ncount: 7\nrule: dnnet.e00,906800,RIVER,"));

    test::WriteFile(dir.Path("r.ini"), "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"dnnet.e00,ff,WATER,,,,,0\"\n");
    const auto fromFile = RunCommand(Cli("rules --json --rules " + dir.Path("r.ini")));
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, "{\"source\": \"" + dir.Path("r.ini") +
                                "\", \"rules\": [{\"File\": \"dnnet.e00\", \"Colour\": \"0000ff\", \"Keyword\": "
                                "\"WATER\", \"Info\": \"\", \"IndexField\": \"\", \"NameField\": \"\", "
                                "\"TypeField\": \"\", \"Label\": 0}]}\n");

    test::WriteFile(dir.Path("empty.ini"), "[Other]\nx=1\n");
    const auto empty = RunCommand(Cli("generate " + Sample() + " " + dir.Path("t.l2") + " --rules " + dir.Path("empty.ini")));
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(Has(empty.err, "holds no E00 rules")) << empty.err;
    EXPECT_FALSE(test::Exists(dir.Path("t.l2")));
    EXPECT_EQ(RunCommand(Cli("rules --rules " + dir.Path("none.ini"))).status, 1);
}

TEST(CliScripting, RulesFileDecidesWhichTdfFilesAreWritten) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    test::TempDir dir;
    test::WriteFile(dir.Path("r.ini"), "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"dnnet.e00,ff,WATER,,,,,0\"\n");
    const auto run = RunCommand(Cli("generate " + data + "/dem/fr_it_etopo2.hdr " + dir.Path("s.l2") +
                                    " --segments 8 --no-mea --rules " + dir.Path("r.ini") + " --e00 " + data +
                                    "/e00/dcw/dnnet.e00 --e00 " + data + "/e00/dcw/ponet.e00"));
    EXPECT_EQ(run.status, 1) << "ponet.e00 matches no rule of the file";
    EXPECT_TRUE(Has(run.err, "ponet.e00: no E00 rule names its coverage \"PONET.E00\"; the rules know dnnet.e00"))
        << run.err;
    EXPECT_TRUE(test::Exists(dir.Path("s-WATER.tdf")));
}

TEST(CliScripting, SummaryReportsFilesAndWarnsAboutTheTheaterOffTheDem) {
    test::TempDir dir;
    const auto run = RunCommand(Cli("generate " + Sample() + " " + dir.Path("t.l2") + " --quiet"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "warning: ")) << run.err;
    EXPECT_TRUE(Has(run.err, "% of the theater lies off the DEM")) << run.err;
    const std::string o2 = ReadFile(dir.Path("t.o2"));
    EXPECT_TRUE(Has(run.out, "wrote " + dir.Path("t.o2") + " (" + std::to_string(o2.size()) + " bytes)\n")) << run.out;
    EXPECT_TRUE(Has(run.out, "highest point: ")) << run.out;

    const auto json = RunCommand(Cli("generate " + Sample() + " " + dir.Path("j.l2") + " --segments 8 --json"));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"status\": 0, \"files\": [{\"job\": \"L2\", \"path\": \"" + dir.Path("j.l2") +
                                 "\", \"bytes\": ",
                             0),
              0u)
        << json.out;
    EXPECT_TRUE(Has(json.out, "\"lowest_point_ft\": ")) << json.out;
    EXPECT_FALSE(Has(json.err, "off the DEM")) << "an 8-segment theater lies on the sample DEM";
}

TEST(CliScripting, SourceDateEpochMakesTheObjectivesFileReproducible) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    test::TempDir dir;
    const std::string args = " --segments 16 --builtin-rules --objectives --e00 " + data + "/e00/dcw/pppoint.e00";
    const std::string dem = data + "/dem/fr_it_etopo2.hdr ";
    const auto first = RunCommand("TZ=UTC SOURCE_DATE_EPOCH=86400 " + Cli("generate " + dem + dir.Path("a.l2") + args));
    const auto second = RunCommand("SOURCE_DATE_EPOCH=86400 TZ=UTC " + Cli("generate " + dem + dir.Path("b.l2") + args));
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    const std::string csv = ReadFile(dir.Path("a-obj.csv"));
    const auto csvLines = std::count(csv.begin(), csv.end(), '\n');
    EXPECT_TRUE(Has(first.out, "objectives: " + std::to_string(csvLines - 2) + "\n")) << first.out;
    EXPECT_EQ(csv.rfind("2.0 Objective Generate Fri Jan  2 00:00:00 1970\r\n", 0), 0u) << csv.substr(0, 60);
    EXPECT_EQ(csv, ReadFile(dir.Path("b-obj.csv")));
    EXPECT_EQ(RunCommand("SOURCE_DATE_EPOCH=soon " + Cli("generate " + dem + dir.Path("c.l2") + args)).status, 2);

    const auto noPoints = RunCommand(Cli("generate " + Sample() + " " + dir.Path("n.l2") + " --segments 4 --objectives"));
    EXPECT_TRUE(Has(noPoints.err, "no point features")) << noPoints.err;
}

}  // namespace
}  // namespace gw
