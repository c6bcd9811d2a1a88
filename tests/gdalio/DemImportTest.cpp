#include "gdalio/DemImport.h"
#include "gdalio/GdalSession.h"
#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"
#include "tests/gdalio/TestRasters.h"
#include "core/progress/ProgressState.h"

#include <sys/stat.h>

#include <cpl_error.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <thread>

namespace gw::gdalio {
namespace {

using test::TestRaster;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int16_t kMissing = -32768;

// Answers "Cancel?" as told and counts the questions.
class Answers : public UserPrompts {
public:
    explicit Answers(bool yes) : m_yes(yes) {}
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return ++asked, m_yes; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
    int asked = 0;

private:
    bool m_yes;
};

// Cancel pressed from the start.
class PressedCancel : public NullProgress {
public:
    bool CheckCancelButton() override { return true; }
};

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
    Status Import(const std::vector<std::string>& sources, DemImportOptions options = {}) {
        options.sources = sources;
        if (options.output.empty()) options.output = dir.Path("dem.hdr");
        NullProgress progress;
        Answers no(false);
        return ImportDem(options, progress, no, report);
    }
    std::vector<std::int16_t> Posts() { return test::ReadPosts(dir.Path("dem.bin")); }
    std::set<std::string> Files() { return test::FilesIn(dir.Path("")); }

    test::TempDir dir;
    DemImportReport report;
};

TEST_F(DemImportTest, ASourceOnTheGridGivesItsPostsAndAHeaderTheReaderOpens) {
    const std::vector<double> values = {0, 1, -5, 4086, 7, 8, 9, 10, -32767, 32767, 11, 12};
    const Status imported = Import({Tif("src.tif", TestRaster().Values(values))});
    ASSERT_TRUE(imported.ok()) << imported.message();
    EXPECT_EQ(Posts(), std::vector<std::int16_t>(values.begin(), values.end()));
    EXPECT_EQ(report.posts, 12u);
    EXPECT_EQ(report.noDataPosts, 0u);
    EXPECT_EQ(test::ReadFile(dir.Path("dem.hdr")),
              "file_title = dem\r\ndata_type = raster\r\ngrid_cell_registration = center\r\n"
              "map_projection = Lat/Lon\r\nleft_map_x = 10\r\nright_map_x = 12\r\nupper_map_y = 50\r\n"
              "lower_map_y = 48.5\r\nnumber_of_rows = 3\r\nnumber_of_columns = 4\r\ngrid_size = 0.5\r\n"
              "elev_m_unit = meters\r\nelev_m_min = -32767\r\nelev_m_max = 32767\r\nelev_m_missing_flag = -32768\r\n");
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir.Path("dem.hdr")).ok());
    EXPECT_EQ(doc.GetElevation(3, 0), 13402) << "4086 m in feet";
    EXPECT_EQ(doc.GetElevation(2, 0), 0) << "below sea level reads as 0";
}

TEST_F(DemImportTest, FeetScaledAndFloatingHeightsBecomeWholeMetres) {
    const TestRaster feet =
        TestRaster().Type(GDT_Float32).Values({1000, -10, 0.5, 200000, kNaN, -1, 1.6405, 3280.84}).NoData(-1).Unit("ft");
    ASSERT_TRUE(Import({Tif("feet.tif", feet)}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{305, -3, 0, 32767, kMissing, kMissing, 1, 1000, 0, 0, 0, 0}));
    EXPECT_EQ(report.clampedPosts, 1u);
    EXPECT_EQ(report.noDataPosts, 2u) << "the no-data value and a NaN";

    const TestRaster scaled = TestRaster().Values({10, 25, -9, -9}).NoData(-9).Bands(3).ScaleOffset(0.1, 100);
    ASSERT_TRUE(Import({Tif("scaled.tif", scaled)}).ok());
    EXPECT_EQ(Posts(),
              (std::vector<std::int16_t>{101, 103, kMissing, kMissing, 100, 100, 100, 100, 100, 100, 100, 100}))
        << "the first band, scaled and offset, its no data kept";

    ASSERT_TRUE(Import({Tif("survey.tif", TestRaster().Values({3937}).Unit("US survey foot"))}).ok());
    EXPECT_EQ(Posts().front(), 1200);
}

TEST_F(DemImportTest, BlendedHalvesRoundAwayFromZeroWhateverTheSourcesType) {
    // Averaged two by two, the posts give -2.5 and 5.5.
    DemImportOptions options;
    options.spacing = 1.0;
    options.resampling = Resampling::kAverage;
    for (const GDALDataType type : {GDT_Int16, GDT_Float32}) {
        SCOPED_TRACE(GDALGetDataTypeName(type));
        const TestRaster halves = TestRaster().Size(4, 2).Type(type).Values({-2, -3, 5, 6, -2, -3, 5, 6});
        ASSERT_TRUE(Import({Tif("halves.tif", halves)}, options).ok());
        EXPECT_EQ(Posts(), (std::vector<std::int16_t>{-3, 6}));
    }
}

