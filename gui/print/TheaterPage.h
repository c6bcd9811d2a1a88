#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;
class QRect;

namespace gw {

class CGridwrightView;

// What the printed page of a document window shows: the theater's name, the map
// preview as the form shows it (elevation colours, features while drawn, the outline
// and the centre cross), and the description's figures (size, resolution, centre and
// corners, and the size and extremes of the last terrain run once there was one).
struct TheaterPage {
    QString name;
    QImage map;
    QStringList figures;
};

// The page of view as it stands.
TheaterPage TheaterPageOf(CGridwrightView& view);

// Draws page into area of painter: the name on top, the map below it and the figures
// under the map, all scaled to fit the area with the map's proportions kept.
void PaintTheaterPage(QPainter& painter, const QRect& area, const TheaterPage& page);

// Prints page as one page on printer; false when the printer cannot start (for
// example, an output file that cannot be written).
bool PrintTheaterPage(QPrinter& printer, const TheaterPage& page);

}  // namespace gw
