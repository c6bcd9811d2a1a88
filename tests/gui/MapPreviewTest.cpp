// The map preview on the form: the picture it shows (the same as gridwright-cli's
// preview), picking the centre with the mouse, Draw Features and the Preview Size dialog.

#include "tests/gui/GuiTestSupport.h"
#include "gui/common/GuiDocument.h"
#include "core/features/E00Rules.h"
#include "gui/layout/GridwrightView.h"
#include "gui/layout/MapPreviewWidget.h"
#include "gui/layout/PreviewSizeDialog.h"
#include "gui/layout/TheaterFormIds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace gw;

class MapPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsWhatTheCliWritesForTheSample();
    void showsWhatTheCliWritesWithFeaturesAndASmallerTheater();
    void aClickOnThePictureMovesTheCentreThroughTheMapping();
    void aDragMovesTheCentreOnlyOverThePicture();
    void pressesOffThePictureDoNothing();
    void drawFeaturesTwiceGivesTheSamePicture();
    void farOffFiguresStillDraw();
    void newHeightsRepaintThePicture();
    void previewSizeKeepsTheProportions();
    void previewSizeRefusesHeightsBelowOne();
    void previewSizeAsksForAnInteger();
    void previewSizeCancelChangesNothing();

private:
    QLineEdit* Edit(const char* name) const { return m_view->findChild<QLineEdit*>(name); }
    MapPreviewWidget* Preview() const { return m_view->mapPreview(); }
    QImage CliPreview(const QStringList& options);
    // Loads the DCW rivers, coasts, places and airports; false when the shared data are absent.
    bool LoadSharedFeatures();
    void SetSegments(const QString& text);
    // Clicks Size, lets `answer` work the dialog, and returns once it has closed.
    void WorkPreviewSizeDialog(std::function<void(PreviewSizeDialog*)> answer);

    QTemporaryDir m_dir;
    std::unique_ptr<GuiDocument> m_document;
    std::unique_ptr<CGridwrightView> m_view;
};

void MapPreviewTest::init() {
    QVERIFY(m_dir.isValid());
    m_document = std::make_unique<GuiDocument>();
    const Status opened = m_document->Open(test::SampleHeader());
    QVERIFY2(opened.ok(), opened.message().c_str());
    m_view = std::make_unique<CGridwrightView>(m_document.get());
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
}

void MapPreviewTest::cleanup() {
    m_view.reset();
    m_document.reset();
}

QImage MapPreviewTest::CliPreview(const QStringList& options) {
    const QString png = m_dir.filePath(QStringLiteral("cli.png"));
    QFile::remove(png);
    QString output;
    const bool ran = test::RunCli(QStringList{QStringLiteral("preview"), test::SampleHeader(), png} + options, &output);
    if (!ran) qWarning("gridwright-cli preview failed: %s", qPrintable(output));
    return test::Rgb32(QImage(png));
}

bool MapPreviewTest::LoadSharedFeatures() {
    QStringList files;
    for (const char* name : {"dnnet.e00", "ponet.e00", "pppoint.e00", "aepoint.e00"}) {
        files << test::SharedData(QStringLiteral("e00/dcw/") + QLatin1String(name));
        if (!QFile::exists(files.last())) return false;
    }
    g_e00Rules = BuiltInE00Rules();
    NullProgress progress;
    test::RecordingPrompts prompts;
    m_document->LoadE00Files(files, progress, prompts);
    return !m_document->doc().features().empty();
}

void MapPreviewTest::SetSegments(const QString& text) {
    auto* segments = m_view->findChild<QComboBox*>("segmentsXCombo");
    segments->setFocus(Qt::MouseFocusReason);
    segments->lineEdit()->selectAll();
    QTest::keyClicks(segments, text);
    QTest::mouseClick(Edit("titleEdit"), Qt::LeftButton);
}

