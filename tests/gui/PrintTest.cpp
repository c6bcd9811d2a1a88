#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/MainWindow.h"
#include "gui/layout/GridwrightView.h"
#include "gui/layout/MapPreviewWidget.h"
#include "gui/print/TheaterPage.h"

#include <QAction>
#include <QFileInfo>
#include <QHash>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace gw::test {
namespace {

using namespace command;

// How many pixels of image have each colour.
QHash<QRgb, int> ColourCounts(const QImage& image) {
    QHash<QRgb, int> counts;
    const QImage rgb = Rgb32(image);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) ++counts[rgb.pixel(x, y)];
    }
    return counts;
}

// The colours that cover at least a tenth of image.
QList<QRgb> MainColours(const QImage& image) {
    const QHash<QRgb, int> counts = ColourCounts(image);
    QList<QRgb> colours;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it.value() * 10 >= image.width() * image.height()) colours.append(it.key());
    }
    return colours;
}

// The rows of image from top down that hold a dark pixel.
int BlackRowsBelow(const QImage& image, int top) {
    const QImage rgb = Rgb32(image);
    int rows = 0;
    for (int y = std::max(0, top); y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            if (qGray(rgb.pixel(x, y)) < 64) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

}  // namespace

// File > Print, Print Preview and Print Setup: one page with the map and the figures.
class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void init() {
        m_window = std::make_unique<MainWindow>(m_choices);
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
        QVERIFY(m_window->activeView());
    }

    void cleanup() { m_window.reset(); }

    void thePageHoldsTheNameTheMapAndTheFigures() {
        CGridwrightView& view = *m_window->activeView();
        const TheaterPage page = TheaterPageOf(view);
        QCOMPARE(page.name, QString("Theater name: Gridwright sample coast"));
        QCOMPARE(page.map, view.mapPreview()->shownImage());
        QCOMPARE(page.figures.size(), 9);
        QVERIFY(page.figures.front().startsWith("Size (L2 segments): "));
        QVERIFY(page.figures.back().startsWith("SE: Lat "));
        for (const QString& figure : page.figures) {
            QVERIFY2(!figure.startsWith("Theater size") && !figure.contains("point:"), qPrintable(figure));
        }
    }

    void afterATerrainRunThePageShowsItsFigures() {
        CGridwrightView& view = *m_window->activeView();
        view.results() = {-12, 3400, true, true};
        const TheaterPage page = TheaterPageOf(view);
        QCOMPARE(page.figures.size(), 12);
        QCOMPARE(page.figures.front(), QString("Theater size: Large"));
        QCOMPARE(page.figures.at(10), QString("Highest point: 3400ft"));
        QCOMPARE(page.figures.at(11), QString("Lowest point: -12ft"));
    }

    void thePaintedPageShowsTheMapsColoursAndText() {
        const TheaterPage page = TheaterPageOf(*m_window->activeView());
        QImage painted(850, 1100, QImage::Format_RGB32);
        painted.fill(Qt::red);
        {
            QPainter painter(&painted);
            PaintTheaterPage(painter, painted.rect(), page);
        }
        const QHash<QRgb, int> counts = ColourCounts(painted);
        QVERIFY(!counts.contains(qRgb(255, 0, 0)));  // the whole page is drawn
        const QList<QRgb> mapColours = MainColours(page.map);
        QVERIFY(!mapColours.isEmpty());
        for (QRgb colour : mapColours) QVERIFY2(counts.value(colour) > 1000, qPrintable(QString::number(colour, 16)));
        // The name above the map and the figures under it.
        QVERIFY(BlackRowsBelow(painted.copy(0, 0, painted.width(), 40), 0) > 5);
        QVERIFY(BlackRowsBelow(painted, 40) > 100);
    }

    void printingToAPdfFileWritesThePage() {
        const QString pdf = m_dir.filePath("coast.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(PrintTheaterPage(printer, TheaterPageOf(*m_window->activeView())));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY2(bytes.size() > 10000, qPrintable(QString::number(bytes.size())));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    }

    void aPdfFileThatCannotBeWrittenIsReported() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName("/nonexistent/folder/coast.pdf");
        QVERIFY(!PrintTheaterPage(printer, TheaterPageOf(*m_window->activeView())));
    }

    void printWritesThePageThroughThePrintDialog() {
        const QString pdf = m_dir.filePath("printed.pdf");
        AnswerNextModal<QPrintDialog>([&pdf](QPrintDialog* dialog) {
            QCOMPARE(dialog->objectName(), QString("printDialog"));
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(pdf);
            dialog->done(QDialog::Accepted);
        });
        m_window->action(kFilePrint)->trigger();
        QVERIFY(m_choices.messages.isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 10000);
    }

    void aPrintThatCannotStartSaysSo() {
        AnswerNextModal<QPrintDialog>([](QPrintDialog* dialog) {
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName("/nonexistent/folder/printed.pdf");
            dialog->done(QDialog::Accepted);
        });
        m_window->action(kFilePrint)->trigger();
        QCOMPARE(m_choices.messages.size(), 1);
        QCOMPARE(m_choices.messages.front().text, QString("The page could not be printed."));
        m_choices.messages.clear();
    }

    void printPreviewShowsThePage() {
        int pages = -1;
        AnswerNextModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* preview) {
            QCOMPARE(preview->objectName(), QString("printPreviewDialog"));
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->reject();
        });
        m_window->action(kFilePrintPreview)->trigger();
        QCOMPARE(pages, 1);
    }

    void printSetupShowsThePageSetupDialog() {
        bool shown = false;
        AnswerNextModal<QPageSetupDialog>([&shown](QPageSetupDialog* dialog) {
            shown = dialog->objectName() == "pageSetupDialog";
            dialog->reject();
        });
        m_window->action(kFilePrintSetup)->trigger();
        QVERIFY(shown);
    }

private:
    QTemporaryDir m_dir;
    ScriptedChoices m_choices;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::PrintTest)
#include "PrintTest.moc"
