#include "core/generate/L2Writer.h"

#include "core/document/GridwrightDoc.h"
#include "core/layout/HeightTable.h"
#include "core/generate/SegmentSampler.h"
#include "core/generate/WriterOutputs.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/LittleEndian.h"
#include "core/util/OrderedWorkers.h"
#include "core/util/Text.h"

#include <md5.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <thread>
#include <unordered_map>

namespace gw {
namespace {

// Segments built together by one worker; small enough to bound the memory in flight
// at any theater width.
constexpr std::int32_t kRunSegments = 64;

using Digest = std::array<std::uint8_t, MD5_DIGEST_LENGTH>;

struct DigestHash {
    std::size_t operator()(const Digest& d) const {
        std::uint64_t v;
        std::memcpy(&v, d.data(), sizeof v);
        return static_cast<std::size_t>(v);
    }
};

// A run of consecutive segments of one segment row, with everything the writer needs
// of them.
struct SegmentRun {
    std::int32_t firstSegment = 0;
    std::int32_t count = 0;
    std::vector<std::uint8_t> blocks;
    std::vector<Digest> digests;
    std::vector<std::array<std::int16_t, 4>> quarters;
    std::int16_t lowest = 0;
    std::int16_t highest = 0;
};

// Turns the elevations of one segment into its block of tile records.
class BlockBuilder {
public:
    BlockBuilder(const HeightTable& heights, bool large)
        : m_large(large), m_recordSize(large ? 9 : 7), m_codes(65536) {
        for (std::size_t bits = 0; bits < m_codes.size(); ++bits) {
            m_codes[bits] = heights.LookupTileCode(static_cast<std::int16_t>(static_cast<std::uint16_t>(bits)));
        }
    }

    std::size_t blockSize() const { return kTilesPerSegment * m_recordSize; }

