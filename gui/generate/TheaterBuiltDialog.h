#pragma once

#include "core/generate/TheaterSummary.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TheaterBuiltDialog;
}

namespace gw {

class UserChoices;

// "Theater Built": what a Generate run wrote and found, as the command line's summary
// tells it, with "Open Folder" for the folder of the theater.
class TheaterBuiltDialog : public QDialog {
    Q_OBJECT
public:
    TheaterBuiltDialog(const TheaterSummary& summary, const QString& folder, UserChoices& choices,
                       QWidget* parent = nullptr);
    ~TheaterBuiltDialog() override;

private:
    std::unique_ptr<Ui::TheaterBuiltDialog> m_ui;
};

}  // namespace gw
