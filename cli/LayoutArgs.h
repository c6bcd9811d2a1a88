#pragma once

// What the commands share: exit statuses, failure messages, and the steps that open
// the DEM, lay out the theater from the command line and load its features.

#include "cli/Commands.h"
#include "cli/TerminalFace.h"
#include "core/document/GridwrightDoc.h"
#include "core/layout/TheaterLayout.h"

#include <string>

namespace gw::cli {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// Prints "gridwright-cli: message" to stderr; returns status.
int Fail(int status, const std::string& message);

// Opens the DEM, saying why when it cannot.
bool OpenDem(const std::string& path, CGridwrightDoc& doc);

// The layout as the form shows it once the DEM is open.
TheaterLayout StartingLayout(const CGridwrightDoc& doc);

// Applies --segments, --unit, --resolution and --center through the form's handler
// rules; false, having said why, when one is malformed or the layout cannot be built.
bool ApplyArgs(const GenerateArgs& args, TheaterLayout& layout);

// Loads the --e00 files into the document with the stored (or built-in) rules, saying
// what each gave; false when one failed to parse or matched no rule.
bool LoadFeatures(const GenerateArgs& args, CGridwrightDoc& doc, TerminalProgress& progress,
                  TerminalPrompts& prompts);

}  // namespace gw::cli
