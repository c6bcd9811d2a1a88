#pragma once

#include "core/editors/EditorChecks.h"
#include "core/editors/EditorTables.h"

#include <QDialog>

#include <cstddef>
#include <optional>
#include <vector>

class QAbstractButton;
class QMenu;

namespace gw {

class GridCtrl;
class UserChoices;

// What the E00 rules and height data editors share: a grid below one header row, the
// colour chooser behind a double-click on a colour cell, and the popup menu with
// "Insert Row" and "Delete Row" on the focus cell, and "Reset to Defaults". A typed text
// the editor's cell check refuses, and OK on a table its table check refuses, are told
// in a message, with the cell to fix as the focus cell; the dialog stays open.
class GridEditorDialog : public QDialog {
    Q_OBJECT
public:
    // The ids of the popup menu's commands.
    static constexpr int kInsertRowId = 32776;
    static constexpr int kDeleteRowId = 32778;

    // The popup menu, as it is shown.
    QMenu* rowMenu() const { return m_menu; }

    // Insert Row: a new row before the focus cell's row, or at the end without one.
    void OnInsertRow();
    // Delete Row: removes the focus cell's row, if it is a data row.
    void OnDeleteRow();
    // Reset to Defaults: the grid shows the default rows (kept only on OK), each a new
    // row that began as none of those shown before.
    void OnResetToDefaults();
    // OK: closes the dialog unless the table check refuses the grid.
    void accept() override;

protected:
    GridEditorDialog(UserChoices& choices, QWidget* parent);

    // Puts the headers and rows into grid (which the dialog's form made) and sizes it;
    // reset is the form's Reset to Defaults button.
    void SetUpGrid(GridCtrl* grid, const std::vector<std::string>& headers, const TableRows& rows,
                   QAbstractButton* reset);

    // The row that Insert Row puts before data row `before` (0-based; rows.size()
    // appends).
    virtual TableRow RowToInsert(const TableRows& rows, std::size_t before) const = 0;
    // The columns that take a newly chosen colour as background; the colour cell is
    // always column 1.
    virtual std::vector<int> ColumnsTakingColour() const = 0;
    // What a cell of a column may hold, and when OK takes the whole table.
    virtual Status CheckCell(std::size_t column, std::string_view text) const = 0;
    virtual std::optional<TableRefusal> CheckTable(const TableRows& rows) const = 0;
    // What Reset to Defaults shows.
    virtual TableRows DefaultRows() const = 0;

private:
    void OnDoubleClicked(int row, int column);
    void ShowRows(const TableRows& rows);
    void Refuse(const QString& why);

    UserChoices& m_choices;
    GridCtrl* m_grid = nullptr;
    QMenu* m_menu;
};

}  // namespace gw
