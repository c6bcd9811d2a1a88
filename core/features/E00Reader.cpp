#include "features/E00Reader.h"

#include "dem/MappedFile.h"
#include "util/CNumbers.h"
#include "util/Text.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace gw {
namespace {

constexpr std::size_t kIntWidth = 10;
constexpr std::size_t kRecordLine = 80;

std::size_t FloatWidth(int precision) { return precision == 3 ? 21 : 14; }

// The file's lines, one at a time: a line ends at LF or CR LF and, like a C string,
// at its first NUL byte.
class Lines {
public:
    explicit Lines(std::string_view text) : m_text(text) {}

    bool Next(std::string_view& line) {
        if (m_offset >= m_text.size()) return false;
        const char* start = m_text.data() + m_offset;
        const std::size_t left = m_text.size() - m_offset;
        const void* newline = std::memchr(start, '\n', left);
        const std::size_t length = newline ? static_cast<const char*>(newline) - start : left;
        m_offset += newline ? length + 1 : length;
        line = std::string_view(start, length);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
            line = line.substr(0, static_cast<const char*>(nul) - line.data());
        }
        ++m_number;
        return true;
    }

    std::int64_t number() const { return m_number; }
    std::size_t offset() const { return m_offset; }
    std::size_t size() const { return m_text.size(); }
    // Lines left at most: a bound for reserving space from counts a file states.
    std::size_t MaxLinesLeft() const { return m_text.size() - m_offset + 1; }

private:
    std::string_view m_text;
    std::size_t m_offset = 0;
    std::int64_t m_number = 0;
};

// Fixed-width fields read one after another from the start of a line.
class Fields {
public:
    explicit Fields(std::string_view line) : m_line(line) {}
    std::int32_t Int() { return ParseCInt(Take(kIntWidth)); }
    double Float(std::size_t width) { return ParseCDouble(Take(width)); }

private:
    std::string_view Take(std::size_t width) {
        const std::string_view field = m_pos < m_line.size() ? m_line.substr(m_pos, width) : std::string_view();
        m_pos += width;
        return field;
    }
    std::string_view m_line;
    std::size_t m_pos = 0;
};

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string_view Columns(std::string_view line, std::size_t first, std::size_t count) {
    return first < line.size() ? line.substr(first, count) : std::string_view();
}

// The precision of a section header scanned as "%3s %d"; none when it does not scan
// or is neither 2 nor 3.
std::optional<int> SectionPrecision(std::string_view line) {
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    std::size_t i = 0;
    while (i < line.size() && isSpace(line[i])) ++i;
    const std::size_t wordStart = i;
    while (i < line.size() && i - wordStart < 3 && !isSpace(line[i])) ++i;
    std::int32_t precision = 0;
    if (i == wordStart || ScanCInt(line.substr(i), precision) == 0) return std::nullopt;
    if (precision != 2 && precision != 3) return std::nullopt;
    return precision;
}

class Parser {
public:
    Parser(E00Reader& reader, std::string_view text, Progress& progress)
        : m_r(reader), m_lines(text), m_progress(progress) {}

    bool Run();
    const std::string& error() const { return m_error; }

private:
    bool Fail(const std::string& why) {
        m_error = "line " + std::to_string(m_lines.number()) + ": " + why;
        return false;
    }
    bool FailAtEnd(const std::string& inside) {
        m_error = "line " + std::to_string(m_lines.number()) + ": the file ends inside " + inside;
        return false;
    }
    bool FirstLine(std::string_view line);
    bool Section(std::string_view line);
    bool Header(std::string_view line, int& precision) {
        const std::optional<int> p = SectionPrecision(line);
        if (!p) return Fail("a section header needs a name and precision 2 or 3: \"" + std::string(line) + "\"");
        precision = *p;
        return true;
    }
    bool SkipUntil(std::string_view endLine, bool ignoreCase);
    bool Arcs(int precision);
    bool Labels(int precision);
    bool Tolerances();
    bool Centroids();
    bool Polygons(int precision);
    bool Tables();
    bool Table(std::string_view header);
    bool SkipLines(std::int64_t count, const char* inside);

