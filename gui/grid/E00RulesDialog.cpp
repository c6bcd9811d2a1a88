#include "gui/grid/E00RulesDialog.h"

#include "ui_E00RulesDialog.h"


namespace gw {

E00RulesDialog::E00RulesDialog(const E00Rules& rules, UserChoices& choices, QWidget* parent)
    : GridEditorDialog(choices, parent), m_ui(std::make_unique<Ui::E00RulesDialog>()), m_opened(rules) {
    m_ui->setupUi(this);
    TableRows rows;
    for (const E00Rule& rule : rules) rows.push_back(E00RuleCells(rule));
    SetUpGrid(m_ui->grid, E00RuleHeaders(), rows, m_ui->resetButton);
    // The rows' header items, hidden, go with them through inserts and deletes and say
    // which rule each row began as.
    for (int row = 0; row < int(rules.size()); ++row) SetOrigin(row, row);
    connect(m_ui->resetButton, &QAbstractButton::clicked, this, &E00RulesDialog::MatchOriginsByFile);
}

void E00RulesDialog::SetOrigin(int row, std::int32_t origin) {
    auto* item = new QTableWidgetItem();
    item->setData(Qt::UserRole, origin);
    m_ui->grid->setVerticalHeaderItem(row, item);
}

void E00RulesDialog::MatchOriginsByFile() {
    const E00Rules shown = rules();
    for (int row = 0; row < int(shown.size()); ++row) {
        if (const std::optional<std::int32_t> same = RuleForCoverage(m_opened, shown[row].File)) SetOrigin(row, *same);
    }
}

E00RulesDialog::~E00RulesDialog() = default;

E00Rules E00RulesDialog::rules() const { return E00RulesFromTable(m_ui->grid->DataRows()); }

std::vector<std::optional<std::int32_t>> E00RulesDialog::origins() const {
    std::vector<std::optional<std::int32_t>> origins;
    for (int row = 0; row < m_ui->grid->rowCount(); ++row) {
        const QTableWidgetItem* origin = m_ui->grid->verticalHeaderItem(row);
        origins.push_back(origin ? std::optional<std::int32_t>(origin->data(Qt::UserRole).toInt()) : std::nullopt);
    }
    return origins;
}

GridCtrl* E00RulesDialog::grid() const { return m_ui->grid; }

TableRows E00RulesDialog::DefaultRows() const {
    TableRows rows;
    for (const E00Rule& rule : BuiltInE00Rules()) rows.push_back(E00RuleCells(rule));
    return rows;
}

TableRow E00RulesDialog::RowToInsert(const TableRows&, std::size_t) const { return NewE00RuleCells(); }

}  // namespace gw
