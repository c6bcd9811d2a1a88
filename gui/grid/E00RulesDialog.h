#pragma once

#include "core/features/E00Rules.h"
#include "gui/grid/GridEditorDialog.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class E00RulesDialog;
}

namespace gw {

class GridCtrl;

// "Edit E00 Rules": one grid row per rule, the colour cell painted in the rule's colour
// and chosen with a double-click; Insert Row adds "XXX.E00" without a colour. Reset to
// Defaults shows the built-in rules, each taking the place of the first rule the dialog
// opened with for the same coverage (case aside), so features loaded with that rule
// keep it.
class E00RulesDialog : public GridEditorDialog {
    Q_OBJECT
public:
    E00RulesDialog(const E00Rules& rules, UserChoices& choices, QWidget* parent = nullptr);
    ~E00RulesDialog() override;

    // The rules as the grid stands, one per data row (what OK stores).
    E00Rules rules() const;
    // For each data row, the position of the rule it shows in the table the dialog was
    // opened with; none for a row inserted since (see RenumberingFromOrigins).
    std::vector<std::optional<std::int32_t>> origins() const;
    GridCtrl* grid() const;

protected:
    TableRow RowToInsert(const TableRows& rows, std::size_t before) const override;
    std::vector<int> ColumnsTakingColour() const override { return {int(kE00ColourColumn)}; }
    Status CheckCell(std::size_t column, std::string_view text) const override {
        return CheckE00RuleCell(column, text);
    }
    std::optional<TableRefusal> CheckTable(const TableRows& rows) const override { return CheckE00RuleTable(rows); }
    // The built-in rules.
    TableRows DefaultRows() const override;

private:
    void SetOrigin(int row, std::int32_t origin);
    // After Reset to Defaults: each row's origin by its coverage.
    void MatchOriginsByFile();

    std::unique_ptr<Ui::E00RulesDialog> m_ui;
    E00Rules m_opened;
};

}  // namespace gw
