#include "tests/TestSupport.h"
#include "tests/generate/WriterFixture.h"
#include "core/generate/Generate.h"
#include "core/util/LittleEndian.h"

#include <md5.h>

namespace gw {
namespace {

using test::ReadFile;
using test::RunCommand;

std::string Cli(const std::string& args) { return test::CliPath() + " " + args; }

std::string Md5Hex(const std::string& bytes) {
    MD5_CTX ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::uint8_t digest[MD5_DIGEST_LENGTH];
    MD5Final(digest, &ctx);
    std::string hex;
    for (std::uint8_t b : digest) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
    return hex;
}

// Checks that a tile and index pair is well formed: every offset names a block, every
// block is named, and blocks first appear in the order of the index.
void ExpectWellFormedTerrain(const std::string& l2, const std::string& o2, std::size_t segments,
                             std::size_t blockSize) {
    const std::string tiles = ReadFile(l2), index = ReadFile(o2);
    ASSERT_EQ(index.size(), 4 * segments);
    ASSERT_EQ(tiles.size() % blockSize, 0u);
    std::uint32_t next = 0;
    for (std::size_t n = 0; n < segments; ++n) {
        const std::uint32_t offset = GetLE32(reinterpret_cast<const std::uint8_t*>(&index[4 * n]));
        ASSERT_EQ(offset % blockSize, 0u);
        ASSERT_LE(offset, next) << "a new block must follow the previous ones";
        if (offset == next) next += static_cast<std::uint32_t>(blockSize);
    }
    EXPECT_EQ(next, tiles.size());
}

TEST(Cli, GenerateOnTheSampleWritesWhatTheCoreWritesForTheSameForm) {
    test::TempDir dir;
    const std::string dem = test::SampleDir() + "/coast.hdr", pal = test::SampleDir() + "/coast.pal";
    const auto run = RunCommand(Cli("generate " + dem + " " + dir.Path("c.l2") + " --segments 32 --map " + pal));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* ext : {".l2", ".o2", ".txt", ".map", ".mea"}) {
        EXPECT_NE(run.out.find("wrote " + dir.Path(std::string("c") + ext)), std::string::npos) << ext;
    }
    ExpectWellFormedTerrain(dir.Path("c.l2"), dir.Path("c.o2"), 32 * 32, 1792);
    EXPECT_EQ(ReadFile(dir.Path("c.mea")).size(), 8u * 32 * 32);

    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dem).ok());
    TheaterLayout layout;
    layout.OnDocumentUpdate(doc);
    layout.OnInitialUpdate();
    layout.SetSegmentsX("32");
    const HeightTable heights;
    const E00Rules rules = BuiltInE00Rules();
    const ObjectiveRuleSet objectiveRules;
    CRandom random;
    NullProgress progress;
    test::ScriptedPrompts prompts;
    prompts.palette = pal;
    BuildOptions options;
    options.map = true;
    TerrainResults results;
    ASSERT_TRUE(RunGenerate({doc, layout, heights, rules, objectiveRules, random, progress, prompts}, options, dir.Path("g.l2"), results, 1)
                    .complete());
    for (const char* ext : {".l2", ".o2", ".txt", ".map", ".mea"}) {
        EXPECT_EQ(ReadFile(dir.Path(std::string("c") + ext)), ReadFile(dir.Path(std::string("g") + ext))) << ext;
    }
}

TEST(Cli, InfoPrintsTheHeaderAndTheStartingLayout) {
    const auto run = RunCommand(Cli("info " + test::SampleDir() + "/coast.hdr"));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line : {"file_title: Gridwright sample coast\n", "number_of_columns: 400\n",
                             "unit_factor: 3.2799999713897705\n", "segments: 64 x 64\n", "tiles: 1024 x 1024\n",
                             "center_lat: 44\n", "center_long: 14\n", "preview: 400 x 300\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line;
    }
}

