#include "gdalio/VectorSource.h"
#include "tests/gdalio/GeoJson.h"
#include "tests/generate/WriterFixture.h"

namespace gw::gdalio {
namespace {

using test::Collection;
using test::Feature;

// The flat DEM of the writer tests, over -1..1 degrees both ways, with the built-in rules
// (0 RIVER, a line rule; 5 LABEL, a point rule named by PPPTNAME, typed by PPPTTYPE).
class VectorSourceTest : public test::WriterFixture {
protected:
    void SetUp() override { OpenDem(test::MinuteDem([](int, int) { return 0; })); }
    VectorLoadReport Load(const std::string& path, std::optional<std::int32_t> rule, const std::string& layer = "") {
        return LoadVectorLayer(doc, rules, {path, layer, rule}, *progress, prompts);
    }
    std::vector<GeoPoint> PointsOf(std::size_t feature) const { return doc.features().at(feature).points; }
};

// A source's rule: the first whose File names the layer or the file (folders aside), either
// with or without its extension; a rule named: by File, by Keyword, by position from 0.
TEST_F(VectorSourceTest, RulesAreFoundByTheLayerOrFileNameWithOrWithoutExtension) {
    rules.insert(rules.begin(), E00Rule{"Dnnet", 0xff, "WATER", "", "", "", "", 0});
    const std::tuple<std::string, std::string, std::optional<std::int32_t>> sources[] = {
        {"/data/DNNET.geojson", "ARC", 0}, {"/data/europe.gpkg", "pppoint", 6}, {"/data/x.gpkg", "aepoint.e00", 5},
        {"/dnnet.e00/roads.shp", "roads", std::nullopt}, {"ponet.shp", "x", 2}};
    for (const auto& [path, layer, rule] : sources) EXPECT_EQ(RuleForLayer(rules, path, layer), rule) << path;
    const std::pair<std::string, std::optional<std::int32_t>> named[] = {
        {"DNNET.E00", 1}, {"water", 0}, {"7", 7}, {"8", std::nullopt}, {"-1", std::nullopt}, {"ponet", std::nullopt}};
    for (const auto& [name, rule] : named) EXPECT_EQ(FindRule(rules, name), rule) << name;
}

TEST_F(VectorSourceTest, LinesKeepTheirPointsOnTheDemOnePerPartInOrder) {
    const std::string path = Write(
        "rivers.geojson",
        Collection(Feature(R"({"type": "LineString", "coordinates": [[0, 0], [5, 5], [1, 0.5]]})") + "," +
                   Feature(R"({"type": "LineString", "coordinates": [[3, 3], [4, 4]]})") + "," +
                   Feature("null") + "," +
                   Feature(R"({"type": "MultiLineString", "coordinates": [[[-1, 0.25]], [[0.5, -1], [0.5, 1]]]})") +
                   "," +
                   Feature(R"({"type": "Polygon", "coordinates": [[[-0.5, -0.5], [0.5, -0.5], [0, 0.5], [-0.5, -0.5]],
                                                                   [[0, 0], [0.1, 0], [0, 0.1], [0, 0]]]})")));
    const VectorLoadReport report = Load(path, 0);
    ASSERT_TRUE(report.status.ok()) << report.status.message();
    EXPECT_EQ(report.featuresAdded, 5u) << "the line wholly off the DEM and the empty feature give none";
    ASSERT_EQ(doc.features().size(), 5u);
    EXPECT_EQ(PointsOf(0), (std::vector<GeoPoint>{{0, 0}, {0.5, 1}})) << "x is the longitude";
    EXPECT_EQ(PointsOf(1), (std::vector<GeoPoint>{{0.25, -1}})) << "the edge counts as inside";
    EXPECT_EQ(PointsOf(2), (std::vector<GeoPoint>{{-1, 0.5}, {1, 0.5}}));
    EXPECT_EQ(PointsOf(3).size(), 4u) << "a ring is a closed line";
    EXPECT_EQ(PointsOf(3).front(), PointsOf(3).back());
    EXPECT_EQ(PointsOf(4).at(1), (GeoPoint{0, 0.1})) << "the inner ring follows";
}

TEST_F(VectorSourceTest, PointsTakeTheirNameAndTypeAsAnInfoItemWouldGiveThem) {
    const std::string path = Write(
        "pppoint.geojson",
        Collection(Feature(R"({"type": "Point", "coordinates": [0.5, 0.25]})",
                           R"({"pppttype": "12 a", "PPPTNAME": "Besan\u00e7on\r\nNord \u0141\u00f3d\u017a"})") +
                   "," + Feature(R"({"type": "Point", "coordinates": [2, 0]})", R"({"PPPTNAME": "off"})") + "," +
                   Feature(R"({"type": "MultiPoint", "coordinates": [[0, 0], [1, 1]]})",
                           R"({"PPPTNAME": null, "pppttype": 2.7})")));
    const VectorLoadReport report = Load(path, std::nullopt);
    ASSERT_TRUE(report.status.ok()) << report.status.message();
    EXPECT_EQ(report.ruleIndex, 5) << "the rule whose File names the file";
    ASSERT_EQ(doc.features().size(), 3u);
    EXPECT_EQ(PointsOf(0), (std::vector<GeoPoint>{{0.25, 0.5}}));
    EXPECT_EQ(doc.features()[0].name, "Besan\xe7on  Nord ?\xf3" "d?") << "Latin-1, line breaks as blanks";
    EXPECT_EQ(doc.features()[0].type, 12) << "the text read as atoi reads it";
    EXPECT_EQ(doc.features()[1].name, "");
    EXPECT_EQ(doc.features()[1].type, 2);
    EXPECT_EQ(PointsOf(2), (std::vector<GeoPoint>{{1, 1}})) << "each part of a multi-point";
    EXPECT_EQ(report.warnings.size(), 1u) << "GDAL says that characters were lost";
}

// A Shapefile keeps ten characters of a field's name and a text field's width.
TEST_F(VectorSourceTest, ShapefileFieldsAreFoundByTheirFirstTenCharactersAndNamesPaddedToTheirWidth) {
    if (test::RunCommand("command -v ogr2ogr").status != 0) GTEST_SKIP() << "no ogr2ogr (gdal-bin)";
    Write("towns.csv", "WKT,TOWN_NAME_TEXT,TOWN_TYPE_CODE\n\"POINT (0.5 0.5)\",Aosta,3\n");
    Write("towns.csvt", "WKT,String(12),Integer\n");
    const auto converted = test::RunCommand("ogr2ogr -a_srs EPSG:4326 " + dir.Path("towns.shp") + " " + dir.Path("towns.csv"));
    ASSERT_EQ(converted.status, 0) << converted.err;
    rules.push_back({"towns.e00", 0xff, "TOWN", "", "", "TOWN_NAME_TEXT", "TOWN_TYPE_CODE", 1});
    ASSERT_TRUE(Load(dir.Path("towns.shp"), std::nullopt).status.ok());
    ASSERT_EQ(doc.features().size(), 1u);
    EXPECT_EQ(doc.features()[0].name, "Aosta       ") << "as a 12-character INFO item stands";
    EXPECT_EQ(doc.features()[0].type, 3);
}

TEST_F(VectorSourceTest, ProjectedSourcesAreCarriedToWgs84) {
    // Web Mercator: x = R * longitude, y = R * ln(tan(45 degrees + latitude / 2)).
    const std::string path = Write(
        "mercator.geojson",
        Collection(Feature(R"({"type": "LineString", "coordinates": [[0, 0], [55659.74539663678, 27829.961005654874],
                                                                      [0, 1e7]]})"),
                   "urn:ogc:def:crs:EPSG::3857"));
    ASSERT_TRUE(Load(path, 0).status.ok());
    ASSERT_EQ(PointsOf(0).size(), 2u) << "the point far north is off the DEM";
    EXPECT_EQ(PointsOf(0)[0], (GeoPoint{0, 0}));
    EXPECT_NEAR(PointsOf(0)[1].lon, 0.5, 1e-12);
    EXPECT_NEAR(PointsOf(0)[1].lat, 0.25, 1e-12);

