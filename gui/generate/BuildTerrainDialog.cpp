#include "gui/generate/BuildTerrainDialog.h"

#include "ui_BuildTerrainDialog.h"

namespace gw {

BuildTerrainDialog::BuildTerrainDialog(const BuildOptions& options, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::BuildTerrainDialog>()), m_options(options) {
    m_ui->setupUi(this);
    m_ui->meaFile->setChecked(options.mea);
    m_ui->mapFile->setChecked(options.map);
    m_ui->largeTerrain->setChecked(options.large);
    m_ui->description->setChecked(options.description);
    m_ui->tdfFiles->setChecked(options.tdf);
    m_ui->objectives->setChecked(options.objectives);
}

BuildTerrainDialog::~BuildTerrainDialog() = default;

BuildOptions BuildTerrainDialog::options() const {
    BuildOptions options = m_options;
    options.mea = m_ui->meaFile->isChecked();
    options.map = m_ui->mapFile->isChecked();
    options.large = m_ui->largeTerrain->isChecked();
    options.description = m_ui->description->isChecked();
    options.tdf = m_ui->tdfFiles->isChecked();
    options.objectives = m_ui->objectives->isChecked();
    return options;
}

}  // namespace gw