TEST(Cli, BadRequestsFailClearlyBeforeWriting) {
    test::TempDir dir;
    const std::string dem = test::SampleDir() + "/coast.hdr";
    struct Case {
        std::string args;
        std::string says;
    };
    const Case cases[] = {
        {"generate " + dir.Path("none.hdr") + " " + dir.Path("a.l2"), "none.hdr"},
        {"generate " + dem + " " + dir.Path("a.ter"), "must contain \".l2\""},
        {"generate " + dem + " " + dir.Path("a.l2") + " --segments 0", "segments must be from 1"},
        {"generate " + dem + " " + dir.Path("a.l2") + " --segments 8,x", "--segments"},
        {"generate " + dem + " " + dir.Path("a.l2") + " --resolution 0", "resolution must be above 0"},
        {"generate " + dem + " " + dir.Path("a.l2") + " --resolution 0,5", "--resolution"},
        {"generate " + dem + " " + dir.Path("a.l2") + " --center 45", "--center"},
        {"generate " + dem + " " + dir.Path("a.l2") + " --map " + dir.Path("none.pal"), "none.pal"},
        {"generate " + dem + " " + dir.Path("a.l2") + " --e00 " + dir.Path("none.e00"), "none.e00"},
    };
    for (const Case& c : cases) {
        const auto run = RunCommand(Cli(c.args));
        EXPECT_NE(run.status, 0) << c.args;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << "\n" << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path(""))) << "nothing may be written";

    const auto unwritable = RunCommand(Cli("generate " + dem + " " + dir.Path("no/such/a.l2")));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find(dir.Path("no/such/a.l2")), std::string::npos) << unwritable.err;
}

TEST(Cli, UpperCaseL2WritesOnlyTheTerrainAndSaysSo) {
    test::TempDir dir;
    const auto run = RunCommand(Cli("generate " + test::SampleDir() + "/coast.hdr " + dir.Path("A.L2") +
                                    " --segments 4 --quiet"));
    EXPECT_EQ(run.status, 1) << "the description and MEA file were asked for and not written";
    EXPECT_NE(run.err.find("warning"), std::string::npos);
    EXPECT_TRUE(test::Exists(dir.Path("A.L2")));
    EXPECT_TRUE(test::Exists(dir.Path("A.o2")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")), {}), 2);
}

TEST(Cli, BadPaletteIsRefusedBeforeAnythingIsWritten) {
    test::TempDir dir;
    test::WriteFile(dir.Path("bad.pal"), "JASC-PAL\n0100\n16\n");
    const auto run = RunCommand(Cli("generate " + test::SampleDir() + "/coast.hdr " + dir.Path("b.l2") +
                                    " --segments 2 --map " + dir.Path("bad.pal")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.pal: the number of colours is not 256"), std::string::npos) << run.err;
    EXPECT_FALSE(test::Exists(dir.Path("b.l2")));
}

// Pinned digests of the files written for the real DEMs: any change to the bytes of
// the terrain, index, MEA, description or MAP files shows here.
TEST(Cli, RealDemsGiveTheirKnownFiles) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    struct Case {
        std::string name;
        std::string args;
        std::size_t segments;
        std::size_t blockSize;
        std::string digests;  // of .l2 .o2 .mea .txt
    };
    const Case cases[] = {
        {"fr_it_etopo2", "", 64 * 64, 1792,
         "14dd99a086a00f6c3b29248737358ed7 73a3a3b8fea0b349b6b2dca251cb3d81 200e27ac0b7e24b387c99e9ae5eb0702 "
         "166830807e176c978325556e30096f73"},
        {"benelux_gtopo30", " --segments 40,24 --unit km --resolution 0.2 --center 51.9,6.1", 40 * 24, 1792,
         "4305fb6e571153db40b3518adfcf5df5 9a5b95945d02e3247de4a999cdbda914 a56d1df445123176a6a80cd9b6001e3d "
         "4ab7dca006e49151ea5e1c2a2d51b462"},
        {"alps_etopo2_feet", " --segments 17 --large --unit ft --resolution 2000", 17 * 17, 2304,
         "f207588d89e8faf9e3a25897cbd42350 1807335038b17b47e2e7f494abf51552 0784492a9127ce3f934c6c32f4e7f844 "
         "759c6bbdae672addadcbcd4bd0766da3"},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string out = dir.Path(c.name + ".l2");
        const auto run = RunCommand("LC_ALL=de_DE.UTF-8 " +
                                    Cli("generate " + data + "/dem/" + c.name + ".hdr " + out + c.args));
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.err;
        ExpectWellFormedTerrain(out, dir.Path(c.name + ".o2"), c.segments, c.blockSize);
        std::string digests;
        for (const char* ext : {".l2", ".o2", ".mea", ".txt"}) {
            if (!digests.empty()) digests += ' ';
            digests += Md5Hex(ReadFile(dir.Path(c.name + ext)));
        }
        EXPECT_EQ(digests, c.digests) << c.name;
    }
}

TEST(Cli, E00PrintsWhatTheReaderHoldsAndWhereABrokenFileStops) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string e00 = test::SharedDataDir() + "/e00/";
    const auto text = RunCommand(Cli("e00 " + e00 + "testpoint.e00"));
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("coverage: WELLS.E00\n"), std::string::npos);
    EXPECT_NE(text.out.find("labels: 80\n"), std::string::npos);
    EXPECT_NE(text.out.find("table: WELLS.PAT (5 items, 80 records)\n"), std::string::npos);
    EXPECT_NE(text.out.find("  item: DATA type 20 size 30 position 50 width 30\n"), std::string::npos) << text.out;

    const auto json = RunCommand(Cli("e00 --json " + e00 + "compressed/compressed_e00conv_none.e00"));
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"ok\": false"), std::string::npos);
    EXPECT_NE(json.out.find("\"arcs\": 3,"), std::string::npos) << json.out;
    EXPECT_NE(json.err.find("line 14: the file ends inside the coordinates of an arc"), std::string::npos) << json.err;
}

