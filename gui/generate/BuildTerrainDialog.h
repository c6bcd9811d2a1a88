#pragma once

#include "core/generate/Generate.h"

#include <QDialog>

#include <memory>

namespace Ui {
class BuildTerrainDialog;
}

namespace gw {

// The "Build Terrain" dialog: which files a Generate run writes besides the tile and
// index files.
class BuildTerrainDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog with its boxes ticked as options says.
    explicit BuildTerrainDialog(const BuildOptions& options, QWidget* parent = nullptr);
    ~BuildTerrainDialog() override;

    // options as the boxes stand (what the constructor was given, boxes aside).
    BuildOptions options() const;

private:
    std::unique_ptr<Ui::BuildTerrainDialog> m_ui;
    BuildOptions m_options;
};

}  // namespace gw
