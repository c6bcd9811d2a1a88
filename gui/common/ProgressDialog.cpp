#include "gui/common/ProgressDialog.h"

#include "ui_ProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWindow>

namespace gw {

ProgressDialog::ProgressDialog(QWidget* owner)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::ProgressDialog>()),
      m_owner(owner ? owner->window() : nullptr) {
    m_ui->setupUi(this);
    setObjectName("progressDialog");
    setModal(false);
    m_ui->progressBar->setRange(0, 100);
    m_ui->progressBar->setValue(0);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &ProgressDialog::reject);
}

ProgressDialog::~ProgressDialog() { DestroyWindow(); }

void ProgressDialog::Create() {
    if (m_owner) {
        if (m_owner->isEnabled()) {
            m_owner->setEnabled(false);
            m_ownerDisabled = true;
        }
        // Kept above its owner by the window manager, and centred over it.
        winId();
        if (QWindow* ownerWindow = m_owner->windowHandle()) windowHandle()->setTransientParent(ownerWindow);
        adjustSize();
        move(m_owner->geometry().center() - rect().center());
    }
    show();
    QCoreApplication::processEvents();
    m_sincePump.start();
}

void ProgressDialog::DestroyWindow() {
    if (m_ownerDisabled && m_owner) m_owner->setEnabled(true);
    m_ownerDisabled = false;
    hide();
}

void ProgressDialog::SetStatus(const std::string& text) { m_ui->statusLine->setText(QString::fromStdString(text)); }

void ProgressDialog::SetRange(int lower, int upper) {
    m_state.SetRange(lower, upper);
    // An empty range would make the bar a busy indicator.
    m_ui->progressBar->setRange(lower, upper > lower ? upper : lower + 1);
}

void ProgressDialog::SetStep(int step) { m_state.SetStep(step); }

int ProgressDialog::SetPos(int pos) {
    PumpMessages();
    const int previous = m_state.SetPos(pos);
    ShowState();
    return previous;
}

int ProgressDialog::StepIt() {
    PumpMessages();
    const int previous = m_state.StepIt();
    ShowState();
    return previous;
}

bool ProgressDialog::CheckCancelButton() {
    PumpMessages();
    const bool pressed = m_cancel;
    m_cancel = false;
    return pressed;
}

void ProgressDialog::accept() {}

void ProgressDialog::reject() { m_cancel = true; }

void ProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_cancel = true;
}

void ProgressDialog::PumpMessages() {
    if (m_sincePump.isValid() && m_sincePump.elapsed() < kPumpIntervalMs) return;
    QCoreApplication::processEvents();
    m_sincePump.start();
}

void ProgressDialog::ShowState() {
    // The bar repaints only when it moves by a pixel, and the text changes at most a
    // hundred times a round: a step costs little here.
    if (m_ui->progressBar->value() != m_state.pos()) m_ui->progressBar->setValue(m_state.pos());
    if (m_shownPercent != m_state.percentText()) {
        m_shownPercent = m_state.percentText();
        m_ui->percentText->setText(QString::fromStdString(m_shownPercent));
    }
}

}  // namespace gw
