#pragma once

// The command ids of the menus, the toolbar and the accelerators. Each QAction carries
// its id as data(), so a command can be found by its id as well as by its objectName.
namespace gw::command {

// The program's own commands.
constexpr int kGenerateTerrain = 32771;
constexpr int kLoadE00File = 32772;
constexpr int kDrawFeatures = 32773;
constexpr int kDeleteFeatures = 32774;
constexpr int kHeightData = 32775;
constexpr int kLoadObjectiveRules = 32784;
constexpr int kEditE00Rules = 32785;
// Rasters and vector layers of other formats, read through GDAL.
constexpr int kImportDem = 32786;
constexpr int kLoadVectorData = 32787;
// The map's zoom steps, and going through the document windows in turn.
constexpr int kViewZoomIn = 32788;
constexpr int kViewZoomOut = 32789;
constexpr int kWindowNext = 32790;
constexpr int kWindowPrevious = 32791;

// The framework's commands.
constexpr int kFileOpen = 57601;
constexpr int kFileClose = 57602;
constexpr int kFileSave = 57603;
constexpr int kFileSaveAs = 57604;
constexpr int kFilePrintSetup = 57606;
constexpr int kFilePrint = 57607;
constexpr int kFilePrintPreview = 57609;
// The recent files: kRecentFile is the first entry (and the placeholder of an empty
// list), the others follow it.
constexpr int kRecentFile = 57616;
constexpr int kRecentFileCount = 7;
constexpr int kEditCopy = 57634;
constexpr int kEditCut = 57635;
constexpr int kEditPaste = 57637;
constexpr int kEditUndo = 57643;
constexpr int kEditRedo = 57644;
constexpr int kWindowNew = 57648;
constexpr int kWindowArrange = 57649;
constexpr int kWindowCascade = 57650;
constexpr int kWindowTile = 57651;
constexpr int kAppAbout = 57664;
constexpr int kAppExit = 57665;
constexpr int kHelp = 57670;
constexpr int kViewToolbar = 59392;
constexpr int kViewStatusBar = 59393;

}  // namespace gw::command
