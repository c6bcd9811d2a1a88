#include "cli/CommandSteps.h"
#include "cli/Commands.h"
#include "core/readback/Theater.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"

#include <cstdio>

namespace gw::cli {
namespace {

std::string Size(std::int64_t across, std::int64_t down) { return std::to_string(across) + " x " + std::to_string(down); }

StatusOr<InspectOptions> OptionsOf(const ReadBackArgs& args) {
    InspectOptions options;
    options.large = args.large;
    if (!args.segments) return options;
    std::string x = *args.segments, y = *args.segments;
    std::int32_t across = 0, down = 0;
    const bool pair = args.segments->find(',') != std::string::npos;
    if ((pair && !SplitPair(*args.segments, x, y)) || !ParseWholeInt(x, across) || !ParseWholeInt(y, down)) {
        return Status::Usage("--segments takes X or X,Y (whole numbers), not \"" + *args.segments + "\"");
    }
    options.segments = {across, down};
    return options;
}

Fields ReportFields(const TheaterReport& r) {
    Fields fields = {{"terrain", r.terrainPath},
                     {"index", r.indexPath},
                     {"size_from", r.sizeFrom},
                     {"segments", Size(r.segmentsX, r.segmentsY)},
                     {"tiles", Size(std::int64_t{kSegmentTiles} * r.segmentsX, std::int64_t{kSegmentTiles} * r.segmentsY)},
                     {"format", r.large ? "large" : "regular"},
                     {"blocks_stored", r.blocksStored},
                     {"segments_sharing_a_block", r.segmentsSharing}};
    if (r.lowest) fields.emplace_back("lowest_ft", *r.lowest);
    if (r.highest) fields.emplace_back("highest_ft", *r.highest);
    std::string codes;
    for (const std::uint32_t code : r.tileCodes) codes.append(codes.empty() ? "" : " ").append(std::to_string(code));
    fields.emplace_back("tile_codes", codes);
    std::vector<Fields> companions;
    for (const TheaterReport::Companion& c : r.companions) companions.push_back({{"file", c.path}, {"holds", c.holds}});
    fields.emplace_back("companions", companions);
    return fields;
}

Fields DifferenceFields(const Theater& a, const Theater& other) {
    const TheaterDifference d = CompareTheaters(a, other);
    Fields fields = {{"other", other.terrainPath()}, {"compared", d.sameSize}};
    if (!d.sameSize) {
        fields.emplace_back("why_not", "the theaters differ in size or format: " + Size(a.segmentsX(), a.segmentsY()) +
                                           (a.large() ? " large" : " regular") + " against " +
                                           Size(other.segmentsX(), other.segmentsY()) +
                                           (other.large() ? " large" : " regular"));
        return fields;
    }
    std::string first;
    for (const SegmentPlace& p : d.firstDiffering) {
        first.append(first.empty() ? "" : " ").append(std::to_string(p.first)).append(",").append(std::to_string(p.second));
    }
    fields.emplace_back("segments_differing", d.segmentsDiffering);
    if (!first.empty()) fields.emplace_back("first_differing", first);
    if (d.lowestChange) fields.emplace_back("lowest_change_ft", *d.lowestChange);
    if (d.highestChange) fields.emplace_back("highest_change_ft", *d.highestChange);
    return fields;
}

}  // namespace

Status RunReadBackCommand(const ReadBackArgs& args) {
    const StatusOr<InspectOptions> options = OptionsOf(args);
    if (!options.ok()) return options.status();
    const auto open = [&](const std::string& path) -> StatusOr<Theater> {
        StatusOr<Theater> opened = Theater::Open(path, *options);
        if (opened.ok() || opened.status().code() != Status::Code::kUsage || args.segments) return opened;
        return Status::Usage(opened.status().message() + "; --segments gives the size");
    };
    StatusOr<Theater> theater = open(args.terrain);
    if (!theater.ok()) return theater.status();
    const TheaterReport report = theater->Inspect();
    Fields fields = ReportFields(report);

    std::vector<RunInput> inputs;
    for (const std::string& path : theater->filesRead()) inputs.push_back({path, "a file of the theater"});
    std::optional<Theater> other;
    if (args.against) {
        StatusOr<Theater> opened = open(*args.against);
        if (!opened.ok()) return opened.status();
        other = std::move(opened).value();
        for (const std::string& path : other->filesRead()) inputs.push_back({path, "a file of the theater compared"});
        fields.emplace_back("against", DifferenceFields(*theater, *other));
    }
    if (args.png) {
        if (Status apart = CheckOutputsAreNotInputs(inputs, {*args.png}); !apart.ok()) {
            return Status::Usage(apart.message());
        }
        E00Rules rules;
        std::string source;
        if (Status loaded = LoadRules(args.rules, rules, source); !loaded.ok()) return loaded;
        StatusOr<RgbImage> picture = theater->Picture(HeightTable(), rules);
        if (!picture.ok()) return Status::Usage("--png: " + picture.status().message());
        if (Status saved = SavePng(*picture, *args.png); !saved.ok()) return saved;
        fields.emplace_back("png", *args.png);
    }
    fields.emplace_back("problems", report.problems);
    const std::string text = args.json ? ToJson(fields) + "\n" : ToText(fields);
    std::fputs(text.c_str(), stdout);
    return report.problems.empty() ? Status::Ok() : Told();
}

}  // namespace gw::cli