void MapPreviewTest::WorkPreviewSizeDialog(std::function<void(PreviewSizeDialog*)> answer) {
    bool answered = false;
    test::AnswerNextModal<PreviewSizeDialog>([&](PreviewSizeDialog* dialog) {
        answered = true;
        answer(dialog);
    });
    QTest::mouseClick(m_view->findChild<QPushButton*>("previewSizeButton"), Qt::LeftButton);
    QVERIFY(answered);
    QVERIFY(!QApplication::activeModalWidget());
}

void MapPreviewTest::showsWhatTheCliWritesForTheSample() {
    const QImage cli = CliPreview({});
    QCOMPARE(cli.size(), QSize(400, 300));
    QCOMPARE(test::Rgb32(Preview()->shownImage()), cli);
    QCOMPARE(test::Rgb32(Preview()->grab().toImage()), cli);
}

void MapPreviewTest::showsWhatTheCliWritesWithFeaturesAndASmallerTheater() {
    if (!LoadSharedFeatures()) QSKIP("the shared data are absent");
    SetSegments(QStringLiteral("16"));
    QStringList options{QStringLiteral("--segments"), QStringLiteral("16"), QStringLiteral("--builtin-rules")};
    for (const char* name : {"dnnet.e00", "ponet.e00", "pppoint.e00", "aepoint.e00"}) {
        options << QStringLiteral("--e00") << test::SharedData(QStringLiteral("e00/dcw/") + QLatin1String(name));
    }
    const QImage cli = CliPreview(options);
    QVERIFY(!cli.isNull());
    QCOMPARE(test::Rgb32(Preview()->grab().toImage()), cli);

    // The outline lies inside the picture: its pixels are red-kept, the rest inverted.
    const QImage shown = Preview()->shownImage();
    QCOMPARE(shown, cli);
}

void MapPreviewTest::aClickOnThePictureMovesTheCentreThroughTheMapping() {
    // 10..18 E and 41..47 N on 400 x 300 pixels: 50 pixels a degree.
    QTest::mouseClick(Preview(), Qt::LeftButton, {}, QPoint(100, 75));
    QCOMPARE(m_view->layout().m_centerLong, 12.0);
    QCOMPARE(m_view->layout().m_centerLat, 45.5);
    QCOMPARE(Edit("centerLongEdit")->text(), QStringLiteral("12"));
    QCOMPARE(Edit("centerLatEdit")->text(), QStringLiteral("45.5"));

    QTest::mouseClick(Preview(), Qt::LeftButton, {}, QPoint(333, 7));
    QCOMPARE(m_view->layout().m_centerLong, 333 * 8.0 / 400 - 4 + 14);
    QCOMPARE(m_view->layout().m_centerLat, (300 - 7) * 6.0 / 300 - 3 + 44);
    QCOMPARE(Edit("centerLongEdit")->text(), QStringLiteral("16.66"));
    QCOMPARE(Edit("centerLatEdit")->text(), QStringLiteral("46.86"));

    // The picture follows: the same as the CLI's for that centre.
    QCOMPARE(test::Rgb32(Preview()->shownImage()),
             CliPreview({QStringLiteral("--center"), Edit("centerLatEdit")->text() + QLatin1Char(',') +
                                                         Edit("centerLongEdit")->text()}));
}

