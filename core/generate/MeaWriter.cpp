#include "core/generate/MeaWriter.h"

#include "core/generate/WriterOutputs.h"
#include "core/util/LittleEndian.h"
#include "core/util/Text.h"

namespace gw {

WriteResult WriteMeaFile(const GenerateContext& context, const std::string& terrainPath, const MeaGrid& mea) {
    const std::optional<std::string> path = OutputPathFor(terrainPath, ".mea");
    if (!path) return WriteResult::NotNamed();
    Progress& progress = context.progress;
    BeginJob(progress, 1, "Generating MEA file");
    WriterOutputs outputs(context);
    OutputFile* file;
    if (Status s = outputs.Create(*path, &file); !s.ok()) return WriteResult::Failed(s.message());
    std::vector<std::uint8_t> bytes(mea.cells().size() * 2);
    for (std::size_t c = 0; c < mea.cells().size(); ++c) {
        PutLE16(&bytes[2 * c], static_cast<std::uint16_t>(mea.cells()[c]));
    }
    file->Write(bytes.data(), bytes.size());
    if (Status s = file->Close(); !s.ok()) return WriteResult::Failed(s.message());
    progress.StepIt();
    return outputs.Finish({WriteResult::Outcome::kWritten, {*path}, {}});
}

}  // namespace gw
