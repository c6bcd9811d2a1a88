#pragma once

#include "core/features/E00Rules.h"
#include "core/progress/Progress.h"
#include "core/util/Status.h"

#include <string>
#include <vector>

namespace gw {

class CGridwrightDoc;

// How the loading of one E00 file went.
struct E00LoadReport {
    std::string path;
    Status parsed;             // ok, or why the file could not be read whole, with the line number
    std::string coverageName;  // the name the rules were matched against
    bool recognised = false;   // a rule's File named the coverage
    std::size_t featuresAdded = 0;
    Status processed;          // Cancelled when the user ended this file's processing (Cancel, then Yes)
    // What the user is told of the file, each naming it: "PATH: why it could not be
    // read whole", "PATH: no E00 rule names its coverage "NAME"; the rules know ...".
    std::vector<std::string> problems;
};

// Loads each file in order into the document's features, as Load E00 File does after
// its dialog: parse with the document's reader, match the coverage name against the
// rules' File (case ignored, first match), and turn the file's arcs or labels into
// features that lie on the DEM. A file that cannot be read whole is still processed
// with what was read of it. A cancelled file is reported so, and the next file is still
// loaded.
std::vector<E00LoadReport> LoadE00Files(CGridwrightDoc& doc, const E00Rules& rules,
                                        const std::vector<std::string>& paths, Progress& progress,
                            UserPrompts& prompts);

// One feature per arc of the reader with the arc's points that lie on the DEM (arcs
// with none give none). A confirmed Cancel ends this file's processing: Cancelled then.
Status AddArcFeatures(CGridwrightDoc& doc, const E00Rule& rule, std::int32_t r, Progress& progress,
                      UserPrompts& prompts);
// One point feature per label on the DEM, with the name and type of its INFO record
// (the record whose IndexField equals the label's polygon id). Cancelled when the user
// cancelled, as for arcs.
Status AddLabelFeatures(CGridwrightDoc& doc, const E00Rule& rule, std::int32_t r, Progress& progress,
                        UserPrompts& prompts);

}  // namespace gw