TEST_F(DemImportTest, PostsNoSourceCoversAreMissingAndCounted) {
    DemImportOptions options;
    options.bounds = GeoBounds{9.5, 48.5, 12, 50.5};
    const TestRaster holed = TestRaster().Values({1, -9999, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).NoData(-9999);
    ASSERT_TRUE(Import({Tif("src.tif", holed)}, options).ok());
    const std::int16_t m = kMissing;
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{m, m, m, m, m, m, 1, m, 3, 4, m, 5, 6, 7, 8, m, 9, 10, 11, 12}));
    EXPECT_EQ(report.noDataPosts, 9u);
    EXPECT_EQ(report.plan.header.elev_m_min, 1);
}

TEST_F(DemImportTest, ALaterSourceWinsWhereTheyOverlap) {
    const std::string a = Tif("a.tif", TestRaster().Size(4, 1).Values({1, 1, 1, 1}));
    const std::string b = Tif("b.tif", TestRaster().Size(4, 1).Grid({{11, 0.5, 0, 50, 0, -0.5}}).Values({2, 2, 2, 2}));
    ASSERT_TRUE(Import({a, b}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{1, 1, 2, 2, 2, 2}));
    EXPECT_EQ(report.plan.header.right_map_x, 13) << "the union of the sources";
    ASSERT_TRUE(Import({b, a}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{1, 1, 1, 1, 2, 2}));
}

TEST_F(DemImportTest, SourcesEitherSideOfTheAntimeridianMakeOneDemAcrossIt) {
    const auto tile = [&](const char* name, double west, double value) {
        return Tif(name, TestRaster().Size(2, 1).Grid({{west, 0.5, 0, -15, 0, -0.5}}).Values({value, value}));
    };
    ASSERT_TRUE(Import({tile("west.tif", 179, 1), tile("east.tif", -180, 2)}).ok());
    EXPECT_EQ(report.plan.header.left_map_x, 179);
    EXPECT_EQ(report.plan.header.right_map_x, 181);
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{1, 1, 2, 2}));

    // Longitudes beyond 180 meet bounds given west of the antimeridian.
    DemImportOptions options;
    options.bounds = GeoBounds{-170, -15.5, -169, -15};
    ASSERT_TRUE(Import({tile("far.tif", 190, 3)}, options).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{3, 3}));
}

TEST_F(DemImportTest, RefusesWhatCannotBeImportedBeforeWritingAnything) {
    const std::string good = Tif("good.tif", TestRaster());
    const std::string notOnGrid = Tif("nogrid.tif", TestRaster().Grid(std::nullopt).Srs(""));
    const std::string noSystem = Tif("nosrs.tif", TestRaster().Srs(""));
    const std::string inches = Tif("inches.tif", TestRaster().Unit("in"));
    const std::string itsRaster = Tif("raster.bin", TestRaster());
    const std::string pipe = dir.Path("pipe.tif");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto with = [](auto change) {
        DemImportOptions options;
        change(options);
        return options;
    };
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
        {{good}, with([](auto& o) { o.bounds = GeoBounds{20, 48, 21, 49}; }), kInvalidArgument, "miss every source"},
        {{good}, with([](auto& o) { o.bounds = GeoBounds{12, 48, 10, 49}; }), kInvalidArgument, "enclose nothing"},
        {{good}, with([](auto& o) { o.bounds = GeoBounds{10, 48, 12, kNaN}; }), kInvalidArgument, "enclose nothing"},
        {{good}, with([](auto& o) { o.bounds = GeoBounds{10, 48, 12, 91}; }), kInvalidArgument, "beyond the globe"},
        {{good}, with([](auto& o) { o.spacing = 0.0; }), kInvalidArgument, "spacing"},
        {{good}, with([](auto& o) { o.spacing = kNaN; }), kInvalidArgument, "spacing"},
        {{good}, with([](auto& o) { o.spacing = 1e-6; }), kResourceExhausted, "more than 2^31"},
        {{good}, with([&](auto& o) { o.output = dir.Path("dem.dat"); }), kInvalidArgument, "holds \".hdr\""},
        {{good}, with([](auto& o) { o.title = "two\nlines"; }), kInvalidArgument, "title"},
        {{good}, with([](auto& o) { o.title = " blank"; }), kInvalidArgument, "title"},
        {{itsRaster}, with([&](auto& o) { o.output = dir.Path("raster.hdr"); }), kInvalidArgument, "would replace it"},
        {{}, {}, kInvalidArgument, "no source"},
    };
    const std::set<std::string> before = Files();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        DemImportOptions options = c.options;
        options.sources = c.sources;
        if (options.output.empty()) options.output = dir.Path("dem.hdr");
        DemImportPlan plan;
        const Status planned = PlanDemImport(options, plan);
        EXPECT_EQ(planned.code(), c.code);
        EXPECT_NE(planned.message().find(c.reason), std::string::npos) << planned.message();
        const Status imported = Import(c.sources, options);
        EXPECT_EQ(imported.message(), planned.message());
        EXPECT_EQ(Files(), before);
    }
}

