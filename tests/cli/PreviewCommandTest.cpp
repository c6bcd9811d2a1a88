#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"
#include "core/document/FeatureLoader.h"
#include "core/layout/HeightTable.h"
#include "core/layout/MapPreview.h"
#include "core/layout/PreviewImages.h"
#include "core/layout/TheaterLayout.h"
#include "core/progress/ProgressState.h"

#include <QImage>
#include <QString>

#include <algorithm>

namespace gw {
namespace {

using test::RunCommand;

std::string Preview(const std::string& args) { return test::CliPath() + " preview " + args; }
std::string Sample() { return test::SampleDir() + "/coast.hdr"; }

// The PNG's width and height as its IHDR chunk states them.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& bytes) {
    const auto be32 = [&](std::size_t at) {
        return std::uint32_t{static_cast<std::uint8_t>(bytes[at])} << 24 |
               std::uint32_t{static_cast<std::uint8_t>(bytes[at + 1])} << 16 |
               std::uint32_t{static_cast<std::uint8_t>(bytes[at + 2])} << 8 |
               std::uint32_t{static_cast<std::uint8_t>(bytes[at + 3])};
    };
    EXPECT_GE(bytes.size(), 24u);
    if (bytes.size() < 24) return {0, 0};
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    return {be32(16), be32(20)};
}

RgbImage ReadPng(const std::string& path) {
    const QImage png(QString::fromStdString(path), "PNG");
    RgbImage image(png.width(), png.height());
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            const QRgb pixel = png.pixel(x, y);
            image.At(x, y) = Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
        }
    }
    return image;
}

struct OpenSample {
    CGridwrightDoc doc;
    TheaterLayout layout;
    OpenSample() {
        EXPECT_TRUE(doc.OnOpenDocument(Sample()).ok());
        layout.OnDocumentUpdate(doc);
        layout.OnInitialUpdate();
    }
};

