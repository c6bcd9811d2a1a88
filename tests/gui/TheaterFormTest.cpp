// The theater form driven through its widgets: every handler rule of the form, the
// document updates and the status panes.

#include "tests/gui/GuiTestSupport.h"
#include "gui/common/GuiDocument.h"
#include "core/features/E00Rules.h"
#include "core/layout/DistanceUnit.h"
#include "gui/layout/GridwrightView.h"
#include "gui/layout/MapPreviewWidget.h"
#include "gui/layout/TheaterFormIds.h"
#include "core/util/CNumbers.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <memory>

using namespace gw;

namespace {

QString Text(double value) { return QString::fromStdString(FormatG(value, 15)); }

}  // namespace

class TheaterFormTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyControlHasItsNameLabelAndEditability();
    void showsTheDocumentAsOpened();
    void listsTheUnitsSortedWithTheirRows();
    void typedSegmentsAreAppendedOnce();
    void typedSegmentsThatMeanTheCurrentCountRecalculateNothing();
    void squareWith128SetsBothCountsAndDisablesY();
    void segmentsYIsReadAsTypedWhileSquareIsOff();
    void switchingUnitsReexpressesResolutionAndDimensions();
    void feetShowTheFiguresOfTheExample();
    void aResolutionOfZeroIsAcceptedAndCollapsesTheOutline();
    void aResolutionIsNotCutBackWhileItIsTyped();
    void centerTextsAreReadWhenTheBoxesAreLeft();
    void theRasterCentreIsRoundedToFourDecimals();
    void numbersReadTheSameUnderAGermanLocale();
    void statusPanesFollowTheDocument();
    void featureUpdatesKeepTheCentreAndThePicture();

private:
    QLineEdit* Edit(const char* name) const { return m_view->findChild<QLineEdit*>(name); }
    QComboBox* Combo(const char* name) const { return m_view->findChild<QComboBox*>(name); }
    // Focuses box, replaces its text by typing, and leaves it.
    void TypeAndLeave(QWidget* box, const QString& text);
    void Type(QWidget* box, const QString& text);
    void Leave();
    void ChooseFromList(QComboBox* combo, const QString& item);
    // Clicks the Square box on its check mark.
    void ClickSquare();
    void Open(const QString& header);

    std::unique_ptr<GuiDocument> m_document;
    std::unique_ptr<CGridwrightView> m_view;
};

void TheaterFormTest::init() { Open(test::SampleHeader()); }

void TheaterFormTest::cleanup() {
    m_view.reset();
    m_document.reset();
}

void TheaterFormTest::Open(const QString& header) {
    m_view.reset();
    m_document = std::make_unique<GuiDocument>();
    const Status opened = m_document->Open(header);
    QVERIFY2(opened.ok(), opened.message().c_str());
    m_view = std::make_unique<CGridwrightView>(m_document.get());
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
}

