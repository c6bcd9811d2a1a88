#include "gui/generate/TheaterBuiltDialog.h"

#include "gui/common/UserChoices.h"
#include "ui_TheaterBuiltDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QUrl>

namespace gw {
namespace {

QTreeWidgetItem* Section(QTreeWidget* tree, const QString& title) {
    auto* section = new QTreeWidgetItem(tree, {title});
    QFont bold = section->font(0);
    bold.setBold(true);
    section->setFont(0, bold);
    return section;
}

void Fact(QTreeWidgetItem* section, const QString& name, const QString& value) {
    new QTreeWidgetItem(section, {name, value});
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TheaterBuiltDialog::TheaterBuiltDialog(const TheaterSummary& summary, const QString& folder, UserChoices& choices,
                                       QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TheaterBuiltDialog>()) {
    m_ui->setupUi(this);
    const QLocale locale;
    m_ui->summaryLabel->setText(
        (summary.cancelled ? tr("The run was cancelled. These files are in %1:") : tr("The theater is in %1:"))
            .arg(QDir::toNativeSeparators(folder)));
    QTreeWidget* tree = m_ui->factsTree;
    QTreeWidgetItem* files = Section(tree, tr("Files"));
    for (const SummaryFile& file : summary.files) {
        const QString size = tr("%1 bytes").arg(locale.toString(qlonglong(file.bytes)));
        Fact(files, QFileInfo(Text(file.path)).fileName(),
             file.kept ? tr("%1, kept from the earlier run").arg(size) : size);
    }
    if (!summary.features.empty()) {
        QTreeWidgetItem* features = Section(tree, tr("Features"));
        for (const auto& [keyword, count] : summary.features) {
            Fact(features, Text(keyword),
                 tr("%1 loaded, %2 on the theater").arg(qulonglong(count.loaded)).arg(qulonglong(count.onTheater)));
        }
    }
    if (summary.objectives || summary.lowestPoint) {
        QTreeWidgetItem* theater = Section(tree, tr("Theater"));
        if (summary.objectives) Fact(theater, tr("Objectives"), locale.toString(qlonglong(*summary.objectives)));
        if (summary.lowestPoint) {
            Fact(theater, tr("Lowest point"), tr("%1 ft").arg(*summary.lowestPoint));
            Fact(theater, tr("Highest point"), tr("%1 ft").arg(*summary.highestPoint));
        }
    }
    if (!summary.shortfalls.empty() || !summary.warnings.empty()) {
        QTreeWidgetItem* warnings = Section(tree, tr("Warnings"));
        for (const auto* list : {&summary.shortfalls, &summary.warnings}) {
            for (const std::string& warning : *list) {
                auto* item = new QTreeWidgetItem(warnings, {Text(warning)});
                item->setFirstColumnSpanned(true);
                item->setToolTip(0, Text(warning));
            }
        }
    }
    tree->expandAll();
    tree->resizeColumnToContents(0);
    QPushButton* open = m_ui->buttons->addButton(tr("Open Folder"), QDialogButtonBox::ActionRole);
    open->setObjectName("openFolderButton");
    connect(open, &QPushButton::clicked, this, [&choices, folder] { choices.OpenUrl(QUrl::fromLocalFile(folder)); });
}

TheaterBuiltDialog::~TheaterBuiltDialog() = default;

}  // namespace gw
