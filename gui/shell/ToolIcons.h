#pragma once

#include <QIcon>

namespace gw {

// The toolbar's pictures and the program's icon, drawn on a 16-pixel grid (and again
// at twice the size for dense screens), so that they read at the toolbar's 16 pixels.
QIcon OpenIcon();
QIcon CutIcon();
QIcon CopyIcon();
QIcon PasteIcon();
QIcon DrawFeaturesIcon();
QIcon LoadE00Icon();
QIcon GenerateTerrainIcon();
QIcon AboutIcon();
QIcon ProgramIcon();

}  // namespace gw