    std::vector<VectorLayerInfo> layers;  // the listing's extent is in degrees too
    ASSERT_TRUE(ListVectorLayers(path, rules, layers).ok() && layers.size() == 1 && layers[0].extent);
    EXPECT_NEAR(layers[0].extent->east, 0.5, 1e-12);
    EXPECT_NEAR(layers[0].extent->north, 66.5, 0.1);
}

// An imported DEM may reach past 180 degrees; data sources give longitudes within +-180.
TEST_F(VectorSourceTest, ADemAcrossTheAntimeridianHoldsLongitudesAWholeTurnRound) {
    test::DemSpec spec = test::MinuteDem([](int, int) { return 0; });
    spec.left = 179;
    spec.right = 181;
    OpenDem(spec);
    const std::string path = Write(
        "rivers.geojson",
        Collection(Feature(R"({"type": "LineString", "coordinates": [[179.5, 0], [180, 0.5], [-179.5, 0], [-178, 0]]})")));
    ASSERT_TRUE(Load(path, 0).status.ok());
    ASSERT_EQ(doc.features().size(), 1u);
    EXPECT_EQ(PointsOf(0), (std::vector<GeoPoint>{{0, 179.5}, {0.5, 180}, {0, 180.5}}));
}

TEST_F(VectorSourceTest, WhatCannotBeLoadedIsToldWithTheLayerAndTheRest) {
    const std::string points = Write("towns.geojson", Collection(Feature(R"({"type": "Point", "coordinates": [0, 0]})")));
    const std::string mixed = Write(
        "mixed.geojson", Collection(Feature(R"({"type": "LineString", "coordinates": [[0, 0], [1, 1]]})") + "," +
                                    Feature(R"({"type": "GeometryCollection", "geometries": [
                                                  {"type": "LineString", "coordinates": [[0, 0], [0, 1]]},
                                                  {"type": "Point", "coordinates": [0, 0]}]})")));
    const std::string csv = Write("plain.csv", "WKT,name\n\"POINT (0 0)\",a\n");
    const std::tuple<std::string, std::int32_t, std::string, std::string, std::size_t> cases[] = {
        {points, 0, "", "layer \"towns\" of " + points + " holds points, but rule dnnet.e00 (RIVER) takes lines", 0},
        {points, 99, "", "layer \"towns\" of " + points + ": there is no E00 rule 99 (the rules number 7)", 0},
        {points, 5, "roads", points + " holds no layer \"roads\"; its layers are towns", 0},
        {points, 5, "TOWNS", "", 1},  // layer names are matched as GDAL matches them
        {mixed, 0, "", "layer \"mixed\" of " + mixed + " (feature 1) holds points, but rule dnnet.e00 (RIVER) takes lines",
         2},  // what came before stays
        {csv, 5, "", "layer \"plain\" of " + csv + " has no coordinate system", 0},
    };
    for (const auto& [path, rule, layer, says, added] : cases) {
        const VectorLoadReport report = Load(path, rule, layer);
        EXPECT_EQ(report.status.message(), says);
        EXPECT_EQ(report.featuresAdded, added) << says;
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(VectorSourceTest, CancelEndsTheLayerKeepingWhatWasLoaded) {
    const std::string point = Feature(R"({"type": "Point", "coordinates": [0, 0]})");
    const std::string path = Write("pppoint.geojson", Collection(point + "," + point + "," + point + "," + point));
    test::CancellingProgress cancelling(2);
    progress = &cancelling;
    const VectorLoadReport report = Load(path, std::nullopt);
    EXPECT_TRUE(report.status.IsCancelled());
    EXPECT_EQ(report.featuresAdded, 2u);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Cancel?"});
}

}  // namespace
}  // namespace gw::gdalio