TEST(PreviewCommand, WritesThePictureAtTheDocumentUpdateSize) {
    test::TempDir dir;
    const auto run = RunCommand(Preview(Sample() + " " + dir.Path("p.png") + " --segments 32"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("(400 x 300)"), std::string::npos) << run.out;
    EXPECT_EQ(PngSize(test::ReadFile(dir.Path("p.png"))), (std::pair<std::uint32_t, std::uint32_t>{400, 300}));

    // The elevation picture with the outline of 32 segments round the raster's centre.
    OpenSample s;
    s.layout.SetSegmentsX("32");
    MapPreview preview;
    preview.SetFrame(s.layout.m_centerLat, s.layout.m_centerLong, s.doc.GetMapWidth(), s.doc.GetMapHeight());
    preview.SetPicture(BuildElevationImage(s.doc, HeightTable(), 400, 300));
    preview.SetOutline(s.layout.m_northLat, s.layout.m_southLat, s.layout.m_northWestLong,
                       s.layout.m_northEastLong, s.layout.m_southWestLong, s.layout.m_southEastLong);
    EXPECT_EQ(ReadPng(dir.Path("p.png")), preview.Paint());
}

TEST(PreviewCommand, WithoutOutlineAndFeaturesItIsThePlainElevationPicture) {
    test::TempDir dir;
    const auto run = RunCommand(Preview(Sample() + " " + dir.Path("plain.png") + " --no-outline --no-features"));
    ASSERT_EQ(run.status, 0) << run.err;
    OpenSample s;
    EXPECT_EQ(ReadPng(dir.Path("plain.png")), BuildElevationImage(s.doc, HeightTable(), 400, 300));
}

TEST(PreviewCommand, HeightSetsTheSizeAsThePreviewSizeDialogDoes) {
    test::TempDir dir;
    const auto run = RunCommand(Preview(Sample() + " " + dir.Path("h.png") + " --height 151 --no-outline"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(PngSize(test::ReadFile(dir.Path("h.png"))), (std::pair<std::uint32_t, std::uint32_t>{201, 151}));
    OpenSample s;
    EXPECT_EQ(ReadPng(dir.Path("h.png")), BuildElevationImage(s.doc, HeightTable(), 201, 151));
}

TEST(PreviewCommand, TheOutlineFollowsTheCentreButTheFrameStaysOnTheRaster) {
    test::TempDir dir;
    const auto run = RunCommand(Preview(Sample() + " " + dir.Path("c.png") + " --segments 16 --center 46,11"));
    ASSERT_EQ(run.status, 0) << run.err;
    OpenSample s;
    MapPreview preview;
    preview.SetFrame(s.layout.m_centerLat, s.layout.m_centerLong, s.doc.GetMapWidth(), s.doc.GetMapHeight());
    preview.SetPicture(BuildElevationImage(s.doc, HeightTable(), 400, 300));
    s.layout.SetSegmentsX("16");
    s.layout.OnCenterLatKillFocus("46");
    s.layout.OnCenterLongKillFocus("11");
    preview.SetOutline(s.layout.m_northLat, s.layout.m_southLat, s.layout.m_northWestLong,
                       s.layout.m_northEastLong, s.layout.m_southWestLong, s.layout.m_southEastLong);
    // 11 E, 46 N lies at pixel (50, 50) of the raster's frame.
    const PixelPoint center = preview.outline()->center;
    EXPECT_NEAR(center.x, 50, 1);
    EXPECT_NEAR(center.y, 50, 1);
    const RgbImage shown = ReadPng(dir.Path("c.png"));
    EXPECT_EQ(shown, preview.Paint());
    const RgbImage& plain = preview.picture();
    EXPECT_EQ(shown.At(center.x - 5, center.y), ~(0xffu ^ plain.At(center.x - 5, center.y)) & 0xffffffu);
    EXPECT_EQ(shown.At(200, 150), plain.At(200, 150));
}

TEST(PreviewCommand, BadRequestsFailClearlyWithoutWriting) {
    test::TempDir dir;
    const std::string out = dir.Path("bad.png");
    struct Case {
        std::string args;
        int status;
        std::string says;
    };
    for (const Case& c : std::vector<Case>{
             {Sample() + " " + out + " --height 0", 2, "height must be from 1"},
             {Sample() + " " + out + " --height -3", 2, "height must be from 1"},
             {Sample() + " " + out + " --height 12x", 2, "--height takes a whole number"},
             {Sample() + " " + out + " --height 9000", 2, "height must be from 1 to 8192"},
             {Sample() + " " + out + " --segments 0", 2, "segments must be from 1"},
             {Sample() + " " + out + " --center 45", 2, "--center takes LAT,LON"},
             {Sample() + " " + out + " --e00 " + dir.Path("none.e00"), 1, "cannot open"},
             {dir.Path("none.hdr") + " " + out, 1, "cannot open DEM"},
             {Sample() + " " + dir.Path("no/such/folder.png"), 1, "cannot create"},
         }) {
        const auto run = RunCommand(Preview(c.args));
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << ": " << run.err;
        EXPECT_FALSE(test::Exists(out)) << c.args;
    }
}

TEST(PreviewCommand, ADemWithoutExtentIsRefused) {
    test::TempDir dir;
    test::DemSpec spec;
    spec.left = spec.right = 5;
    spec.upper = spec.lower = 5;
    const auto run = RunCommand(Preview(test::WriteDem(dir, "flat", spec) + " " + dir.Path("f.png")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no extent"), std::string::npos) << run.err;
    EXPECT_FALSE(test::Exists(dir.Path("f.png")));
}

class QuietPrompts : public UserPrompts {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
};

TEST(PreviewCommand, DrawsTheFeaturesOfTheE00FilesInTheirRuleColours) {
    SKIP_WITHOUT_SHARED_DATA();
    const std::string data = test::SharedDataDir();
    const std::string dem = data + "/dem/fr_it_etopo2.hdr";
    const std::vector<std::string> e00 = {data + "/e00/dcw/dnnet.e00", data + "/e00/dcw/aepoint.e00"};
    test::TempDir dir;
    const auto run = RunCommand(Preview(dem + " " + dir.Path("fr.png") + " --builtin-rules --e00 " + e00[0] +
                                        " --e00 " + e00[1]));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("(400 x 261)"), std::string::npos) << run.out;

    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dem).ok());
    TheaterLayout layout;
    layout.OnDocumentUpdate(doc);
    layout.OnInitialUpdate();
    const E00Rules rules = BuiltInE00Rules();
    NullProgress progress;
    QuietPrompts prompts;
    LoadE00Files(doc, rules, e00, progress, prompts);
    ASSERT_FALSE(doc.features().empty());
    MapPreview preview;
    preview.SetFrame(layout.m_centerLat, layout.m_centerLong, doc.GetMapWidth(), doc.GetMapHeight());
    preview.SetPicture(BuildElevationImage(doc, HeightTable(), 400, 261));
    preview.SetOverlay(BuildOverlayImage(doc.features(), rules, preview.frame(), 400, 261));
    preview.SetOutline(layout.m_northLat, layout.m_southLat, layout.m_northWestLong, layout.m_northEastLong,
                       layout.m_southWestLong, layout.m_southEastLong);
    const RgbImage shown = ReadPng(dir.Path("fr.png"));
    EXPECT_EQ(shown, preview.Paint());
    const auto count = [&](std::uint32_t colour) { return std::count(shown.pixels.begin(), shown.pixels.end(), colour); };
    EXPECT_GT(count(Rgb(0, 104, 144)), 1000);  // rivers
    EXPECT_GT(count(Rgb(255, 255, 0)), 1000);  // airports

    const auto hidden = RunCommand(Preview(dem + " " + dir.Path("none.png") + " --builtin-rules --no-features --e00 " + e00[0]));
    ASSERT_EQ(hidden.status, 0) << hidden.err;
    const RgbImage without = ReadPng(dir.Path("none.png"));
    EXPECT_EQ(std::count(without.pixels.begin(), without.pixels.end(), Rgb(0, 104, 144)), 0);
}

}  // namespace
}  // namespace gw
