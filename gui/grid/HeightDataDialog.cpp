#include "gui/grid/HeightDataDialog.h"

#include "ui_HeightDataDialog.h"

namespace gw {

HeightDataDialog::HeightDataDialog(const HeightTable& heights, UserChoices& choices, QWidget* parent)
    : GridEditorDialog(choices, parent), m_ui(std::make_unique<Ui::HeightDataDialog>()) {
    m_ui->setupUi(this);
    TableRows rows;
    for (const HeightRow& row : heights.rows()) rows.push_back(HeightRowCells(row));
    SetUpGrid(m_ui->grid, HeightHeaders(), rows);
}

HeightDataDialog::~HeightDataDialog() = default;

std::vector<HeightRow> HeightDataDialog::rows() const { return HeightRowsFromTable(m_ui->grid->DataRows()); }

GridCtrl* HeightDataDialog::grid() const { return m_ui->grid; }

TableRow HeightDataDialog::RowToInsert(const TableRows& rows, std::size_t before) const {
    return InsertedHeightCells(rows, before);
}

}  // namespace gw
