#include "tests/TestSupport.h"
#include "core/dem/DemHeader.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace gw {
namespace {

// The header read from text, and whether reading it succeeded.
DemHeader Read(const std::string& text, Status* read = nullptr) {
    test::TempDir dir;
    test::WriteFile(dir.Path("h.hdr"), text);
    DemHeader header;
    Status status = ReadDemHeader(dir.Path("h.hdr"), header);
    if (read) {
        *read = std::move(status);
    } else {
        EXPECT_TRUE(status.ok()) << status.message();
    }
    return header;
}

TEST(DemHeader, WithoutAnyKeyItIsNoHeaderAndHoldsEveryDefault) {
    Status read;
    const DemHeader h = Read("", &read);
    EXPECT_EQ(read.code(), Status::Code::kCorruption);
    EXPECT_NE(read.message().find("h.hdr: no DEM keys"), std::string::npos) << read.message();
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

// The fields the cases below set, in one line.
std::string Fields(const DemHeader& h) {
    std::ostringstream out;
    out << "rows " << h.number_of_rows << " columns " << h.number_of_columns << " title [" << h.file_title << "] min "
        << h.elev_m_min << " max " << h.elev_m_max << " left " << h.left_map_x << " right " << h.right_map_x
        << " upper " << h.upper_map_y << " lower " << h.lower_map_y << " grid " << h.grid_size;
    return out.str();
}

// Keys match without case, aliases share a field and the last line wins; values
// convert by the field's type and keep their trailing blanks; a line without a key,
// an '=' after blanks or a value is ignored; a byte order mark before the first key is
// skipped.
TEST(DemHeader, LinesSetTheirFields) {
    const std::pair<const char*, const char*> cases[] = {
        {"NUMBER_OF_COLUMNS = 4800\r\nelev_m_minimum = -500\nelev_m_min = -20\nelev_m_maximum = 900\n"
         "  \tfile_title \t=\t My DEM  \nnumber_of_rows = 10\nnumber_of_rows = 20",
         "rows 20 columns 4800 title [My DEM  ] min -20 max 900 left 0 right 0 upper 0 lower 0 grid 0.00833333"},
        {"left_map_x = abc\nnumber_of_rows = 12.7\nupper_map_y = 45.5N\n",
         "rows 12 columns 0 title [unk] min 0 max 0 left 0 right 0 upper 45.5 lower 0 grid 0.00833333"},
        {"number_of_rows=2400\nnumber_of_columns= 2400\ngrid_size =\ngrid_size =    \nlower_map_y 5\n"
         "unknown_key = 5\n= 7\nright_map_x =3\n",
         "rows 0 columns 0 title [unk] min 0 max 0 left 0 right 3 upper 0 lower 0 grid 0.00833333"},
        {"\xEF\xBB\xBFnumber_of_rows = 7\r\nnumber_of_columns = 3\n",
         "rows 7 columns 3 title [unk] min 0 max 0 left 0 right 0 upper 0 lower 0 grid 0.00833333"},
    };
    for (const auto& [text, fields] : cases) EXPECT_EQ(Fields(Read(text)), fields) << text;
}

TEST(DemHeader, MissingOrOversizedFilesFailWithDefaults) {
    DemHeader header;
    header.file_title = "old";
    const Status missing = ReadDemHeader("/nonexistent/x.hdr", header);
    EXPECT_NE(missing.message().find("/nonexistent/x.hdr"), std::string::npos);
    EXPECT_EQ(header.file_title, "unk");

    test::TempDir dir;
    test::WriteFile(dir.Path("big.hdr"), "number_of_rows = 1\n" + std::string(kMaxHeaderBytes, ' '));
    const Status big = ReadDemHeader(dir.Path("big.hdr"), header);
    EXPECT_NE(big.message().find("too large for a DEM header"), std::string::npos) << big.message();
    EXPECT_EQ(header.number_of_rows, 0) << "nothing of it was applied";
}

// A header of rows and columns 1 over the given extent.
DemHeader Extent(double left, double right, double upper, double lower) {
    DemHeader h;
    h.number_of_rows = h.number_of_columns = 1;
    h.left_map_x = left, h.right_map_x = right, h.upper_map_y = upper, h.lower_map_y = lower;
    return h;
}

TEST(DemHeader, CheckRefusesRastersThatCannotBeRead) {
    EXPECT_TRUE(CheckDemHeader(Extent(-6, 20, 52, 35)).ok());
    EXPECT_TRUE(CheckDemHeader(Extent(-1e300, 1e300, 1e300, -1e300)).ok()) << "wide, but finite";

    DemHeader rows = Extent(0, 1, 1, 0);
    rows.number_of_rows = 0;
    EXPECT_EQ(CheckDemHeader(rows).message(), "number_of_rows is 0; a DEM has at least one row");
    rows.number_of_rows = INT32_MIN;
    EXPECT_FALSE(CheckDemHeader(rows).ok());
    DemHeader columns = Extent(0, 1, 1, 0);
    columns.number_of_columns = -3;
    EXPECT_NE(CheckDemHeader(columns).message().find("number_of_columns is -3"), std::string::npos);

    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CheckDemHeader(Extent(0, inf, 1, 0)).message(), "right_map_x is not a finite number");
    EXPECT_EQ(CheckDemHeader(Extent(0, 1, std::nan(""), 0)).message(), "upper_map_y is not a finite number");
    EXPECT_EQ(CheckDemHeader(Extent(-1e308, 1e308, 1, 0)).message(),
              "the extent from left_map_x -1e+308 to right_map_x 1e+308 is too wide to compute with");
    EXPECT_EQ(CheckDemHeader(Extent(5, 5, 1, 0)).message(),
              "no extent from left_map_x 5 to right_map_x 5; the first must be below the second");
    EXPECT_NE(CheckDemHeader(Extent(0, 1, 0, 1)).message().find("no extent from lower_map_y 1 to upper_map_y 0"),
              std::string::npos);
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
