#pragma once

#include "core/editors/EditorTables.h"
#include "core/util/Status.h"

#include <QTableWidget>

#include <cstdint>
#include <functional>

namespace gw {

// The editable table of the E00 rules and height data editors. Rows are counted with
// the fixed header row as row 0 (shown as the table's header); data rows start at 1.
// There is no fixed column. Colours are 0x00BBGGRR values.
//
// In-place editing: typing a character on the focus cell replaces its text; Enter or a
// click on the focus cell keeps the text with the caret at its end; Backspace deletes
// the last character; a blank (or F2) selects the whole text. Enter and Tab keep the
// edit, Escape restores the text, losing the focus keeps it. The arrows and Page Up/Down
// end editing when it began from the keyboard or with Ctrl held, and otherwise move the
// caret. Arrows, Tab, Home, End and Page Up/Down outside editing move the focus cell.
// A text typed in place replaces the cell's only when the cell check passes it; a
// refused one leaves the cell as it was, which becomes the focus cell, and is told by
// cellRefused once the edit has closed.
class GridCtrl : public QTableWidget {
    Q_OBJECT
public:
    struct CellId {
        int row = -1;
        int column = -1;
        bool operator==(const CellId&) const = default;
    };

    // The check of a text typed into a cell of a column (grid numbering).
    using CellCheck = std::function<Status(int column, const QString& text)>;

    explicit GridCtrl(QWidget* parent = nullptr);

    void SetCellCheck(CellCheck check) { m_cellCheck = std::move(check); }

    // rows counts the header row; the new cells are empty. REQUIRES: rows >= 1.
    void SetSize(int rows, int columns);
    int GetRowCount() const { return rowCount() + 1; }

    // Empty text and background 0 for a cell outside the grid; kNoCellBackground for a
    // cell without a colour of its own. The setters return false outside the grid.
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetItemBkColour(int row, int column, std::uint32_t colour);
    std::uint32_t GetItemBkColour(int row, int column) const;
    // A read-only cell is not edited in place. Header cells are always read-only.
    bool SetItemReadOnly(int row, int column, bool readOnly);
    bool IsItemReadOnly(int row, int column) const;

    // A data row's cells at once. REQUIRES: 1 <= row < GetRowCount().
    void SetRow(int row, const TableRow& cells);
    // The data rows as they stand.
    TableRows DataRows() const;

    // Inserts an empty row before row (at the end for -1) and returns its index; -1,
    // with nothing inserted, for the header row or a row not below GetRowCount().
    int InsertRow(int row);
    // False for the header row or a row outside the grid.
    bool DeleteRow(int row);

    // (-1, -1) when there is none. A header cell given as focus moves to row 1.
    CellId GetFocusCell() const;
    void SetFocusCell(int row, int column);
    // The cell under a point of the control's own coordinates; (-1, -1) when none.
    CellId GetCellFromPt(const QPoint& point) const;
    // In the control's own coordinates; empty outside the grid.
    QRect GetCellRect(int row, int column) const;

    // Sizes every column and row to fit the header and data texts.
    void AutoSize();
    void AutoSizeRow(int row);

signals:
    // A double-click on a cell (grid numbering).
    void gridDoubleClicked(int row, int column);
    // The context menu on a cell, which is now the focus cell (from the mouse), or at the
    // focus cell (from the keyboard); globalPos is where the menu goes.
    void gridContextMenu(const QPoint& globalPos);
    // A typed text the cell check refused, with its reason (grid numbering).
    void cellRefused(int row, int column, const QString& why);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class EditStart { kChar, kKeepText, kBackspace, kSelectAll };

    bool InGrid(int row, int column) const;
    bool InData(int row, int column) const;
    QTableWidgetItem* Item(int row, int column) const;
    // Returns the item of a data cell, creating it.
    QTableWidgetItem* MakeItem(int row, int column);
    bool StartEditing(EditStart start, const QString& typed = {});
    // Whether the text typed into the cell at index may replace its text.
    bool AcceptsTyped(const QModelIndex& index, const QString& text);

    QPersistentModelIndex m_pressedOnCurrent;
    CellCheck m_cellCheck;
};

}  // namespace gw
