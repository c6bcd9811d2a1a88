// The grid control's in-place editing and the Edit E00 Rules and Height Data dialogs, as
// the user works them: real key and mouse events, the popup menu, colours chosen through
// the user-choices seam, and what OK and Cancel leave behind.

#include "tests/gui/GuiTestSupport.h"
#include "qtsettings/QtProfileSection.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "core/features/E00Rules.h"
#include "gui/grid/E00RulesDialog.h"
#include "gui/grid/GridCtrl.h"
#include "gui/grid/HeightDataDialog.h"
#include "gui/layout/GridwrightView.h"
#include "gui/layout/MapPreviewWidget.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace gw::test {
namespace {

using namespace command;

// Picks the action named `name` from the next popup menu, once it is up.
class MenuAnswer {
public:
    explicit MenuAnswer(const char* name) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, name] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            m_timer.stop();
            shown = true;
            if (auto* action = menu->findChild<QAction*>(name)) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        m_timer.start(0);
    }
    bool shown = false;

private:
    QTimer m_timer;
};

// The edit box of the cell being edited; a closed one is hidden until it is deleted.
QLineEdit* OpenEditor(GridCtrl* grid) {
    for (QLineEdit* editor : grid->findChildren<QLineEdit*>("cellEdit")) {
        if (editor->isVisible()) return editor;
    }
    return nullptr;
}

// Keys go where the focus is: the grid, or its edit box while a cell is edited.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
void Char(char c) { QTest::keyClick(QApplication::focusWidget(), c); }

QPoint CellCentre(GridCtrl* grid, int row, int column) {
    return grid->viewport()->mapFrom(grid, grid->GetCellRect(row, column).center());
}

}  // namespace

class TableEditorsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        g_e00Rules = BuiltInE00Rules();
        m_grid = std::make_unique<GridCtrl>();
        m_grid->SetSize(3, 2);
        m_grid->SetItemText(0, 0, "A");
        m_grid->SetItemText(0, 1, "B");
        m_grid->SetItemText(1, 0, "abc");
        m_grid->SetItemText(2, 0, "def");
        m_grid->resize(300, 200);
        m_grid->show();
        m_grid->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_grid.get()));
        m_grid->setFocus();
        m_grid->SetFocusCell(1, 0);
    }
    void cleanup() { m_grid.reset(); }

    void cellsOutsideTheGridAreEmptyAndUncolouredCellsReportTheMarker() {
        QCOMPARE(m_grid->GetItemBkColour(1, 1), kNoCellBackground);
        QCOMPARE(m_grid->GetItemText(3, 0), QString());
        QCOMPARE(m_grid->GetItemBkColour(3, 0), 0u);
        QCOMPARE(m_grid->GetItemBkColour(1, 2), 0u);
        QVERIFY(m_grid->SetItemBkColour(2, 1, Rgb(1, 2, 3)));
        QCOMPARE(m_grid->GetItemBkColour(2, 1), Rgb(1, 2, 3));
    }

    void insertingBeforeTheHeaderOrPastTheEndFails() {
        QCOMPARE(m_grid->InsertRow(0), -1);
        QCOMPARE(m_grid->InsertRow(3), -1);
        QCOMPARE(m_grid->GetRowCount(), 3);
        QCOMPARE(m_grid->InsertRow(-1), 3);
        QCOMPARE(m_grid->InsertRow(1), 1);
        QCOMPARE(m_grid->GetItemText(2, 0), QString("abc"));
        QVERIFY(!m_grid->DeleteRow(0));
        QVERIFY(m_grid->DeleteRow(1));
        QCOMPARE(m_grid->GetItemText(1, 0), QString("abc"));
        m_grid->SetFocusCell(0, 1);
        QCOMPARE(m_grid->GetFocusCell(), (GridCtrl::CellId{1, 1}));
    }

    void typingReplacesTheTextAndEnterKeepsIt() {
        Char('x');
        QLineEdit* editor = OpenEditor(m_grid.get());
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("x"));
        Char('y');
        Key(Qt::Key_Return);
        QCOMPARE(m_grid->GetItemText(1, 0), QString("xy"));
        QVERIFY(!OpenEditor(m_grid.get()));
    }

    void enterKeepsTheTextWithTheCaretAtItsEndAndEscapeRestores() {
        Key(Qt::Key_Return);
        QLineEdit* editor = OpenEditor(m_grid.get());
        QVERIFY(editor);
        QCOMPARE(editor->cursorPosition(), 3);
        QVERIFY(!editor->hasSelectedText());
        Char('z');
        QCOMPARE(editor->text(), QString("abcz"));
        Key(Qt::Key_Escape);
        QCOMPARE(m_grid->GetItemText(1, 0), QString("abc"));
    }

    void backspaceDeletesTheLastCharacterAndTabKeeps() {
        Key(Qt::Key_Backspace);
        QCOMPARE(OpenEditor(m_grid.get())->text(), QString("ab"));
        Key(Qt::Key_Tab);
        QCOMPARE(m_grid->GetItemText(1, 0), QString("ab"));
        QVERIFY(!OpenEditor(m_grid.get()));
    }

    void aBlankSelectsTheWholeText() {
        Key(Qt::Key_Space);
        QLineEdit* editor = OpenEditor(m_grid.get());
        QCOMPARE(editor->selectedText(), QString("abc"));
        Char('q');
        Key(Qt::Key_Enter);
        QCOMPARE(m_grid->GetItemText(1, 0), QString("q"));
    }

    void arrowsEndKeyboardEditingAndMoveTheFocus() {
        Char('k');
        Key(Qt::Key_Down);
        QCOMPARE(m_grid->GetItemText(1, 0), QString("k"));
        QVERIFY(!OpenEditor(m_grid.get()));
        QCOMPARE(m_grid->GetFocusCell(), (GridCtrl::CellId{2, 0}));
    }

    void arrowsMoveTheCaretAfterAClickUnlessCtrlIsHeld() {
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, CellCentre(m_grid.get(), 1, 0));
        QLineEdit* editor = OpenEditor(m_grid.get());
        QVERIFY(editor);
        QCOMPARE(editor->cursorPosition(), 3);
        Key(Qt::Key_Left);
        QCOMPARE(editor->cursorPosition(), 2);
        Char('-');
        QVERIFY(OpenEditor(m_grid.get()));
        Key(Qt::Key_Down, Qt::ControlModifier);
        QVERIFY(!OpenEditor(m_grid.get()));
        QCOMPARE(m_grid->GetItemText(1, 0), QString("ab-c"));
    }

    void losingTheFocusKeepsTheEdit() {
        QLineEdit other(m_grid.get());
        other.move(0, 150);
        other.show();
        Char('w');
        other.setFocus();
        QTRY_VERIFY(!OpenEditor(m_grid.get()));
        QCOMPARE(m_grid->GetItemText(1, 0), QString("w"));
    }

    void readOnlyCellsAreNotEdited() {
        m_grid->SetItemReadOnly(1, 1, true);
        m_grid->SetFocusCell(1, 1);
        Char('x');
        QVERIFY(!OpenEditor(m_grid.get()));
        QCOMPARE(m_grid->GetItemText(1, 1), QString());
    }

    void theContextMenuWorksFromTheMouseAndTheKeyboard() {
        HeightDataDialog dialog(HeightTable(), m_choices);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        GridCtrl* grid = dialog.grid();
        QCOMPARE(grid->GetRowCount(), 10);
        // Right button on the third band (660): the new row goes before it, halfway.
        const QPoint at = CellCentre(grid, 3, 2);
        {
            MenuAnswer answer("actionInsertRow");
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid->viewport(), &click);
            QVERIFY(answer.shown);
        }
        QCOMPARE(grid->GetRowCount(), 11);
        QCOMPARE(grid->GetItemText(3, 0), QString("410"));
        QCOMPARE(grid->GetItemText(3, 2), QString("160"));
        QVERIFY(grid->IsItemReadOnly(3, 1));
        // From the keyboard, on the focus cell.
        grid->SetFocusCell(1, 0);
        {
            MenuAnswer answer("actionDeleteRow");
            QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), grid->mapToGlobal(QPoint()));
            QApplication::sendEvent(grid, &key);
            QVERIFY(answer.shown);
        }
        QCOMPARE(grid->GetRowCount(), 10);
        QCOMPARE(grid->GetItemText(1, 0), QString("160"));
        // Below the last row there is no cell, and no menu.
        const QPoint below(5, grid->viewport()->height() - 2);
        QCOMPARE(grid->GetCellFromPt(grid->viewport()->mapTo(grid, below)), GridCtrl::CellId{});
        MenuAnswer none("actionDeleteRow");
        QContextMenuEvent off(QContextMenuEvent::Mouse, below, grid->viewport()->mapToGlobal(below));
        QApplication::sendEvent(grid->viewport(), &off);
        QVERIFY(!none.shown);
        QCOMPARE(grid->GetRowCount(), 10);
    }

    void theDialogsShowTheirTitlesHeadersAndColours() {
        E00RulesDialog rules(g_e00Rules, m_choices);
        QCOMPARE(rules.windowTitle(), QString("Edit E00 Rules"));
        QCOMPARE(rules.grid()->accessibleName(), QString("E00 Rules"));
        QCOMPARE(rules.grid()->GetItemText(0, 7), QString("Label"));
        QCOMPARE(rules.grid()->GetItemText(2, 1), QString("0 180 0"));
        QCOMPARE(rules.grid()->GetItemBkColour(2, 1), 0xb400u);
        QCOMPARE(rules.grid()->GetItemBkColour(2, 0), kNoCellBackground);
        QVERIFY(rules.grid()->IsItemReadOnly(2, 1));
        HeightDataDialog heights(HeightTable(), m_choices);
        QCOMPARE(heights.windowTitle(), QString("Height Data"));
        QCOMPARE(heights.grid()->accessibleName(), QString("Height"));
        QCOMPARE(heights.grid()->GetItemText(0, 2), QString("Tile"));
        QCOMPARE(heights.grid()->GetItemText(2, 1), QString("130 162 116"));
        QCOMPARE(heights.grid()->GetItemBkColour(2, 2), Rgb(130, 162, 116));
    }

    void aChosenRuleColourIsStoredOnOk();
    void deletingEveryRuleStoresAnEmptyTable();
    void cancelLeavesTheRulesAndTheStoreUntouched();
    void heightDataRepaintsThePreviewAndGenerateUsesTheNewCodes();

