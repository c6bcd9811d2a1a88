#include "gui/shell/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace gw {
namespace {

const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 245);

// An icon drawn by draw on a 16 x 16 grid, at 16, 32 and 48 pixels.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, size > 16);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen Pen(const QColor& colour, double width = 1.0) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// A sheet of paper with a folded corner, its top left at x, y.
void Sheet(QPainter& p, double x, double y, double w, double h) {
    QPainterPath path;
    path.moveTo(x + 0.5, y + 0.5);
    path.lineTo(x + w - 3.5, y + 0.5);
    path.lineTo(x + w - 0.5, y + 3.5);
    path.lineTo(x + w - 0.5, y + h - 0.5);
    path.lineTo(x + 0.5, y + h - 0.5);
    path.closeSubpath();
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(x + w - 3.5, y + 0.5), QPointF(x + w - 3.5, y + 3.5));
    p.drawLine(QPointF(x + w - 3.5, y + 3.5), QPointF(x + w - 0.5, y + 3.5));
}

// The lines of text on a sheet.
void Lines(QPainter& p, double x, double y, double w, int count) {
    p.setPen(Pen(QColor(120, 120, 120)));
    for (int i = 0; i < count; ++i) p.drawLine(QPointF(x, y + 2 * i + 0.5), QPointF(x + w, y + 2 * i + 0.5));
}

// Brown and green hills under a snow cap, filling x .. x + w above the base line y.
void Hills(QPainter& p, double x, double y, double w, double h) {
    QPainterPath land;
    land.moveTo(x, y);
    land.lineTo(x + w * 0.38, y - h);
    land.lineTo(x + w * 0.6, y - h * 0.55);
    land.lineTo(x + w * 0.75, y - h * 0.75);
    land.lineTo(x + w, y);
    land.closeSubpath();
    p.setPen(Pen(QColor(60, 70, 30)));
    p.setBrush(QColor(96, 140, 60));
    p.drawPath(land);
    QPainterPath snow;
    snow.moveTo(x + w * 0.38 - h * 0.22, y - h * 0.7);
    snow.lineTo(x + w * 0.38, y - h);
    snow.lineTo(x + w * 0.38 + h * 0.2, y - h * 0.72);
    snow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(snow);
}

}  // namespace

QIcon OpenIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(120, 90, 20)));
        p.setBrush(QColor(230, 190, 80));
        p.drawPolygon(QPolygonF({{0.5, 3.5}, {5.5, 3.5}, {6.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {0.5, 13.5}}));
        p.setBrush(QColor(250, 220, 120));
        p.drawPolygon(QPolygonF({{0.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}}));
        p.setPen(Pen(QColor(30, 110, 30), 1.5));
        p.drawLine(QPointF(10, 1), QPointF(13, 1));
        p.drawLine(QPointF(13, 1), QPointF(13, 5));
    });
}

QIcon CutIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(80, 80, 90), 1.3));
        p.drawLine(QPointF(5, 1), QPointF(10, 10));
        p.drawLine(QPointF(11, 1), QPointF(6, 10));
        p.setPen(Pen(kInk, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
        p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
    });
}

QIcon CopyIcon() {
    return Drawn([](QPainter& p) {
        Sheet(p, 0, 0, 10, 12);
        Lines(p, 2, 4, 5, 3);
        Sheet(p, 5, 4, 11, 12);
        Lines(p, 7, 8, 6, 4);
    });
}

QIcon PasteIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(90, 60, 20)));
        p.setBrush(QColor(180, 130, 60));
        p.drawRect(QRectF(0.5, 1.5, 11, 14));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(3.5, 0.5, 5, 3));
        Sheet(p, 6, 5, 10, 11);
        Lines(p, 8, 9, 5, 3);
    });
}

QIcon DrawFeaturesIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(150, 150, 150)));
        p.setBrush(QColor(225, 235, 215));
        p.drawRect(QRectF(0.5, 0.5, 15, 15));
        p.setPen(Pen(QColor(20, 80, 220), 1.5));
        p.setBrush(Qt::NoBrush);
        QPainterPath river;
        river.moveTo(1, 4);
        river.cubicTo(6, 2, 6, 10, 15, 8);
        p.drawPath(river);
        p.setPen(Pen(QColor(200, 30, 30), 1.5));
        p.drawLine(QPointF(3, 15), QPointF(13, 12));
        p.setPen(Pen(kInk));
        p.setBrush(QColor(255, 200, 0));
        p.drawRect(QRectF(10.5, 1.5, 3, 3));
    });
}

QIcon LoadE00Icon() {
    return Drawn([](QPainter& p) {
        Sheet(p, 0, 0, 11, 15);
        p.setPen(Pen(QColor(20, 80, 220), 1.2));
        p.drawPolyline(QPolygonF({{2, 11}, {4, 6}, {6, 9}, {9, 4}}));
        p.setPen(Pen(QColor(30, 130, 30), 2));
        p.drawLine(QPointF(13, 4), QPointF(13, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 130, 30));
        p.drawPolygon(QPolygonF({{9.5, 11}, {16, 11}, {12.75, 15.5}}));
    });
}

QIcon GenerateTerrainIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(120, 120, 120)));
        p.setBrush(QColor(200, 225, 245));
        p.drawRect(QRectF(0.5, 0.5, 15, 15));
        Hills(p, 1, 15, 14, 11);
        p.setPen(Pen(QColor(60, 60, 60, 140)));
        for (double x : {5.5, 10.5}) p.drawLine(QPointF(x, 1), QPointF(x, 15));
        for (double y : {5.5, 10.5}) p.drawLine(QPointF(1, y), QPointF(15, y));
    });
}

QIcon AboutIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(20, 60, 150)));
        p.setBrush(QColor(60, 110, 210));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QFont font("Sans");
        font.setBold(true);
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "?");
    });
}

QIcon ProgramIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(Pen(QColor(30, 60, 110)));
        p.setBrush(QColor(110, 170, 230));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2, 2);
        Hills(p, 1, 15, 14, 12);
        p.setPen(Pen(QColor(200, 30, 30)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 6.5, 7, 6));
    });
}

}  // namespace gw
