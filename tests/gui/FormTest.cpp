// The theater form and its map preview driven through their widgets, the grid control's
// in-place editing and the two table editors: what is typed or clicked reaches the
// layout or the tables, and what they hold is shown.

#include "tests/gui/GuiTestSupport.h"
#include "core/progress/ProgressState.h"
#include "core/util/CNumbers.h"
#include "gui/common/GuiPrompts.h"
#include "gui/grid/E00RulesDialog.h"
#include "gui/grid/GridCtrl.h"
#include "gui/grid/HeightDataDialog.h"
#include "gui/layout/MapPreviewWidget.h"
#include "gui/layout/PreviewSizeDialog.h"
#include "qtsettings/QtProfileSection.h"

#include <memory>

namespace gw::test {
namespace {

// Keys go where the focus is: the grid, or its edit box while a cell is edited.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
void Char(char c) { QTest::keyClick(QApplication::focusWidget(), c); }

QPoint CellCentre(GridCtrl* grid, int row, int column) {
    return grid->viewport()->mapFrom(grid, grid->GetCellRect(row, column).center());
}

// The edit box of the cell being edited; a closed one is hidden until it is deleted.
QLineEdit* OpenEditor(GridCtrl* grid) {
    for (QLineEdit* editor : grid->findChildren<QLineEdit*>("cellEdit")) {
        if (editor->isVisible()) return editor;
    }
    return nullptr;
}

// Triggers command; `work` works the dialog of type T, then it is closed with OK or Cancel.
template <class T>
void WorkDialog(Session& s, int command, std::function<void(T*)> work, bool ok) {
    QVERIFY(WorkModal<T>([&](T* dialog) {
        work(dialog);
        ok ? dialog->accept() : dialog->reject();
    }, [&] { s.trigger(command); }));
}

}  // namespace

class FormTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_document = std::make_unique<GuiDocument>(m_rules);
        QVERIFY(m_document->Open(SampleHeader()).ok());
        m_view = std::make_unique<CGridwrightView>(m_document.get());
        m_view->show();
        m_view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    }
    void cleanup() {
        m_view.reset();
        m_document.reset();
    }

    void showsTheDocumentAndThePictureCoreRenders() {
        QCOMPARE(Edit("titleEdit")->text(), QString("Gridwright sample coast"));
        QCOMPARE(Combo("segmentsXCombo")->currentText(), QString("64"));
        QCOMPARE(Edit("tilesYEdit")->text(), QString("1024"));
        QCOMPARE(Edit("dimensionXEdit")->text(), QString("552.376915385182"));
        QCOMPARE(Edit("centerLatEdit")->text() + ' ' + Edit("centerLongEdit")->text(), QString("44 14"));
        QCOMPARE(Combo("unitsCombo")->currentText(), QString("Nautical Miles"));
        QVERIFY(!Edit("segmentsYEdit")->isEnabled());

        QTemporaryDir dir;
        const std::string png = dir.filePath("cli.png").toStdString();
        const CommandResult cli = RunCommand(CliPath() + " preview '" + SampleHeader().toStdString() + "' '" + png + "'");
        QVERIFY2(cli.status == 0, cli.err.c_str());
        const QImage expected = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(expected.size(), QSize(400, 300));
        QCOMPARE(Preview()->shownImage().convertToFormat(QImage::Format_RGB32), expected);
        QCOMPARE(Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32), expected);
    }

    void typedEntriesReachTheLayout() {
        Type(Edit("resolutionEdit"), "1.5");  // read as it is typed
        QCOMPARE(m_view->layout().m_resolution, 1.5);
        QCOMPARE(Edit("dimensionXEdit")->text(), QString("6144"));  // 1024 tiles x 1.5 x 4

        const QString resolution = Edit("resolutionEdit")->text();
        ChooseFromList(Combo("unitsCombo"), "Kilometers");
        QCOMPARE(m_view->layout().m_unitIndex, 2);
        QCOMPARE(Edit("resolutionEdit")->text(), QString::fromStdString(FormatG(m_view->layout().m_resolution, 15)));
        QVERIFY(Edit("resolutionEdit")->text() != resolution);

        QComboBox* segments = Combo("segmentsXCombo");
        for (int i = 0; i < 2; ++i) TypeAndLeave(segments, "100");
        QCOMPARE(segments->count(), 5);  // appended once
        QCOMPARE(m_view->layout().m_segmentsX, 100);
        QCOMPARE(Edit("tilesXEdit")->text() + ' ' + Edit("segmentsYEdit")->text(), QString("1600 100"));
        ChooseFromList(segments, "128");
        QCOMPARE(Edit("tilesYEdit")->text(), QString("2048"));

        ClickSquare();
        QVERIFY(!m_view->layout().m_square);
        QVERIFY(Edit("segmentsYEdit")->isEnabled());
        Type(Edit("segmentsYEdit"), "32");
        QCOMPARE(m_view->layout().m_segmentsY, 32);
        QCOMPARE(Edit("tilesYEdit")->text(), QString("512"));

        // The centre is read when its box is left.
        Type(Edit("centerLatEdit"), "45.5abc");
        QCOMPARE(m_view->layout().m_centerLat, 44.0);
        TypeAndLeave(Edit("centerLongEdit"), "  -3.25e1");
        QCOMPARE(m_view->layout().m_centerLat, 45.5);
        QCOMPARE(m_view->layout().m_centerLong, -32.5);
        QCOMPARE(Edit("centerLatEdit")->text() + ' ' + Edit("centerLongEdit")->text(), QString("45.5 -32.5"));
    }

    void thePictureMovesTheCentreUnderTheMouse() {
        // 10..18 E and 41..47 N on 400 x 300 pixels: 50 pixels a degree.
        const QImage before = Preview()->shownImage();
        QTest::mouseClick(Preview(), Qt::RightButton, {}, QPoint(100, 75));
        QCOMPARE(m_view->layout().m_centerLong, 14.0);
        QTest::mousePress(Preview(), Qt::LeftButton, {}, QPoint(100, 75));
        QCOMPARE(m_view->layout().m_centerLong, 12.0);
        QCOMPARE(m_view->layout().m_centerLat, 45.5);
        QCOMPARE(Edit("centerLongEdit")->text(), QString("12"));
        QVERIFY(Preview()->shownImage() != before);
        QTest::mouseMove(Preview(), QPoint(300, 7));
        QTest::mouseRelease(Preview(), Qt::LeftButton, {}, QPoint(300, 7));
        QTest::mouseMove(Preview(), QPoint(200, 150));  // no button down
        QCOMPARE(Edit("centerLongEdit")->text() + ' ' + Edit("centerLatEdit")->text(), QString("16 46.86"));
    }

    void previewSizeResizesThePicture() {
        QPushButton* size = m_view->findChild<QPushButton*>("previewSizeButton");
        QVERIFY(WorkModal<PreviewSizeDialog>([](PreviewSizeDialog* dialog) {
            auto* height = dialog->findChild<QLineEdit*>("heightEdit");
            height->selectAll();
            QTest::keyClicks(height, "0");
            QString message;
            AnswerNextModal<QMessageBox>([&](QMessageBox* box) {
                message = box->text();
                box->accept();
            });
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            QVERIFY2(message.contains("height must be from 1 to 8192, not 0"), qPrintable(message));
            height->selectAll();
            QTest::keyClicks(height, "151");
            QCOMPARE(dialog->findChild<QLineEdit*>("widthEdit")->text(), QString("201"));
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        }, [size] { QTest::mouseClick(size, Qt::LeftButton); }));
        QCOMPARE(Preview()->size(), QSize(201, 151));
        QCOMPARE(Preview()->shownImage().size(), QSize(201, 151));
        QCOMPARE(m_view->layout().m_previewHeight, 151);
    }

    void theGridEditsCellsInPlace() {
        struct Case {
            const char* name;
            std::function<void(GridCtrl&)> work;
            QString text;  // of cell (1, 0) after
        };
        const QList<Case> cases = {
            {"typing replaces, Enter keeps", [](GridCtrl&) { Char('x'); Char('y'); Key(Qt::Key_Return); }, "xy"},
            {"Enter edits at the end, Escape restores",
             [](GridCtrl&) { Key(Qt::Key_Return); Char('z'); Key(Qt::Key_Escape); }, "abc"},
            {"Backspace takes the last character, Tab keeps",
             [](GridCtrl&) { Key(Qt::Key_Backspace); Key(Qt::Key_Tab); }, "ab"},
            {"a blank selects the whole text", [](GridCtrl&) { Key(Qt::Key_Space); Char('q'); Key(Qt::Key_Enter); },
             "q"},
            {"an arrow ends keyboard editing", [](GridCtrl&) { Char('k'); Key(Qt::Key_Down); }, "k"},
            {"after a click arrows move the caret, unless Ctrl is held",
             [](GridCtrl& grid) {
                 QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(&grid, 1, 0));
                 Key(Qt::Key_Left); Char('-'); Key(Qt::Key_Down, Qt::ControlModifier);
             },
             "ab-c"},
            {"leaving the grid keeps the edit",
             [](GridCtrl& grid) { Char('w'); grid.findChild<QLineEdit*>("other")->setFocus(); }, "w"},
            {"read-only cells are not edited",
             [](GridCtrl& grid) { grid.SetItemReadOnly(1, 0, true); Char('x'); }, "abc"},
        };
        for (const Case& c : cases) {
            GridCtrl grid;
            grid.SetSize(3, 2);
            grid.SetItemText(1, 0, "abc");
            grid.resize(300, 200);
            auto* other = new QLineEdit(&grid);
            other->setObjectName("other");
            other->move(0, 150);
            grid.show();
            grid.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&grid));
            grid.setFocus();
            grid.SetFocusCell(1, 0);
            c.work(grid);
            QTRY_VERIFY2(!OpenEditor(&grid), c.name);
            QVERIFY2(grid.GetItemText(1, 0) == c.text, qPrintable(QString(c.name) + ": " + grid.GetItemText(1, 0)));
        }
    }

    void theEditorsRefuseWhatCannotBeStoredAtTheCell() {
        ScriptedChoices choices;
        E00RulesDialog rules(BuiltInE00Rules(), choices);
        rules.show();
        QVERIFY(QTest::qWaitForWindowActive(&rules));
        GridCtrl* grid = rules.grid();
        grid->setFocus();
        grid->SetFocusCell(1, 2);
        for (char c : std::string("RI,VER")) Char(c);
        Key(Qt::Key_Return);
        QTRY_COMPARE(choices.messages.size(), 1);
        QVERIFY(choices.messages[0].text.startsWith("Keyword cannot hold a comma"));
        QCOMPARE(grid->GetItemText(1, 2), QString("RIVER"));
        QCOMPARE(grid->GetFocusCell(), (GridCtrl::CellId{1, 2}));
    }

    void theRowMenuWorksFromTheMouseAndTheKeyboardAndOkChecksTheTable() {
        ScriptedChoices choices;
        HeightDataDialog dialog(HeightTable(), choices);
        dialog.resize(340, 800);  // room below the rows
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        GridCtrl* grid = dialog.grid();
        QCOMPARE(grid->GetRowCount(), 10);
        const QPoint at = CellCentre(grid, 3, 2);
        PickFromNextMenu("actionInsertRow");
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &click);
        QCOMPARE(grid->GetRowCount(), 11);
        QCOMPARE(grid->GetItemText(3, 0), QString("410"));  // halfway, before the row clicked
        grid->SetFocusCell(1, 0);
        PickFromNextMenu("actionDeleteRow");
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), grid->mapToGlobal(QPoint()));
        QApplication::sendEvent(grid, &key);
        QCOMPARE(grid->GetRowCount(), 10);
        QCOMPARE(grid->GetItemText(1, 0), QString("160"));

        // OK on altitudes that do not rise is refused, and the dialog stays open.
        grid->SetItemText(3, 0, "0");
        dialog.accept();
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY(choices.messages[0].text.startsWith("The altitudes must rise from row to row: 0 on row 3"));
        QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);
        PickFromNextMenu("actionInsertRow");  // below the rows: appended
        const QPoint below(at.x(), grid->viewport()->height() - 2);
        QContextMenuEvent empty(QContextMenuEvent::Mouse, below, grid->viewport()->mapToGlobal(below));
        QApplication::sendEvent(grid->viewport(), &empty);
        QCOMPARE(grid->GetRowCount(), 11);
    }

    void editedRulesAreKeptAndStoredOnOkOnlyWithTheFeaturesOnTheirRules() {
        QtProfileSection store(kE00RulesSection);
        SaveE00Rules(store, BuiltInE00Rules());
        Session s;
        QTemporaryDir dir;
        QStringList coverages;
        for (const char* name : {"DNNET", "PONET", "RDLINE"}) {
            coverages << dir.filePath(QString(name) + ".e00");
            WriteText(coverages.back(), QByteArray::fromStdString(
                                            LineCoverage("/DATA/" + std::string(name) + ".E00", {{{11, 42}, {12, 43}}})));
        }
        s.choices.files = {coverages};
        s.trigger(kLoadE00File);
        const auto& features = s.window.activeView()->document()->doc().features();
        QCOMPARE(features.size(), 3u);
        QSignalSpy updates(s.window.activeView()->document(), &GuiDocument::updated);
        const E00Rules builtIn = s.window.documents().rules();
        s.choices.colours = {Rgb(9, 9, 9), Rgb(1, 2, 3)};
        WorkDialog<E00RulesDialog>(s, kEditE00Rules, [](E00RulesDialog* dialog) {
            dialog->grid()->SetItemText(1, 0, "other.e00");
            QTest::mouseDClick(dialog->grid()->viewport(), Qt::LeftButton, {}, CellCentre(dialog->grid(), 2, 1));
        }, false);
        QCOMPARE(s.window.documents().rules(), builtIn);
        QCOMPARE(updates.size(), 0);

        // A row inserted above the rivers and the roads' row deleted: rivers and coast move
        // down with their rules, the road goes with its rule.
        WorkDialog<E00RulesDialog>(s, kEditE00Rules, [](E00RulesDialog* dialog) {
            GridCtrl* grid = dialog->grid();
            QCOMPARE(grid->GetItemBkColour(2, 1), 0xb400u);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 1, 1));
            QCOMPARE(grid->GetItemText(1, 1), QString("1 2 3"));
            grid->SetFocusCell(4, 0);
            dialog->OnDeleteRow();
            grid->SetFocusCell(1, 0);
            dialog->OnInsertRow();
        }, true);
        QCOMPARE(s.choices.offeredColours, QList<std::uint32_t>({0xb400u, 0x906800u}));
        const E00Rules& edited = s.window.documents().rules();
        QCOMPARE(edited.size(), builtIn.size());
        QCOMPARE(edited[1].Colour, Rgb(1, 2, 3));
        QCOMPARE(QList<std::int32_t>({features[0].ruleIndex, features[1].ruleIndex}), QList<std::int32_t>({1, 2}));
        QCOMPARE(features.size(), 2u);
        QCOMPARE(s.window.statusBar()->currentMessage(), QString("2 features loaded; 1 dropped: their E00 rule was deleted"));
        E00Rules stored;
        QVERIFY(LoadE00Rules(store, stored));
        QCOMPARE(stored, edited);
        QCOMPARE(updates.size(), 1);

        // Reset to Defaults puts each feature back on the built-in rule of its coverage.
        WorkDialog<E00RulesDialog>(s, kEditE00Rules, [](E00RulesDialog* dialog) {
            dialog->findChild<QPushButton*>("resetButton")->click();
        }, true);
        QCOMPARE(s.window.documents().rules(), builtIn);
        QCOMPARE(QList<std::int32_t>({features[0].ruleIndex, features[1].ruleIndex}), QList<std::int32_t>({0, 1}));

        // Undone, an edit puts back the features of its window, those it dropped too, and
        // keeps what was loaded since in another, on the rules it follows.
        QMdiSubWindow* first = s.window.mdiArea()->currentSubWindow();
        QVERIFY(s.window.OpenFile(CopySample(dir, "other")).ok());
        QMdiSubWindow* second = s.window.mdiArea()->currentSubWindow();
        s.window.mdiArea()->setActiveSubWindow(first);
        WorkDialog<E00RulesDialog>(s, kEditE00Rules, [](E00RulesDialog* dialog) {
            dialog->grid()->SetFocusCell(1, 0);
            dialog->OnDeleteRow();
        }, true);
        QCOMPARE(features.size(), 1u);
        s.window.mdiArea()->setActiveSubWindow(second);
        s.choices.files = {{coverages[2]}};
        s.trigger(kLoadE00File);
        s.window.mdiArea()->setActiveSubWindow(first);
        s.trigger(kEditUndo);
        QCOMPARE(features.size(), 2u);
        QCOMPARE(QList<std::int32_t>({features[0].ruleIndex, features[1].ruleIndex}), QList<std::int32_t>({0, 1}));
        const auto& loadedSince = qobject_cast<CGridwrightView*>(second->widget())->document()->doc().features();
        QCOMPARE(loadedSince.size(), 1u);
        QCOMPARE(builtIn[loadedSince[0].ruleIndex].File, std::string("rdline.e00"));
        // The load redone there puts its road back on the rules now in use.
        s.window.mdiArea()->setActiveSubWindow(second);
        s.trigger(kEditUndo);
        s.trigger(kEditRedo);
        QCOMPARE(builtIn[loadedSince[0].ruleIndex].File, std::string("rdline.e00"));
    }

    void heightDataRepaintsThePreviewAndGenerateUsesItsCodes() {
        QTemporaryDir dir;
        Session s;
        CGridwrightView* view = s.window.activeView();
        s.choices.colours.assign(9, Rgb(10, 200, 30));
        WorkDialog<HeightDataDialog>(s, kHeightData, [](HeightDataDialog* dialog) {
            GridCtrl* grid = dialog->grid();
            for (int row = 1; row < grid->GetRowCount(); ++row) {
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, row, 1));
                grid->SetItemText(row, 2, "1295788826");
            }
        }, true);
        QCOMPARE(view->mapPreview()->shownImage().pixel(5, 5), qRgb(10, 200, 30));
        WorkDialog<HeightDataDialog>(s, kHeightData, [](HeightDataDialog* dialog) {
            dialog->grid()->SetFocusCell(1, 0);
            dialog->OnDeleteRow();
        }, false);
        QCOMPARE(view->heights().rows().size(), 9u);

        // The large format stores the whole 32-bit code.
        s.choices.buildOptions = [](BuildOptions& options) { options = {}; options.large = true; };
        s.choices.files = {{dir.filePath("t.l2")}};
        s.trigger(kGenerateTerrain);
        QFile l2(dir.filePath("t.l2"));
        QVERIFY(l2.open(QIODevice::ReadOnly));
        QVERIFY(l2.readAll().contains(QByteArray("\x1a\x2b\x3c\x4d", 4)));
    }

    // Every change to the theater is a step the Edit menu names, Undo takes back and Redo
    // makes again; a drag of the centre is one step. The mark of changes not saved goes
    // once undone back to the saved state.
    void editsAreUndoneStepByStepAndRedone() {
        QTemporaryDir dir;
        Session s;
        CGridwrightView* view = s.window.activeView();
        QMdiSubWindow* window = s.window.mdiArea()->currentSubWindow();
        const auto state = [view] {
            return std::make_tuple(LayoutValues(view->layout(), false), view->heights().rows(),
                                   view->document()->doc().features().size());
        };
        s.choices.files = {{dir.filePath("t.gwtheater")}};
        s.trigger(kFileSave);
        std::vector states = {state()};
        auto* segments = view->findChild<QComboBox*>("segmentsXCombo");
        emit segments->activated(segments->findText("32"));
        states.push_back(state());
        // The Window menu names the window as its title does, marked.
        const QList<QAction*> entries = s.window.findChild<QMenu*>("windowMenu")->actions();
        QVERIFY(std::any_of(entries.begin(), entries.end(), [](QAction* a) { return a->text() == "&1 t.gwtheater*"; }));
        QTest::mousePress(view->mapPreview(), Qt::LeftButton, {}, QPoint(100, 75));
        QTest::mouseMove(view->mapPreview(), QPoint(150, 90));
        QTest::mouseMove(view->mapPreview(), QPoint(300, 7));
        QTest::mouseRelease(view->mapPreview(), Qt::LeftButton, {}, QPoint(300, 7));
        states.push_back(state());
        WorkDialog<HeightDataDialog>(s, kHeightData, [](HeightDataDialog* dialog) {
            dialog->grid()->SetFocusCell(1, 0);
            dialog->OnDeleteRow();
        }, true);
        states.push_back(state());
        WriteText(dir.filePath("r.e00"), QByteArray::fromStdString(LineCoverage("/X/DNNET.E00", {{{11, 42}, {12, 43}}})));
        s.choices.files = {{dir.filePath("r.e00")}};
        s.trigger(kLoadE00File);
        states.push_back(state());
        s.trigger(kDeleteFeatures);
        states.push_back(state());
        QCOMPARE(window->windowTitle(), QString("t.gwtheater*"));
        // The preview's zoom is no step and stays through them.
        QVERIFY(view->zoom(1));
        const std::int32_t zoomed = view->layout().m_previewWidth;

        const QStringList names = {"Change Segments", "Move Centre", "Edit Height Data", "Load E00 File", "Delete Features"};
        for (qsizetype step = names.size(); step > 0; --step) {
            QCOMPARE(s.window.action(kEditUndo)->text(), "&Undo " + names[step - 1]);
            s.trigger(kEditUndo);
            QVERIFY2(state() == states[step - 1], qPrintable(names[step - 1]));
        }
        QCOMPARE(s.window.action(kEditUndo)->text(), QString("&Undo"));
        QVERIFY(!s.window.action(kEditUndo)->isEnabled());
        QCOMPARE(window->windowTitle(), QString("t.gwtheater"));
        QCOMPARE(view->layout().m_previewWidth, zoomed);
        for (qsizetype step = 1; step <= names.size(); ++step) {
            QCOMPARE(s.window.action(kEditRedo)->text(), "&Redo " + names[step - 1]);
            s.trigger(kEditRedo);
            QVERIFY2(state() == states[step], qPrintable(names[step - 1]));
        }
        QCOMPARE(window->windowTitle(), QString("t.gwtheater*"));

        // Closing asks to save the changes: Cancel keeps the window, Save writes them first.
        s.choices.saveAnswers = {UserChoices::SaveAnswer::kCancel, UserChoices::SaveAnswer::kSave};
        s.trigger(kFileClose);
        QCOMPARE(s.window.mdiArea()->subWindowList().size(), 1);
        s.trigger(kFileClose);
        QCOMPARE(s.choices.saveQuestions, QStringList({"t.gwtheater", "t.gwtheater"}));
        QVERIFY(s.window.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(LoadTheaterProject(dir.filePath("t.gwtheater").toStdString())->layout.segmentsX, 32);
    }

private:
    QLineEdit* Edit(const char* name) const { return m_view->findChild<QLineEdit*>(name); }
    QComboBox* Combo(const char* name) const { return m_view->findChild<QComboBox*>(name); }
    MapPreviewWidget* Preview() const { return m_view->mapPreview(); }

    // Focuses box and replaces its text by typing.
    void Type(QWidget* box, const QString& text) {
        box->setFocus(Qt::MouseFocusReason);
        auto* edit = qobject_cast<QLineEdit*>(box);
        if (!edit) edit = qobject_cast<QComboBox*>(box)->lineEdit();
        edit->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    // Types, then leaves the box by clicking the title box, as a user would.
    void TypeAndLeave(QWidget* box, const QString& text) {
        Type(box, text);
        QTest::mouseClick(Edit("titleEdit"), Qt::LeftButton);
        QVERIFY(Edit("titleEdit")->hasFocus());
    }
    void ChooseFromList(QComboBox* combo, const QString& item) {
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QRect row = list->visualRect(list->model()->index(combo->findText(item), 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(combo->currentText(), item);
    }
    void ClickSquare() {
        auto* square = m_view->findChild<QCheckBox*>("squareCheck");
        QTest::mouseClick(square, Qt::LeftButton, {}, QPoint(6, square->height() / 2));
    }
    // Picks the action named `name` from the next popup menu, once it is up.
    static void PickFromNextMenu(const char* name) {
        AnswerNextModal<QMenu>([name](QMenu* menu) {
            menu->setActiveAction(menu->findChild<QAction*>(name));
            QTest::keyClick(menu, Qt::Key_Return);
        });
    }

    const E00Rules m_rules = BuiltInE00Rules();
    std::unique_ptr<GuiDocument> m_document;
    std::unique_ptr<CGridwrightView> m_view;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::FormTest)
#include "FormTest.moc"
