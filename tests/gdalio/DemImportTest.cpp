#include "DemImport.h"
#include "GdalSession.h"
#include "TestSupport.h"
#include "document/GridwrightDoc.h"
#include "gdalio/TestRasters.h"
#include "progress/ProgressState.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <thread>

namespace gw::gdalio {
namespace {

using test::Raster;
using test::ReadPosts;
using test::TestRaster;
using test::WriteGeoTiff;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Answers "Cancel?" as told and counts the questions.
class Answers : public UserPrompts {
public:
    explicit Answers(bool yes) : m_yes(yes) {}
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override {
        ++asked;
        return m_yes;
    }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
    int asked = 0;

private:
    bool m_yes;
};

// A progress whose Cancel is pressed from the start.
class PressedCancel : public NullProgress {
public:
    bool CheckCancelButton() override { return true; }
};

class DemImportTest : public ::testing::Test {
protected:
    Status Import(const std::vector<std::string>& sources, DemImportOptions options = {}) {
        options.sources = sources;
        if (options.output.empty()) options.output = dir.Path("dem.hdr");
        NullProgress progress;
        Answers no(false);
        return ImportDem(options, progress, no, report);
    }
    std::vector<std::int16_t> Posts() { return ReadPosts(dir.Path("dem.bin")); }

