#include "gdalio/DemImport.h"
#include "gdalio/HeightPosts.h"
#include "gdalio/ImportGrid.h"
#include "gdalio/GdalSession.h"
#include "tests/generate/WriterFixture.h"
#include "tests/gdalio/TestRasters.h"

#include <sys/stat.h>

#include <cpl_error.h>

#include <algorithm>
#include <limits>
#include <set>
#include <thread>

// Options are given by the fields a case sets; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace gw::gdalio {
namespace {

using test::TestRaster;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where and on which threads progress was reported.
class RecordedProgress : public NullProgress {
public:
    int SetPos(int pos) override {
        positions.push_back(pos);
        threads.insert(std::this_thread::get_id());
        return NullProgress::SetPos(pos);
    }
    std::vector<int> positions;
    std::set<std::thread::id> threads;
};

class DemImportTest : public ::testing::Test {
protected:
    std::string Tif(const std::string& name, const TestRaster& raster) {
        return test::WriteGeoTiff(dir.Path(name), raster);
    }
    Status Import(const std::vector<std::string>& sources, DemImportOptions options = {}, Progress* progress = nullptr) {
        options.sources = sources;
        if (options.output.empty()) options.output = dir.Path("dem.hdr");
        NullProgress none;
        return ImportDem(options, progress ? *progress : none, prompts, report);
    }
    std::vector<std::int16_t> Posts() { return test::ReadPosts(dir.Path("dem.bin")); }
    std::map<std::string, std::string> Files() { return test::Contents(dir.Path("")); }