// Loads real coverages on a real DEM and pins the TDF files written from them.
TEST(Cli, GenerateWithE00FilesWritesTheirTdfFiles) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    test::TempDir dir;
    std::string e00;
    for (const char* f : {"dnnet", "pppoint", "aepoint", "ponet"}) e00 += " --e00 " + data + "/e00/dcw/" + f + ".e00";
    const auto run = RunCommand(Cli("generate " + data + "/dem/fr_it_etopo2.hdr " + dir.Path("f.l2") +
                                    " --builtin-rules --no-mea --no-description" + e00));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("(PPPOINT.E00): 899 features"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(AEPOINT.E00): 1369 features"), std::string::npos);
    std::string digests;
    for (const char* kind : {"RIVER", "COAST", "AIRPORT", "LABEL"}) {
        const std::string tdf = ReadFile(dir.Path(std::string("f-") + kind + ".tdf"));
        ASSERT_FALSE(tdf.empty()) << kind;
        EXPECT_EQ(tdf.rfind(std::string(kind) + " ", 0), 0u) << kind;
        if (!digests.empty()) digests += ' ';
        digests += Md5Hex(tdf);
    }
    EXPECT_EQ(digests,
              "338648c4b16decea05a0826c35b1cd39 251a4adf9760113c4b0db7d4635b1c80 3c797ef0a7eb826e5062e4e4cd09e19c "
              "1c5adffd47745c386fe69cca8b23fe22");

    const auto noTdf = RunCommand(Cli("generate " + data + "/dem/fr_it_etopo2.hdr " + dir.Path("g.l2") +
                                      " --no-tdf --segments 4 --e00 " + data + "/e00/dcw/dnnet.e00"));
    EXPECT_EQ(noTdf.status, 0);
    EXPECT_FALSE(test::Exists(dir.Path("g-RIVER.tdf")));
}

