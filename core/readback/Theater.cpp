#include "core/readback/Theater.h"

#include "core/generate/L2Writer.h"
#include "core/layout/PixelDrawing.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"
#include "core/util/InputFile.h"
#include "core/util/LittleEndian.h"
#include "core/util/SmallFile.h"
#include "core/util/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace gw {
namespace {

// The index of the largest theater: 4096 x 4096 offsets of 4 bytes.
constexpr std::size_t kMaxIndexBytes = std::size_t{4} * TheaterLayout::kMaxSegments * TheaterLayout::kMaxSegments;
constexpr std::size_t kMaxDescriptionBytes = 1 << 20;
constexpr std::size_t kProblemsOfAKind = 10;  // the lines of one kind told, the rest counted
constexpr std::size_t kMapBytes = 28 + 256 * 4 + 60;

std::string Place(SegmentPlace p) { return std::to_string(p.first) + "," + std::to_string(p.second); }

// Problems of one kind: the first few told one a line, the rest counted in one more.
class ProblemList {
public:
    ProblemList(std::vector<std::string>& problems, std::string file) : m_problems(problems), m_file(std::move(file)) {}
    ~ProblemList() {
        if (m_count > kProblemsOfAKind) {
            m_problems.push_back(m_file + ": " + std::to_string(m_count - kProblemsOfAKind) + " more like these");
        }
    }
    void Add(const std::string& what) {
        if (++m_count <= kProblemsOfAKind) m_problems.push_back(m_file + ": " + what);
    }

private:
    std::vector<std::string>& m_problems;
    std::string m_file;
    std::size_t m_count = 0;
};

// "A x B" as two whole numbers.
std::optional<SegmentPlace> ParsePair(std::string_view text) {
    const std::size_t x = text.find(" x ");
    std::int32_t a = 0, b = 0;
    if (x == std::string_view::npos || !ParseWholeInt(text.substr(0, x), a) || !ParseWholeInt(text.substr(x + 3), b)) {
        return std::nullopt;
    }
    return SegmentPlace{a, b};
}

// The figures a description states.
struct Description {
    std::optional<bool> large;
    std::optional<SegmentPlace> segments;
    std::optional<SegmentPlace> tiles;
    std::optional<std::int32_t> highest;
    std::optional<std::int32_t> lowest;
};

Description ReadDescription(const std::string& text) {
    Description d;
    std::istringstream lines(text);
    std::string line;
    const auto after = [&line](std::string_view prefix) -> std::optional<std::string_view> {
        if (line.rfind(prefix, 0) != 0) return std::nullopt;
        return std::string_view(line).substr(prefix.size());
    };
    const auto feet = [](std::string_view value) -> std::optional<std::int32_t> {
        std::int32_t n = 0;
        if (value.size() < 3 || value.substr(value.size() - 2) != "ft" || !ParseWholeInt(value.substr(0, value.size() - 2), n)) {
            return std::nullopt;
        }
        return n;
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (auto v = after("Theater size: ")) {
            if (*v == "Large" || *v == "Regular") d.large = *v == "Large";
        } else if (auto v = after("Size (L2 segments): ")) {
            d.segments = ParsePair(*v);
        } else if (auto v = after("Size (L2 tiles): ")) {
            d.tiles = ParsePair(*v);
        } else if (auto v = after("Highest point: ")) {
            d.highest = feet(*v);
        } else if (auto v = after("Lowest point: ")) {
            d.lowest = feet(*v);
        }
    }
    return d;
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The TDF files beside the theater, by keyword: its name with the ".l2" replaced by
// "-KEYWORD.tdf". Only a name holding one ".l2" is searched.
std::map<std::string, std::string> TdfFilesBeside(const std::string& terrainPath) {
    std::map<std::string, std::string> found;
    const std::string name = FileNameOf(terrainPath);
    const std::size_t l2 = name.find(".l2");
    if (l2 == std::string::npos || name.find(".l2", l2 + 1) != std::string::npos) return found;
    const std::string head = name.substr(0, l2) + "-", tail = ".tdf" + name.substr(l2 + 3);
    std::error_code error;
    const std::string folder = FolderOf(terrainPath);
    for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
        const std::string entryName = entry.path().filename().string();
        if (entryName.size() <= head.size() + tail.size() || entryName.rfind(head, 0) != 0 ||
            entryName.compare(entryName.size() - tail.size(), tail.size(), tail) != 0) {
            continue;
        }
        const std::string keyword = entryName.substr(head.size(), entryName.size() - head.size() - tail.size());
        // "t-north-RIVER.tdf" is the river of "t-north.l2" when that theater lies here too.
        bool sibling = false;
        for (std::size_t dash = keyword.find('-'); dash != std::string::npos && !sibling; dash = keyword.find('-', dash + 1)) {
            sibling = IsFile(folder + head + keyword.substr(0, dash) + name.substr(l2));
        }
        if (!sibling && IsFile(folder + entryName)) found[keyword] = folder + entryName;
    }
    return found;
}

// A tile place of a feature or an objective lies on the theater: columns and rows from
// 0 to the tiles across and down, its far edges included as the writers give them.
bool OnTheater(std::int64_t x, std::int64_t y, std::int32_t segmentsX, std::int32_t segmentsY) {
    return x >= 0 && y >= 0 && x <= std::int64_t{kSegmentTiles} * segmentsX && y <= std::int64_t{kSegmentTiles} * segmentsY;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at) words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// A TDF line of the keyword (which may hold blanks): "KEYWORD N x,y ... TYPE [NAME]",
// its N tile places.
std::optional<std::vector<std::pair<std::int32_t, std::int32_t>>> ParseTdfLine(std::string_view line,
                                                                              std::string_view keyword) {
    if (line.size() <= keyword.size() || line.substr(0, keyword.size()) != keyword || line[keyword.size()] != ' ') {
        return std::nullopt;
    }
    const std::vector<std::string_view> words = Words(line.substr(keyword.size()));
    std::int32_t count = 0, type = 0;
    if (words.size() < 2 || !ParseWholeInt(words[0], count) || count < 1 ||
        words.size() < static_cast<std::size_t>(count) + 2 || !ParseWholeInt(words[1 + count], type)) {
        return std::nullopt;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> places;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string_view word = words[1 + i];
        const std::size_t comma = word.find(',');
        std::int32_t x = 0, y = 0;
        if (comma == std::string_view::npos || !ParseWholeInt(word.substr(0, comma), x) ||
            !ParseWholeInt(word.substr(comma + 1), y)) {
            return std::nullopt;
        }
        places.emplace_back(x, y);
    }
    return places;
}

// An objectives line ends in ten numbers after its name (which may hold commas): id,
// object, column, row, 0, owner, id, parent, priority, owner. The id and the place.
struct ObjectiveLine {
    std::int32_t id = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};
std::optional<ObjectiveLine> ParseObjectiveLine(std::string_view line) {
    std::int32_t numbers[10];
    std::size_t end = line.size();
    for (int i = 9; i >= 0; --i) {
        if (end == 0) return std::nullopt;
        const std::size_t comma = line.rfind(',', end - 1);
        if (comma == std::string_view::npos) return std::nullopt;
        std::string_view field = line.substr(comma + 1, end - comma - 1);
        while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
        if (!ParseWholeInt(field, numbers[i])) return std::nullopt;
        end = comma;
    }
    return ObjectiveLine{numbers[0], numbers[2], numbers[3]};
}

}  // namespace