void MapPreviewTest::aDragMovesTheCentreOnlyOverThePicture() {
    QTest::mousePress(Preview(), Qt::LeftButton, {}, QPoint(100, 75));
    QCOMPARE(m_view->layout().m_centerLong, 12.0);
    QTest::mouseMove(Preview(), QPoint(450, 75));  // off the east edge
    QCOMPARE(m_view->layout().m_centerLong, 12.0);
    QTest::mouseMove(Preview(), QPoint(200, 150));  // back over the picture
    QCOMPARE(m_view->layout().m_centerLong, 14.0);
    QCOMPARE(m_view->layout().m_centerLat, 44.0);
    QTest::mouseRelease(Preview(), Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(Preview(), QPoint(300, 100));  // no button down
    QCOMPARE(m_view->layout().m_centerLong, 14.0);
    QCOMPARE(Edit("centerLongEdit")->text(), QStringLiteral("14"));
}

void MapPreviewTest::pressesOffThePictureDoNothing() {
    const TheaterLayout before = m_view->layout();
    const QImage picture = Preview()->shownImage();
    // A point of the form itself, below the picture.
    const QPoint below = Preview()->mapTo(m_view.get(), QPoint(200, Preview()->height() + 4));
    QVERIFY(below.y() < m_view->height());
    QCOMPARE(m_view->childAt(below), nullptr);
    QTest::mousePress(m_view.get(), Qt::LeftButton, {}, below);
    // Dragged on to the picture, the press still started nothing.
    QTest::mouseMove(m_view.get(), Preview()->mapTo(m_view.get(), QPoint(200, 150)));
    QTest::mouseRelease(m_view.get(), Qt::LeftButton, {}, Preview()->mapTo(m_view.get(), QPoint(200, 150)));
    QTest::mouseClick(Preview(), Qt::RightButton, {}, QPoint(100, 75));
    QCOMPARE(m_view->layout().m_centerLat, before.m_centerLat);
    QCOMPARE(m_view->layout().m_centerLong, before.m_centerLong);
    QCOMPARE(Preview()->shownImage(), picture);
}

void MapPreviewTest::drawFeaturesTwiceGivesTheSamePicture() {
    // Before any feature is loaded, toggling changes nothing visible.
    const QImage plain = Preview()->shownImage();
    m_view->setDrawFeatures(false);
    QVERIFY(!m_view->drawFeatures());
    QCOMPARE(Preview()->shownImage(), plain);
    m_view->setDrawFeatures(true);
    QCOMPARE(Preview()->shownImage(), plain);

    if (!LoadSharedFeatures()) QSKIP("the shared data are absent");
    const QImage withFeatures = Preview()->shownImage();
    QVERIFY(withFeatures != plain);
    m_view->setDrawFeatures(false);
    QCOMPARE(Preview()->shownImage(), plain);
    QCOMPARE(test::Rgb32(Preview()->grab().toImage()), test::Rgb32(plain));
    m_view->setDrawFeatures(true);
    QVERIFY(m_view->drawFeatures());
    QCOMPARE(Preview()->shownImage(), withFeatures);
    QCOMPARE(test::Rgb32(Preview()->grab().toImage()), test::Rgb32(withFeatures));
}

void MapPreviewTest::farOffFiguresStillDraw() {
    for (const char* resolution : {"1e300", "1e400", "-5"}) {
        auto* box = Edit("resolutionEdit");
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClicks(box, QLatin1String(resolution));
        QTest::mouseClick(Preview(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(Preview()->shownImage().size(), QSize(400, 300));
    }
    QCOMPARE(Edit("resolutionEdit")->text(), QStringLiteral("-5"));
    auto* lat = Edit("centerLatEdit");
    lat->setFocus(Qt::MouseFocusReason);
    lat->selectAll();
    QTest::keyClicks(lat, QStringLiteral("1e308"));
    QTest::mouseClick(Edit("titleEdit"), Qt::LeftButton);
    QCOMPARE(lat->text(), QStringLiteral("1e+308"));
    QCOMPARE(Preview()->shownImage().size(), QSize(400, 300));
}

void MapPreviewTest::newHeightsRepaintThePicture() {
    const QImage before = Preview()->shownImage();
    m_view->setHeights(HeightTable({{32767, Rgb(1, 2, 3), 0}}));
    const QImage after = Preview()->shownImage();
    QVERIFY(after != before);
    QCOMPARE(after.pixel(5, 5), qRgb(1, 2, 3));
    QCOMPARE(after.size(), before.size());
}

void MapPreviewTest::previewSizeKeepsTheProportions() {
    WorkPreviewSizeDialog([](PreviewSizeDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Preview Size"));
        for (const FormControl& control : kPreviewSizeControls) {
            QVERIFY2(dialog->findChild<QWidget*>(control.objectName), control.objectName);
        }
        auto* height = dialog->findChild<QLineEdit*>("heightEdit");
        auto* width = dialog->findChild<QLineEdit*>("widthEdit");
        QCOMPARE(height->text(), QStringLiteral("300"));
        QCOMPARE(width->text(), QStringLiteral("400"));
        QVERIFY(width->isReadOnly());
        height->selectAll();
        QTest::keyClicks(height, QStringLiteral("150"));
        QCOMPARE(width->text(), QStringLiteral("200"));
        QTest::keyClick(height, Qt::Key_Backspace);
        QTest::keyClicks(height, QStringLiteral("1"));
        QCOMPARE(height->text(), QStringLiteral("151"));
        QCOMPARE(width->text(), QStringLiteral("201"));  // 201.33
        QTest::keyClicks(height, QStringLiteral("x"));   // not a digit: refused as typed
        QCOMPARE(height->text(), QStringLiteral("151"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    QCOMPARE(m_view->layout().m_previewWidth, 201);
    QCOMPARE(m_view->layout().m_previewHeight, 151);
    QCOMPARE(Preview()->size(), QSize(201, 151));
    QCOMPARE(test::Rgb32(Preview()->shownImage()), CliPreview({QStringLiteral("--height"), QStringLiteral("151")}));
}

void MapPreviewTest::previewSizeRefusesHeightsBelowOne() {
    const QImage before = Preview()->shownImage();
    QString title, message;
    WorkPreviewSizeDialog([&](PreviewSizeDialog* dialog) {
        auto* height = dialog->findChild<QLineEdit*>("heightEdit");
        height->selectAll();
        QTest::keyClicks(height, QStringLiteral("0"));
        QCOMPARE(dialog->findChild<QLineEdit*>("widthEdit")->text(), QString());
        test::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            message = box->text();
            box->accept();
        });
        QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QVERIFY(dialog->isVisible());  // still open for another height
        QTest::mouseClick(dialog->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    });
    QCOMPARE(title, QStringLiteral("Gridwright"));
    QVERIFY2(message.contains(QStringLiteral("height must be from 1 to 8192, not 0")), qPrintable(message));
    QCOMPARE(Preview()->shownImage(), before);
    QCOMPARE(m_view->layout().m_previewHeight, 300);
}

void MapPreviewTest::previewSizeAsksForAnInteger() {
    QString title, message;
    WorkPreviewSizeDialog([&](PreviewSizeDialog* dialog) {
        auto* height = dialog->findChild<QLineEdit*>("heightEdit");
        height->selectAll();
        QTest::keyClick(height, Qt::Key_Delete);
        QCOMPARE(height->text(), QString());
        test::AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            message = box->text();
            box->accept();
        });
        QTest::keyClick(height, Qt::Key_Return);  // OK is the default button
        QVERIFY(dialog->isVisible());
        QCOMPARE(height->text(), QStringLiteral("300"));
        QCOMPARE(dialog->findChild<QLineEdit*>("widthEdit")->text(), QStringLiteral("400"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    QCOMPARE(title, QStringLiteral("Gridwright"));
    QCOMPARE(message, QStringLiteral("Please enter an integer."));
    QCOMPARE(Preview()->size(), QSize(400, 300));
}

void MapPreviewTest::previewSizeCancelChangesNothing() {
    QTest::mouseClick(Preview(), Qt::LeftButton, {}, QPoint(100, 75));
    const QImage before = Preview()->shownImage();
    WorkPreviewSizeDialog([](PreviewSizeDialog* dialog) {
        auto* height = dialog->findChild<QLineEdit*>("heightEdit");
        height->selectAll();
        QTest::keyClicks(height, QStringLiteral("150"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    });
    QCOMPARE(Preview()->size(), QSize(400, 300));
    QCOMPARE(Preview()->shownImage(), before);
    QCOMPARE(m_view->layout().m_previewWidth, 400);
}

QTEST_MAIN(MapPreviewTest)
#include "MapPreviewTest.moc"
