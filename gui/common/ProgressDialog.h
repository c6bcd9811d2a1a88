#pragma once

#include "core/progress/Progress.h"
#include "core/progress/ProgressState.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <memory>

namespace Ui {
class ProgressDialog;
}

namespace gw {

// The "Please Wait" dialog of a long job: a status line, a bar, a percentage and a
// Cancel button. It is modeless and keeps the program alive while the job runs on the
// user-interface thread: SetPos, StepIt and CheckCancelButton process pending events
// (at most once every kPumpInterval, so that a fast job does not spend its time
// there). Cancel, Escape and the close box only raise the flag that
// CheckCancelButton reads; Enter does nothing. While the dialog is up its owner is
// disabled, so no other command can start.
class ProgressDialog : public QDialog, public Progress {
    Q_OBJECT
public:
    static constexpr int kPumpIntervalMs = 30;

    // A dialog for a job of owner's window; nothing is shown yet. The dialog is a
    // window of its own, not a child of owner: disabling owner must leave it usable.
    explicit ProgressDialog(QWidget* owner);
    ~ProgressDialog() override;

    // Shows the dialog over its owner and disables the owner when it was enabled.
    void Create();
    // Enables the owner again if Create disabled it, and hides the dialog. The
    // destructor does the same.
    void DestroyWindow();

    void SetStatus(const std::string& text) override;
    void SetRange(int lower, int upper) override;
    void SetStep(int step) override;
    int SetPos(int pos) override;
    int StepIt() override;
    bool CheckCancelButton() override;

    // Enter does nothing; Cancel, Escape and the close box raise the cancel flag.
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Processes pending events, unless that was done less than kPumpIntervalMs ago.
    void PumpMessages();
    // Moves the bar and rewrites the percentage when its text changed.
    void ShowState();

    std::unique_ptr<Ui::ProgressDialog> m_ui;
    QPointer<QWidget> m_owner;
    ProgressState m_state;
    std::string m_shownPercent = " 0 %";
    bool m_cancel = false;
    bool m_ownerDisabled = false;
    QElapsedTimer m_sincePump;
};

}  // namespace gw
