#include "gui/features/ImportDemDialog.h"

#include "gui/common/UserChoices.h"
#include "ui_ImportDemDialog.h"
#include "core/util/CNumbers.h"

#include <array>
#include <cmath>

namespace gw {
namespace {

// The resampling of each entry of the combo box, in its order.
constexpr std::array kResamplings = {gdalio::Resampling::kBilinear, gdalio::Resampling::kAverage,
                                     gdalio::Resampling::kNearest, gdalio::Resampling::kCubic};

const FileQuestion kSourceQuestion{
    QStringLiteral("Add Sources"),
    {QStringLiteral("Elevation Rasters (*.tif *.tiff *.dem *.dt0 *.dt1 *.dt2 *.hgt *.asc *.bil *.flt *.img *.nc "
                    "*.grd *.vrt)"),
     QStringLiteral("All Files (*)")},
    {}};
const FileQuestion kOutputQuestion{QStringLiteral("Import DEM"),
                                   {QStringLiteral("Gridwr Files (*.hdr)"), QStringLiteral("All Files (*)")},
                                   QStringLiteral("hdr")};

}  // namespace

ImportDemDialog::ImportDemDialog(UserChoices& choices, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ImportDemDialog>()), m_choices(choices) {
    m_ui->setupUi(this);
    m_ui->removeSourceButton->setEnabled(false);
    connect(m_ui->addSourceButton, &QPushButton::clicked, this, &ImportDemDialog::OnAddSources);
    connect(m_ui->removeSourceButton, &QPushButton::clicked, this, &ImportDemDialog::OnRemoveSources);
    connect(m_ui->outputButton, &QPushButton::clicked, this, &ImportDemDialog::OnChooseOutput);
    connect(m_ui->sourceList, &QListWidget::itemSelectionChanged, this,
            [this] { m_ui->removeSourceButton->setEnabled(!m_ui->sourceList->selectedItems().isEmpty()); });
}

ImportDemDialog::~ImportDemDialog() = default;

void ImportDemDialog::OnAddSources() {
    for (const QString& path : m_choices.ChooseOpenFiles(this, kSourceQuestion)) {
        if (m_ui->sourceList->findItems(path, Qt::MatchExactly).isEmpty()) m_ui->sourceList->addItem(path);
    }
}

void ImportDemDialog::OnRemoveSources() { qDeleteAll(m_ui->sourceList->selectedItems()); }

void ImportDemDialog::OnChooseOutput() {
    const QString path = m_choices.ChooseSaveFile(this, kOutputQuestion);
    if (!path.isEmpty()) m_ui->outputEdit->setText(path);
}

void ImportDemDialog::accept() {
    if (ReadEntries()) QDialog::accept();
}

bool ImportDemDialog::Refuse(QWidget* entry, const QString& text) {
    m_choices.ShowMessage(this, text, UserChoices::MessageKind::kWarning);
    entry->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(entry)) edit->selectAll();
    return false;
}

bool ImportDemDialog::ReadEntries() {
    gdalio::DemImportOptions options;
    if (m_ui->sourceList->count() == 0) return Refuse(m_ui->addSourceButton, tr("Add the rasters to import."));
    for (int i = 0; i < m_ui->sourceList->count(); ++i) {
        options.sources.push_back(m_ui->sourceList->item(i)->text().toStdString());
    }
    if (!ReadBounds(options)) return false;
    if (const QString spacing = m_ui->spacingEdit->text().trimmed(); !spacing.isEmpty()) {
        double degrees = 0.0;
        if (!ParseWholeDouble(spacing.toStdString(), degrees) || degrees <= 0.0) {
            return Refuse(m_ui->spacingEdit,
                          tr("The spacing must be a positive number of degrees, not \u201c%1\u201d.").arg(spacing));
        }
        options.spacing = degrees;
    }
    options.resampling = kResamplings.at(std::size_t(m_ui->resamplingCombo->currentIndex()));
    options.title = m_ui->titleEdit->text().trimmed().toStdString();
    const QString output = m_ui->outputEdit->text();
    if (output.isEmpty()) return Refuse(m_ui->outputButton, tr("Choose the output header with Browse."));
    // The raster goes beside the header under its name with ".bin" for ".hdr".
    if (!output.endsWith(QLatin1String(".hdr"))) {
        return Refuse(m_ui->outputButton, tr("The output header's name must end in .hdr: %1").arg(output));
    }
    options.output = output.toStdString();
    m_options = std::move(options);
    return true;
}

bool ImportDemDialog::ReadBounds(gdalio::DemImportOptions& options) {
    struct Bound {
        QLineEdit* edit;
        QString name;
        double limit;
    };
    // Longitudes beyond 180 make a DEM across the antimeridian.
    const std::array<Bound, 4> bounds = {Bound{m_ui->westEdit, tr("West"), 360.0},
                                         Bound{m_ui->southEdit, tr("South"), 90.0},
                                         Bound{m_ui->eastEdit, tr("East"), 360.0},
                                         Bound{m_ui->northEdit, tr("North"), 90.0}};
    QLineEdit* firstEmpty = nullptr;
    int given = 0;
    for (const Bound& bound : bounds) {
        if (!bound.edit->text().trimmed().isEmpty()) {
            ++given;
        } else if (!firstEmpty) {
            firstEmpty = bound.edit;
        }
    }
    if (given == 0) return true;
    if (given < 4) {
        return Refuse(firstEmpty, tr("Give all four bounds, or leave all four empty to cover every source."));
    }
    std::array<double, 4> degrees{};
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        const QString text = bounds[i].edit->text().trimmed();
        if (!ParseWholeDouble(text.toStdString(), degrees[i])) {
            return Refuse(bounds[i].edit,
                          tr("%1 must be a number of degrees, not \u201c%2\u201d.").arg(bounds[i].name, text));
        }
        if (std::fabs(degrees[i]) > bounds[i].limit) {
            return Refuse(bounds[i].edit,
                          tr("%1 must lie between -%2 and %2 degrees.").arg(bounds[i].name).arg(bounds[i].limit));
        }
    }
    const auto [west, south, east, north] = degrees;
    if (west >= east) return Refuse(m_ui->westEdit, tr("West must be less than East."));
    if (east - west > 360.0) return Refuse(m_ui->westEdit, tr("West and East must lie at most 360 degrees apart."));
    if (south >= north) return Refuse(m_ui->southEdit, tr("South must be less than North."));
    options.bounds = gdalio::GeoBounds{west, south, east, north};
    return true;
}

}  // namespace gw
