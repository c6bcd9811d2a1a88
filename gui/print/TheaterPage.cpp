#include "gui/print/TheaterPage.h"

#include "gui/common/GuiDocument.h"
#include "core/features/E00Rules.h"
#include "core/generate/DescriptionWriter.h"
#include "gui/layout/GridwrightView.h"
#include "gui/layout/MapPreviewWidget.h"
#include "core/progress/ProgressState.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace gw {
namespace {

// Making the description's lines asks the user nothing.
class NoPrompts : public UserPrompts {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
};

// The description's lines that come from the last terrain run: the theater size (line
// 2) and the highest and lowest points (lines 12 and 13).
constexpr int kSizeLine = 1;
constexpr int kHighestLine = 11;
constexpr int kLowestLine = 12;

// Font heights, as parts of the area's height.
constexpr double kNameHeight = 1.0 / 30;
constexpr double kFigureHeight = 1.0 / 55;

QFont PixelFont(double pixels, bool bold) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(std::max(1, int(pixels)));
    font.setBold(bold);
    return font;
}

// The font of pixels height, made smaller until every line fits width.
QFont FittingFont(double pixels, bool bold, const QStringList& lines, double width) {
    QFont font = PixelFont(pixels, bold);
    double widest = 0;
    for (const QString& line : lines) widest = std::max(widest, QFontMetricsF(font).horizontalAdvance(line));
    if (widest > width && widest > 0) font = PixelFont(pixels * width / widest, bold);
    return font;
}

}  // namespace

TheaterPage TheaterPageOf(CGridwrightView& view) {
    CRandom random;
    NullProgress progress;
    NoPrompts prompts;
    const GenerateContext context{view.document()->doc(), view.layout(), view.heights(), view.document()->rules(),
                                  view.objectiveRules(),   random,        progress,       prompts};
    const std::vector<std::string> lines = DescriptionLines(context, view.results());
    TheaterPage page;
    page.name = QString::fromStdString(lines.front());
    page.map = view.mapPreview()->shownImage();
    const bool run = view.results().m_terrainRun;
    for (int i = 1; i < int(lines.size()); ++i) {
        if (!run && (i == kSizeLine || i == kHighestLine || i == kLowestLine)) continue;
        page.figures.append(QString::fromStdString(lines[i]));
    }
    return page;
}

void PaintTheaterPage(QPainter& painter, const QRect& area, const TheaterPage& page) {
    if (area.isEmpty()) return;
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setPen(Qt::black);

    const QFont nameFont = FittingFont(area.height() * kNameHeight, true, {page.name}, area.width());
    const QFont figureFont = FittingFont(area.height() * kFigureHeight, false, page.figures, area.width());
    const double nameLine = QFontMetricsF(nameFont).lineSpacing();
    const double figureLine = QFontMetricsF(figureFont).lineSpacing();
    const double gap = nameLine;

    QRectF name(area.left(), area.top(), area.width(), nameLine);
    painter.setFont(nameFont);
    painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, page.name);

    // The map takes what the name and the figures leave, at its own proportions.
    const double figuresHeight = figureLine * page.figures.size();
    const QRectF mapRoom(area.left(), name.bottom() + gap, area.width(),
                         std::max(0.0, area.bottom() - name.bottom() - 2 * gap - figuresHeight));
    QRectF map;
    if (!page.map.isNull() && !mapRoom.isEmpty()) {
        const double scale = std::min(mapRoom.width() / page.map.width(), mapRoom.height() / page.map.height());
        map = QRectF(mapRoom.left(), mapRoom.top(), page.map.width() * scale, page.map.height() * scale);
        // Each preview pixel stays one block of its colour.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(map, page.map);
    }

    painter.setFont(figureFont);
    double y = (map.isNull() ? name.bottom() : map.bottom()) + gap;
    for (const QString& figure : page.figures) {
        painter.drawText(QRectF(area.left(), y, area.width(), figureLine), Qt::AlignLeft | Qt::AlignVCenter, figure);
        y += figureLine;
    }
    painter.restore();
}

bool PrintTheaterPage(QPrinter& printer, const TheaterPage& page) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    PaintTheaterPage(painter, painter.window(), page);
    return painter.end();
}

}  // namespace gw