    test::TempDir dir;
    DemImportReport report;
};

TEST_F(DemImportTest, ASourceOnTheGridGivesItsPostsAndAHeaderTheReaderOpens) {
    const std::vector<double> values = {0, 1, -5, 4086, 7, 8, 9, 10, -32767, 32767, 11, 12};
    const std::string source = WriteGeoTiff(dir.Path("src.tif"), Raster([&](TestRaster& r) { r.values = values; }));
    const Status imported = Import({source});
    ASSERT_TRUE(imported.ok()) << imported.message();
    EXPECT_EQ(Posts(), std::vector<std::int16_t>(values.begin(), values.end()));
    EXPECT_EQ(report.posts, 12u);
    EXPECT_EQ(report.noDataPosts, 0u);
    EXPECT_EQ(report.plan.rasterPath, dir.Path("dem.bin"));

    const std::string text = test::ReadFile(dir.Path("dem.hdr"));
    EXPECT_EQ(text.rfind("file_title = dem\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1) << "every line ends in CR LF";
    CGridwrightDoc doc;
    const Status opened = doc.OnOpenDocument(dir.Path("dem.hdr"));
    ASSERT_TRUE(opened.ok()) << opened.message();
    const DemHeader& h = doc.header();
    EXPECT_EQ(h.left_map_x, 10);
    EXPECT_EQ(h.right_map_x, 12);
    EXPECT_EQ(h.upper_map_y, 50);
    EXPECT_EQ(h.lower_map_y, 48.5);
    EXPECT_EQ(h.number_of_rows, 3);
    EXPECT_EQ(h.number_of_columns, 4);
    EXPECT_EQ(h.grid_size, 0.5);
    EXPECT_EQ(h.elev_m_unit, "meters");
    EXPECT_EQ(h.elev_m_min, -32767);
    EXPECT_EQ(h.elev_m_max, 32767);
    EXPECT_EQ(h.elev_m_missing_flag, -32768);
    EXPECT_EQ(doc.GetElevation(3, 0), 13402) << "4086 m as the DEM reader gives it in feet";
    EXPECT_EQ(doc.GetElevation(2, 0), 0) << "below sea level reads as 0";
}

TEST_F(DemImportTest, FeetScaledAndFloatingHeightsBecomeWholeMetres) {
    const std::string feet =
        WriteGeoTiff(dir.Path("feet.tif"), Raster([&](TestRaster& r) {
                         r.type = GDT_Float32;
                         r.values = {1000, -10, 0.5, 200000, kNaN, -1, 1.6405, 3280.84, 2, 2, 2, 2};
                         r.noData = -1;
                         r.unit = "ft";
                     }));
    ASSERT_TRUE(Import({feet}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{305, -3, 0, 32767, -32768, -32768, 1, 1000, 1, 1, 1, 1}));
    EXPECT_EQ(report.clampedPosts, 1u);
    EXPECT_EQ(report.noDataPosts, 2u) << "the no-data value and a NaN";
    EXPECT_EQ(report.plan.header.elev_m_max, 32767);

    const std::string scaled = WriteGeoTiff(dir.Path("scaled.tif"), Raster([&](TestRaster& r) {
                                                r.values = {10, 25, -9, -9};
                                                r.noData = -9;
                                                r.bands = 3;
                                                r.scale = 0.1;
                                                r.offset = 100;
                                            }));
    ASSERT_TRUE(Import({scaled}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{101, 103, -32768, -32768, 100, 100, 100, 100, 100, 100, 100, 100}))
        << "the first band, scaled and offset, its no data kept";

    const std::string survey = WriteGeoTiff(dir.Path("survey.tif"), Raster([&](TestRaster& r) {
                                                r.values = {3937};
                                                r.unit = "US survey foot";
                                            }));
    ASSERT_TRUE(Import({survey}).ok());
    EXPECT_EQ(Posts().front(), 1200);
}

TEST_F(DemImportTest, PostsNoSourceCoversAreMissingAndCounted) {
    const std::string source = WriteGeoTiff(dir.Path("src.tif"), Raster([&](TestRaster& r) {
                                                r.values = {1, -9999, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
                                                r.noData = -9999;
                                            }));
    DemImportOptions options;
    options.bounds = GeoBounds{9.5, 48.5, 12, 50.5};
    ASSERT_TRUE(Import({source}, options).ok());
    const std::int16_t m = -32768;
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{m, m, m, m, m, m, 1, m, 3, 4, m, 5, 6, 7, 8, m, 9, 10, 11, 12}));
    EXPECT_EQ(report.noDataPosts, 9u);
    EXPECT_EQ(report.plan.header.elev_m_min, 1);
    EXPECT_EQ(report.plan.header.left_map_x, 9.5);
    EXPECT_EQ(report.plan.header.upper_map_y, 50.5);
}

TEST_F(DemImportTest, ALaterSourceWinsWhereTheyOverlap) {
    const std::string a = WriteGeoTiff(dir.Path("a.tif"), Raster([&](TestRaster& r) {
                                           r.columns = 4;
                                           r.rows = 1;
                                           r.values = {1, 1, 1, 1};
                                       }));
    const std::string b = WriteGeoTiff(dir.Path("b.tif"), Raster([&](TestRaster& r) {
                                           r.columns = 4;
                                           r.rows = 1;
                                           r.gt = std::array<double, 6>{11, 0.5, 0, 50, 0, -0.5};
                                           r.values = {2, 2, 2, 2};
                                       }));
    ASSERT_TRUE(Import({a, b}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{1, 1, 2, 2, 2, 2}));
    EXPECT_EQ(report.plan.header.right_map_x, 13) << "the union of the sources";
    ASSERT_TRUE(Import({b, a}).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{1, 1, 1, 1, 2, 2}));
}

TEST_F(DemImportTest, SourcesEitherSideOfTheAntimeridianMakeOneDemAcrossIt) {
    const auto tile = [&](const char* name, double west, double value) {
        return WriteGeoTiff(dir.Path(name), Raster([&](TestRaster& r) {
                                r.columns = 2;
                                r.rows = 1;
                                r.gt = std::array<double, 6>{west, 0.5, 0, -15, 0, -0.5};
                                r.values = {value, value};
                            }));
    };
    const std::string west = tile("west.tif", 179, 1), east = tile("east.tif", -180, 2);
    ASSERT_TRUE(Import({west, east}).ok());
    EXPECT_EQ(report.plan.header.left_map_x, 179);
    EXPECT_EQ(report.plan.header.right_map_x, 181);
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{1, 1, 2, 2}));

    // A source given in longitudes beyond 180 lands on bounds given west of the antimeridian.
    DemImportOptions options;
    options.bounds = GeoBounds{-170, -15.5, -169, -15};
    ASSERT_TRUE(Import({tile("far.tif", 190, 3)}, options).ok());
    EXPECT_EQ(Posts(), (std::vector<std::int16_t>{3, 3}));
}