TEST_F(DemImportTest, AConfirmedCancelLeavesTheEarlierDemAsItWas) {
    DemImportOptions options;
    options.sources = {Tif("src.tif", TestRaster().Values({5}))};
    options.output = dir.Path("dem.hdr");
    test::WriteFile(dir.Path("dem.hdr"), "old header");
    test::WriteFile(dir.Path("dem.bin"), "old raster");
    const std::set<std::string> before = Files();
    PressedCancel progress;
    Answers yes(true);
    const Status imported = ImportDem(options, progress, yes, report);
    EXPECT_TRUE(imported.IsCancelled()) << imported.message();
    EXPECT_EQ(yes.asked, 1);
    EXPECT_EQ(Files(), before) << "no temporary left";
    EXPECT_EQ(test::ReadFile(dir.Path("dem.hdr")), "old header");
    EXPECT_EQ(test::ReadFile(dir.Path("dem.bin")), "old raster");

    Answers no(false);
    ASSERT_TRUE(ImportDem(options, progress, no, report).ok());
    EXPECT_GT(no.asked, 0);
    EXPECT_EQ(Posts().front(), 5);
}

TEST_F(DemImportTest, AFolderThatCannotBeWrittenFailsWithTheReason) {
    DemImportOptions options;
    options.output = dir.Path("missing/dem.hdr");
    const Status imported = Import({Tif("src.tif", TestRaster())}, options);
    EXPECT_EQ(imported.code(), Status::Code::kIOError);
    EXPECT_NE(imported.message().find("cannot create " + dir.Path("missing/dem.bin")), std::string::npos)
        << imported.message();
}

TEST_F(DemImportTest, ReportsProgressOnTheCallingThreadFrom0To100) {
    // Reprojected and cubic: GDAL's warper at work on several threads.
    DemImportOptions options;
    options.resampling = Resampling::kCubic;
    const TestRaster utm = TestRaster()
                               .Size(600, 600)
                               .Grid({{450000, 100, 0, 5030000, 0, -100}})
                               .Srs("EPSG:32633")
                               .Values(std::vector<double>(600 * 600, 100.0));
    options.sources = {Tif("utm.tif", utm)};
    options.output = dir.Path("dem.hdr");
    RecordedProgress progress;
    Answers no(false);
    ASSERT_TRUE(ImportDem(options, progress, no, report).ok());
    EXPECT_EQ(progress.threads, std::set<std::thread::id>{std::this_thread::get_id()});
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_EQ(progress.positions.front(), 0);
    EXPECT_EQ(progress.positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(report.plan.header.elev_m_min, 100);
    EXPECT_EQ(report.plan.header.elev_m_max, 100);
}

TEST(PlanDemImport, MeasuresProjectedSourcesAtTheirCentreAndGoesAcrossTheAntimeridianAndPole) {
    test::TempDir dir;
    DemImportOptions options;
    options.output = dir.Path("dem.hdr");
    const auto plan = [&](const std::string& srs, double west, double north, double spacing) {
        options.sources = {
            test::WriteGeoTiff(dir.Path(srs.substr(5) + ".tif"),
                               TestRaster().Size(100, 100).Grid({{west, spacing, 0, north, 0, -spacing}}).Srs(srs))};
        DemImportPlan planned;
        EXPECT_TRUE(PlanDemImport(options, planned).ok()) << srs;
        return planned.header;
    };
    // 1 km posts in UTM zone 33 around 45 degrees north: 1/111 of a degree of latitude.
    const DemHeader utm = plan("EPSG:32633", 450000, 5030000, 1000);
    EXPECT_NEAR(utm.grid_size, 1000 / 111132.0, 0.02 * 1000 / 111132.0);
    EXPECT_NEAR((utm.upper_map_y + utm.lower_map_y) / 2, 45.0, 0.5);

    // UTM zone 60 reaches past 180 degrees east: an extent beyond 180, not the whole globe.
    const DemHeader zone60 = plan("EPSG:32660", 750000, 1100000, 1000);
    EXPECT_LT(zone60.left_map_x, 180.0);
    EXPECT_GT(zone60.right_map_x, 180.0);
    EXPECT_LT(zone60.right_map_x - zone60.left_map_x, 2.0);

    // Polar stereographic round the North Pole takes in every longitude.
    const DemHeader pole = plan("EPSG:3413", -100000, 100000, 2000);
    EXPECT_EQ(pole.upper_map_y, 90.0);
    EXPECT_EQ(pole.left_map_x, -180.0);
    EXPECT_EQ(pole.right_map_x, 180.0);
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
    EXPECT_EQ(ParseResampling("bilinear"), Resampling::kBilinear);
    EXPECT_EQ(ParseResampling("Average"), Resampling::kAverage);
    EXPECT_EQ(ParseResampling("NEAREST"), Resampling::kNearest);
    EXPECT_EQ(ParseResampling("cubic"), Resampling::kCubic);
    EXPECT_EQ(ParseResampling("near"), std::nullopt);
}

}  // namespace
}  // namespace gw::gdalio