void TheaterFormTest::Type(QWidget* box, const QString& text) {
    box->setFocus(Qt::MouseFocusReason);
    QVERIFY(box->hasFocus());
    auto* edit = qobject_cast<QLineEdit*>(box);
    if (!edit) edit = qobject_cast<QComboBox*>(box)->lineEdit();
    edit->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void TheaterFormTest::Leave() {
    // The title box takes the focus when clicked, as any box the user clicks next would.
    QTest::mouseClick(Edit("titleEdit"), Qt::LeftButton);
    QVERIFY(Edit("titleEdit")->hasFocus());
}

void TheaterFormTest::TypeAndLeave(QWidget* box, const QString& text) {
    Type(box, text);
    Leave();
}

void TheaterFormTest::ChooseFromList(QComboBox* combo, const QString& item) {
    const int index = combo->findText(item);
    QVERIFY(index >= 0);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    const QRect row = list->visualRect(list->model()->index(index, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(combo->currentText(), item);
}

void TheaterFormTest::ClickSquare() {
    auto* square = m_view->findChild<QCheckBox*>("squareCheck");
    QTest::mouseClick(square, Qt::LeftButton, {}, QPoint(6, square->height() / 2));
}

void TheaterFormTest::everyControlHasItsNameLabelAndEditability() {
    for (const FormControl& control : kTheaterFormControls) {
        QVERIFY2(m_view->findChild<QWidget*>(control.objectName), control.objectName);
    }
    QCOMPARE(m_view->findChild<QWidget*>("mapPreview"), static_cast<QWidget*>(m_view->mapPreview()));
    QStringList labels;
    for (const QLabel* label : m_view->findChildren<QLabel*>()) labels << label->text();
    for (const char* text : {"Title", "Segments (L2)", "Tiles (L2)", "Dimensions", "X", "Y", "Lat", "Long", "Units",
                             "Resolution"}) {
        QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    }
    QCOMPARE(m_view->findChild<QPushButton*>("previewSizeButton")->text(), QStringLiteral("Size"));
    QCOMPARE(m_view->findChild<QCheckBox*>("squareCheck")->text(), QStringLiteral("Square"));
    for (const char* name : {"titleEdit", "tilesXEdit", "tilesYEdit", "dimensionXEdit", "dimensionYEdit"}) {
        QVERIFY2(Edit(name)->isReadOnly(), name);
    }
    for (const char* name : {"segmentsYEdit", "centerLatEdit", "centerLongEdit", "resolutionEdit"}) {
        QVERIFY2(!Edit(name)->isReadOnly(), name);
    }
    QVERIFY(Combo("segmentsXCombo")->isEditable());
    QVERIFY(!Combo("unitsCombo")->isEditable());
    // No label is cut short by the layout.
    for (const QLabel* label : m_view->findChildren<QLabel*>()) {
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
    }
}

void TheaterFormTest::showsTheDocumentAsOpened() {
    QCOMPARE(Edit("titleEdit")->text(), QStringLiteral("Gridwright sample coast"));
    QCOMPARE(Combo("segmentsXCombo")->currentText(), QStringLiteral("64"));
    QStringList items;
    for (int i = 0; i < Combo("segmentsXCombo")->count(); ++i) items << Combo("segmentsXCombo")->itemText(i);
    QCOMPARE(items, (QStringList{"32", "64", "128", "256"}));
    QVERIFY(m_view->findChild<QCheckBox*>("squareCheck")->isChecked());
    QVERIFY(!Edit("segmentsYEdit")->isEnabled());
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("64"));
    QCOMPARE(Edit("tilesXEdit")->text(), QStringLiteral("1024"));
    QCOMPARE(Edit("tilesYEdit")->text(), QStringLiteral("1024"));
    QCOMPARE(Edit("dimensionXEdit")->text(), QStringLiteral("552.376915385182"));
    QCOMPARE(Edit("dimensionYEdit")->text(), QStringLiteral("552.376915385182"));
    QCOMPARE(Edit("centerLatEdit")->text(), QStringLiteral("44"));
    QCOMPARE(Edit("centerLongEdit")->text(), QStringLiteral("14"));
    QCOMPARE(Edit("resolutionEdit")->text(), QStringLiteral("0.13485764535771"));
    // 8 x 6 degrees: 400 pixels on the longer side.
    QCOMPARE(m_view->mapPreview()->size(), QSize(400, 300));
    QCOMPARE(m_view->layout().m_previewWidth, 400);
    QCOMPARE(m_view->layout().m_previewHeight, 300);
}

void TheaterFormTest::listsTheUnitsSortedWithTheirRows() {
    QComboBox* units = Combo("unitsCombo");
    QStringList names;
    QList<int> rows;
    for (int i = 0; i < units->count(); ++i) {
        names << units->itemText(i);
        rows << units->itemData(i).toInt();
    }
    QCOMPARE(names, (QStringList{"Feet", "Kilometers", "Meters", "Miles", "Nautical Miles"}));
    QCOMPARE(rows, (QList<int>{3, 2, 4, 1, 0}));
    QCOMPARE(units->currentText(), QStringLiteral("Nautical Miles"));
}

void TheaterFormTest::typedSegmentsAreAppendedOnce() {
    QComboBox* segments = Combo("segmentsXCombo");
    TypeAndLeave(segments, QStringLiteral("100"));
    QCOMPARE(segments->count(), 5);
    QCOMPARE(segments->itemText(4), QStringLiteral("100"));
    QCOMPARE(m_view->layout().m_segmentsX, 100);
    QCOMPARE(m_view->layout().m_segmentsY, 100);
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("100"));
    QCOMPARE(Edit("tilesXEdit")->text(), QStringLiteral("1600"));
    QCOMPARE(Edit("tilesYEdit")->text(), QStringLiteral("1600"));

    segments->setFocus(Qt::MouseFocusReason);
    Leave();
    TypeAndLeave(segments, QStringLiteral("100"));
    QCOMPARE(segments->count(), 5);

    // What is typed is taken as typed, not completed to a listed item.
    TypeAndLeave(segments, QStringLiteral("25"));
    QCOMPARE(segments->count(), 6);
    QCOMPARE(segments->itemText(5), QStringLiteral("25"));
    QCOMPARE(m_view->layout().m_segmentsX, 25);
}

void TheaterFormTest::typedSegmentsThatMeanTheCurrentCountRecalculateNothing() {
    const TheaterLayout before = m_view->layout();
    QComboBox* segments = Combo("segmentsXCombo");
    Type(segments, QStringLiteral("064"));
    Leave();
    QCOMPARE(segments->count(), 5);
    QCOMPARE(segments->itemText(4), QStringLiteral("064"));
    QCOMPARE(segments->currentText(), QStringLiteral("064"));
    QCOMPARE(m_view->layout().m_segmentsX, 64);
    QCOMPARE(m_view->layout().m_tilesX, before.m_tilesX);
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("64"));
    QCOMPARE(Edit("tilesXEdit")->text(), QStringLiteral("1024"));
}