StatusOr<Theater> Theater::Open(const std::string& terrainPath, const InspectOptions& options) {
    Theater t;
    t.m_report.terrainPath = terrainPath;
    const std::optional<std::string> indexPath = IndexPathFor(terrainPath);
    if (!indexPath) return Status::Usage(terrainPath + ": the terrain file's name must contain \".l2\"");
    t.m_report.indexPath = *indexPath;

    InputFile tiles;
    if (Status s = tiles.Open(terrainPath); !s.ok()) return s;
    if (tiles.size() > 0) {
        t.m_tiles = std::make_unique<MappedFile>();
        if (Status s = t.m_tiles->Open(terrainPath); !s.ok()) return s;
    }
    if (Status s = ReadSmallFile(*indexPath, kMaxIndexBytes, "a theater index", t.m_index); !s.ok()) return s;

    const std::int64_t offsets = static_cast<std::int64_t>(t.m_index.size() / 4);
    if (const std::optional<std::string> path = OutputPathFor(terrainPath, ".txt"); path && IsFile(*path)) {
        t.m_read.push_back(*path);
        const Status read = ReadSmallFile(*path, kMaxDescriptionBytes, "a theater description", t.m_descriptionText);
        const Description d = ReadDescription(t.m_descriptionText);
        if (!read.ok()) {
            t.m_descriptionProblem = read.message();
        } else if (!d.segments || !d.large) {
            t.m_descriptionProblem = *path + ": it does not state the theater's size and format";
        } else {
            t.m_descriptionPath = *path;
            t.m_report.sizeFrom = "the description";
            std::tie(t.m_report.segmentsX, t.m_report.segmentsY) = *d.segments;
            t.m_report.large = *d.large;
        }
    }
    if (t.m_report.sizeFrom.empty() && options.segments) {
        t.m_report.sizeFrom = "the options";
        std::tie(t.m_report.segmentsX, t.m_report.segmentsY) = *options.segments;
        t.m_report.large = options.large;
    }
    if (t.m_report.sizeFrom.empty()) {
        const auto side = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(offsets))));
        if (offsets == 0 || side * side != offsets) {
            return Status::Usage(terrainPath + ": no description gives the theater's size and its index's " +
                                 std::to_string(offsets) + " offsets are not a square number");
        }
        t.m_report.sizeFrom = "a square index";
        t.m_report.segmentsX = t.m_report.segmentsY = static_cast<std::int32_t>(side);
        // Whole large blocks that are not whole regular ones tell the format.
        t.m_report.large = options.large || (tiles.size() % (256 * 9) == 0 && tiles.size() % (256 * 7) != 0);
    }
    const auto inRange = [](std::int32_t n) { return n >= 1 && n <= TheaterLayout::kMaxSegments; };
    if (!inRange(t.m_report.segmentsX) || !inRange(t.m_report.segmentsY)) {
        return Status::Usage(terrainPath + ": a theater has from 1 to " + std::to_string(TheaterLayout::kMaxSegments) +
                             " segments across and down, not " +
                             std::to_string(t.m_report.segmentsX) + " x " + std::to_string(t.m_report.segmentsY));
    }
    if (t.m_descriptionPath) t.m_report.companions.push_back({*t.m_descriptionPath, "the theater's description"});
    t.m_read.insert(t.m_read.begin(), {terrainPath, *indexPath});
    for (const char* ending : {".mea", ".map", "-obj.csv"}) {
        if (const std::optional<std::string> path = OutputPathFor(terrainPath, ending); path && IsFile(*path)) {
            t.m_read.push_back(*path);
        }
    }
    t.m_tdfFiles = TdfFilesBeside(terrainPath);
    for (const auto& tdf : t.m_tdfFiles) t.m_read.push_back(tdf.second);
    return t;
}