private:
    // Triggers command on a main window with the sample open; `work` works the dialog of
    // type T, then it is closed with OK (accept) or Cancel.
    template <class T>
    void WorkDialog(MainWindow& window, int command, std::function<void(T*)> work, bool accept) {
        bool worked = false;
        AnswerNextModal<T>([&](T* dialog) {
            work(dialog);
            worked = true;
            accept ? dialog->accept() : dialog->reject();
        });
        window.action(command)->trigger();
        QVERIFY(worked);
    }

    std::unique_ptr<GridCtrl> m_grid;
    ScriptedChoices m_choices;
};

void TableEditorsTest::aChosenRuleColourIsStoredOnOk() {
    MainWindow window(m_choices);
    QVERIFY(window.OpenFile(SampleHeader()).ok());
    QSignalSpy updates(window.activeView()->document(), &GuiDocument::updated);
    m_choices.colours = {Rgb(1, 2, 3)};
    WorkDialog<E00RulesDialog>(window, kEditE00Rules, [&](E00RulesDialog* dialog) {
        GridCtrl* grid = dialog->grid();
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 1, 1));
        QCOMPARE(grid->GetItemText(1, 1), QString("1 2 3"));
        QCOMPARE(grid->GetItemBkColour(1, 1), Rgb(1, 2, 3));
        // A new row without a colour, appended.
        grid->setCurrentIndex({});
        dialog->OnInsertRow();
    }, true);
    QCOMPARE(m_choices.offeredColours, QList<std::uint32_t>({0x906800u}));
    QCOMPARE(g_e00Rules.size(), 8u);
    QCOMPARE(g_e00Rules[0].Colour, Rgb(1, 2, 3));
    QCOMPARE(g_e00Rules[7].File, std::string("XXX.E00"));
    QCOMPARE(g_e00Rules[7].Colour, 0u);
    const QtProfileSection store(kE00RulesSection);
    QCOMPARE(store.ReadInt("Count"), std::optional<std::int32_t>(8));
    QCOMPARE(store.ReadText("Rule0"), std::optional<std::string>("dnnet.e00,30201,RIVER,,,,,0"));
    QCOMPARE(store.ReadText("Rule7"), std::optional<std::string>("XXX.E00,0,,,,,,0"));
    QCOMPARE(updates.size(), 1);
    QCOMPARE(updates[0][0].toInt(), GuiDocument::kFeaturesChanged);
}