    E00Reader& m_r;
    Lines m_lines;
    Progress& m_progress;
    std::string m_error;
};

bool Parser::Run() {
    std::string_view line;
    if (!m_lines.Next(line)) return Fail("the file is empty");
    if (!FirstLine(line)) return false;
    while (m_lines.Next(line)) {
        if (line.substr(0, 3) == "EOS") return true;
        if (!Section(line)) return false;
        m_progress.SetPos(static_cast<int>(static_cast<std::uint64_t>(m_lines.offset()) * 100 / m_lines.size()));
    }
    return true;
}

bool Parser::FirstLine(std::string_view line) {
    if (line.substr(0, 3) != "EXP") return Fail("an export file begins with \"EXP\"");
    std::string_view rest = Columns(line, 4, std::string_view::npos);
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    if (ParseCInt(rest) != 0) return Fail("a compressed export (the number after EXP is not 0) cannot be read");
    const std::size_t blank = rest.find_first_of(" \t");
    std::string_view path = blank == std::string_view::npos ? rest : rest.substr(blank);
    path.remove_prefix(std::min(path.find_first_not_of(" \t"), path.size()));
    path = TrimRight(path);
    m_r.m_path = path;
    m_r.m_name = FileNameOf(path);
    return true;
}

bool Parser::Section(std::string_view line) {
    const std::string_view key = line.substr(0, 3);
    int precision = 0;
    const auto handled = [&](auto body) { return Header(line, precision) && body(); };
    if (key == "ARC") return handled([&] { return Arcs(precision); });
    if (key == "LAB") return handled([&] { return Labels(precision); });
    if (key == "TOL") return handled([&] { return Tolerances(); });
    if (key == "CNT") return handled([&] { return Centroids(); });
    if (key == "PAL") return handled([&] { return Polygons(precision); });
    if (key == "IFO") return handled([&] { return Tables(); });
    if (key == "SIN") return handled([&] { return SkipLines(1, "the SIN section"); });
    if (key == "LOG") return handled([&] { return SkipUntil("EOL", true); });
    if (key == "PRJ") return handled([&] { return SkipUntil("EOP", true); });
    if (key == "TX7" || key == "TX6") return handled([&] { return SkipUntil("JABBERWOCKY", false); });
    return true;
}

bool Parser::SkipUntil(std::string_view endLine, bool ignoreCase) {
    std::string_view line;
    while (m_lines.Next(line)) {
        if (ignoreCase ? EqualsNoCase(line, endLine) : line == endLine) return true;
    }
    return true;
}

bool Parser::SkipLines(std::int64_t count, const char* inside) {
    std::string_view line;
    for (std::int64_t i = 0; i < count; ++i) {
        if (!m_lines.Next(line)) return FailAtEnd(inside);
    }
    return true;
}

bool Parser::Arcs(int precision) {
    const std::size_t width = FloatWidth(precision);
    std::string_view line;
    while (m_lines.Next(line)) {
        if (line.size() < 60) return Fail("an ARC record line has fewer than 60 characters");
        Fields f(line);
        E00Arc arc;
        arc.coverageNumber = f.Int();
        if (arc.coverageNumber == -1) return true;
        arc.coverageId = f.Int();
        arc.fromNode = f.Int();
        arc.toNode = f.Int();
        arc.leftPolygon = f.Int();
        arc.rightPolygon = f.Int();
        const std::int64_t count = f.Int();
        arc.points.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, m_lines.MaxLinesLeft() * 2)));
        const std::int64_t pairsPerLine = precision == 2 ? 2 : 1;
        const std::int64_t coordinateLines = (count + pairsPerLine - 1) / pairsPerLine;
        for (std::int64_t l = 0; l < coordinateLines; ++l) {
            if (!m_lines.Next(line)) return FailAtEnd("the coordinates of an arc");
            Fields pair(line);
            for (std::int64_t p = 0; p < pairsPerLine && static_cast<std::int64_t>(arc.points.size()) < count; ++p) {
                const double x = pair.Float(width);
                const double y = pair.Float(width);
                arc.points.push_back({y, x});
            }
        }
        m_r.m_arcs.push_back(std::move(arc));
    }
    return true;
}

