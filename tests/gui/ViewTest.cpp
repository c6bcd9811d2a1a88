// The document windows in the main window: the map zoomed in steps and placed by a click,
// and the Window menu's list and commands.

#include "tests/gui/GuiTestSupport.h"
#include "core/layout/PreviewFrame.h"
#include "core/layout/PreviewImages.h"
#include "gui/readback/TheaterWindow.h"
#include "gui/layout/MapPreviewWidget.h"

namespace gw::test {

class ViewTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_window = std::make_unique<MainWindow>(m_choices);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
    }
    void cleanup() { m_window.reset(); }

    // Each step draws the map afresh at the next size, the wheel's keeping the point
    // under the pointer; a click then places the centre with the new picture's scale.
    void zoomRedrawsTheMapInSteps() {
        CGridwrightView* view = m_window->activeView();
        MapPreviewWidget* map = view->mapPreview();
        const CGridwrightDoc& doc = view->document()->doc();
        m_window->action(kViewZoomIn)->trigger();
        QCOMPARE(map->size(), QSize(512, 384));
        const TheaterLayout& l = view->layout();
        QTemporaryDir dir;  // the picture the command line draws at that height
        QVERIFY(RunCli("preview " + SamplePath() + " " + dir.filePath("z.png").toStdString() + " --height 384").status == 0);
        QCOMPARE(map->shownImage().convertToFormat(QImage::Format_RGB32), QImage(dir.filePath("z.png")).convertToFormat(QImage::Format_RGB32));

        QWidget* viewport = map->parentWidget();
        const QPoint under = viewport->rect().center();
        const QPointF at = map->mapFrom(viewport, under);
        QWheelEvent wheel(at, map->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(map, &wheel);
        QCOMPARE(map->size(), QSize(682, 512));
        const QPoint kept = map->mapTo(viewport, (at * 512 / 384).toPoint());
        QVERIFY2((kept - under).manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(kept.x()).arg(kept.y())));

        m_window->action(kViewZoomOut)->trigger();
        m_window->action(kViewZoomOut)->trigger();
        QCOMPARE(map->size(), QSize(340, 256));
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(170, 128));
        QCOMPARE(l.m_centerLong, doc.GetMapCenterX());
        QCOMPARE(l.m_centerLat, doc.GetMapCenterY());
        // Over land, so that the height is seen to be the pixel's.
        const int feet = ElevationAtPixel(doc, 250, 50, 340, 256);
        QVERIFY(feet > 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(250.5, 50.5), map->mapToGlobal(QPointF(250.5, 50.5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(map, &move);
        QCOMPARE(m_window->findChild<QLabel*>("pointerPane")->text(),
                 QStringLiteral("Lat %1  Long %2  %3 ft")
                     .arg(map->frame().YToLat(50), 0, 'f', 5)
                     .arg(map->frame().XToLong(250), 0, 'f', 5)
                     .arg(feet));
    }

    // The menu lists the windows, the active one checked; an entry chosen brings its
    // window back, minimised or not; Ctrl+F6 goes on to the next; Tile keeps to the
    // workspace.
    void theWindowMenuListsAndActivatesTheWindows() {
        m_window->action(kWindowNew)->trigger();
        const QList<QMdiSubWindow*> windows = m_window->mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(windows.size(), 2);
        const auto entries = [this] {
            QList<QAction*> listed = m_window->findChild<QMenu*>("windowMenu")->actions();
            listed.removeIf([](QAction* entry) { return entry->objectName() != "windowEntry"; });
            return listed;
        };
        const auto listed = [&] {
            QStringList texts;
            for (QAction* entry : entries()) texts << entry->text() + (entry->isChecked() ? "*" : "");
            return texts;
        };
        QCOMPARE(listed(), QStringList({"&1 coast.hdr:1", "&2 coast.hdr:2*"}));

        windows[0]->showMinimized();
        m_window->mdiArea()->setActiveSubWindow(windows[1]);
        entries().front()->trigger();
        QCOMPARE(m_window->mdiArea()->activeSubWindow(), windows[0]);
        QVERIFY(!windows[0]->isMinimized());
        QCOMPARE(listed(), QStringList({"&1 coast.hdr:1*", "&2 coast.hdr:2"}));

        QTest::keyClick(m_window.get(), Qt::Key_F6, Qt::ControlModifier);
        QCOMPARE(m_window->mdiArea()->activeSubWindow(), windows[1]);

        const QSize size = m_window->size();
        m_window->action(kWindowTile)->trigger();
        QCOMPARE(m_window->size(), size);
        QVERIFY(m_window->frameGeometry().right() <= m_window->screen()->availableGeometry().right());
    }

    // A tile file opens in an inspection window: its report, and its picture zoomed in
    // steps; File Close closes it and leaves the map's window.
    void aTileFileOpensInAnTheaterWindow() {
        QTemporaryDir dir;
        const std::string l2 = dir.filePath("t.l2").toStdString();
        const CommandResult built = RunCli("generate " + SamplePath() + " " + l2 + " --segments 8 --quiet");
        QVERIFY2(built.status == 0, built.err.c_str());
        QVERIFY(m_window->OpenFile(QString::fromStdString(l2)).ok());
        TheaterWindow* inspection = m_window->activeTheaterWindow();
        QVERIFY(inspection);
        QVERIFY2(inspection->report()->toPlainText().contains("No problem found"), qPrintable(inspection->report()->toPlainText()));
        QVERIFY(!m_window->action(kGenerateTerrain)->isEnabled());
        const QSize shown = inspection->picture()->pixmap().size();
        QCOMPARE(shown, QSize(512, 512));  // 128 x 128 tiles at the largest scale within 512 pixels
        m_window->action(kViewZoomIn)->trigger();
        QCOMPARE(inspection->picture()->pixmap().size(), shown * 2);
        m_window->action(kFileClose)->trigger();
        QTRY_COMPARE(m_window->mdiArea()->subWindowList().size(), 1);
        QVERIFY(m_window->activeView());
    }

private:
    ScriptedChoices m_choices;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::ViewTest)
#include "ViewTest.moc"
