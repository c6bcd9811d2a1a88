#include "core/features/E00Reader.h"

#include "core/util/CNumbers.h"
#include "core/util/InputFile.h"
#include "core/util/Text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

namespace gw {
namespace {

constexpr std::size_t kIntWidth = 10;
constexpr std::size_t kRecordLine = 80;
// Where the record count of an INFO table header ends, and the type of an item
// definition: a shorter line cannot hold them.
constexpr std::size_t kTableHeaderLine = 56;
constexpr std::size_t kItemLine = 37;

std::size_t FloatWidth(int precision) { return precision == 3 ? 21 : 14; }

// The lines of an export file, from text in memory or streamed from a file through a
// buffer of fixed size (read, never mapped: a file truncated by another program while
// it is read ends early instead of faulting). A line ends at LF or CR LF and, like a C
// string, at its first NUL byte; it is cut at LineReader::kMaxLine characters and the
// rest of it skipped. A line stays valid until the next call to Next.
class Lines {
public:
    static constexpr std::size_t kMaxLine = LineReader::kMaxLine;

    explicit Lines(std::string_view text)
        : m_data(text.data()), m_end(text.size()), m_size(text.size()), m_atEnd(true) {}
    explicit Lines(InputFile& file)
        : m_file(&file), m_buffer(new char[kBufferSize]), m_data(m_buffer.get()), m_size(file.size()) {}

    // The next line; false at the end of the text or on a read error (see status()).
    bool Next(std::string_view& line);

    const Status& status() const { return m_status; }
    std::int64_t number() const { return m_number; }
    // Bytes read so far, of size() in all.
    std::uint64_t offset() const { return m_dropped + m_start; }
    std::uint64_t size() const { return m_size; }
    // Bytes the rest of the file holds: what bounds the space reserved for a count the
    // file states.
    std::uint64_t BytesLeft() const { return m_size > offset() ? m_size - offset() : 0; }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    static constexpr std::size_t kBufferSize = kMaxLine + kChunk;

    // Moves the unread bytes to the front of the buffer and reads more after them.
    bool Fill();
    bool SkipRestOfLine();

    InputFile* m_file = nullptr;
    std::unique_ptr<char[]> m_buffer;
    const char* m_data = nullptr;
    std::size_t m_start = 0;  // the next line's first byte
    std::size_t m_scan = 0;   // where the search for its end goes on
    std::size_t m_end = 0;
    std::uint64_t m_dropped = 0;  // bytes moved out of the buffer's front
    std::uint64_t m_size = 0;
    bool m_atEnd = false;
    bool m_skipRest = false;  // the last line was cut: its rest is still to be skipped
    std::int64_t m_number = 0;
    Status m_status;
};

bool Lines::Fill() {
    char* buffer = m_buffer.get();
    std::memmove(buffer, buffer + m_start, m_end - m_start);
    m_dropped += m_start;
    m_scan -= m_start;
    m_end -= m_start;
    m_start = 0;
    std::size_t got = 0;
    m_status = m_file->Read(buffer + m_end, kBufferSize - m_end, got);
    m_end += got;
    m_atEnd = got == 0;
    return m_status.ok();
}

bool Lines::SkipRestOfLine() {
    while (m_skipRest) {
        if (const void* newline = std::memchr(m_data + m_start, '\n', m_end - m_start)) {
            m_start = m_scan = static_cast<std::size_t>(static_cast<const char*>(newline) - m_data) + 1;
            m_skipRest = false;
        } else {
            m_start = m_scan = m_end;
            if (m_atEnd) m_skipRest = false;
            else if (!Fill()) return false;
        }
    }
    return true;
}

bool Lines::Next(std::string_view& line) {
    if (!m_status.ok() || !SkipRestOfLine()) return false;
    for (;;) {
        if (const void* newline = std::memchr(m_data + m_scan, '\n', m_end - m_scan)) {
            const auto stop = static_cast<std::size_t>(static_cast<const char*>(newline) - m_data);
            line = std::string_view(m_data + m_start, stop - m_start);
            m_start = m_scan = stop + 1;
            break;
        }
        m_scan = m_end;
        if (m_atEnd) {
            if (m_start == m_end) return false;
            line = std::string_view(m_data + m_start, m_end - m_start);
            m_start = m_scan = m_end;
            break;
        }
        if (m_end - m_start >= kMaxLine) {
            // The buffer holds no more of this line than is kept of it.
            line = std::string_view(m_data + m_start, kMaxLine);
            m_start = m_scan = m_end;
            m_skipRest = true;
            break;
        }
        if (!Fill()) return false;
    }
    line = line.substr(0, kMaxLine);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
        line = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
    }
    ++m_number;
    return true;
}

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

// How many elements of at least bytesEach bytes of the file each the rest of it can
// hold, and no more than count: what may be reserved for a count the file states.
std::size_t Reservable(std::int64_t count, std::uint64_t bytesLeft, std::size_t bytesEach) {
    if (count <= 0) return 0;
    return static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(count), bytesLeft / bytesEach));
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
    Parser(E00Reader& reader, Lines& lines, Progress& progress) : m_r(reader), m_lines(lines), m_progress(progress) {}

    // The outcome of the parse; a read error outweighs what the parser made of the
    // lines before it.
    Status Run();

