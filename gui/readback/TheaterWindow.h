#pragma once

#include "core/readback/Theater.h"
#include "core/util/StatusOr.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QScrollArea;

namespace gw {

// A built theater read back: its terrain as the simulation loads it, one pixel a tile
// and zoomable in steps, beside the report of what its files hold and each problem.
class TheaterWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the theater whose tile file is at path, with the rules for its features'
    // colours; fails when its files cannot be read or its size is not known.
    static StatusOr<TheaterWindow*> Open(const QString& path, const E00Rules& rules);

    const QString& path() const { return m_path; }
    // The picture's scale: 2 to the power of the zoom, from kMinZoom to kMaxZoom.
    int zoomLevel() const { return m_zoom; }
    // Zooms by steps, each doubling or halving the picture, within the limits and, when
    // enlarged, within kMaxPreviewSide a side.
    void zoom(int steps);
    QPlainTextEdit* report() const { return m_report; }
    // Room for the picture at its scale with the report below it.
    QSize sizeHint() const override;
    QLabel* picture() const { return m_picture; }

    static constexpr int kMinZoom = -3;
    static constexpr int kMaxZoom = 4;

protected:
    // Ctrl + wheel over the picture zooms, as on the map.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TheaterWindow(const QString& path, const TheaterReport& report, const QImage& picture, const QString& noPicture);
    void showPicture();

    QString m_path;
    QImage m_image;
    int m_zoom = 0;
    QScrollArea* m_scroll;
    QLabel* m_picture;
    QPlainTextEdit* m_report;
};

// Whether path names a theater's tile file rather than a DEM header: its suffix is "l2".
bool IsTheaterPath(const QString& path);

}  // namespace gw