std::optional<std::uint64_t> Theater::OffsetOf(std::int64_t n) const {
    if (n < 0 || static_cast<std::uint64_t>(n) >= m_index.size() / 4) return std::nullopt;
    return GetLE32(reinterpret_cast<const std::uint8_t*>(m_index.data()) + 4 * n);
}

const std::uint8_t* Theater::Block(SegmentPlace place) const {
    if (place.first < 0 || place.second < 0 || place.first >= segmentsX() || place.second >= segmentsY()) return nullptr;
    const std::optional<std::uint64_t> offset = OffsetOf(std::int64_t{place.second} * segmentsX() + place.first);
    if (!offset || *offset % blockSize() != 0 || *offset + blockSize() > tileBytes()) return nullptr;
    return m_tiles->data() + *offset;
}

StoredTile Theater::TileOf(const std::uint8_t* block, int tile) const {
    const std::uint8_t* record = block + static_cast<std::size_t>(tile) * (blockSize() / 256);
    if (large()) return {GetLE32(record), static_cast<std::int16_t>(GetLE16(record + 4))};
    return {GetLE16(record), static_cast<std::int16_t>(GetLE16(record + 2))};
}

TheaterReport Theater::Inspect() const {
    TheaterReport r = m_report;
    const std::int64_t segments = std::int64_t{segmentsX()} * segmentsY();
    const std::string& tilePath = r.terrainPath;
    const std::size_t block = blockSize();
    r.blocksStored = tileBytes() / block;

    if (m_descriptionProblem) r.problems.push_back(*m_descriptionProblem);
    if (m_index.size() % 4 != 0) {
        r.problems.push_back(r.indexPath + ": " + std::to_string(m_index.size()) + " bytes are not a whole number of 4-byte offsets");
    }
    if (static_cast<std::int64_t>(m_index.size() / 4) != segments) {
        r.problems.push_back(r.indexPath + ": it holds " + std::to_string(m_index.size() / 4) + " offsets; " +
                             std::to_string(segmentsX()) + " x " + std::to_string(segmentsY()) + " segments need " +
                             std::to_string(segments));
    }
    if (tileBytes() % block != 0 || tileBytes() == 0) {
        r.problems.push_back(tilePath + ": " + std::to_string(tileBytes()) + " bytes are not a whole number of " +
                             std::to_string(block) + "-byte blocks");
    }

    // Offsets are 32-bit: blocks beyond them can be counted but never used.
    const std::uint64_t reachable = std::min<std::uint64_t>(r.blocksStored, ((std::uint64_t{1} << 32) + block - 1) / block);
    std::vector<std::uint32_t> users(reachable, 0);
    std::set<std::uint32_t> codes;
    {
        ProblemList pastEnd(r.problems, r.indexPath), offBoundary(r.problems, r.indexPath);
        for (std::int64_t n = 0; n < segments; ++n) {
            const std::optional<std::uint64_t> offset = OffsetOf(n);
            if (!offset) break;
            const SegmentPlace place{static_cast<std::int32_t>(n % segmentsX()), static_cast<std::int32_t>(n / segmentsX())};
            if (*offset + block > tileBytes()) {
                pastEnd.Add("segment " + Place(place) + " points at offset " + std::to_string(*offset) + ", past the end of " +
                            tilePath + " (" + std::to_string(tileBytes()) + " bytes)");
                continue;
            }
            if (*offset % block != 0) {
                offBoundary.Add("segment " + Place(place) + " points at offset " + std::to_string(*offset) +
                                ", not on a block boundary (" + std::to_string(block) + " bytes a block)");
                continue;
            }
            const std::uint8_t* tiles = m_tiles->data() + *offset;
            if (users[*offset / block]++ > 0) continue;
            for (int tile = 0; tile < 256; ++tile) {
                const StoredTile stored = TileOf(tiles, tile);
                codes.insert(stored.code);
                r.lowest = std::min(r.lowest.value_or(stored.elevation), stored.elevation);
                r.highest = std::max(r.highest.value_or(stored.elevation), stored.elevation);
            }
        }
    }
    r.tileCodes.assign(codes.begin(), codes.end());
    {
        ProblemList unused(r.problems, tilePath);
        for (std::size_t b = 0; b < users.size(); ++b) {
            if (users[b] == 0) unused.Add("the block at offset " + std::to_string(b * block) + " is stored but no segment uses it");
            if (users[b] > 1) r.segmentsSharing += users[b];
        }
        if (r.blocksStored > users.size()) {
            unused.Add(std::to_string(r.blocksStored - users.size()) + " blocks lie past the 4 GiB its index's offsets reach");
        }
    }

    // The MEA grid: for each segment the highest tile, at least 0, of its four quarters.
    if (const std::optional<std::string> path = OutputPathFor(tilePath, ".mea"); path && IsFile(*path)) {
        std::string mea;
        const std::size_t expected = static_cast<std::size_t>(segments) * 8;
        if (Status s = ReadSmallFile(*path, std::max(expected, std::size_t{1}), "the theater's MEA grid", mea); !s.ok()) {
            r.problems.push_back(s.message() + " (" + std::to_string(expected) + " bytes are " +
                                 std::to_string(2 * segmentsX()) + " x " + std::to_string(2 * segmentsY()) + " cells)");
        } else if (mea.size() != expected) {
            r.problems.push_back(*path + ": " + std::to_string(mea.size()) + " bytes; " + std::to_string(2 * segmentsX()) +
                                 " x " + std::to_string(2 * segmentsY()) + " cells take " + std::to_string(expected));
        } else {
            ProblemList cells(r.problems, *path);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(mea.data());
            std::int16_t highest = 0;
            const std::int64_t columns = 2 * std::int64_t{segmentsX()};
            for (std::int64_t n = 0; n < segments; ++n) {
                const SegmentPlace place{static_cast<std::int32_t>(n % segmentsX()), static_cast<std::int32_t>(n / segmentsX())};
                const std::uint8_t* tiles = Block(place);
                std::int16_t elevations[kTilesPerSegment] = {};
                for (int tile = 0; tiles && tile < kTilesPerSegment; ++tile) elevations[tile] = TileOf(tiles, tile).elevation;
                const std::array<std::int16_t, 4> maxima = QuarterMaxima(elevations);
                for (int quarter = 0; quarter < 4; ++quarter) {
                    const std::int64_t column = 2 * place.first + quarter % 2, row = 2 * place.second + quarter / 2;
                    const auto cell = static_cast<std::int16_t>(GetLE16(bytes + 2 * (row * columns + column)));
                    highest = std::max(highest, cell);
                    if (tiles && cell != maxima[quarter]) {
                        cells.Add("cell " + std::to_string(column) + "," + std::to_string(row) + " holds " +
                                  std::to_string(cell) + "ft; the tiles it covers reach " + std::to_string(maxima[quarter]) + "ft");
                    }
                }
            }
            r.companions.push_back({*path, std::to_string(columns) + " x " + std::to_string(2 * segmentsY()) +
                                               " MEA cells, the highest " + std::to_string(highest) + "ft"});
        }
    }

    // The description's figures against the files.
    if (m_descriptionPath) {
        const Description d = ReadDescription(m_descriptionText);
        const std::string& path = *m_descriptionPath;
        const SegmentPlace tilesSize{kSegmentTiles * segmentsX(), kSegmentTiles * segmentsY()};
        if (d.tiles != tilesSize) {
            r.problems.push_back(path + ": the tiles stated are not the " + std::to_string(tilesSize.first) + " x " +
                                 std::to_string(tilesSize.second) + " of its segments");
        }
        // The writer counts the highest point from 0 and the lowest from 32000.
        const std::int32_t highest = std::max<std::int32_t>(0, r.highest.value_or(0));
        const std::int32_t lowest = std::min<std::int32_t>(32000, r.lowest.value_or(32000));
        if (d.highest != highest) {
            r.problems.push_back(path + ": the highest point stated is not the tiles' " + std::to_string(highest) + "ft");
        }
        if (d.lowest != lowest) {
            r.problems.push_back(path + ": the lowest point stated is not the tiles' " + std::to_string(lowest) + "ft");
        }
    }

    if (const std::optional<std::string> path = OutputPathFor(tilePath, ".map"); path && IsFile(*path)) {
        std::string map;
        if (Status s = ReadSmallFile(*path, kMapBytes, "a MAP file", map); !s.ok()) {
            r.problems.push_back(s.message() + "; a MAP file of a 256-colour palette takes " + std::to_string(kMapBytes));
        } else if (map.size() != kMapBytes) {
            r.problems.push_back(*path + ": " + std::to_string(map.size()) +
                                 " bytes do not hold a 256-colour palette (a MAP file of one takes " +
                                 std::to_string(kMapBytes) + ")");
        } else {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(map.data());
            if (GetLE32(bytes + 4) != 2u * segmentsX() || GetLE32(bytes + 8) != 2u * segmentsY()) {
                r.problems.push_back(*path + ": it is made for " + std::to_string(GetLE32(bytes + 4) / 2) + " x " +
                                     std::to_string(GetLE32(bytes + 8) / 2) + " segments");
            }
            r.companions.push_back({*path, "a palette of 256 colours"});
        }
    }

    for (const auto& [keyword, path] : m_tdfFiles) {
        LineReader reader(path);
        ProblemList lines(r.problems, path), off(r.problems, path);
        std::int64_t features = 0, number = 0;
        std::string line;
        while (reader.Next(line)) {
            ++number;
            const auto places = ParseTdfLine(line, keyword);
            if (!places) {
                lines.Add("line " + std::to_string(number) + " is not a " + keyword + " feature");
                continue;
            }
            ++features;
            const auto outside = std::find_if(places->begin(), places->end(), [&](const auto& p) {
                return !OnTheater(p.first, p.second, segmentsX(), segmentsY());
            });
            if (outside != places->end()) {
                off.Add("line " + std::to_string(number) + " has the tile " + std::to_string(outside->first) + "," +
                        std::to_string(outside->second) + ", off the theater");
            }
        }
        if (!reader.status().ok()) r.problems.push_back(reader.status().message());
        r.companions.push_back({path, std::to_string(features) + (features == 1 ? " feature" : " features")});
    }

    if (const std::optional<std::string> path = OutputPathFor(tilePath, "-obj.csv"); path && IsFile(*path)) {
        LineReader reader(*path);
        ProblemList lines(r.problems, *path), off(r.problems, *path), repeats(r.problems, *path);
        std::map<std::int32_t, std::int64_t> lineOfId;
        std::int64_t number = 0, objectives = 0;
        std::string line;
        while (reader.Next(line)) {
            if (++number <= 2) continue;  // the time of the run and the column names
            const std::optional<ObjectiveLine> objective = ParseObjectiveLine(line);
            if (!objective) {
                lines.Add("line " + std::to_string(number) + " is not an objective");
                continue;
            }
            ++objectives;
            if (!OnTheater(objective->x, objective->y, segmentsX(), segmentsY())) {
                off.Add("line " + std::to_string(number) + " has the tile " + std::to_string(objective->x) + "," +
                          std::to_string(objective->y) + ", off the theater");
            }
            if (const auto [first, added] = lineOfId.try_emplace(objective->id, number); !added) {
                repeats.Add("line " + std::to_string(number) + " repeats the id " + std::to_string(objective->id) +
                          " of line " + std::to_string(first->second));
            }
        }
        if (!reader.status().ok()) r.problems.push_back(reader.status().message());
        r.companions.push_back({*path, std::to_string(objectives) + (objectives == 1 ? " objective" : " objectives")});
    }
    return r;
}