TEST_F(DemImportTest, RefusesWhatCannotBeImportedBeforeWritingAnything) {
    const std::string good = WriteGeoTiff(dir.Path("good.tif"), {});
    const std::string notOnGrid = WriteGeoTiff(dir.Path("nogrid.tif"), Raster([&](TestRaster& r) {
                                                   r.gt = std::nullopt;
                                                   r.srs = "";
                                               }));
    const std::string noSystem = WriteGeoTiff(dir.Path("nosrs.tif"), Raster([&](TestRaster& r) { r.srs = ""; }));
    const std::string inches = WriteGeoTiff(dir.Path("inches.tif"), Raster([&](TestRaster& r) { r.unit = "in"; }));
    const std::string itsRaster = WriteGeoTiff(dir.Path("raster.bin"), {});
    struct Case {
        std::vector<std::string> sources;
        DemImportOptions options;
        Status::Code code;
        std::string reason;
    };
    const auto with = [](auto change) {
        DemImportOptions options;
        change(options);
        return options;
    };
    const Case cases[] = {
        {{good, notOnGrid}, {}, Status::Code::kCorruption, "nogrid.tif: it is not placed on a grid"},
        {{noSystem}, {}, Status::Code::kCorruption, "nosrs.tif: it has no coordinate system"},
        {{inches}, {}, Status::Code::kCorruption, "inches.tif: its heights are in \"in\""},
        {{dir.Path("none.tif")}, {}, Status::Code::kIOError, "cannot open " + dir.Path("none.tif")},
        {{good},
         with([](auto& o) {
             o.bounds = GeoBounds{20, 48, 21, 49};
         }),
         Status::Code::kInvalidArgument,
         "miss every source"},
        {{good},
         with([](auto& o) {
             o.bounds = GeoBounds{12, 48, 10, 49};
         }),
         Status::Code::kInvalidArgument,
         "enclose nothing"},
        {{good},
         with([](auto& o) {
             o.bounds = GeoBounds{10, 48, 12, kNaN};
         }),
         Status::Code::kInvalidArgument,
         "enclose nothing"},
        {{good},
         with([](auto& o) {
             o.bounds = GeoBounds{10, 48, 12, 91};
         }),
         Status::Code::kInvalidArgument,
         "beyond the globe"},
        {{good}, with([](auto& o) { o.spacing = 0.0; }), Status::Code::kInvalidArgument, "spacing"},
        {{good}, with([](auto& o) { o.spacing = kNaN; }), Status::Code::kInvalidArgument, "spacing"},
        {{good}, with([](auto& o) { o.spacing = 1e-6; }), Status::Code::kResourceExhausted, "more than 2^31"},
        {{good},
         with([&](auto& o) { o.output = dir.Path("dem.dat"); }),
         Status::Code::kInvalidArgument,
         "holds \".hdr\""},
        {{good}, with([](auto& o) { o.title = "two\nlines"; }), Status::Code::kInvalidArgument, "title"},
        {{good}, with([](auto& o) { o.title = " blank"; }), Status::Code::kInvalidArgument, "title"},
        {{itsRaster},
         with([&](auto& o) { o.output = dir.Path("raster.hdr"); }),
         Status::Code::kInvalidArgument,
         "would replace it"},
        {{}, {}, Status::Code::kInvalidArgument, "no source"},
    };
    const std::set<std::string> before = test::FilesIn(dir.Path(""));
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
        EXPECT_EQ(imported.code(), c.code);
        EXPECT_EQ(imported.message(), planned.message());
        EXPECT_EQ(test::FilesIn(dir.Path("")), before);
    }
}

TEST_F(DemImportTest, AConfirmedCancelLeavesTheEarlierDemAsItWas) {
    const std::string source = WriteGeoTiff(dir.Path("src.tif"), Raster([&](TestRaster& r) { r.values = {5}; }));
    test::WriteFile(dir.Path("dem.hdr"), "old header");
    test::WriteFile(dir.Path("dem.bin"), "old raster");
    const std::set<std::string> before = test::FilesIn(dir.Path(""));
    PressedCancel progress;
    Answers yes(true);
    DemImportOptions options;
    options.sources = {source};
    options.output = dir.Path("dem.hdr");
    const Status imported = ImportDem(options, progress, yes, report);
    EXPECT_TRUE(imported.IsCancelled()) << imported.message();
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(yes.asked, 1);
    EXPECT_EQ(test::FilesIn(dir.Path("")), before) << "no temporary left";
    EXPECT_EQ(test::ReadFile(dir.Path("dem.hdr")), "old header");
    EXPECT_EQ(test::ReadFile(dir.Path("dem.bin")), "old raster");

    Answers no(false);
    ASSERT_TRUE(ImportDem(options, progress, no, report).ok());
    EXPECT_FALSE(report.cancelled);
    EXPECT_GT(no.asked, 0);
    EXPECT_EQ(Posts().front(), 5);
}