void TheaterFormTest::squareWith128SetsBothCountsAndDisablesY() {
    ChooseFromList(Combo("segmentsXCombo"), QStringLiteral("128"));
    QCOMPARE(m_view->layout().m_segmentsX, 128);
    QCOMPARE(m_view->layout().m_segmentsY, 128);
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("128"));
    QCOMPARE(Edit("tilesXEdit")->text(), QStringLiteral("2048"));
    QCOMPARE(Edit("tilesYEdit")->text(), QStringLiteral("2048"));
    QVERIFY(!Edit("segmentsYEdit")->isEnabled());

    ClickSquare();
    QVERIFY(!m_view->layout().m_square);
    QVERIFY(Edit("segmentsYEdit")->isEnabled());
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("128"));
    QCOMPARE(m_view->layout().m_segmentsY, 128);
}

void TheaterFormTest::segmentsYIsReadAsTypedWhileSquareIsOff() {
    ClickSquare();
    Type(Edit("segmentsYEdit"), QStringLiteral("32"));
    QCOMPARE(m_view->layout().m_segmentsY, 32);
    QCOMPARE(Edit("tilesYEdit")->text(), QStringLiteral("512"));
    QCOMPARE(Edit("tilesXEdit")->text(), QStringLiteral("1024"));
    Type(Edit("segmentsYEdit"), QStringLiteral("x"));
    QCOMPARE(m_view->layout().m_segmentsY, 0);
    Leave();
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("0"));
    QCOMPARE(Edit("tilesYEdit")->text(), QStringLiteral("0"));

    // Square on again: Y follows X.
    ClickSquare();
    QCOMPARE(m_view->layout().m_segmentsY, 64);
    QCOMPARE(Edit("segmentsYEdit")->text(), QStringLiteral("64"));
    QVERIFY(!Edit("segmentsYEdit")->isEnabled());
}