bool Parser::Labels(int precision) {
    const std::size_t width = FloatWidth(precision);
    std::string_view line;
    while (m_lines.Next(line)) {
        Fields f(line);
        E00Label label;
        label.labelId = f.Int();
        label.polygonId = f.Int();
        const double x = f.Float(width);
        const double y = f.Float(width);
        if (label.labelId == -1) return true;
        // The label box follows: two points, one line each at double precision.
        if (!SkipLines(precision == 3 ? 2 : 1, "a label's box lines")) return false;
        label.point = {y, x};
        m_r.m_labels.push_back(label);
    }
    return true;
}

bool Parser::Tolerances() {
    std::string_view line;
    while (m_lines.Next(line)) {
        E00Tolerance t;
        std::size_t a = 0, b = 0;
        if ((a = ScanCInt(line, t.first)) == 0 || (b = ScanCInt(line.substr(a), t.second)) == 0 ||
            ScanCDouble(line.substr(a + b), t.value) == 0) {
            return Fail("a TOL line needs two integers and a number");
        }
        if (t.first == -1) return true;
        m_r.m_tolerances.push_back(t);
    }
    return true;
}

bool Parser::Centroids() {
    std::string_view line;
    while (m_lines.Next(line)) {
        std::int32_t labels = 0;
        E00Centroid c;
        std::size_t a = 0, b = 0;
        if ((a = ScanCInt(line, labels)) == 0 || (b = ScanCDouble(line.substr(a), c.x)) == 0 ||
            ScanCDouble(line.substr(a + b), c.y) == 0) {
            return Fail("a CNT line needs a label count and two numbers");
        }
        if (labels == -1) return true;
        if (labels > 0 && !SkipLines(1, "a centroid's label numbers")) return false;
        m_r.m_centroids.push_back(c);
    }
    return true;
}

bool Parser::Polygons(int precision) {
    const std::size_t width = FloatWidth(precision);
    std::string_view line;
    while (m_lines.Next(line)) {
        if (precision == 2 && line.size() < kIntWidth + 4 * 14) {
            return Fail("a PAL record line has fewer than 66 characters");
        }
        Fields f(line);
        E00Polygon polygon;
        polygon.arcCount = f.Int();
        if (polygon.arcCount == -1) return true;
        polygon.values[0] = f.Float(width);
        polygon.values[1] = f.Float(width);
        if (precision == 3) {
            // At double precision the other two values stand on a line of their own.
            if (!m_lines.Next(line)) return FailAtEnd("a polygon record");
            f = Fields(line);
        }
        polygon.values[2] = f.Float(width);
        polygon.values[3] = f.Float(width);
        if (!SkipLines((std::int64_t{polygon.arcCount} + 1) / 2, "a polygon's arc lines")) return false;
        m_r.m_polygons.push_back(polygon);
    }
    return true;
}

bool Parser::Tables() {
    std::string_view line;
    while (m_lines.Next(line)) {
        if (line == "EOI") return true;
        if (!Table(line)) return false;
    }
    return true;
}

