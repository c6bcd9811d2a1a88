#include "cli/Commands.h"

#include "cli/CommandSteps.h"
#include "cli/TerminalFace.h"
#include "core/layout/HeightTable.h"
#include "core/layout/MapPreview.h"
#include "core/layout/PreviewImages.h"
#include "core/layout/PreviewSize.h"
#include "core/util/CNumbers.h"

#include <unistd.h>

#include <cstdio>

namespace gw::cli {
namespace {

// The picture size the form ends with: the document update's, or --height through the
// Preview Size dialog's arithmetic. A bad --height is a Usage failure.
Status ChoosePreviewSize(const PreviewArgs& args, TheaterLayout& layout) {
    const PreviewSize shown{layout.m_previewWidth, layout.m_previewHeight};
    if (!args.height) {
        if (shown.width >= 1 && shown.height >= 1) return Status::Ok();
        return Status::InvalidArgument(args.form.header + ": the DEM has no extent to draw (preview " +
                                      std::to_string(shown.width) + " x " + std::to_string(shown.height) + ")");
    }
    std::int32_t height = 0;
    if (!ParseWholeInt(*args.height, height)) {
        return Status::Usage("--height takes a whole number of pixels, not \"" + *args.height + "\"");
    }
    PreviewSize resized;
    const Status status = ResizePreview(shown, height, resized);
    if (!status.ok()) return Status::Usage(status.message());
    layout.m_previewWidth = resized.width;
    layout.m_previewHeight = resized.height;
    return Status::Ok();
}


}  // namespace

Status RunPreviewCommand(const PreviewArgs& args) {
    const bool drawFeatures = !args.noFeatures && !args.form.featureSources.empty();
    E00Rules rules;
    if (drawFeatures) {
        if (Status checked = CheckFeatureSources(args.form.featureSources); !checked.ok()) return checked;
        std::string source;
        if (Status loaded = LoadRules(args.form.rules, rules, source); !loaded.ok()) return loaded;
    }
    if (Status apart = CheckOutputsApart(args.form, {args.form.output}); !apart.ok()) return apart;
    CGridwrightDoc doc;
    if (Status opened = OpenDem(args.form.header, doc); !opened.ok()) return opened;
    TheaterLayout layout = StartingLayout(doc);

    // The frame is the document update's: the raster's rounded centre and its extent,
    // whatever centre the theater is then given.
    MapPreview preview;
    preview.SetFrame(layout.m_centerLat, layout.m_centerLong, doc.GetMapWidth(), doc.GetMapHeight());
    if (Status applied = ApplyArgs(args.form, layout); !applied.ok()) return applied;
    if (Status sized = ChoosePreviewSize(args, layout); !sized.ok()) return sized;

    const std::int32_t width = layout.m_previewWidth, height = layout.m_previewHeight;
    preview.SetPicture(BuildElevationImage(doc, HeightTable(), width, height));

    Status inputsLoaded;
    if (drawFeatures) {
        InstallInterruptHandler();
        TerminalProgress progress(::isatty(STDERR_FILENO));
        TerminalPrompts prompts(progress, std::nullopt);
        const LoadedFeatures loaded = LoadFeatures(args.form, rules, doc, progress, prompts);
        // A cancelled loading draws what was loaded.
        if (!loaded.status.IsCancelled()) inputsLoaded = loaded.status;
        progress.EndLine();
        preview.SetOverlay(BuildOverlayImage(doc.features(), rules, preview.frame(), width, height));
    }
    if (!args.noOutline) {
        preview.SetOutline(layout.m_northLat, layout.m_southLat, layout.m_northWestLong, layout.m_northEastLong,
                           layout.m_southWestLong, layout.m_southEastLong);
    }

    if (Status saved = SavePng(preview.Paint(), args.form.output); !saved.ok()) return saved;
    std::printf("wrote %s (%d x %d)\n", args.form.output.c_str(), width, height);
    return inputsLoaded;
}

}  // namespace gw::cli
