#pragma once

#include "core/layout/PreviewSize.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PreviewSizeDialog;
}

namespace gw {

// The Preview Size dialog (template 130): the user gives the preview's height and the
// width follows in the preview's proportions. OK takes only a height that makes a
// picture ResizePreview accepts; otherwise it says why and the dialog stays open.
class PreviewSizeDialog : public QDialog {
    Q_OBJECT
public:
    // REQUIRES: current is the preview's size as shown now.
    explicit PreviewSizeDialog(PreviewSize current, QWidget* parent = nullptr);
    ~PreviewSizeDialog() override;

    // The size chosen; meaningful once the dialog was accepted.
    PreviewSize chosen() const { return m_chosen; }

    void accept() override;

private:
    void OnHeightEdited(const QString& text);
    void ShowWidthFor(std::int32_t height);

    std::unique_ptr<Ui::PreviewSizeDialog> m_ui;
    PreviewSize m_current;
    // The last height the box held as a whole number.
    std::int32_t m_height;
    PreviewSize m_chosen;
};

}  // namespace gw
