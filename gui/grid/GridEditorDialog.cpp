#include "gui/grid/GridEditorDialog.h"

#include "gui/common/UserChoices.h"
#include "gui/grid/GridCtrl.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>

namespace gw {

namespace {

constexpr int kColourColumn = 1;

}  // namespace

GridEditorDialog::GridEditorDialog(UserChoices& choices, QWidget* parent)
    : QDialog(parent), m_choices(choices), m_menu(new QMenu(QStringLiteral("_POPUP_"), this)) {
    m_menu->setObjectName("rowMenu");
    QAction* insert = m_menu->addAction(tr("&Insert Row"));
    insert->setObjectName("actionInsertRow");
    insert->setStatusTip(tr("Insert Row"));
    insert->setData(kInsertRowId);
    QAction* remove = m_menu->addAction(tr("&Delete Row"));
    remove->setObjectName("actionDeleteRow");
    remove->setStatusTip(tr("Delete Row"));
    remove->setData(kDeleteRowId);
    connect(insert, &QAction::triggered, this, &GridEditorDialog::OnInsertRow);
    connect(remove, &QAction::triggered, this, &GridEditorDialog::OnDeleteRow);
}

void GridEditorDialog::SetUpGrid(GridCtrl* grid, const std::vector<std::string>& headers, const TableRows& rows,
                                 QAbstractButton* reset) {
    m_grid = grid;
    grid->SetSize(1, int(headers.size()));
    for (std::size_t column = 0; column < headers.size(); ++column) {
        grid->SetItemText(0, int(column), QString::fromStdString(headers[column]));
    }
    ShowRows(rows);
    grid->SetCellCheck([this](int column, const QString& text) {
        return CheckCell(std::size_t(column), text.toStdString());
    });
    connect(grid, &GridCtrl::cellRefused, this, [this](int, int, const QString& why) { Refuse(why); });
    connect(grid, &GridCtrl::gridDoubleClicked, this, &GridEditorDialog::OnDoubleClicked);
    connect(grid, &GridCtrl::gridContextMenu, this, [this](const QPoint& at) { m_menu->exec(at); });
    connect(reset, &QAbstractButton::clicked, this, &GridEditorDialog::OnResetToDefaults);
}

void GridEditorDialog::ShowRows(const TableRows& rows) {
    m_grid->clearContents();
    for (int row = 0; row < m_grid->rowCount(); ++row) delete m_grid->takeVerticalHeaderItem(row);
    m_grid->SetSize(1 + int(rows.size()), m_grid->columnCount());
    for (std::size_t row = 0; row < rows.size(); ++row) m_grid->SetRow(1 + int(row), rows[row]);
    m_grid->AutoSize();
}

void GridEditorDialog::OnResetToDefaults() { ShowRows(DefaultRows()); }

void GridEditorDialog::accept() {
    if (const std::optional<TableRefusal> refused = CheckTable(m_grid->DataRows())) {
        m_grid->SetFocusCell(1 + int(refused->row), int(refused->column));
        Refuse(QString::fromStdString(refused->why.message()));
        return;
    }
    QDialog::accept();
}

void GridEditorDialog::Refuse(const QString& why) {
    m_choices.ShowMessage(this, why, UserChoices::MessageKind::kWarning);
    m_grid->setFocus();
}

void GridEditorDialog::OnInsertRow() {
    const TableRows rows = m_grid->DataRows();
    const int focusRow = m_grid->GetFocusCell().row;
    const bool append = focusRow < 1;
    const TableRow cells = RowToInsert(rows, append ? rows.size() : std::size_t(focusRow - 1));
    const int row = m_grid->InsertRow(append ? -1 : focusRow);
    if (row < 0) return;
    m_grid->SetRow(row, cells);
    m_grid->AutoSizeRow(row);
}

void GridEditorDialog::OnDeleteRow() {
    m_grid->DeleteRow(m_grid->GetFocusCell().row);
}

void GridEditorDialog::OnDoubleClicked(int row, int column) {
    if (row < 1 || column != kColourColumn) return;
    const std::optional<std::uint32_t> colour =
        m_choices.ChooseColour(this, m_grid->GetItemBkColour(row, column) & 0xffffffu);
    if (!colour) return;
    m_grid->SetItemText(row, column, QString::fromStdString(FormatRgb(*colour)));
    for (int coloured : ColumnsTakingColour()) m_grid->SetItemBkColour(row, coloured, *colour);
}

}  // namespace gw
