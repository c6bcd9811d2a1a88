#include "TestSupport.h"
#include "dem/DemHeader.h"

namespace gw {
namespace {

DemHeader Read(const std::string& text) {
    test::TempDir dir;
    test::WriteFile(dir.Path("h.hdr"), text);
    DemHeader header;
    EXPECT_TRUE(ReadDemHeader(dir.Path("h.hdr"), header));
    return header;
}

TEST(DemHeader, EmptyFileHoldsEveryDefault) {
    const DemHeader h = Read("");
    EXPECT_EQ(h.file_title, "unk");
    EXPECT_EQ(h.data_type, "raster");
    EXPECT_EQ(h.grid_cell_registration, "center");
    EXPECT_EQ(h.map_projection, "Lat/Lon");
    EXPECT_EQ(h.elev_m_unit, "meters");
    EXPECT_EQ(h.grid_size, 0.00833333333);
    EXPECT_EQ(h.left_map_x, 0.0);
    EXPECT_EQ(h.number_of_rows, 0);
    EXPECT_EQ(h.number_of_columns, 0);
}

TEST(DemHeader, KeysMatchWithoutCaseAndAliasesShareAFieldLastLineWins) {
    const DemHeader h = Read(
        "NUMBER_OF_COLUMNS = 4800\r\n"
        "elev_m_minimum = -500\n"
        "elev_m_min = -20\n"
        "elev_m_maximum = 900\n"
        "  \tfile_title \t=\t My DEM  \n"
        "number_of_rows = 10\n"
        "number_of_rows = 20");
    EXPECT_EQ(h.number_of_columns, 4800);
    EXPECT_EQ(h.elev_m_min, -20);
    EXPECT_EQ(h.elev_m_max, 900);
    EXPECT_EQ(h.file_title, "My DEM  ") << "trailing blanks stay part of the value";
    EXPECT_EQ(h.number_of_rows, 20);
}

TEST(DemHeader, ValuesConvertByTheFieldsType) {
    const DemHeader h = Read("left_map_x = abc\nnumber_of_rows = 12.7\nupper_map_y = 45.5N\n");
    EXPECT_EQ(h.left_map_x, 0.0);
    EXPECT_EQ(h.number_of_rows, 12);
    EXPECT_EQ(h.upper_map_y, 45.5);
}

TEST(DemHeader, MalformedLinesAreIgnored) {
    const DemHeader h = Read(
        "number_of_rows=2400\n"       // the key run swallows the '='
        "number_of_columns= 2400\n"   // likewise
        "grid_size =\n"               // no value
        "grid_size =    \n"           // blanks are no value
        "lower_map_y 5\n"             // no '='
        "unknown_key = 5\n"
        "= 7\n"
        "right_map_x =3\n");          // blanks after the '=' are optional
    EXPECT_EQ(h.number_of_rows, 0);
    EXPECT_EQ(h.number_of_columns, 0);
    EXPECT_EQ(h.grid_size, 0.00833333333);
    EXPECT_EQ(h.lower_map_y, 0.0);
    EXPECT_EQ(h.right_map_x, 3.0);
}

TEST(DemHeader, OverlongKeysAndValuesChangeNothing) {
    const std::string longValue(1024, '7');
    const DemHeader h = Read("number_of_rows = " + longValue + "\nfile_title = " + std::string(1023, 'a') +
                             "\n" + std::string(5000, 'k') + " = 1\n");
    EXPECT_EQ(h.number_of_rows, 0);
    EXPECT_EQ(h.file_title.size(), 1023u);
}

TEST(DemHeader, MissingFileFailsWithDefaults) {
    DemHeader header;
    header.file_title = "old";
    EXPECT_FALSE(ReadDemHeader("/nonexistent/x.hdr", header));
    EXPECT_EQ(header.file_title, "unk");
}

TEST(DemHeader, RasterNameReplacesEveryLowerCaseHdrInTheFileNameOnly) {
    EXPECT_EQ(RasterPathFor("/d/alps.hdr"), "/d/alps.bin");
    EXPECT_EQ(RasterPathFor("v1.hdr.d/c.hdr"), "v1.hdr.d/c.bin");
    EXPECT_EQ(RasterPathFor("/d.hdr/alps.hdr.hdr"), "/d.hdr/alps.bin.bin");
    EXPECT_EQ(RasterPathFor("/d.hdr/alps"), "/d.hdr/alps");
    EXPECT_EQ(RasterPathFor("/d/ALPS.HDR"), "/d/ALPS.HDR");
}

TEST(DemHeader, UnitFactor) {
    EXPECT_EQ(UnitFactorFor("FEET"), 1.0f);
    ASSERT_TRUE(UnitFactorFor("Meters"));
    EXPECT_EQ(double{*UnitFactorFor("Meters")}, 3.2799999713897705);
    EXPECT_FALSE(UnitFactorFor("metres"));
    EXPECT_FALSE(UnitFactorFor("meters "));
}

}  // namespace
}  // namespace gw
