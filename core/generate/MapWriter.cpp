#include "core/generate/MapWriter.h"

#include "core/generate/WriterOutputs.h"
#include "core/util/RunFiles.h"
#include "core/layout/DistanceUnit.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"
#include "core/util/LittleEndian.h"
#include "core/util/Text.h"

namespace gw {
namespace {

constexpr int kPaletteColours = 256;

// Reads up to `wanted` numbers as sscanf("%d %d %d") does; returns how many it read.
int ScanInts(std::string_view text, int wanted, std::int32_t* values) {
    int read = 0;
    for (std::size_t used = 0; read < wanted && (used = ScanCInt(text, values[read])) > 0; ++read) {
        text.remove_prefix(used);
    }
    return read;
}

}  // namespace

Status ReadPalette(const std::string& path, std::vector<std::uint8_t>& entries) {
    LineReader reader(path);
    // A read error cuts the file short; it is the better reason then.
    const auto refused = [&](const std::string& why) {
        return reader.status().ok() ? Status::Corruption(path + ": " + why) : reader.status();
    };
    std::string line;
    if (!reader.Next(line)) return refused("the file is empty");
    if (line != "JASC-PAL") return refused("the first line is not \"JASC-PAL\"");
    if (!reader.Next(line) || !reader.Next(line)) return refused("the file ends before the number of colours");
    if (ParseCInt(line) != kPaletteColours) return refused("the number of colours is not 256");
    for (int colour = 0; colour < kPaletteColours; ++colour) {
        std::int32_t rgb[3];
        if (!reader.Next(line)) return refused("the file ends after " + std::to_string(colour) + " colours");
        if (ScanInts(line, 3, rgb) != 3) {
            return refused("colour " + std::to_string(colour + 1) + " is not three numbers");
        }
        entries.insert(entries.end(), {static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                                       static_cast<std::uint8_t>(rgb[2]), 255});
    }
    return Status::Ok();
}

std::string BadPaletteMessage(const std::string& palettePath) {
    return "Bad palette file - is it paint shop pro format?\n " + FileNameOf(palettePath);
}

std::vector<std::uint8_t> BuildMapFile(const TheaterLayout& layout, bool large,
                                       const std::vector<std::uint8_t>& palette) {
    constexpr std::size_t kHead = 28;
    constexpr std::size_t kTail = 60;
    std::vector<std::uint8_t> bytes(kHead + palette.size() + kTail);
    const auto sx = static_cast<std::uint32_t>(layout.m_segmentsX);
    const auto sy = static_cast<std::uint32_t>(layout.m_segmentsY);
    const auto feet = static_cast<float>(kDistanceUnits[kFeetUnit].perNauticalMile * layout.m_baseResolution);
    PutLEFloat(&bytes[0], feet);
    PutLE32(&bytes[4], 2 * sx);
    PutLE32(&bytes[8], 2 * sy);
    PutLEFloat(&bytes[12], static_cast<float>(0.5 / (feet * 16)));
    PutLE32(&bytes[16], 6);
    PutLE32(&bytes[20], 2);
    PutLE32(&bytes[24], 4);
    std::copy(palette.begin(), palette.end(), bytes.begin() + kHead);

    std::uint8_t* tail = &bytes[kHead + palette.size()];
    std::uint32_t across = 4 * sx;
    std::uint32_t down = 4 * sy;
    for (int level = 0; level < 6; ++level, across /= 2, down /= 2) {
        PutLE32(&tail[8 * level], across);
        PutLE32(&tail[8 * level + 4], down);
    }
    PutLE32(&tail[48], (large ? 1u : 0u) | (layout.m_segmentsX > 64 ? 2u : 0u));
    PutLEFloat(&tail[52], static_cast<float>(layout.m_southWestLong));
    PutLEFloat(&tail[56], static_cast<float>(layout.m_southLat));
    return bytes;
}

WriteResult WriteMapFile(const GenerateContext& context, bool large, const std::vector<std::uint8_t>& palette,
                         const std::string& terrainPath) {
    Progress& progress = context.progress;
    BeginJob(progress, 3, "Generating MAP file");
    const std::optional<std::string> path = OutputPathFor(terrainPath, ".map");
    if (!path) return WriteResult::NotNamed();
    WriterOutputs outputs(context);
    OutputFile* file;
    if (Status s = outputs.Create(*path, &file); !s.ok()) return WriteResult::Failed(s.message());
    const std::vector<std::uint8_t> bytes = BuildMapFile(context.layout, large, palette);
    file->Write(bytes.data(), bytes.size());
    for (int step = 0; step < 3; ++step) progress.StepIt();
    if (Status s = file->Close(); !s.ok()) return WriteResult::Failed(s.message());
    return outputs.Finish({WriteResult::Outcome::kWritten, {*path}, {}});
}

std::optional<WriteResult> ChooseAndReadPalette(const GenerateContext& context, const std::vector<std::string>& outputs,
                                                std::vector<std::uint8_t>& palette) {
    const std::optional<std::string> palettePath = context.prompts.ChoosePaletteFile();
    if (!palettePath) return WriteResult{WriteResult::Outcome::kSkipped, {}, "no palette chosen"};
    if (const Status apart = CheckOutputsAreNotInputs({{*palettePath, "the palette"}}, outputs); !apart.ok()) {
        return WriteResult::Failed(apart.message());
    }
    if (const Status read = ReadPalette(*palettePath, palette); !read.ok()) {
        context.prompts.ShowMessage(BadPaletteMessage(*palettePath));
        return WriteResult{WriteResult::Outcome::kSkipped, {}, read.message()};
    }
    return std::nullopt;
}

}  // namespace gw