void TableEditorsTest::deletingEveryRuleStoresAnEmptyTable() {
    MainWindow window(m_choices);
    QVERIFY(window.OpenFile(SampleHeader()).ok());
    WorkDialog<E00RulesDialog>(window, kEditE00Rules, [](E00RulesDialog* dialog) {
        while (dialog->grid()->GetRowCount() > 1) {
            dialog->grid()->SetFocusCell(1, 0);
            dialog->OnDeleteRow();
        }
    }, true);
    QVERIFY(g_e00Rules.empty());
    const QtProfileSection store(kE00RulesSection);
    QCOMPARE(store.ReadInt("Count"), std::optional<std::int32_t>(0));
}

void TableEditorsTest::cancelLeavesTheRulesAndTheStoreUntouched() {
    {
        QtProfileSection store(kE00RulesSection);
        SaveE00Rules(store, BuiltInE00Rules());
    }
    MainWindow window(m_choices);
    QVERIFY(window.OpenFile(SampleHeader()).ok());
    const E00Rules before = g_e00Rules;
    m_choices.colours = {Rgb(9, 9, 9)};
    WorkDialog<E00RulesDialog>(window, kEditE00Rules, [](E00RulesDialog* dialog) {
        GridCtrl* grid = dialog->grid();
        grid->SetItemText(1, 0, "other.e00");
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 1));
        grid->SetFocusCell(3, 0);
        dialog->OnDeleteRow();
    }, false);
    QCOMPARE(g_e00Rules, before);
    const QtProfileSection store(kE00RulesSection);
    E00Rules stored;
    QVERIFY(LoadE00Rules(store, stored));
    QCOMPARE(stored, BuiltInE00Rules());
}

void TableEditorsTest::heightDataRepaintsThePreviewAndGenerateUsesTheNewCodes() {
    QTemporaryDir dir;
    MainWindow window(m_choices);
    QVERIFY(window.OpenFile(SampleHeader()).ok());
    CGridwrightView* view = window.activeView();
    const QImage before = view->mapPreview()->shownImage();
    // Every band: one colour, and the tile code 0x4d3c2b1a.
    m_choices.colours.assign(9, Rgb(10, 200, 30));
    WorkDialog<HeightDataDialog>(window, kHeightData, [](HeightDataDialog* dialog) {
        GridCtrl* grid = dialog->grid();
        for (int row = 1; row < grid->GetRowCount(); ++row) {
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, row, 1));
            QCOMPARE(grid->GetItemBkColour(row, 0), Rgb(10, 200, 30));
            grid->SetItemText(row, 2, "1295788826");
        }
    }, true);
    QCOMPARE(view->heights().rows().size(), 9u);
    QCOMPARE(view->heights().rows()[1].colour, Rgb(10, 200, 30));
    const QImage after = view->mapPreview()->shownImage();
    QVERIFY(after != before);
    QCOMPARE(after.pixel(5, 5), qRgb(10, 200, 30));

    // The large format stores the whole 32-bit code.
    m_choices.buildOptions = [](BuildOptions& options) {
        options = BuildOptions{};
        options.large = true;
    };
    m_choices.files = {{dir.filePath("t.l2")}};
    window.action(kGenerateTerrain)->trigger();
    QFile l2(dir.filePath("t.l2"));
    QVERIFY(l2.open(QIODevice::ReadOnly));
    QVERIFY(l2.readAll().contains(QByteArray("\x1a\x2b\x3c\x4d", 4)));

    // Cancel changes nothing.
    const std::vector<HeightRow> edited = view->heights().rows();
    WorkDialog<HeightDataDialog>(window, kHeightData, [](HeightDataDialog* dialog) {
        dialog->grid()->SetFocusCell(1, 0);
        dialog->OnDeleteRow();
    }, false);
    QCOMPARE(view->heights().rows().size(), edited.size());
}

}  // namespace gw::test

QTEST_MAIN(gw::test::TableEditorsTest)
#include "TableEditorsTest.moc"
