#include "gui/layout/PreviewSizeDialog.h"

#include "ui_PreviewSizeDialog.h"
#include "core/util/CNumbers.h"

#include <QMessageBox>
#include <QRegularExpressionValidator>

namespace gw {

PreviewSizeDialog::PreviewSizeDialog(PreviewSize current, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PreviewSizeDialog>()), m_current(current), m_height(current.height),
      m_chosen(current) {
    m_ui->setupUi(this);
    // Digits only, whatever the locale's group separators: the text is read as C reads it.
    m_ui->heightEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+-]?[0-9]{0,10}")), this));
    m_ui->heightEdit->setText(QString::number(current.height));
    m_ui->widthEdit->setText(QString::number(current.width));
    m_ui->heightEdit->selectAll();
    connect(m_ui->heightEdit, &QLineEdit::textEdited, this, &PreviewSizeDialog::OnHeightEdited);
}

PreviewSizeDialog::~PreviewSizeDialog() = default;

void PreviewSizeDialog::OnHeightEdited(const QString& text) {
    if (!ParseWholeInt(text.toStdString(), m_height)) return;
    ShowWidthFor(m_height);
}

void PreviewSizeDialog::ShowWidthFor(std::int32_t height) {
    PreviewSize resized;
    const bool fits = ResizePreview(m_current, height, resized).ok();
    m_ui->widthEdit->setText(fits ? QString::number(resized.width) : QString());
}

void PreviewSizeDialog::accept() {
    std::int32_t height = 0;
    if (!ParseWholeInt(m_ui->heightEdit->text().toStdString(), height)) {
        QMessageBox::warning(this, QStringLiteral("Gridwright"), tr("Please enter an integer."));
        m_ui->heightEdit->setText(QString::number(m_height));
        ShowWidthFor(m_height);
        m_ui->heightEdit->setFocus();
        m_ui->heightEdit->selectAll();
        return;
    }
    const Status status = ResizePreview(m_current, height, m_chosen);
    if (!status.ok()) {
        QMessageBox::warning(this, QStringLiteral("Gridwright"),
                             tr("The preview cannot take this size: %1.").arg(QString::fromStdString(status.message())));
        m_ui->heightEdit->setFocus();
        m_ui->heightEdit->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace gw
