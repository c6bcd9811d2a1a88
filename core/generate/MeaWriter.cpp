#include "generate/MeaWriter.h"

#include "util/LittleEndian.h"
#include "util/OutputFile.h"
#include "util/Text.h"

namespace gw {

WriteResult WriteMeaFile(const GenerateContext& context, const std::string& terrainPath, const MeaGrid& mea) {
    const std::optional<std::string> path = OutputPathFor(terrainPath, ".mea");
    if (!path) return WriteResult::NotNamed();
    Progress& progress = context.progress;
    BeginJob(progress, 1, "Generating MEA file");
    OutputFile file;
    if (Status s = file.Create(*path); !s.ok()) return WriteResult::Failed(s.message());
    std::vector<std::uint8_t> bytes(mea.cells().size() * 2);
    for (std::size_t c = 0; c < mea.cells().size(); ++c) {
        PutLE16(&bytes[2 * c], static_cast<std::uint16_t>(mea.cells()[c]));
    }
    file.Write(bytes.data(), bytes.size());
    if (Status s = file.Close(); !s.ok()) return WriteResult::Failed(s.message());
    progress.StepIt();
    return {WriteResult::Outcome::kWritten, {*path}, {}};
}

}  // namespace gw