TEST(Cli, StoredRulesAreReadUnlessBuiltInOnesAreAsked) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    std::filesystem::create_directories(test::ConfigHome() + "/Orvane");
    test::WriteFile(test::ConfigHome() + "/Orvane/Gridwright.conf",
                    "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"dnnet.e00,ff,WATER,,,,,0\"\n");
    test::TempDir dir;
    const std::string args = " --no-mea --e00 " + data + "/e00/dcw/dnnet.e00";
    const auto stored = RunCommand(Cli("generate " + data + "/dem/fr_it_etopo2.hdr " + dir.Path("s.l2") + args));
    const auto builtin =
        RunCommand(Cli("generate " + data + "/dem/fr_it_etopo2.hdr " + dir.Path("b.l2") + args + " --builtin-rules"));
    std::filesystem::remove(test::ConfigHome() + "/Orvane/Gridwright.conf");
    EXPECT_EQ(stored.status, 0) << stored.err;
    EXPECT_TRUE(test::Exists(dir.Path("s-WATER.tdf")));
    EXPECT_EQ(builtin.status, 0) << builtin.err;
    EXPECT_TRUE(test::Exists(dir.Path("b-RIVER.tdf")));
}

TEST(Cli, ObjectivesFromRealPointCoverages) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    test::TempDir dir;
    const auto run = RunCommand(Cli("generate " + data + "/dem/fr_it_etopo2.hdr " + dir.Path("o.l2") +
                                    " --builtin-rules --no-mea --no-description --no-tdf --objectives --e00 " + data +
                                    "/e00/dcw/pppoint.e00 --e00 " + data + "/e00/dcw/aepoint.e00"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string csv = ReadFile(dir.Path("o-obj.csv"));
    ASSERT_EQ(csv.rfind("2.0 Objective Generate ", 0), 0u);
    const std::string rest = csv.substr(csv.find("\r\n") + 2);
    EXPECT_EQ(rest.rfind("Name, Id, Object, X, Y, Z, Owner, CampId, Parent, Priority, FOwner\r\n"
                         "Aix-en-Provence, 4, 1927, 386, 515, 0, 2, 4, 0, 20, 2\r\n",
                         0),
              0u);
    EXPECT_EQ(Md5Hex(rest), "6045fe5f09d04aa3292a4cae276b53f6") << "the same lines on every machine";
}

TEST(Cli, ObjectiveRulesFiles) {
    test::TempDir dir;
    test::WriteFile(dir.Path("r.obr"), "BaseId 500\nType Town\nPriority 7\nIds 1, 2\nGenerates Town 1-3\n");
    const auto shown = RunCommand(Cli("obr " + dir.Path("r.obr")));
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, "# r.obr: 1 rules\r\n# Objective rules\r\nBaseId 500\r\nIgnoreNoNames 0\r\n\r\n"
                         "Type Town\r\nPriority 7\r\nIds 1, 2\r\nGenerates Town 1-3\r\n");
    const auto defaults = RunCommand(Cli("obr --defaults"));
    EXPECT_NE(defaults.out.find("Type Airport\r\nPriority 40\r\nIds 1779\r\n"), std::string::npos);
    test::WriteFile(dir.Path("d.obr"), defaults.out);
    const auto reread = RunCommand(Cli("obr " + dir.Path("d.obr")));
    EXPECT_EQ(reread.out.substr(reread.out.find('\n')), defaults.out.substr(defaults.out.find('\n')))
        << "the defaults as printed read back as the same rules";
    test::WriteFile(dir.Path("none.txt"), "# nothing\n");
    EXPECT_NE(RunCommand(Cli("obr " + dir.Path("none.txt"))).err.find("holds no objective rule"), std::string::npos);

    const auto missing = RunCommand(Cli("obr " + dir.Path("none.obr")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.obr"), std::string::npos);
    const auto generate = RunCommand(Cli("generate " + test::SampleDir() + "/coast.hdr " + dir.Path("g.l2") +
                                         " --objectives --obr " + dir.Path("none.obr")));
    EXPECT_EQ(generate.status, 1);
    EXPECT_FALSE(test::Exists(dir.Path("g.l2")));
}

}  // namespace
}  // namespace gw