bool Parser::Table(std::string_view header) {
    InfoTable table;
    table.name = TrimRight(header.substr(0, 32));
    table.itemCount = ParseCInt(Columns(header, 38, 4));
    table.recordCount = ParseCInt(Columns(header, 46, 10));
    std::string_view line;
    std::int32_t position = 0;
    for (std::int32_t i = 0; i < table.itemCount; ++i) {
        if (!m_lines.Next(line)) return FailAtEnd("the item definitions of table " + table.name);
        InfoItem item;
        item.name = TrimRight(line.substr(0, 16));
        item.size = ParseCInt(Columns(line, 16, 3));
        item.type = ParseCInt(Columns(line, 34, 3));
        item.width = InfoItemWidth(item.type, item.size);
        item.position = position;
        position += item.width;
        table.items.push_back(std::move(item));
    }
    // A table whose items take no room has nothing to read from its records.
    const std::int64_t linesPerRecord = (std::int64_t{position} + kRecordLine - 1) / kRecordLine;
    if (linesPerRecord > 0) {
        table.records.reserve(std::min<std::size_t>(std::max(table.recordCount, 0), m_lines.MaxLinesLeft()));
    }
    for (std::int32_t r = 0; r < table.recordCount && linesPerRecord > 0; ++r) {
        std::string record;
        record.reserve(static_cast<std::size_t>(linesPerRecord) * kRecordLine);
        for (std::int64_t l = 0; l < linesPerRecord; ++l) {
            if (!m_lines.Next(line)) return FailAtEnd("the records of table " + table.name);
            record.append(line);
            if (line.size() < kRecordLine) record.append(kRecordLine - line.size(), ' ');
        }
        table.records.push_back(std::move(record));
    }
    m_r.m_tables.push_back(std::move(table));
    return true;
}

}  // namespace

std::int32_t InfoItemWidth(std::int32_t type, std::int32_t size) {
    switch (type) {
        case 10: return 8;
        case 20:
        case 30: return std::max(size, 0);
        case 40: return 14;
        case 50: return size == 4 ? 11 : 6;
        case 60: return size == 4 ? 14 : 24;
        default: return 0;
    }
}

const InfoItem* InfoTable::FindItem(std::string_view itemName) const {
    const auto item = std::find_if(items.begin(), items.end(),
                                   [&](const InfoItem& i) { return EqualsNoCase(i.name, itemName); });
    return item == items.end() ? nullptr : &*item;
}

std::string_view InfoTable::GetItemText(const std::string& record, const InfoItem& item) {
    const auto position = static_cast<std::size_t>(item.position);
    if (position >= record.size()) return {};
    return std::string_view(record).substr(position, static_cast<std::size_t>(item.width));
}

const std::string* InfoTable::FindRecord(const InfoItem& item, std::int32_t key) const {
    if (key > 0 && static_cast<std::size_t>(key) - 1 < records.size() &&
        ParseCInt(GetItemText(records[key - 1], item)) == key) {
        return &records[key - 1];
    }
    const auto record = std::find_if(records.begin(), records.end(), [&](const std::string& r) {
        return ParseCInt(GetItemText(r, item)) == key;
    });
    return record == records.end() ? nullptr : &*record;
}

bool E00Reader::Parse(const std::string& path, Progress& progress) {
    MappedFile file;
    if (!file.Open(path, MappedFile::kReadOnly)) {
        ClearLists();
        m_error = file.error();
        return false;
    }
    return ParseText(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), progress);
}

void E00Reader::ClearLists() {
    m_arcs.clear();
    m_labels.clear();
    m_tolerances.clear();
    m_centroids.clear();
    m_polygons.clear();
    m_tables.clear();
}

bool E00Reader::ParseText(std::string_view text, Progress& progress) {
    ClearLists();
    Parser parser(*this, text, progress);
    const bool ok = parser.Run();
    m_error = parser.error();
    return ok;
}

const InfoTable* E00Reader::FindTable(std::string_view name) const {
    const auto table = std::find_if(m_tables.begin(), m_tables.end(),
                                    [&](const InfoTable& t) { return EqualsNoCase(t.name, name); });
    return table == m_tables.end() ? nullptr : &*table;
}

}  // namespace gw
