#include "gui/readback/TheaterWindow.h"

#include "core/layout/TheaterLayout.h"
#include "gui/layout/PreviewPicture.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace gw {
namespace {

// The report as the window shows it: the figures, the companion files, the problems.
QString ReportText(const TheaterReport& r, const QString& noPicture) {
    QStringList lines;
    const auto tiles = [](std::int32_t segments) { return QString::number(std::int64_t{kSegmentTiles} * segments); };
    lines << QObject::tr("Tile file: %1").arg(QString::fromStdString(r.terrainPath))
          << QObject::tr("Index: %1").arg(QString::fromStdString(r.indexPath))
          << QObject::tr("Size: %1 x %2 segments, %3 x %4 tiles (from %5)")
                 .arg(r.segmentsX).arg(r.segmentsY).arg(tiles(r.segmentsX), tiles(r.segmentsY),
                                                      QString::fromStdString(r.sizeFrom))
          << QObject::tr("Format: %1").arg(r.large ? QObject::tr("large") : QObject::tr("regular"))
          << QObject::tr("Blocks stored: %1; segments sharing a block: %2").arg(r.blocksStored).arg(r.segmentsSharing);
    if (r.lowest && r.highest) lines << QObject::tr("Tiles from %1 ft to %2 ft").arg(*r.lowest).arg(*r.highest);
    QStringList codes;
    for (const std::uint32_t code : r.tileCodes) codes << QString::number(code);
    lines << QObject::tr("Tile codes in use: %1").arg(codes.join(' '));
    for (const TheaterReport::Companion& c : r.companions) {
        lines << QStringLiteral("%1: %2").arg(QString::fromStdString(c.path), QString::fromStdString(c.holds));
    }
    if (!noPicture.isEmpty()) lines << noPicture;
    lines << QString();
    if (r.problems.empty()) lines << QObject::tr("No problem found: the files agree with each other.");
    for (const std::string& problem : r.problems) lines << QString::fromStdString(problem);
    return lines.join('\n');
}

}  // namespace

bool IsTheaterPath(const QString& path) { return QFileInfo(path).suffix().compare("l2", Qt::CaseInsensitive) == 0; }

StatusOr<TheaterWindow*> TheaterWindow::Open(const QString& path, const E00Rules& rules) {
    StatusOr<Theater> theater = Theater::Open(path.toStdString(), {});
    if (!theater.ok()) return theater.status();
    const StatusOr<RgbImage> picture = theater->Picture(HeightTable(), rules);
    return new TheaterWindow(path, theater->Inspect(), picture.ok() ? ToQImage(*picture) : QImage(),
                                picture.ok() ? QString() : QString::fromStdString(picture.status().message()));
}

TheaterWindow::TheaterWindow(const QString& path, const TheaterReport& report, const QImage& picture,
                                   const QString& noPicture)
    : m_path(path), m_image(picture), m_scroll(new QScrollArea), m_picture(new QLabel), m_report(new QPlainTextEdit) {
    setObjectName("inspectionWindow");
    setWindowTitle(tr("%1 (inspection)").arg(QFileInfo(path).fileName()));
    m_picture->setObjectName("inspectionPicture");
    m_scroll->setWidget(m_picture);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->viewport()->installEventFilter(this);
    m_report->setObjectName("inspectionReport");
    m_report->setReadOnly(true);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_report->setPlainText(ReportText(report, noPicture));
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_scroll);
    splitter->addWidget(m_report);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    // Start at the largest scale that keeps the picture within 512 pixels a side.
    const int side = std::max(m_image.width(), m_image.height());
    while (m_zoom < kMaxZoom && side > 0 && (side << (m_zoom + 1)) <= 512) ++m_zoom;
    while (m_zoom > kMinZoom && (side >> -m_zoom) > 1024) --m_zoom;
    showPicture();
    // The report keeps a dozen lines; the picture takes the rest.
    splitter->setSizes({m_picture->height() + 4, 12 * fontMetrics().lineSpacing()});
}

QSize TheaterWindow::sizeHint() const {
    const QSize picture = m_picture->size().expandedTo({400, 200});
    return {picture.width() + 40, picture.height() + 260};
}

void TheaterWindow::zoom(int steps) {
    // Enlarged, the picture keeps within kMaxPreviewSide a side.
    const int side = std::max({m_image.width(), m_image.height(), 1});
    int largest = kMaxZoom;
    while (largest > 0 && (side << largest) > kMaxPreviewSide) --largest;
    const int zoom = std::clamp(m_zoom + steps, kMinZoom, std::max(largest, m_zoom));
    if (zoom == m_zoom) return;
    m_zoom = zoom;
    showPicture();
}

void TheaterWindow::showPicture() {
    if (m_image.isNull()) return;
    const QSize size = m_zoom >= 0 ? m_image.size() * (1 << m_zoom) : m_image.size() / (1 << -m_zoom);
    // Tiles stay sharp squares when enlarged.
    m_picture->setPixmap(QPixmap::fromImage(m_image.scaled(size.expandedTo({1, 1}), Qt::IgnoreAspectRatio,
                                                           m_zoom >= 0 ? Qt::FastTransformation : Qt::SmoothTransformation)));
    m_picture->resize(m_picture->pixmap().size());
}

bool TheaterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_scroll->viewport() || event->type() != QEvent::Wheel) return QWidget::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0) return false;
    zoom(wheel->angleDelta().y() > 0 ? 1 : -1);
    return true;
}

}  // namespace gw
