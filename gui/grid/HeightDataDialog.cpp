#include "gui/grid/HeightDataDialog.h"

#include "ui_HeightDataDialog.h"

namespace gw {

namespace {

TableRows RowsOf(const HeightTable& heights) {
    TableRows rows;
    for (const HeightRow& row : heights.rows()) rows.push_back(HeightRowCells(row));
    return rows;
}

}  // namespace

HeightDataDialog::HeightDataDialog(const HeightTable& heights, UserChoices& choices, QWidget* parent)
    : GridEditorDialog(choices, parent), m_ui(std::make_unique<Ui::HeightDataDialog>()) {
    m_ui->setupUi(this);
    SetUpGrid(m_ui->grid, HeightHeaders(), RowsOf(heights), m_ui->resetButton);
}

HeightDataDialog::~HeightDataDialog() = default;

std::vector<HeightRow> HeightDataDialog::rows() const { return HeightRowsFromTable(m_ui->grid->DataRows()); }

GridCtrl* HeightDataDialog::grid() const { return m_ui->grid; }

TableRows HeightDataDialog::DefaultRows() const { return RowsOf(HeightTable()); }

TableRow HeightDataDialog::RowToInsert(const TableRows& rows, std::size_t before) const {
    return InsertedHeightCells(rows, before);
}

}  // namespace gw