StatusOr<RgbImage> Theater::Picture(const HeightTable& heights, const E00Rules& rules) const {
    const std::int64_t width = std::int64_t{kSegmentTiles} * segmentsX(), height = std::int64_t{kSegmentTiles} * segmentsY();
    if (width > kMaxPreviewSide || height > kMaxPreviewSide) {
        return Status::InvalidArgument("the picture would be " + std::to_string(width) + " x " + std::to_string(height) +
                                       " pixels; it can have at most " + std::to_string(kMaxPreviewSide) + " a side");
    }
    RgbImage picture(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    for (std::int32_t row = 0; row < segmentsY(); ++row) {
        for (std::int32_t column = 0; column < segmentsX(); ++column) {
            const std::uint8_t* block = Block({column, row});
            for (int tile = 0; block && tile < 256; ++tile) {
                const std::int64_t x = std::int64_t{kSegmentTiles} * column + tile % 16;
                const std::int64_t y = height - 1 - (std::int64_t{kSegmentTiles} * row + tile / 16);
                picture.At(x, y) = heights.LookupColour(TileOf(block, tile).elevation);
            }
        }
    }
    for (const auto& [keyword, path] : m_tdfFiles) {
        const std::string& name = keyword;
        const auto rule = std::find_if(rules.begin(), rules.end(), [&](const E00Rule& r) { return r.Keyword == name; });
        if (rule == rules.end()) continue;
        const Pen pen{rule->Colour};
        LineReader reader(path);
        std::string line;
        while (reader.Next(line)) {
            const auto places = ParseTdfLine(line, name);
            if (!places) continue;
            const auto pixel = [&](const std::pair<std::int32_t, std::int32_t>& p) {
                return PixelPoint{p.first, static_cast<std::int32_t>(height - 1 - p.second)};
            };
            const PixelPoint first = pixel(places->front());
            if (picture.Contains(first.x, first.y)) picture.At(first.x, first.y) = rule->Colour;
            for (std::size_t i = 1; i < places->size(); ++i) {
                DrawLine(picture, pixel((*places)[i - 1]), pixel((*places)[i]), pen);
                const PixelPoint end = pixel((*places)[i]);
                if (picture.Contains(end.x, end.y)) picture.At(end.x, end.y) = rule->Colour;
            }
        }
    }
    return picture;
}

TheaterDifference CompareTheaters(const Theater& a, const Theater& other) {
    TheaterDifference d;
    d.sameSize = a.segmentsX() == other.segmentsX() && a.segmentsY() == other.segmentsY() && a.large() == other.large();
    if (!d.sameSize) return d;
    const std::size_t blockSize = a.blockSize();
    for (std::int32_t row = 0; row < a.segmentsY(); ++row) {
        for (std::int32_t column = 0; column < a.segmentsX(); ++column) {
            const std::uint8_t* mine = a.Block({column, row});
            const std::uint8_t* theirs = other.Block({column, row});
            if (mine && theirs && std::memcmp(mine, theirs, blockSize) == 0) continue;
            if (!mine && !theirs) continue;
            ++d.segmentsDiffering;
            if (d.firstDiffering.size() < TheaterDifference::kFirstShown) d.firstDiffering.emplace_back(column, row);
            for (int tile = 0; mine && theirs && tile < 256; ++tile) {
                const std::int32_t change = other.TileOf(theirs, tile).elevation - a.TileOf(mine, tile).elevation;
                d.lowestChange = std::min(d.lowestChange.value_or(change), change);
                d.highestChange = std::max(d.highestChange.value_or(change), change);
            }
        }
    }
    return d;
}

}  // namespace gw
