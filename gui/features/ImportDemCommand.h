#pragma once

#include "gdalio/DemImport.h"
#include "gui/common/CommandContext.h"

#include <QString>

#include <optional>

namespace gw {

class DocumentManager;

// What an import wrote: the header's path and the import's report.
struct ImportedDem {
    QString header;
    gdalio::DemImportReport report;
};

// File > Import DEM: the Import DEM dialog, then the import under the wait cursor and the
// progress dialog, whose Cancel asks "Cancel?". An output header that is open in
// documents cannot be written over: a message says so and the dialog comes back as it
// was left. Returns what was written, after a message box listed what GDAL warned of, if
// anything; none when the user cancelled, or when the import failed, after a message box
// said why.
std::optional<ImportedDem> ImportDemFile(const DocumentManager& documents, const CommandContext& context);

// The status bar's account of an import: the header, its posts, the share of them without
// data, and the posts clamped to the 16-bit range when there were any.
QString ImportSummary(const ImportedDem& imported);

}  // namespace gw