TEST_F(DemImportTest, AFolderThatCannotBeWrittenFailsWithTheReason) {
    const std::string source = WriteGeoTiff(dir.Path("src.tif"), {});
    DemImportOptions options;
    options.output = dir.Path("missing/dem.hdr");
    const Status imported = Import({source}, options);
    EXPECT_EQ(imported.code(), Status::Code::kIOError);
    EXPECT_NE(imported.message().find("cannot create " + dir.Path("missing/dem.bin")), std::string::npos)
        << imported.message();
}

TEST_F(DemImportTest, PlansProjectedSourcesAtTheirCentreAndAcrossTheAntimeridianAndPole) {
    DemImportPlan plan;
    DemImportOptions options;
    options.output = dir.Path("dem.hdr");
    // 1 km posts in UTM zone 33 around 45 degrees north: 1/111 of a degree of latitude.
    options.sources = {WriteGeoTiff(dir.Path("utm.tif"), Raster([&](TestRaster& r) {
                                        r.columns = 100;
                                        r.rows = 100;
                                        r.gt = std::array<double, 6>{450000, 1000, 0, 5030000, 0, -1000};
                                        r.srs = "EPSG:32633";
                                    }))};
    ASSERT_TRUE(PlanDemImport(options, plan).ok());
    EXPECT_NEAR(plan.header.grid_size, 1000 / 111132.0, 0.02 * 1000 / 111132.0);
    EXPECT_NEAR((plan.header.upper_map_y + plan.header.lower_map_y) / 2, 45.0, 0.5);

    // UTM zone 60 reaches past 180 degrees east: one extent beyond 180, not the whole globe.
    options.sources = {WriteGeoTiff(dir.Path("zone60.tif"), Raster([&](TestRaster& r) {
                                        r.columns = 300;
                                        r.rows = 100;
                                        r.gt = std::array<double, 6>{700000, 1000, 0, 1100000, 0, -1000};
                                        r.srs = "EPSG:32660";
                                    }))};
    ASSERT_TRUE(PlanDemImport(options, plan).ok());
    EXPECT_LT(plan.header.left_map_x, 180.0);
    EXPECT_GT(plan.header.right_map_x, 180.0);
    EXPECT_LT(plan.header.right_map_x - plan.header.left_map_x, 5.0);

    // A polar stereographic source around the North Pole takes in every longitude.
    options.sources = {WriteGeoTiff(dir.Path("pole.tif"), Raster([&](TestRaster& r) {
                                        r.columns = 100;
                                        r.rows = 100;
                                        r.gt = std::array<double, 6>{-100000, 2000, 0, 100000, 0, -2000};
                                        r.srs = "EPSG:3413";
                                    }))};
    ASSERT_TRUE(PlanDemImport(options, plan).ok());
    EXPECT_EQ(plan.header.upper_map_y, 90.0);
    EXPECT_EQ(plan.header.left_map_x, -180.0);
    EXPECT_EQ(plan.header.right_map_x, 180.0);
}

// Records where and on which thread progress was reported.
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

TEST_F(DemImportTest, ReportsProgressOnTheCallingThreadFrom0To100) {
    DemImportOptions options;
    options.output = dir.Path("dem.hdr");
    options.sources = {WriteGeoTiff(dir.Path("utm.tif"), Raster([](TestRaster& r) {
                                        r.columns = r.rows = 600;
                                        r.gt = std::array<double, 6>{450000, 100, 0, 5030000, 0, -100};
                                        r.srs = "EPSG:32633";
                                        r.values.assign(600 * 600, 100.0);
                                    }))};
    options.resampling = Resampling::kCubic;
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

TEST(ParseResampling, KnowsFourMethodsWhateverTheCase) {
    EXPECT_EQ(ParseResampling("bilinear"), Resampling::kBilinear);
    EXPECT_EQ(ParseResampling("Average"), Resampling::kAverage);
    EXPECT_EQ(ParseResampling("NEAREST"), Resampling::kNearest);
    EXPECT_EQ(ParseResampling("cubic"), Resampling::kCubic);
    EXPECT_EQ(ParseResampling("near"), std::nullopt);
    EXPECT_EQ(ParseResampling(""), std::nullopt);
}

}  // namespace
}  // namespace gw::gdalio
