#include "gui/features/E00RuleChoiceDialog.h"

#include "ui_E00RuleChoiceDialog.h"

#include <QPushButton>

namespace gw {
namespace {

// A square of the rule's colour (red in the low byte).
QIcon Swatch(std::uint32_t colour) {
    QPixmap square(12, 12);
    square.fill(QColor(int(colour & 0xffu), int((colour >> 8) & 0xffu), int((colour >> 16) & 0xffu)));
    return QIcon(square);
}

}  // namespace

E00RuleChoiceDialog::E00RuleChoiceDialog(const QString& layer, const QString& file, const E00Rules& rules,
                                         QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::E00RuleChoiceDialog>()) {
    m_ui->setupUi(this);
    m_ui->questionLabel->setText(
        tr("No E00 rule names the layer \u201c%1\u201d of %2. Choose the rule to load its features under, or "
           "skip the layer.")
            .arg(layer, file));
    for (const E00Rule& rule : rules) {
        auto* row = new QTreeWidgetItem(m_ui->ruleList, {QString::fromStdString(rule.Keyword),
                                                         QString::fromStdString(rule.File),
                                                         rule.Label ? tr("points") : tr("lines")});
        row->setIcon(0, Swatch(rule.Colour));
    }
    for (int column = 0; column < m_ui->ruleList->columnCount(); ++column) {
        m_ui->ruleList->resizeColumnToContents(column);
    }
    m_ui->ruleList->setCurrentItem(m_ui->ruleList->topLevelItem(0));
    QPushButton* load = m_ui->buttonBox->button(QDialogButtonBox::Ok);
    load->setText(tr("&Load"));
    load->setEnabled(!rules.empty());
    m_ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("&Skip"));
    connect(m_ui->ruleList, &QTreeWidget::itemActivated, this, &QDialog::accept);
}

E00RuleChoiceDialog::~E00RuleChoiceDialog() = default;

std::optional<std::int32_t> E00RuleChoiceDialog::rule() const {
    const int row = m_ui->ruleList->indexOfTopLevelItem(m_ui->ruleList->currentItem());
    if (row < 0) return std::nullopt;
    return row;
}

QTreeWidget* E00RuleChoiceDialog::ruleList() const { return m_ui->ruleList; }

}  // namespace gw
