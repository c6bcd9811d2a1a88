#include "core/generate/DescriptionWriter.h"

#include "core/document/GridwrightDoc.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"
#include "core/generate/WriterOutputs.h"
#include "core/util/Text.h"

namespace gw {
namespace {

std::string LatLong(const char* prefix, double lat, double lon) {
    return std::string(prefix) + "Lat " + FormatG(lat) + " Long " + FormatG(lon);
}

}  // namespace

std::vector<std::string> DescriptionLines(const GenerateContext& context, const TerrainResults& results) {
    const TheaterLayout& l = context.layout;
    const std::string unit = l.UnitName();
    return {
        "Theater name: " + context.doc.header().file_title,
        std::string("Theater size: ") + (results.m_largeTerrain ? "Large" : "Regular"),
        "Size (L2 segments): " + std::to_string(l.m_segmentsX) + " x " + std::to_string(l.m_segmentsY),
        "Size (L2 tiles): " + std::to_string(kSegmentTiles * l.m_segmentsX) + " x " + std::to_string(kSegmentTiles * l.m_segmentsY),
        "Size (" + unit + "): " + FormatG(l.m_dimensionX) + " x " + FormatG(l.m_dimensionY),
        "Resolution: " + FormatG(l.m_resolution) + " " + unit,
        LatLong("Centered on: ", l.m_centerLat, l.m_centerLong),
        LatLong("NW: ", l.m_northLat, l.m_northWestLong),
        LatLong("NE: ", l.m_northLat, l.m_northEastLong),
        LatLong("SW: ", l.m_southLat, l.m_southWestLong),
        LatLong("SE: ", l.m_southLat, l.m_southEastLong),
        "Highest point: " + std::to_string(results.m_highestPoint) + "ft",
        "Lowest point: " + std::to_string(results.m_lowestPoint) + "ft",
    };
}

WriteResult WriteDescriptionFile(const GenerateContext& context, const TerrainResults& results,
                                 const std::string& terrainPath) {
    const std::optional<std::string> path = OutputPathFor(terrainPath, ".txt");
    if (!path) return WriteResult::NotNamed();
    WriterOutputs outputs(context);
    OutputFile* file;
    if (Status s = outputs.Create(*path, &file); !s.ok()) return WriteResult::Failed(s.message());
    Progress& progress = context.progress;
    BeginJob(progress, 1, "Generating TXT file");
    for (const std::string& line : DescriptionLines(context, results)) file->WriteLine(line);
    progress.StepIt();
    if (Status s = file->Close(); !s.ok()) return WriteResult::Failed(s.message());
    return outputs.Finish({WriteResult::Outcome::kWritten, {*path}, {}});
}

}  // namespace gw
