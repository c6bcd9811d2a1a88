#include "gui/grid/E00RulesDialog.h"

#include "ui_E00RulesDialog.h"

namespace gw {

E00RulesDialog::E00RulesDialog(const E00Rules& rules, UserChoices& choices, QWidget* parent)
    : GridEditorDialog(choices, parent), m_ui(std::make_unique<Ui::E00RulesDialog>()) {
    m_ui->setupUi(this);
    TableRows rows;
    for (const E00Rule& rule : rules) rows.push_back(E00RuleCells(rule));
    SetUpGrid(m_ui->grid, E00RuleHeaders(), rows, m_ui->resetButton);
}

E00RulesDialog::~E00RulesDialog() = default;

E00Rules E00RulesDialog::rules() const { return E00RulesFromTable(m_ui->grid->DataRows()); }

GridCtrl* E00RulesDialog::grid() const { return m_ui->grid; }

TableRows E00RulesDialog::DefaultRows() const {
    TableRows rows;
    for (const E00Rule& rule : BuiltInE00Rules()) rows.push_back(E00RuleCells(rule));
    return rows;
}

TableRow E00RulesDialog::RowToInsert(const TableRows&, std::size_t) const { return NewE00RuleCells(); }

}  // namespace gw