private:
    bool Fail(const std::string& why) { return Fail(m_lines.number(), why); }
    bool Fail(std::int64_t line, const std::string& why) {
        m_status = Status::Corruption("line " + std::to_string(line) + ": " + why);
        return false;
    }
    bool FailAtEnd(const std::string& inside) { return Fail("the file ends inside " + inside); }
    bool FailShort(std::int64_t line, const char* what, std::size_t characters) {
        return Fail(line, std::string(what) + " has fewer than " + std::to_string(characters) + " characters");
    }
    bool FailShort(const char* what, std::size_t characters) { return FailShort(m_lines.number(), what, characters); }
    bool TopLevel();
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
    Lines& m_lines;
    Progress& m_progress;
    Status m_status;
};

Status Parser::Run() {
    const bool ok = TopLevel();
    if (!m_lines.status().ok()) {
        return Status::IOError("line " + std::to_string(m_lines.number()) + ": " + m_lines.status().message());
    }
    return ok ? Status::Ok() : m_status;
}

bool Parser::TopLevel() {
    std::string_view line;
    if (!m_lines.Next(line)) return Fail("the file is empty");
    if (!FirstLine(line)) return false;
    while (m_lines.Next(line)) {
        if (line.substr(0, 3) == "EOS") return true;
        if (!Section(line)) return false;
        const std::uint64_t size = std::max<std::uint64_t>(m_lines.size(), 1);
        m_progress.SetPos(static_cast<int>(std::min<std::uint64_t>(m_lines.offset() * 100 / size, 100)));
    }
    return Fail("the file ends without its EOS line");
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
    const std::size_t pairWidth = 2 * FloatWidth(precision);
    const std::int64_t pairsPerLine = precision == 2 ? 2 : 1;
    std::string_view line;
    while (m_lines.Next(line)) {
        if (line.size() < 60) return FailShort("an ARC record line", 60);
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
        arc.points.reserve(Reservable(count, m_lines.BytesLeft(), pairWidth));
        const std::int64_t coordinateLines = (count + pairsPerLine - 1) / pairsPerLine;
        for (std::int64_t l = 0; l < coordinateLines; ++l) {
            if (!m_lines.Next(line)) return FailAtEnd("the coordinates of an arc");
            const std::int64_t pairs = std::min(pairsPerLine, count - l * pairsPerLine);
            const auto needed = static_cast<std::size_t>(pairs) * pairWidth;
            if (line.size() < needed) {
                // A short last line is a file cut off inside the arc, and is told so.
                const std::int64_t shortLine = m_lines.number();
                if (!m_lines.Next(line)) return FailAtEnd("the coordinates of an arc");
                return FailShort(shortLine, "an arc's coordinate line", needed);
            }
            Fields pair(line);
            for (std::int64_t p = 0; p < pairs; ++p) {
                const double x = pair.Float(pairWidth / 2);
                const double y = pair.Float(pairWidth / 2);
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
        if (line.size() < 2 * kIntWidth) return FailShort("a LAB record line", 2 * kIntWidth);
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
        if (precision == 2 && line.size() < kIntWidth + 4 * width) {
            return FailShort("a PAL record line", kIntWidth + 4 * width);
        }
        Fields f(line);
        E00Polygon polygon;
        polygon.arcCount = f.Int();
        if (polygon.arcCount == -1) return true;
        polygon.values[0] = f.Float(width);
        polygon.values[1] = f.Float(width);
        if (precision == 3) {
            // At double precision the other two values stand on a line of their own;
            // each line must hold its values (the closing line need not).
            if (line.size() < kIntWidth + 2 * width) return FailShort("a PAL record line", kIntWidth + 2 * width);
            if (!m_lines.Next(line)) return FailAtEnd("a polygon record");
            if (line.size() < 2 * width) return FailShort("a PAL record's second line", 2 * width);
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
    if (header.size() < kTableHeaderLine) return FailShort("an INFO table header", kTableHeaderLine);
    InfoTable table;
    table.name = TrimRight(header.substr(0, 32));
    table.itemCount = ParseCInt(Columns(header, 38, 4));
    table.recordCount = ParseCInt(Columns(header, 46, 10));
    table.items.reserve(Reservable(table.itemCount, m_lines.BytesLeft(), kItemLine));
    std::string_view line;
    std::int64_t position = 0;
    for (std::int32_t i = 0; i < table.itemCount; ++i) {
        if (!m_lines.Next(line)) return FailAtEnd("the item definitions of table " + table.name);
        if (line.size() < kItemLine) return FailShort("an INFO item definition", kItemLine);
        InfoItem item;
        item.name = TrimRight(line.substr(0, 16));
        item.size = ParseCInt(Columns(line, 16, 3));
        item.type = ParseCInt(Columns(line, 34, 3));
        item.width = InfoItemWidth(item.type, item.size);
        item.position = static_cast<std::int32_t>(position);
        position += item.width;
        if (position > INT32_MAX) return Fail("the items of table " + table.name + " are too wide for a record");
        table.items.push_back(std::move(item));
    }
    // A table whose items take no room has nothing to read from its records.
    const std::int64_t linesPerRecord = (position + kRecordLine - 1) / kRecordLine;
    table.records = InfoRecords(linesPerRecord);
    for (std::int32_t r = 0; r < table.recordCount && linesPerRecord > 0; ++r) {
        for (std::int64_t l = 0; l < linesPerRecord; ++l) {
            if (!m_lines.Next(line)) return FailAtEnd("the records of table " + table.name);
            table.records.AppendLine(line);
        }
    }
    m_r.m_tables.push_back(std::move(table));
    return true;
}

// The status body returns; an allocation failure inside it is a failure to read what.
template <typename Body>
Status GuardMemory(const std::string& what, Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Status::ResourceExhausted("not enough memory to read " + what);
    } catch (const std::length_error&) {
        return Status::ResourceExhausted("not enough memory to read " + what);
    }
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

InfoRecords::InfoRecords(std::int64_t linesPerRecord) : m_linesPerRecord(linesPerRecord) {}

std::uint64_t InfoRecords::RecordsPerIndexEntry() const {
    const auto lines = static_cast<std::uint64_t>(m_linesPerRecord);
    return (kLinesPerIndexEntry + lines - 1) / lines;
}

void InfoRecords::AppendLine(std::string_view line) {
    if (m_linesPerRecord <= 0) return;
    if (m_lines % (static_cast<std::uint64_t>(m_linesPerRecord) * RecordsPerIndexEntry()) == 0) {
        m_index.push_back(m_text.size());
    }
    m_text.append(line);
    m_text.push_back('\n');
    ++m_lines;
}

std::size_t InfoRecords::Locate(std::size_t record) const {
    const std::uint64_t perEntry = RecordsPerIndexEntry();
    std::size_t offset = m_index[record / perEntry];
    const std::uint64_t skip = record % perEntry * static_cast<std::uint64_t>(m_linesPerRecord);
    for (std::uint64_t l = 0; l < skip; ++l) offset = m_text.find('\n', offset) + 1;
    return offset;
}

void InfoRecords::ItemText(std::size_t record, const InfoItem& item, std::string& text) const {
    text.clear();
    const auto first = static_cast<std::uint64_t>(std::max(item.position, 0));
    const std::uint64_t last = first + static_cast<std::uint64_t>(std::max(item.width, 0));
    std::size_t offset = Locate(record);
    std::uint64_t column = 0;  // where the current line starts in the record text
    for (std::int64_t l = 0; l < m_linesPerRecord && column < last; ++l) {
        const std::size_t end = m_text.find('\n', offset);
        const std::uint64_t length = end - offset;
        const std::uint64_t columns = std::max<std::uint64_t>(length, kRecordLine);
        const std::uint64_t from = std::max(first, column), to = std::min(last, column + columns);
        if (from < to) {
            const std::uint64_t lineFrom = from - column, lineTo = to - column;
            if (lineFrom < length) text.append(m_text, offset + lineFrom, std::min(lineTo, length) - lineFrom);
            if (lineTo > length) text.append(lineTo - std::max(lineFrom, length), ' ');
        }
        column += columns;
        offset = end + 1;
    }
}

const InfoItem* InfoTable::FindItem(std::string_view itemName) const {
    const auto item = std::find_if(items.begin(), items.end(),
                                   [&](const InfoItem& i) { return EqualsNoCase(i.name, itemName); });
    return item == items.end() ? nullptr : &*item;
}

std::string InfoTable::GetItemText(std::size_t record, const InfoItem& item) const {
    std::string text;
    records.ItemText(record, item, text);
    return text;
}

std::optional<std::size_t> InfoTable::FindRecord(const InfoItem& item, std::int32_t key) const {
    std::string text;
    const auto readsAsKey = [&](std::size_t record) {
        records.ItemText(record, item, text);
        return ParseCInt(text) == key;
    };
    if (key > 0 && static_cast<std::size_t>(key) - 1 < records.size() && readsAsKey(key - 1)) {
        return static_cast<std::size_t>(key - 1);
    }
    for (std::size_t record = 0; record < records.size(); ++record) {
        if (readsAsKey(record)) return record;
    }
    return std::nullopt;
}

void E00Reader::ClearLists() {
    m_name.clear();
    m_arcs.clear();
    m_labels.clear();
    m_tolerances.clear();
    m_centroids.clear();
    m_polygons.clear();
    m_tables.clear();
}

Status E00Reader::Parse(const std::string& path, Progress& progress) {
    ClearLists();
    InputFile file;
    if (Status opened = file.Open(path); !opened.ok()) return opened;
    return GuardMemory(path, [&] {
        Lines lines(file);
        return Parser(*this, lines, progress).Run();
    });
}

Status E00Reader::ParseText(std::string_view text, Progress& progress) {
    ClearLists();
    return GuardMemory("the export text", [&] {
        Lines lines(text);
        return Parser(*this, lines, progress).Run();
    });
}

const InfoTable* E00Reader::FindTable(std::string_view name) const {
    const auto table = std::find_if(m_tables.begin(), m_tables.end(),
                                    [&](const InfoTable& t) { return EqualsNoCase(t.name, name); });
    return table == m_tables.end() ? nullptr : &*table;
}

}  // namespace gw
