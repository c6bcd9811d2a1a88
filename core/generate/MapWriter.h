#pragma once

#include "core/generate/GenerateContext.h"
#include "core/util/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw {

constexpr std::size_t kMapFileSize = 1112;

// Reads a JASC-PAL palette: "JASC-PAL", a version line, the count 256, then 256 lines
// of "red green blue" (each number's low 8 bits). Appends red, green, blue, 255 for
// each colour read; ok only after all 256, else why the palette was refused (naming
// the file). A colour line with fewer than three numbers is a bad palette.
Status ReadPalette(const std::string& path, std::vector<std::uint8_t>& entries);

// The message shown for a palette ReadPalette refuses.
std::string BadPaletteMessage(const std::string& palettePath);

// The 1112 bytes of the MAP file for the layout, with palette (1024 bytes).
std::vector<std::uint8_t> BuildMapFile(const TheaterLayout& layout, bool large,
                                       const std::vector<std::uint8_t>& palette);

// Writes the MAP file (".l2" replaced by ".map") with the 1024 palette bytes ReadPalette
// gave.
WriteResult WriteMapFile(const GenerateContext& context, bool large, const std::vector<std::uint8_t>& palette,
                         const std::string& terrainPath);

// Asks for a palette file and reads all of it into palette: nothing when it is good,
// else the MAP job's result (kSkipped: none chosen, or a bad palette, which is shown
// with BadPaletteMessage and whose reason is the message; kFailed: the palette is one
// of the run's outputs).
std::optional<WriteResult> ChooseAndReadPalette(const GenerateContext& context, const std::vector<std::string>& outputs,
                                                std::vector<std::uint8_t>& palette);

}  // namespace gw