    test::TempDir dir;
    test::ScriptedPrompts prompts;  // Cancel? yes
    DemImportReport report;
};

// Whole metres are kept; heights in feet, scaled or blended become whole metres (halves
// away from zero, through floats whatever the sources' type); posts no source covers are
// missing; a later source wins; the grid goes east across the antimeridian, or stays west
// of it where the bounds given are, the header stating the grid the posts are on.
TEST_F(DemImportTest, SourcesBecomeWholeMetrePostsInTheOrderGiven) {
    const auto at = [](double west, double north, std::vector<double> values) {
        return TestRaster().Size(int(values.size()), 1).Grid({{west, 0.5, 0, north, 0, -0.5}}).Values(values);
    };
    const TestRaster halves = TestRaster().Size(4, 2).Values({-2, -3, 5, 6, -2, -3, 5, 6});
    const DemImportOptions average{.spacing = 1.0, .resampling = Resampling::kAverage};
    const std::int16_t m = -32768;  // missing
    struct Case {
        std::vector<TestRaster> sources;
        DemImportOptions options;
        std::vector<std::int16_t> posts;
        std::uint64_t noData = 0, clamped = 0;
    };
    const Case cases[] = {
        {{TestRaster().Values({0, 1, -5, 4086, 7, 8, 9, 10, -32767, 32767, 11, 12})}, {},
         {0, 1, -5, 4086, 7, 8, 9, 10, -32767, 32767, 11, 12}},
        {{TestRaster().Type(GDT_Float32).Values({1000, -10, 0.5, 200000, kNaN, -1, 1.6405, 3280.84}).NoData(-1).Unit("ft")},
         {}, {305, -3, 0, 32767, m, m, 1, 1000, 0, 0, 0, 0}, 2, 1},
        {{TestRaster().Values({10, 25, -9, -9}).NoData(-9).Bands(3).ScaleOffset(0.1, 100)}, {},
         {101, 103, m, m, 100, 100, 100, 100, 100, 100, 100, 100}, 2},
        {{at(10, 50, {3937}).Unit("US survey foot")}, {}, {1200}},
        {{halves}, average, {-3, 6}},
        {{TestRaster(halves).Type(GDT_Float32)}, average, {-3, 6}},
        {{TestRaster().Values({1, -9999, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).NoData(-9999)},
         {.bounds = GeoBounds{9.5, 48.5, 12, 50.5}},
         {m, m, m, m, m, m, 1, m, 3, 4, m, 5, 6, 7, 8, m, 9, 10, 11, 12}, 9},
        {{at(10, 50, {1, 1, 1, 1}), at(11, 50, {2, 2, 2, 2})}, {}, {1, 1, 2, 2, 2, 2}},
        {{at(11, 50, {2, 2, 2, 2}), at(10, 50, {1, 1, 1, 1})}, {}, {1, 1, 1, 1, 2, 2}},
        {{at(179, -15, {1, 1}), at(-180, -15, {2, 2})}, {}, {1, 1, 2, 2}},
        {{at(190, -15, {3, 3})}, {.bounds = GeoBounds{-170, -15.5, -169, -15}}, {3, 3}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::vector<std::string> sources;
        for (const TestRaster& s : cases[i].sources) sources.push_back(Tif(std::to_string(sources.size()) + ".tif", s));
        ASSERT_TRUE(Import(sources, cases[i].options).ok());
        EXPECT_EQ(Posts(), cases[i].posts);
        EXPECT_EQ(report.noDataPosts, cases[i].noData);
        EXPECT_EQ(report.clampedPosts, cases[i].clamped);
    }
    EXPECT_EQ(test::ReadFile(dir.Path("dem.hdr")),
              "file_title = dem\r\ndata_type = raster\r\ngrid_cell_registration = center\r\n"
              "map_projection = Lat/Lon\r\nleft_map_x = -170\r\nright_map_x = -169\r\nupper_map_y = -15\r\n"
              "lower_map_y = -15.5\r\nnumber_of_rows = 1\r\nnumber_of_columns = 2\r\ngrid_size = 0.5\r\n"
              "elev_m_unit = meters\r\nelev_m_min = 3\r\nelev_m_max = 3\r\nelev_m_missing_flag = -32768\r\n");
}

TEST_F(DemImportTest, RefusesWhatCannotBeImportedBeforeWritingAnything) {
    const std::string good = Tif("good.tif", TestRaster());
    const std::string notOnGrid = Tif("nogrid.tif", TestRaster().Grid(std::nullopt).Srs(""));
    const std::string noSystem = Tif("nosrs.tif", TestRaster().Srs(""));
    const std::string inches = Tif("inches.tif", TestRaster().Unit("in"));
    const std::string itsRaster = Tif("raster.bin", TestRaster());
    const std::string pipe = dir.Path("pipe.tif");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> sources;
        DemImportOptions options;
        Status::Code code;
        std::string reason;
    };
    using enum Status::Code;
    const Case cases[] = {
        {{good, notOnGrid}, {}, kCorruption, "nogrid.tif: it is not placed on a grid"},
        {{noSystem}, {}, kCorruption, "nosrs.tif: it has no coordinate system"},
        {{inches}, {}, kCorruption, "inches.tif: its heights are in \"in\""},
        {{dir.Path("none.tif")}, {}, kIOError, "cannot open " + dir.Path("none.tif")},
        {{good, pipe}, {}, kIOError, "cannot open " + pipe + " as a raster: it is a pipe"},
        {{good}, {.bounds = GeoBounds{20, 48, 21, 49}}, kInvalidArgument, "miss every source"},
        {{good}, {.bounds = GeoBounds{12, 48, 10, 49}}, kInvalidArgument, "enclose nothing"},
        {{good}, {.bounds = GeoBounds{10, 48, 12, kNaN}}, kInvalidArgument, "enclose nothing"},
        {{good}, {.bounds = GeoBounds{10, 48, 12, 91}}, kInvalidArgument, "beyond the globe"},
        {{good}, {.spacing = kNaN}, kInvalidArgument, "spacing"},
        {{good}, {.output = dir.Path("missing/dem.hdr")}, kIOError, "cannot create " + dir.Path("missing/dem.bin")},
        {{good}, {.output = dir.Path("dem.dat")}, kInvalidArgument, "holds \".hdr\""},
        {{good}, {.title = "two\nlines"}, kInvalidArgument, "title"},
        {{good}, {.title = " blank"}, kInvalidArgument, "title"},
        {{itsRaster}, {.output = dir.Path("raster.hdr")}, kInvalidArgument, "would replace it"},
        {{}, {}, kInvalidArgument, "no source"},
    };
    const auto before = Files();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const Status imported = Import(c.sources, c.options);
        EXPECT_EQ(imported.code(), c.code);
        EXPECT_NE(imported.message().find(c.reason), std::string::npos) << imported.message();
        EXPECT_EQ(Files(), before);
    }
}

TEST_F(DemImportTest, AConfirmedCancelLeavesTheEarlierDemAsItWas) {
    const std::string source = Tif("src.tif", TestRaster().Values({5}));
    test::WriteFile(dir.Path("dem.hdr"), "old header");
    test::WriteFile(dir.Path("dem.bin"), "old raster");
    const auto before = Files();
    test::CancellingProgress progress(0);  // pressed from the start
    EXPECT_TRUE(Import({source}, {}, &progress).IsCancelled());
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(Files(), before) << "no temporary left, the earlier DEM as it was";
    prompts.answerYes = false;
    ASSERT_TRUE(Import({source}, {}, &progress).ok());
    EXPECT_EQ(Posts().front(), 5);
}

TEST_F(DemImportTest, ReportsProgressOnTheCallingThreadFrom0To100) {
    // Reprojected and cubic: GDAL's warper at work on several threads.
    TestRaster utm = TestRaster().Size(600, 600).Grid({{450000, 100, 0, 5030000, 0, -100}}).Srs("EPSG:32633");
    RecordedProgress progress;
    ASSERT_TRUE(Import({Tif("utm.tif", utm.Values(std::vector<double>(600 * 600, 100.0)))},
                       {.resampling = Resampling::kCubic}, &progress).ok());
    EXPECT_EQ(progress.threads, std::set<std::thread::id>{std::this_thread::get_id()});
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_EQ(progress.positions.front(), 0);
    EXPECT_EQ(progress.positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(report.plan.header.elev_m_min + report.plan.header.elev_m_max, 200);
}

// Projected sources are measured at their centre; UTM zone 60 reaches past 180 degrees
// east (not round the globe); polar stereographic takes in every longitude.
TEST(PlanDemImport, MeasuresProjectedSourcesAtTheirCentreAndGoesAcrossTheAntimeridianAndPole) {
    test::TempDir dir;
    const auto plan = [&](const std::string& srs, double west, double north, double spacing) {
        const TestRaster source = TestRaster().Size(100, 100).Grid({{west, spacing, 0, north, 0, -spacing}}).Srs(srs);
        DemImportPlan planned;
        EXPECT_TRUE(PlanDemImport({.sources = {test::WriteGeoTiff(dir.Path(srs.substr(5) + ".tif"), source)},
                                   .output = dir.Path("dem.hdr")}, planned).ok()) << srs;
        return planned.header;
    };
    const DemHeader utm = plan("EPSG:32633", 450000, 5030000, 1000);  // 1/111 of a degree of latitude
    EXPECT_NEAR(utm.grid_size, 1000 / 111132.0, 0.02 * 1000 / 111132.0);
    EXPECT_NEAR((utm.upper_map_y + utm.lower_map_y) / 2, 45.0, 0.5);
    const DemHeader zone60 = plan("EPSG:32660", 750000, 1100000, 1000);
    EXPECT_LT(zone60.left_map_x, 180.0);
    EXPECT_GT(zone60.right_map_x, 180.0);
    EXPECT_LT(zone60.right_map_x - zone60.left_map_x, 2.0);
    const DemHeader pole = plan("EPSG:3413", -100000, 100000, 2000);
    EXPECT_EQ(std::vector({pole.upper_map_y, pole.left_map_x, pole.right_map_x}), std::vector({90.0, -180.0, 180.0}));
}

TEST(GdalMessages, AClearedFailureIsNotToldAgainButTheWarningsStay) {
    GdalMessages messages;
    CPLError(CE_Warning, CPLE_AppDefined, "a warning");
    CPLError(CE_Failure, CPLE_AppDefined, "an earlier failure");
    EXPECT_EQ(messages.LastError("none"), "an earlier failure");
    messages.ClearLastError();
    EXPECT_EQ(messages.LastError("none"), "none") << "a later operation that reports nothing";
    CPLError(CE_Failure, CPLE_AppDefined, "its own failure");
    EXPECT_EQ(messages.LastError("none"), "its own failure");
    EXPECT_EQ(messages.warnings(), std::vector<std::string>{"a warning"});
}

TEST(ParseResampling, KnowsFourMethodsWhateverTheCase) {
    EXPECT_EQ(std::vector({ParseResampling("bilinear"), ParseResampling("Average"), ParseResampling("NEAREST"),
                           ParseResampling("cubic"), ParseResampling("near")}),
              (std::vector<std::optional<Resampling>>{Resampling::kBilinear, Resampling::kAverage,
                                                      Resampling::kNearest, Resampling::kCubic, std::nullopt}));
}

std::array<double, 4> Edges(const GeoBounds& b) { return {b.west, b.south, b.east, b.north}; }

// The bounds are kept and the cells give way; at least one post each way; no more than
// 2^31 posts, nor more rows or columns than a header can state. A refusal leaves the grid.
TEST(SettleGrid, TakesTheNearestWholeCountsWithinTheLimits) {
    const double headerCount = 180.0 / 2147483648.0;  // 2^31 rows or columns, within the posts' limit
    struct Case {
        GeoBounds bounds;
        double spacing;
        std::int32_t columns, rows;  // 0: refused
        std::string says;
    };
    const Case cases[] = {
        {{-6, 35, 20, 52}, 1.0 / 30, 780, 510, ""},
        {{-6, 35, 20, 52}, 0.0333, 781, 511, ""},
        {{5, 44, 5.001, 44.001}, 0.5, 1, 1, ""},
        {{0, 0, 65536, 32768}, 1.0, 65536, 32768, ""},
        {{0, -90, 1e-7, 90}, 180.0 / 2147483647.0, 1, 2147483647, ""},
        {{0, 0, 65536, 32769}, 1.0, 0, 0, "more than 2^31"},
        {{0, 0, 360, 180}, 1e-300, 0, 0, "more than"},
        {{0, -90, 1e-7, 90}, headerCount, 0, 0, "2147483648 rows"},
        {{-90, 0, 90, 1e-7}, headerCount, 0, 0, "2147483648 columns"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spacing);
        ImportGrid grid;
        const Status settled = SettleGrid(c.bounds, c.spacing, grid);
        EXPECT_EQ(settled.ok(), c.columns > 0) << settled.message();
        if (c.columns == 0) {
            EXPECT_EQ(settled.code(), Status::Code::kResourceExhausted);
        }
        EXPECT_NE(settled.message().find(c.says), std::string::npos) << settled.message();
        EXPECT_EQ(grid.columns, c.columns);
        EXPECT_EQ(grid.rows, c.rows);
        if (c.columns > 0) {
            EXPECT_EQ(Edges(grid.bounds), Edges(c.bounds));
        }
    }
}

// Longitudes go east past the antimeridian when that is narrower, and keep their own
// values beyond it; the widest gap between the extents is what is left out.
TEST(UnionOf, TakesTheNarrowestWayRoundTheGlobe) {
    const std::pair<std::vector<GeoBounds>, GeoBounds> cases[] = {
        {{{10, 40, 12, 41}, {11, 42, 13, 43}}, {10, 40, 13, 43}},
        {{{179, -16, 180, -15}, {-180, -16, -179, -15}}, {179, -16, 181, -15}},
        {{{175.5, 0, 182.5, 1}, {-179, 0, -178, 1}}, {175.5, 0, 182.5, 1}},
        {{{190, 0, 191, 1}, {195, 0, 196, 1}}, {190, 0, 196, 1}},
        {{{0, 0, 360, 1}, {-180, 0, -170, 1}}, {0, 0, 360, 1}},
        {{{-10, 0, 10, 1}, {172, 0, 175, 1}, {-175, 0, -170, 1}}, {172, 0, 370, 1}},
    };
    for (const auto& [extents, expected] : cases) {
        EXPECT_EQ(Edges(UnionOf(extents)), Edges(expected));
    }
    EXPECT_FALSE(Overlap({10, 0, 11, 1}, {11, 0, 12, 1})) << "touching is no overlap";
    EXPECT_FALSE(Overlap({10, 0, 11, 1}, {10, 1, 11, 2}));
}

// Laid end to end, the windows give every post once in the raster's order, several rows
// only whole, and never more posts than asked.
TEST(PlanWindows, CoverTheGridOnceInRasterOrder) {
    const ImportGrid small{{}, 10, 7};
    const std::tuple<ImportGrid, std::uint64_t, std::size_t> cases[] = {  // windows: 0 unchecked
        {small, 1, 70}, {small, 3, 30},  {small, 6, 0},    {small, 7, 10}, {small, 15, 5},
        {small, 69, 0}, {small, 70, 1}, {small, 1000, 1}, {{{}, 1, 2147483647}, std::uint64_t{1} << 30, 2},
    };
    for (const auto& [grid, maxPosts, count] : cases) {
        SCOPED_TRACE(maxPosts);
        const std::vector<GridWindow> windows = PlanWindows(grid, maxPosts);
        if (count) {
            EXPECT_EQ(windows.size(), count);
        }
        std::int32_t row = 0, column = 0;
        for (const GridWindow& w : windows) {
            EXPECT_LE(w.posts(), maxPosts);
            ASSERT_EQ(w.row, row);
            ASSERT_EQ(w.column, column);
            if (w.rows > 1) {
                EXPECT_EQ(w.columns, grid.columns);
            }
            column += w.columns;
            if (column == grid.columns) column = 0, row += w.rows;
        }
        EXPECT_EQ(row, grid.rows);
        EXPECT_EQ(column, 0);
    }
}

template <typename T>
std::vector<std::int16_t> Convert(const std::vector<T>& heights, PostTally& tally) {
    std::vector<std::uint8_t> bytes(heights.size() * 2);
    ConvertHeights(std::span<const T>(heights), bytes.data(), tally);
    std::vector<std::int16_t> posts;
    for (std::size_t i = 0; i < bytes.size(); i += 2) posts.push_back(std::int16_t(bytes[i] | bytes[i + 1] << 8));
    return posts;
}

// Halves away from zero; NaN is no data; beyond the range above the missing flag, the
// nearer end of it, counted. Whole metres are written as they are.
TEST(ConvertHeights, RoundsClampsAndCountsThePosts) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    PostTally tally;
    EXPECT_EQ(Convert(std::vector<float>{2.5f, -2.5f, 2.49f, -0.4f, nan, 4086.f, -5035.2f, 40000.f, -40000.f,
                                         -32767.4f, 32767.4f, inf, -inf, -32767.6f, -32767.5f},
                      tally),
              (std::vector<std::int16_t>{3, -3, 2, 0, -32768, 4086, -5035, 32767, -32767, -32767, 32767, 32767,
                                         -32767, -32767, -32767}));
    EXPECT_EQ(tally.posts, 15u);
    EXPECT_EQ(tally.noData, 1u) << "a height far below is not no data";
    EXPECT_EQ(tally.clamped, 6u);
    EXPECT_EQ(tally.lowest, -32767);
    EXPECT_EQ(tally.highest, 32767);

    PostTally whole, none;
    const std::vector<std::int16_t> posts = {-32768, -5, 0, 255, -32768};
    EXPECT_EQ(Convert(posts, whole), posts);
    EXPECT_EQ(std::tuple(whole.posts, whole.noData, whole.lowest, whole.highest), std::tuple(5u, 2u, -5, 255));
    Convert(std::vector<float>{nan}, none);
    EXPECT_GT(none.lowest, none.highest) << "without any height the range stays empty";
}

}  // namespace
}  // namespace gw::gdalio