void TheaterFormTest::switchingUnitsReexpressesResolutionAndDimensions() {
    const TheaterLayout before = m_view->layout();
    const auto outline = m_view->mapPreview()->shownImage();
    ChooseFromList(Combo("unitsCombo"), QStringLiteral("Kilometers"));
    const TheaterLayout& after = m_view->layout();
    QCOMPARE(after.m_unitIndex, 2);
    QCOMPARE(after.m_baseResolution, before.m_baseResolution);
    QCOMPARE(after.m_resolution, before.m_baseResolution * kDistanceUnits[2].perNauticalMile);
    QCOMPARE(Edit("resolutionEdit")->text(), Text(after.m_resolution));
    QCOMPARE(Edit("dimensionXEdit")->text(), Text(after.m_tilesX * after.m_resolution * 4.0));
    QCOMPARE(Edit("dimensionYEdit")->text(), Text(after.m_resolution * after.m_tilesY * 4.0));
    QVERIFY(qAbs(after.m_dimensionX / before.m_dimensionX - 1.8532698799999998) < 1e-12);
    // The theater itself stays where it was.
    QVERIFY(qAbs(after.m_northLat - before.m_northLat) < 1e-12);
    QVERIFY(qAbs(after.m_southWestLong - before.m_southWestLong) < 1e-12);
    QCOMPARE(m_view->mapPreview()->shownImage(), outline);
}

void TheaterFormTest::feetShowTheFiguresOfTheExample() {
    ChooseFromList(Combo("unitsCombo"), QStringLiteral("Feet"));
    QCOMPARE(Edit("resolutionEdit")->text(), QStringLiteral("819.9949"));
    QCOMPARE(Edit("dimensionXEdit")->text(), QStringLiteral("3358699.1104"));
    QCOMPARE(Edit("dimensionYEdit")->text(), QStringLiteral("3358699.1104"));
}

void TheaterFormTest::aResolutionOfZeroIsAcceptedAndCollapsesTheOutline() {
    for (const QString& text : {QStringLiteral("0"), QStringLiteral("none")}) {
        Type(Edit("resolutionEdit"), text);
        const TheaterLayout& layout = m_view->layout();
        QCOMPARE(layout.m_resolution, 0.0);
        QCOMPARE(Edit("dimensionXEdit")->text(), QStringLiteral("0"));
        QCOMPARE(Edit("dimensionYEdit")->text(), QStringLiteral("0"));
        QCOMPARE(layout.m_northLat, layout.m_centerLat);
        QCOMPARE(layout.m_southLat, layout.m_centerLat);
        QCOMPARE(layout.m_northWestLong, layout.m_centerLong);
        QCOMPARE(layout.m_southEastLong, layout.m_centerLong);
        Leave();
        QCOMPARE(Edit("resolutionEdit")->text(), QStringLiteral("0"));
    }
}

void TheaterFormTest::aResolutionIsNotCutBackWhileItIsTyped() {
    QLineEdit* resolution = Edit("resolutionEdit");
    Type(resolution, QStringLiteral("1."));
    QCOMPARE(resolution->text(), QStringLiteral("1."));
    QCOMPARE(m_view->layout().m_resolution, 1.0);
    QTest::keyClicks(resolution, QStringLiteral("5"));
    QCOMPARE(resolution->text(), QStringLiteral("1.5"));
    QCOMPARE(m_view->layout().m_resolution, 1.5);
    QCOMPARE(Edit("dimensionXEdit")->text(), QStringLiteral("6144"));  // 1024 tiles x 1.5 x 4

    Type(resolution, QStringLiteral("2."));
    Leave();
    QCOMPARE(resolution->text(), QStringLiteral("2"));
    QCOMPARE(Edit("dimensionYEdit")->text(), QStringLiteral("8192"));
}

void TheaterFormTest::centerTextsAreReadWhenTheBoxesAreLeft() {
    QLineEdit* lat = Edit("centerLatEdit");
    QLineEdit* lon = Edit("centerLongEdit");
    Type(lat, QStringLiteral("45.5abc"));
    QCOMPARE(m_view->layout().m_centerLat, 44.0);  // not read while typed
    Leave();
    QCOMPARE(m_view->layout().m_centerLat, 45.5);
    QCOMPARE(lat->text(), QStringLiteral("45.5"));

    TypeAndLeave(lon, QStringLiteral("  -3.25e1"));
    QCOMPARE(m_view->layout().m_centerLong, -32.5);
    QCOMPARE(lon->text(), QStringLiteral("-32.5"));
    TypeAndLeave(lon, QStringLiteral("east"));
    QCOMPARE(m_view->layout().m_centerLong, 0.0);
    QCOMPARE(lon->text(), QStringLiteral("0"));

    // Shown with 15 significant digits, and read back from what is shown.
    TypeAndLeave(lat, QStringLiteral("12.34567890123456789"));
    QCOMPARE(lat->text(), QStringLiteral("12.3456789012346"));
    lat->setFocus(Qt::MouseFocusReason);
    Leave();
    QCOMPARE(m_view->layout().m_centerLat, 12.3456789012346);
    const TheaterLayout& layout = m_view->layout();
    QVERIFY(layout.m_northLat > layout.m_centerLat);
    QCOMPARE(layout.m_northLat - layout.m_centerLat, layout.m_centerLat - layout.m_southLat);
}

