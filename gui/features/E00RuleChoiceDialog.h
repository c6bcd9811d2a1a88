#pragma once

#include "core/features/E00Rules.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

class QTreeWidget;

namespace Ui {
class E00RuleChoiceDialog;
}

namespace gw {

// "Choose E00 Rule": the rule to load a vector layer under that no rule names. The rules
// are listed in table order by keyword, with their File and what they take (points or
// lines), each marked in its colour; the first is current. Load (OK, or a double-click on
// a rule) takes the current rule; Skip (Cancel) takes none.
class E00RuleChoiceDialog : public QDialog {
    Q_OBJECT
public:
    E00RuleChoiceDialog(const QString& layer, const QString& file, const E00Rules& rules,
                        QWidget* parent = nullptr);
    ~E00RuleChoiceDialog() override;

    // The current rule's position in the table; none when the table is empty.
    std::optional<std::int32_t> rule() const;
    QTreeWidget* ruleList() const;

private:
    std::unique_ptr<Ui::E00RuleChoiceDialog> m_ui;
};

}  // namespace gw
