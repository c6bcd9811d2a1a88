// Writes a synthetic DEM (NAME.hdr and NAME.bin, metres) with a sea in the south-west
// and a mountain range in the north-east, and optionally a 256-colour JASC-PAL palette.
// The output depends only on the arguments: the same files on every machine.
//
//   make_sample_dem NAME ROWS COLUMNS LEFT RIGHT UPPER LOWER [PALETTE.pal]

#include "core/util/CNumbers.h"
#include "core/util/CRandom.h"
#include "core/util/LittleEndian.h"
#include "core/util/OutputFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Smooth noise: random values on a coarse lattice, interpolated bilinearly.
class LatticeNoise {
public:
    LatticeNoise(int cells, gw::CRandom& random) : m_cells(cells), m_values((cells + 1) * (cells + 1)) {
        for (double& v : m_values) v = random.Next() / double(gw::CRandom::kMax);
    }
    // u, v in [0, 1].
    double At(double u, double v) const {
        const double x = u * m_cells, y = v * m_cells;
        const int x0 = std::min(int(x), m_cells - 1), y0 = std::min(int(y), m_cells - 1);
        const double fx = x - x0, fy = y - y0;
        const auto at = [&](int cx, int cy) { return m_values[cy * (m_cells + 1) + cx]; };
        const double top = at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx;
        const double bottom = at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx;
        return top * (1 - fy) + bottom * fy;
    }

private:
    int m_cells;
    std::vector<double> m_values;
};

bool WriteHeader(const std::string& name, int rows, int columns, const double (&extent)[4]) {
    gw::OutputFile file;
    if (!file.Create(name + ".hdr").ok()) return false;
    const std::string lines[] = {
        "file_title = Gridwright sample coast",
        "data_type = raster",
        "grid_cell_registration = center",
        "map_projection = Lat/Lon",
        "left_map_x = " + gw::FormatShortest(extent[0]),
        "right_map_x = " + gw::FormatShortest(extent[1]),
        "upper_map_y = " + gw::FormatShortest(extent[2]),
        "lower_map_y = " + gw::FormatShortest(extent[3]),
        "number_of_rows = " + std::to_string(rows),
        "number_of_columns = " + std::to_string(columns),
        "grid_size = " + gw::FormatShortest((extent[1] - extent[0]) / columns),
        "elev_m_unit = meters",
        "elev_m_missing_flag = -32768",
    };
    for (const std::string& line : lines) file.Write(line + "\n");
    return file.Close().ok();
}

bool WriteRaster(const std::string& name, int rows, int columns) {
    gw::CRandom random;
    const LatticeNoise broad(6, random), medium(24, random), fine(96, random);
    std::vector<std::uint8_t> bytes(std::size_t(rows) * columns * 2);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const double u = (c + 0.5) / columns, v = (r + 0.5) / rows;
            // Land rises toward the north-east; the south-west corner is sea.
            const double land = (u + (1 - v)) - 0.8 + 0.6 * (broad.At(u, v) - 0.5);
            const double ridge = std::exp(-std::pow((u - v * 0.6 - 0.55) * 6, 2));
            double metres = land * 900 + ridge * 2600 * medium.At(u, v) + 250 * (fine.At(u, v) - 0.5);
            if (land < 0) metres = land * 3000;
            gw::PutLE16(&bytes[(std::size_t(r) * columns + c) * 2],
                        static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(metres, -5000.0, 4800.0))));
        }
    }
    gw::OutputFile file;
    if (!file.Create(name + ".bin").ok()) return false;
    file.Write(bytes.data(), bytes.size());
    return file.Close().ok();
}

// Sea blues, then greens, browns and white, as the elevation colours run.
bool WritePalette(const std::string& path) {
    gw::OutputFile file;
    if (!file.Create(path).ok()) return false;
    file.WriteLine("JASC-PAL");
    file.WriteLine("0100");
    file.WriteLine("256");
    for (int i = 0; i < 256; ++i) {
        const int r = i < 64 ? 20 + i : std::min(255, 60 + (i - 64));
        const int g = i < 64 ? 60 + i * 2 : std::max(90, 220 - (i - 64) / 2);
        const int b = i < 64 ? 160 + i : std::min(255, 40 + (i - 64) / 3);
        file.WriteLine(std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    }
    return file.Close().ok();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 8 && argc != 9) {
        std::fprintf(stderr, "usage: make_sample_dem NAME ROWS COLUMNS LEFT RIGHT UPPER LOWER [PALETTE.pal]\n");
        return 2;
    }
    const std::string name = argv[1];
    std::int32_t rows = 0, columns = 0;
    double extent[4];
    bool ok = gw::ParseWholeInt(argv[2], rows) && gw::ParseWholeInt(argv[3], columns) && rows > 0 && columns > 0;
    for (int i = 0; i < 4; ++i) ok = ok && gw::ParseWholeDouble(argv[4 + i], extent[i]);
    if (!ok) {
        std::fprintf(stderr, "make_sample_dem: ROWS and COLUMNS must be positive whole numbers, the extent numbers\n");
        return 2;
    }
    if (!WriteHeader(name, rows, columns, extent) || !WriteRaster(name, rows, columns) ||
        (argc == 9 && !WritePalette(argv[8]))) {
        std::perror("make_sample_dem");
        return 1;
    }
    return 0;
}