void TheaterFormTest::theRasterCentreIsRoundedToFourDecimals() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Open(test::WriteFlatDem(QDir(dir.path()), QStringLiteral("odd"), 10.345678, 14.345678, 14.345678,
                            10.345678));
    QCOMPARE(Edit("centerLatEdit")->text(), QStringLiteral("12.3457"));
    QCOMPARE(Edit("centerLongEdit")->text(), QStringLiteral("12.3457"));
    QCOMPARE(m_view->mapPreview()->size(), QSize(400, 400));

    // A raster wider than it is high is 400 pixels wide.
    Open(test::WriteFlatDem(QDir(dir.path()), QStringLiteral("wide"), 0, 10, 2, 0));
    QCOMPARE(m_view->mapPreview()->size(), QSize(400, 80));
}

void TheaterFormTest::numbersReadTheSameUnderAGermanLocale() {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) QSKIP("no German locale installed");
    Type(Edit("resolutionEdit"), QStringLiteral("1.5"));
    TypeAndLeave(Edit("centerLatEdit"), QStringLiteral("45.25"));
    const double resolution = m_view->layout().m_resolution;
    const QString dimension = Edit("dimensionXEdit")->text();
    const QString lat = Edit("centerLatEdit")->text();
    std::setlocale(LC_ALL, previous.c_str());
    QCOMPARE(resolution, 1.5);
    QCOMPARE(dimension, QStringLiteral("6144"));
    QCOMPARE(lat, QStringLiteral("45.25"));
}

void TheaterFormTest::statusPanesFollowTheDocument() {
    QCOMPARE(m_view->objectiveRulesPaneText(), QStringLiteral("Obj Rules: Default"));
    QCOMPARE(m_view->featuresPaneText(), QStringLiteral("0 features"));
    const QString rivers = test::SharedData(QStringLiteral("e00/dcw/dnnet.e00"));
    if (!QFile::exists(rivers)) QSKIP("the shared data are absent");
    QSignalSpy changed(m_view.get(), &CGridwrightView::statusTextsChanged);
    g_e00Rules = BuiltInE00Rules();
    NullProgress progress;
    test::RecordingPrompts prompts;
    m_document->LoadE00Files({rivers}, progress, prompts);
    QCOMPARE(changed.count(), 1);
    const auto count = m_document->doc().features().size();
    QVERIFY(count > 0);
    QCOMPARE(m_view->featuresPaneText(), QString::number(count) + QStringLiteral(" features"));

    m_view->refreshStatusTexts();
    QCOMPARE(changed.count(), 1);  // nothing new
    m_document->DeleteFeatures();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(m_view->featuresPaneText(), QStringLiteral("0 features"));
}

void TheaterFormTest::featureUpdatesKeepTheCentreAndThePicture() {
    MapPreviewWidget* preview = m_view->mapPreview();
    QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(100, 75));
    const double lat = m_view->layout().m_centerLat, lon = m_view->layout().m_centerLong;
    const QImage before = preview->shownImage();
    m_document->DeleteFeatures();  // a features update with no features: an all-black overlay
    QCOMPARE(m_view->layout().m_centerLat, lat);
    QCOMPARE(m_view->layout().m_centerLong, lon);
    QCOMPARE(preview->shownImage(), before);
}

QTEST_MAIN(TheaterFormTest)
#include "TheaterFormTest.moc"
