#include "gui/shell/AboutDialog.h"

#include "gui/shell/StaticLink.h"
#include "gui/shell/ToolIcons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace gw {

AboutDialog::AboutDialog(UserChoices& choices, QWidget* parent) : QDialog(parent) {
    setObjectName("aboutDialog");
    setWindowTitle(tr("About Gridwright"));

    auto* icon = new QLabel(this);
    icon->setObjectName("aboutIcon");
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* version = new QLabel(tr(kVersionText), this);
    version->setObjectName("aboutVersion");
    auto* purpose = new QLabel(tr(kPurposeText), this);
    purpose->setObjectName("aboutPurpose");
    auto* discussion = new QLabel(tr("Discussion at"), this);
    discussion->setObjectName("aboutDiscussionLabel");
    m_link = new StaticLink(QString::fromLatin1(kDiscussionAddress), choices, this);
    m_link->setObjectName("discussionLink");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName("aboutButtons");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("aboutOk");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(buttons, 0, 2, Qt::AlignTop);
    grid->addWidget(purpose, 1, 1, 1, 2);
    auto* linkRow = new QHBoxLayout;
    linkRow->setSpacing(6);
    linkRow->addWidget(discussion);
    linkRow->addWidget(m_link);
    linkRow->addStretch();
    grid->addLayout(linkRow, 2, 1, 1, 2);
    grid->setHorizontalSpacing(12);
    setSizeGripEnabled(false);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace gw