    void Build(const std::int16_t (&elevations)[kTilesPerSegment], std::uint8_t* block) const {
        for (const std::int16_t elevation : elevations) {
            const std::uint32_t code = m_codes[static_cast<std::uint16_t>(elevation)];
            if (m_large) {
                PutLE32(block, code);
                block += 4;
            } else {
                PutLE16(block, static_cast<std::uint16_t>(code));
                block += 2;
            }
            PutLE16(block, static_cast<std::uint16_t>(elevation));
            block[2] = 0x82;
            block[3] = 0x3F;
            block[4] = 0x3F;
            block += 5;
        }
    }

private:
    bool m_large;
    std::size_t m_recordSize;
    std::vector<std::uint32_t> m_codes;  // tile code by the elevation's bit pattern
};

}  // namespace

std::array<std::int16_t, 4> QuarterMaxima(const std::int16_t (&e)[kTilesPerSegment]) {
    std::array<std::int16_t, 4> maxima{};
    for (int k = 0; k < kTilesPerSegment; ++k) {
        const int quarter = (k / kSegmentTiles >= 8 ? 2 : 0) + (k % kSegmentTiles >= 8 ? 1 : 0);
        maxima[quarter] = std::max(maxima[quarter], e[k]);
    }
    return maxima;
}

std::optional<std::string> IndexPathFor(const std::string& terrainPath) {
    if (auto path = OutputPathFor(terrainPath, ".o2")) return path;
    if (FileNameOf(terrainPath).find(".L2") != std::string::npos) return ReplaceInFileName(terrainPath, ".L2", ".o2");
    return std::nullopt;
}

unsigned DefaultWorkerCount() { return std::max(1u, std::thread::hardware_concurrency()); }

WriteResult WriteL2File(const GenerateContext& context, bool large, const std::string& terrainPath,
                        MeaGrid* mea, TerrainResults& results, unsigned workers) {
    results.m_lowestPoint = 32000;
    results.m_highestPoint = 0;

    const std::optional<std::string> indexPath = IndexPathFor(terrainPath);
    if (!indexPath) return WriteResult::NotNamed();
    WriterOutputs outputs(context);
    OutputFile* tiles;
    if (Status s = outputs.Create(terrainPath, &tiles); !s.ok()) return WriteResult::Failed(s.message());
    OutputFile* index;
    if (Status s = outputs.Create(*indexPath, &index); !s.ok()) return WriteResult::Failed(s.message());
    results.m_largeTerrain = large;
    results.m_terrainRun = true;

    const TheaterLayout& layout = context.layout;
    Progress& progress = context.progress;
    BeginJob(progress, layout.m_segmentsY, "Generating L2 file");

    const SegmentSampler sampler(context.doc, layout);
    const BlockBuilder builder(context.heights, large);
    const std::size_t blockSize = builder.blockSize();
    const std::int32_t runsPerRow = (layout.m_segmentsX + kRunSegments - 1) / kRunSegments;

    const auto produce = [&](std::int64_t n, SegmentRun& run) {
        const auto j = static_cast<std::int32_t>(layout.m_segmentsY - 1 - n / runsPerRow);
        run.firstSegment = static_cast<std::int32_t>(n % runsPerRow) * kRunSegments;
        run.count = std::min(kRunSegments, layout.m_segmentsX - run.firstSegment);
        run.blocks.resize(run.count * blockSize);
        run.digests.resize(run.count);
        run.quarters.resize(run.count);
        run.lowest = std::numeric_limits<std::int16_t>::max();
        run.highest = std::numeric_limits<std::int16_t>::min();
        std::int16_t elevations[kTilesPerSegment];
        for (std::int32_t s = 0; s < run.count; ++s) {
            sampler.SampleSegment(run.firstSegment + s, j, elevations);
            const auto [low, high] = std::minmax_element(std::begin(elevations), std::end(elevations));
            run.lowest = std::min(run.lowest, *low);
            run.highest = std::max(run.highest, *high);
            run.quarters[s] = QuarterMaxima(elevations);
            std::uint8_t* block = run.blocks.data() + s * blockSize;
            builder.Build(elevations, block);
            MD5_CTX md5;
            MD5Init(&md5);
            MD5Update(&md5, block, blockSize);
            MD5Final(run.digests[s].data(), &md5);
        }
    };

    std::unordered_map<Digest, std::uint32_t, DigestHash> offsets;
    std::uint64_t runningOffset = 0;
    WriteResult result;
    const auto consume = [&](std::int64_t n, const SegmentRun& run) {
        const auto j = static_cast<std::int32_t>(layout.m_segmentsY - 1 - n / runsPerRow);
        results.m_lowestPoint = std::min(results.m_lowestPoint, run.lowest);
        results.m_highestPoint = std::max(results.m_highestPoint, run.highest);
        for (std::int32_t s = 0; s < run.count; ++s) {
            if (mea) {
                const std::int16_t quarters[4] = {run.quarters[s][0], run.quarters[s][1],
                                                  run.quarters[s][2], run.quarters[s][3]};
                mea->SetSegment(run.firstSegment + s, j, quarters);
            }
            auto [entry, added] = offsets.try_emplace(run.digests[s], static_cast<std::uint32_t>(runningOffset));
            if (added) {
                if (runningOffset > std::numeric_limits<std::uint32_t>::max()) {
                    result = WriteResult::Failed(terrainPath +
                                                 ": the tile file would pass the 4 GiB its 32-bit offsets can address");
                    return false;
                }
                tiles->Write(run.blocks.data() + s * blockSize, blockSize);
                runningOffset += blockSize;
            }
            std::uint8_t offset[4];
            PutLE32(offset, entry->second);
            index->Write(offset, sizeof offset);
        }
        if (run.firstSegment + run.count < layout.m_segmentsX) return true;
        progress.StepIt();
        if (ConfirmCancel(progress, context.prompts)) {
            result.outcome = WriteResult::Outcome::kCancelled;
            return false;
        }
        return true;
    };

    try {
        RunOrdered<SegmentRun>(std::int64_t{runsPerRow} * layout.m_segmentsY, workers, produce, consume);
    } catch (const std::exception& e) {
        result = WriteResult::Failed(terrainPath + ": the terrain could not be generated: " +
                                     (dynamic_cast<const std::bad_alloc*>(&e) ? "not enough memory" : e.what()));
    }

    const Status tilesClosed = tiles->Close();
    const Status indexClosed = index->Close();
    if (result.outcome == WriteResult::Outcome::kFailed) return result;
    if (!tilesClosed.ok()) return WriteResult::Failed(tilesClosed.message());
    if (!indexClosed.ok()) return WriteResult::Failed(indexClosed.message());
    result.files = {terrainPath, *indexPath};
    return outputs.Finish(std::move(result));
}

}  // namespace gw
