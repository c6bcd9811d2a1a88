#pragma once

#include "gdalio/DemImport.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QWidget;

namespace Ui {
class ImportDemDialog;
}

namespace gw {

class UserChoices;

// "Import DEM": the rasters to import and the DEM to make of them. Add... picks source
// files (several at once, each listed once, in the order added; a later source wins where
// they overlap), Remove drops the selected ones, Browse... picks the output header with a
// save dialog. OK checks the entries first and, when they do not make an import, says
// what is wrong in a message box and stays open on the entry to fix: there must be a
// source and an output header ending in ".hdr"; the bounds are all four empty (the union
// of the sources) or all four numbers, West below East within -360..360 and at most 360
// apart, South below North within -90..90; the spacing is empty (the sources' finest) or
// a positive number.
// Numbers are read alike in every locale ("0.5"); an empty title leaves the output's name.
class ImportDemDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportDemDialog(UserChoices& choices, QWidget* parent = nullptr);
    ~ImportDemDialog() override;

    // The import the entries describe, as OK read them.
    const gdalio::DemImportOptions& options() const { return m_options; }

    void accept() override;

private:
    void OnAddSources();
    void OnRemoveSources();
    void OnChooseOutput();
    // Reads the entries into m_options; false, after saying why, when they make no import.
    bool ReadEntries();
    bool ReadBounds(gdalio::DemImportOptions& options);
    // Shows text and puts the focus on the entry to fix; always false.
    bool Refuse(QWidget* entry, const QString& text);

    std::unique_ptr<Ui::ImportDemDialog> m_ui;
    UserChoices& m_choices;
    gdalio::DemImportOptions m_options;
};

}  // namespace gw
