#pragma once

#include "gui/grid/GridEditorDialog.h"
#include "core/layout/HeightTable.h"

#include <memory>

namespace Ui {
class HeightDataDialog;
}

namespace gw {

class GridCtrl;

// "Height Data": one grid row per altitude band, every cell on the band's colour; a new
// row takes the altitude halfway between its neighbours. Reset to Defaults shows the
// default bands.
class HeightDataDialog : public GridEditorDialog {
    Q_OBJECT
public:
    HeightDataDialog(const HeightTable& heights, UserChoices& choices, QWidget* parent = nullptr);
    ~HeightDataDialog() override;

    // The bands as the grid stands, in grid order (what OK stores).
    std::vector<HeightRow> rows() const;
    GridCtrl* grid() const;

protected:
    TableRow RowToInsert(const TableRows& rows, std::size_t before) const override;
    std::vector<int> ColumnsTakingColour() const override {
        return {int(kHeightAltitudeColumn), int(kHeightColourColumn), int(kHeightTileColumn)};
    }
    Status CheckCell(std::size_t column, std::string_view text) const override {
        return CheckHeightCell(column, text);
    }
    std::optional<TableRefusal> CheckTable(const TableRows& rows) const override { return CheckHeightTable(rows); }
    // The nine default bands.
    TableRows DefaultRows() const override;

private:
    std::unique_ptr<Ui::HeightDataDialog> m_ui;
};

}  // namespace gw
