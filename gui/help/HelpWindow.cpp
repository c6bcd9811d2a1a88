#include "gui/help/HelpWindow.h"

#include "gui/common/UserChoices.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace gw {

QStringList ManualSearchPaths() {
    QStringList folders;
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.isEmpty()) {
        folders << QDir::cleanPath(programFolder + QStringLiteral("/../share/gridwright/manual"));
    }
#ifdef GRIDWRIGHT_SOURCE_MANUAL
    folders << QDir::cleanPath(QStringLiteral(GRIDWRIGHT_SOURCE_MANUAL));
#endif
    return folders;
}

QString FindManual(const QStringList& folders) {
    for (const QString& folder : folders) {
        if (QFileInfo(QDir(folder).filePath(help_topic::kIndex)).isFile()) return folder;
    }
    return {};
}

QString HelpTopicFor(const QWidget* window, bool documentActive) {
    if (window) {
        const QString className = QString::fromLatin1(window->metaObject()->className());
        if (className == QLatin1String("gw::BuildTerrainDialog")) return help_topic::kBuildOptions;
        if (className == QLatin1String("gw::ImportDemDialog")) return help_topic::kImportDem;
        if (className == QLatin1String("gw::E00RuleChoiceDialog")) return help_topic::kE00RuleChoice;
        if (className == QLatin1String("gw::E00RulesDialog")) return help_topic::kE00RulesEditor;
        if (className == QLatin1String("gw::HeightDataDialog")) return help_topic::kHeightData;
        if (className == QLatin1String("gw::PreviewSizeDialog")) return help_topic::kPreviewSize;
        if (className == QLatin1String("gw::ProgressDialog")) return help_topic::kProgress;
    }
    return documentActive ? help_topic::kTheaterForm : help_topic::kIndex;
}

HelpWindow::HelpWindow(const QString& manualFolder, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_folder(manualFolder) {
    setObjectName("helpWindow");
    setWindowTitle(tr("Gridwright Help"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 620);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("helpBrowser");
    m_browser->setSearchPaths({m_folder});
    m_browser->setOpenExternalLinks(true);
    setCentralWidget(m_browser);

    auto* bar = new QToolBar(tr("Navigation"), this);
    bar->setObjectName("helpToolBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"), m_browser,
                            &QTextBrowser::backward);
    m_back->setObjectName("helpBackAction");
    m_back->setShortcut(QKeySequence::Back);
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"), m_browser,
                               &QTextBrowser::forward);
    m_forward->setObjectName("helpForwardAction");
    m_forward->setShortcut(QKeySequence::Forward);
    QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Contents"), this,
                                   [this] { showTopic(help_topic::kIndex); });
    home->setObjectName("helpHomeAction");
    addToolBar(Qt::TopToolBarArea, bar);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    QAction* close = addAction(tr("Close"), this, &QWidget::close);
    close->setObjectName("helpCloseAction");
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
}

void HelpWindow::showTopic(const QString& topic) {
    const qsizetype hash = topic.indexOf('#');
    const QString page = hash < 0 ? topic : topic.left(hash);
    QUrl url = QUrl::fromLocalFile(QDir(m_folder).absoluteFilePath(page.isEmpty() ? help_topic::kIndex : page));
    if (hash >= 0) url.setFragment(topic.mid(hash + 1));
    m_browser->setSource(url);
}

QString HelpWindow::currentTopic() const {
    const QUrl source = m_browser->source();
    QString topic = QFileInfo(source.path()).fileName();
    if (source.hasFragment()) topic += '#' + source.fragment();
    return topic;
}

namespace {

QPointer<HelpWindow>& TheHelpWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

// F1 over a dialog of the program opens the help at the dialog's topic.
class DialogHelpFilter : public QObject {
public:
    DialogHelpFilter(QWidget* mainWindow, UserChoices& choices)
        : QObject(mainWindow), m_mainWindow(mainWindow), m_choices(choices) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* dialog = widget ? widget->window() : nullptr;
        if (!qobject_cast<QDialog*>(dialog) || dialog == m_mainWindow) return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        ShowHelp(dialog, m_choices, HelpTopicFor(dialog, false));
        return true;
    }

private:
    QWidget* m_mainWindow;
    UserChoices& m_choices;
};

}  // namespace

HelpWindow* ShowHelp(QWidget* parent, UserChoices& choices, const QString& topic, const QStringList& folders) {
    const QString folder = FindManual(folders);
    if (folder.isEmpty()) {
        QStringList places;
        for (const QString& place : folders) places << QDir::toNativeSeparators(place);
        choices.ShowMessage(parent,
                            QObject::tr("The manual cannot be found. It was looked for in:\n%1")
                                .arg(places.isEmpty() ? QObject::tr("(no folder)") : places.join('\n')),
                            UserChoices::MessageKind::kWarning);
        return nullptr;
    }
    // A window of the window asking: of the main window it stays usable beside it; of
    // a modal dialog it is not blocked by the dialog, and goes with it.
    QWidget* owner = parent ? parent->window() : nullptr;
    QPointer<HelpWindow>& window = TheHelpWindow();
    if (window && (window->manualFolder() != folder || window->parentWidget() != owner)) delete window.data();
    if (!window) window = new HelpWindow(folder, owner);
    window->showTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void InstallDialogHelp(QWidget* mainWindow, UserChoices& choices) {
    qApp->installEventFilter(new DialogHelpFilter(mainWindow, choices));
}

}  // namespace gw
