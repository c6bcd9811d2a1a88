#include "gui/shell/MainWindow.h"

#include "qtsettings/QtProfileSection.h"
#include "gui/shell/AboutDialog.h"
#include "gui/shell/CommandIds.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/ToolIcons.h"
#include "gui/common/UserChoices.h"
#include "core/features/E00Rules.h"
#include "gui/features/ImportDemCommand.h"
#include "gui/features/LoadE00Command.h"
#include "gui/features/LoadVectorCommand.h"
#include "gui/generate/GenerateCommand.h"
#include "gui/generate/ObjectiveRulesCommand.h"
#include "gui/grid/E00RulesDialog.h"
#include "gui/grid/HeightDataDialog.h"
#include "gui/help/HelpWindow.h"
#include "gui/readback/TheaterWindow.h"
#include "gui/layout/GridwrightView.h"
#include "gui/print/TheaterPage.h"
#include "gui/project/ProjectCommands.h"
#include "gui/common/TheaterStep.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace gw {

using namespace command;

namespace {

// Menu entries: a command id, or a separator.
constexpr int kSeparator = 0;

// A status bar pane as wide as its template text.
QLabel* Pane(QWidget* parent, const char* objectName, const char* templateText) {
    auto* pane = new QLabel(parent);
    pane->setObjectName(objectName);
    pane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    pane->setContentsMargins(3, 0, 3, 0);
    const int margins = pane->contentsMargins().left() + pane->contentsMargins().right() + 2 * pane->frameWidth();
    pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(QString::fromLatin1(templateText)) + margins);
    return pane;
}

// The status bar's word after the rules were edited.
QString FeatureCountText(std::size_t features, std::size_t dropped) {
    const QString count = (features == 1 ? QObject::tr("%1 feature loaded") : QObject::tr("%1 features loaded")).arg(features);
    if (dropped == 0) return count;
    return count + QObject::tr("; %1 dropped: their E00 rule was deleted").arg(dropped);
}

}  // namespace

MainWindow::MainWindow(UserChoices& choices, QWidget* parent) : QMainWindow(parent), m_choices(choices) {
    setObjectName("mainWindow");
    setWindowTitle(kMessageTitle);
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName("mdiArea");
    // Windows past the workspace's edges are scrolled to, never made room for by widening
    // the main window.
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::updateMenus);

    createActions();
    createApplicationCommands();
    createMenus();
    createRecentFileEntries();
    createToolBar();
    createStatusBar();
    updateMenus();
    readSettings();
}

MainWindow::~MainWindow() {
    // The views go first: each one's document goes with its last view.
    qDeleteAll(m_mdiArea->subWindowList());
}

void MainWindow::createActions() {
    addCommand(kFileOpen, "actionOpen", tr("&Open..."), tr("Open an existing document"), tr("Open"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addCommand(kImportDem, "actionImportDem", tr("&Import DEM..."),
               tr("Make a DEM of elevation rasters of other formats"), tr("Import DEM"));
    addCommand(kGenerateTerrain, "actionGenerateTerrain", tr("&Generate Terrain"), tr("Generate Terrain"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    addCommand(kFileClose, "actionClose", tr("&Close"), tr("Close the active document"), tr("Close"));
    addCommand(kFileSave, "actionSaveTheater", tr("&Save Theater"), tr("Save the theater as a project"),
               tr("Save Theater"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addCommand(kFileSaveAs, "actionSaveTheaterAs", tr("Save Theater &As..."),
               tr("Save the theater as a project of another name"), tr("Save Theater As"));
    addCommand(kEditE00Rules, "actionEditE00Rules", tr("&Edit E00 Rules"), tr("Edit E00 Rules"));
    addCommand(kFilePrint, "actionPrint", tr("&Print..."), tr("Print the active document"), tr("Print"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addCommand(kFilePrintPreview, "actionPrintPreview", tr("Print Pre&view"), tr("Display full pages"),
               tr("Print Preview"));
    addCommand(kFilePrintSetup, "actionPrintSetup", tr("P&rint Setup..."),
               tr("Change the printer and printing options"), tr("Print Setup"));
    addCommand(kRecentFile, "actionRecentFile", tr("Recent &File"), tr("Open this document"));
    addCommand(kAppExit, "actionExit", tr("E&xit"), tr("Quit the application"), tr("Exit"));

    addCommand(kEditUndo, "actionUndo", tr("&Undo"), tr("Undo the last action"), tr("Undo"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    addCommand(kEditRedo, "actionRedo", tr("&Redo"), tr("Redo the action undone last"), tr("Redo"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addCommand(kEditCut, "actionCut", tr("Cu&t"), tr("Cut the selection and put it on the Clipboard"), tr("Cut"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    addCommand(kEditCopy, "actionCopy", tr("&Copy"), tr("Copy the selection and put it on the Clipboard"),
               tr("Copy"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    addCommand(kEditPaste, "actionPaste", tr("&Paste"), tr("Insert Clipboard contents"), tr("Paste"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    addCommand(kHeightData, "actionHeightData", tr("&Height Data"), tr("Height Data"));

    addCommand(kDrawFeatures, "actionDrawFeatures", tr("&Draw Features"), tr("Draw Features"))->setCheckable(true);
    addCommand(kViewToolbar, "actionToolbar", tr("&Toolbar"), tr("Show or hide the toolbar"), tr("Toggle ToolBar"))
        ->setCheckable(true);
    addCommand(kViewStatusBar, "actionStatusBar", tr("&Status Bar"), tr("Show or hide the status bar"),
               tr("Toggle StatusBar"))
        ->setCheckable(true);

    addCommand(kLoadE00File, "actionLoadE00File", tr("&Load E00 File"), tr("Load E00 File"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addCommand(kLoadVectorData, "actionLoadVectorData", tr("Load &Vector Data..."),
               tr("Load the layers of vector files of other formats as features"), tr("Load Vector Data"));
    addCommand(kDeleteFeatures, "actionDeleteFeatures", tr("&Delete Features"), tr("Delete Features"));
    addCommand(kLoadObjectiveRules, "actionLoadObjectiveRules", tr("Load &Objective Rules"), tr("Load Objective Rules"),
               tr("Load Rules"));

    addCommand(kWindowNew, "actionNewWindow", tr("&New Window"), tr("Open another window for the active document"),
               tr("New Window"));
    addCommand(kWindowCascade, "actionCascade", tr("&Cascade"), tr("Arrange windows so they overlap"),
               tr("Cascade Windows"));
    addCommand(kWindowTile, "actionTile", tr("&Tile"), tr("Arrange windows as non-overlapping tiles"),
               tr("Tile Windows"));
    addCommand(kWindowArrange, "actionArrangeIcons", tr("&Arrange Icons"),
               tr("Arrange icons at the bottom of the window"), tr("Arrange Icons"));
    addCommand(kWindowNext, "actionNextWindow", tr("Ne&xt Window"), tr("Activate the next window"), tr("Next Window"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F6));
    addCommand(kWindowPrevious, "actionPreviousWindow", tr("&Previous Window"), tr("Activate the previous window"),
               tr("Previous Window"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6));
    addCommand(kViewZoomIn, "actionZoomIn", tr("Zoom &In"), tr("Show the map larger, drawn afresh from the DEM"),
               tr("Zoom In"))
        ->setShortcuts(QKeySequence::ZoomIn);
    addCommand(kViewZoomOut, "actionZoomOut", tr("Zoom &Out"), tr("Show the map smaller, drawn afresh from the DEM"),
               tr("Zoom Out"))
        ->setShortcuts(QKeySequence::ZoomOut);

    // Help and F1: the manual at the active window's topic; F1 in a dialog at the dialog's.
    QAction* help = addCommand(kHelp, "actionHelp", tr("&Help..."), tr("Help about Gridwright"), tr("Help"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this,
            [this] { ShowHelp(this, m_choices, HelpTopicFor(this, activeView() != nullptr)); });
    InstallDialogHelp(this, m_choices);
    addCommand(kAppAbout, "actionAbout", tr("&About Gridwright..."),
               tr("Display program information, version number and copyright"), tr("About"));

    action(kFileOpen)->setIcon(OpenIcon());
    action(kEditCut)->setIcon(CutIcon());
    action(kEditCopy)->setIcon(CopyIcon());
    action(kEditPaste)->setIcon(PasteIcon());
    action(kDrawFeatures)->setIcon(DrawFeaturesIcon());
    action(kLoadE00File)->setIcon(LoadE00Icon());
    action(kGenerateTerrain)->setIcon(GenerateTerrainIcon());
    action(kAppAbout)->setIcon(AboutIcon());

    connect(action(kFileOpen), &QAction::triggered, this, &MainWindow::OnFileOpen);
    connect(action(kImportDem), &QAction::triggered, this, &MainWindow::OnImportDem);
    connect(action(kGenerateTerrain), &QAction::triggered, this, &MainWindow::OnGenerateTerrain);
    connect(action(kFileClose), &QAction::triggered, this, &MainWindow::OnFileClose);
    connect(action(kEditUndo), &QAction::triggered, this, [this] { OnUndo(false); });
    connect(action(kEditRedo), &QAction::triggered, this, [this] { OnUndo(true); });
    connect(action(kFileSave), &QAction::triggered, this, [this] { OnSaveTheater(false); });
    connect(action(kFileSaveAs), &QAction::triggered, this, [this] { OnSaveTheater(true); });
    connect(action(kAppExit), &QAction::triggered, this, &QWidget::close);
    connect(action(kDrawFeatures), &QAction::triggered, this, &MainWindow::OnDrawFeatures);
    connect(action(kViewToolbar), &QAction::triggered, this, [this](bool on) { m_toolBar->setVisible(on); });
    connect(action(kViewStatusBar), &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(action(kEditE00Rules), &QAction::triggered, this, &MainWindow::OnEditE00Rules);
    connect(action(kHeightData), &QAction::triggered, this, &MainWindow::OnHeightData);
    connect(action(kLoadE00File), &QAction::triggered, this, &MainWindow::OnLoadE00File);
    connect(action(kLoadVectorData), &QAction::triggered, this, &MainWindow::OnLoadVectorData);
    connect(action(kDeleteFeatures), &QAction::triggered, this, &MainWindow::OnDeleteFeatures);
    connect(action(kLoadObjectiveRules), &QAction::triggered, this, &MainWindow::OnLoadObjectiveRules);
    connect(action(kWindowNew), &QAction::triggered, this, &MainWindow::OnWindowNew);
    connect(action(kWindowCascade), &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(action(kWindowTile), &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    connect(action(kWindowArrange), &QAction::triggered, this, &MainWindow::OnWindowArrange);
    connect(action(kWindowNext), &QAction::triggered, m_mdiArea, &QMdiArea::activateNextSubWindow);
    connect(action(kWindowPrevious), &QAction::triggered, m_mdiArea, &QMdiArea::activatePreviousSubWindow);
    connect(action(kViewZoomIn), &QAction::triggered, this, [this] { OnZoom(1); });
    connect(action(kViewZoomOut), &QAction::triggered, this, [this] { OnZoom(-1); });
    m_windowEntries = new QActionGroup(this);
}

QAction* MainWindow::addCommand(int id, const char* objectName, const QString& text, const QString& prompt,
                                const QString& tip) {
    auto* command = new QAction(text, this);
    command->setObjectName(objectName);
    command->setData(id);
    command->setStatusTip(prompt);
    command->setToolTip(tip.isEmpty() ? prompt : tip);
    m_actions.insert(id, command);
    return command;
}

QMenu* MainWindow::addMenu(QList<QMenu*>& menus, const char* objectName, const QString& title,
                           const QList<int>& commands) {
    auto* menu = new QMenu(title, this);
    menu->setObjectName(objectName);
    for (int id : commands) {
        if (id == kSeparator) {
            menu->addSeparator();
        } else {
            menu->addAction(action(id));
        }
    }
    menus.append(menu);
    return menu;
}

void MainWindow::createMenus() {
    // Menu 128: no document window.
    addMenu(m_noDocumentMenus, "fileMenu", tr("&File"),
            {kFileOpen, kImportDem, kSeparator, kFilePrintSetup, kSeparator, kRecentFile, kSeparator, kAppExit});
    addMenu(m_noDocumentMenus, "viewMenu", tr("&View"), {kViewToolbar, kViewStatusBar});
    addMenu(m_noDocumentMenus, "helpMenu", tr("&Help"), {kHelp, kSeparator, kAppAbout});

    // Menu 129: a document window is active.
    addMenu(m_documentMenus, "fileMenu", tr("&File"),
            {kFileOpen, kImportDem, kGenerateTerrain, kFileClose, kFileSave, kFileSaveAs, kSeparator, kEditE00Rules, kSeparator, kFilePrint,
             kFilePrintPreview, kFilePrintSetup, kSeparator, kRecentFile, kSeparator, kAppExit});
    addMenu(m_documentMenus, "editMenu", tr("&Edit"),
            {kEditUndo, kEditRedo, kSeparator, kEditCut, kEditCopy, kEditPaste, kSeparator, kHeightData});
    addMenu(m_documentMenus, "viewMenu", tr("&View"),
            {kDrawFeatures, kViewZoomIn, kViewZoomOut, kSeparator, kViewToolbar, kViewStatusBar});
    addMenu(m_documentMenus, "dataMenu", tr("&Data"),
            {kLoadE00File, kLoadVectorData, kDeleteFeatures, kLoadObjectiveRules});
    m_windowMenu = addMenu(m_documentMenus, "windowMenu", tr("&Window"),
                           {kWindowNew, kWindowCascade, kWindowTile, kWindowArrange, kSeparator, kWindowNext,
                            kWindowPrevious, kSeparator});
    addMenu(m_documentMenus, "helpMenu", tr("&Help"), {kHelp, kSeparator, kAppAbout});
}

void MainWindow::createToolBar() {
    m_toolBar = new QToolBar(tr("Toolbar"), this);
    m_toolBar->setObjectName("toolBar");
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : {kFileOpen, kSeparator, kEditCut, kEditCopy, kEditPaste, kSeparator, kDrawFeatures, kLoadE00File,
                   kGenerateTerrain, kSeparator, kAppAbout}) {
        if (id == kSeparator) {
            m_toolBar->addSeparator();
        } else {
            m_toolBar->addAction(action(id));
        }
    }
    m_toolBar->toggleViewAction()->setObjectName("toolBarViewAction");
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBar, &QToolBar::visibilityChanged, action(kViewToolbar), &QAction::setChecked);
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    m_messagePane = new QLabel(tr(kIdleMessage), bar);
    m_messagePane->setObjectName("messagePane");
    // A normal widget: the commands' prompts cover it while they show.
    bar->addWidget(m_messagePane, 1);
    m_objRulesPane = Pane(bar, "objRulesPane", kObjRulesPaneTemplate);
    m_featuresPane = Pane(bar, "featuresPane", kFeaturesPaneTemplate);
    m_pointerPane = Pane(bar, "pointerPane", kPointerPaneTemplate);
    bar->addPermanentWidget(m_pointerPane);
    bar->addPermanentWidget(m_objRulesPane);
    bar->addPermanentWidget(m_featuresPane);
}

void MainWindow::updateMenus() {
    const QList<QMenu*>* menus = m_mdiArea->currentSubWindow() ? &m_documentMenus : &m_noDocumentMenus;
    if (menus != m_menusShown) {
        menuBar()->clear();
        for (QMenu* menu : *menus) menuBar()->addMenu(menu);
        m_menusShown = menus;
    }
    updateActions();
    updateStatusPanes();
    updateTitles();
}

void MainWindow::readSettings() {
    // The E00 rules (the built-in ones when none are stored) and the recent files.
    const QtProfileSection store(kE00RulesSection);
    E00Rules rules;
    LoadE00Rules(store, rules);
    m_documents.ReplaceRules(std::move(rules), {});
    m_recentFiles.Read();
    updateRecentFileEntries();
}

void MainWindow::updateActions() {
    CGridwrightView* view = activeView();
    const bool idle = !m_commandRunning;
    const bool document = idle && view;
    for (QAction* command : std::as_const(m_actions)) command->setEnabled(false);
    action(kFileOpen)->setEnabled(idle);
    action(kImportDem)->setEnabled(idle);
    action(kAppExit)->setEnabled(idle);
    action(kViewToolbar)->setEnabled(idle);
    action(kViewStatusBar)->setEnabled(idle);
    action(kHelp)->setEnabled(idle);
    for (int id : {kGenerateTerrain, kFileSave, kFileSaveAs, kEditE00Rules, kHeightData, kDrawFeatures, kLoadE00File,
                   kLoadVectorData, kDeleteFeatures, kLoadObjectiveRules, kWindowNew}) {
        action(id)->setEnabled(document);
    }
    // An inspection window closes, zooms and takes part in the window commands too.
    const bool window = document || (idle && activeTheaterWindow());
    for (int id : {kFileClose, kWindowCascade, kWindowTile, kWindowArrange, kWindowNext, kWindowPrevious, kViewZoomIn,
                   kViewZoomOut}) {
        action(id)->setEnabled(window);
    }
    QUndoStack* steps = view ? view->document()->undoStack() : nullptr;
    action(kEditUndo)->setEnabled(document && steps->canUndo());
    action(kEditUndo)->setText(steps && steps->canUndo() ? tr("&Undo %1").arg(steps->undoText()) : tr("&Undo"));
    action(kEditRedo)->setEnabled(document && steps->canRedo());
    action(kEditRedo)->setText(steps && steps->canRedo() ? tr("&Redo %1").arg(steps->redoText()) : tr("&Redo"));
    action(kDrawFeatures)->setChecked(view && view->drawFeatures());
    action(kViewToolbar)->setChecked(m_toolBar->isVisibleTo(this));
    action(kViewStatusBar)->setChecked(statusBar()->isVisibleTo(this));
    updateApplicationCommands();
}

void MainWindow::createApplicationCommands() {
    connect(action(kAppAbout), &QAction::triggered, this, &MainWindow::OnAppAbout);
    connect(action(kFilePrint), &QAction::triggered, this, &MainWindow::OnFilePrint);
    connect(action(kFilePrintPreview), &QAction::triggered, this, &MainWindow::OnFilePrintPreview);
    connect(action(kFilePrintSetup), &QAction::triggered, this, &MainWindow::OnFilePrintSetup);
    for (int i = 1; i < kRecentFileCount; ++i) {
        addCommand(kRecentFile + i, qPrintable(QStringLiteral("actionRecentFile%1").arg(i + 1)), tr("Recent File"),
                   tr("Open this document"));
    }
    for (int i = 0; i < kRecentFileCount; ++i) {
        connect(action(kRecentFile + i), &QAction::triggered, this, [this, i] { OnRecentFile(i); });
    }
}

void MainWindow::createRecentFileEntries() {
    // Both File menus hold the placeholder; the other entries follow it.
    QList<QAction*> entries;
    for (int i = 1; i < kRecentFileCount; ++i) entries.append(action(kRecentFile + i));
    for (const QList<QMenu*>* menus : {&m_noDocumentMenus, &m_documentMenus}) {
        QMenu* file = menus->front();
        const QList<QAction*> items = file->actions();
        const qsizetype placeholder = items.indexOf(action(kRecentFile));
        file->insertActions(items.value(placeholder + 1), entries);
    }
}

void MainWindow::updateRecentFileEntries() {
    const QStringList& files = m_recentFiles.files();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* entry = action(kRecentFile + i);
        if (i < files.size()) {
            QString shown = QDir::toNativeSeparators(files[i]);
            entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace('&', "&&")));
            entry->setStatusTip(tr("Open %1").arg(files[i]));
            entry->setVisible(true);
        } else {
            entry->setText(tr("Recent &File"));
            entry->setStatusTip(tr("Open this document"));
            entry->setVisible(i == 0);
        }
    }
    updateActions();
}

void MainWindow::noteRecentFile(const QString& path) {
    m_recentFiles.Add(path);
    m_recentFiles.Write();
    updateRecentFileEntries();
}

void MainWindow::updateApplicationCommands() {
    const bool idle = !m_commandRunning;
    action(kAppAbout)->setEnabled(idle);
    action(kFilePrintSetup)->setEnabled(idle);
    action(kFilePrint)->setEnabled(idle && activeView());
    action(kFilePrintPreview)->setEnabled(idle && activeView());
    for (int i = 0; i < kRecentFileCount; ++i) action(kRecentFile + i)->setEnabled(idle && i < recentFiles().size());
}

void MainWindow::updateStatusPanes() {
    CGridwrightView* view = activeView();
    m_objRulesPane->setText(view ? view->objectiveRulesPaneText() : QString());
    m_featuresPane->setText(view ? view->featuresPaneText() : QString());
    m_objRulesPane->setToolTip(m_objRulesPane->text());
}

QString MainWindow::theaterName(const CGridwrightView& view) const {
    return view.projectPath().isEmpty() ? view.document()->title() : QFileInfo(view.projectPath()).fileName();
}

void MainWindow::updateTitles() {
    for (GuiDocument* document : m_documents.documents()) {
        const QList<QMdiSubWindow*> windows = windowsOf(document);
        for (int i = 0; i < windows.size(); ++i) {
            const auto* view = qobject_cast<CGridwrightView*>(windows[i]->widget());
            const QString name = theaterName(*view);
            const QString mark = IsTheaterModified(*view, m_documents.rules()) ? "*" : "";
            windows[i]->setWindowTitle((windows.size() == 1 ? name : name + ':' + QString::number(i + 1)) + mark);
        }
    }
    CGridwrightView* view = activeView();
    setWindowTitle(view ? kMessageTitle + " - " + m_mdiArea->currentSubWindow()->windowTitle() : kMessageTitle);
    updateWindowEntries();
}

CGridwrightView* MainWindow::activeView() const {
    // The current window stays current while a dialog has the focus.
    QMdiSubWindow* window = m_mdiArea->currentSubWindow();
    return window ? qobject_cast<CGridwrightView*>(window->widget()) : nullptr;
}

QList<QMdiSubWindow*> MainWindow::windowsOf(const GuiDocument* document) const {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto* view = qobject_cast<CGridwrightView*>(window->widget());
        if (view && view->document() == document) windows.append(window);
    }
    return windows;
}

Status MainWindow::OpenFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        if (Status opened = OpenFile(path); !opened.ok()) return opened;
    }
    return Status::Ok();
}

Status MainWindow::OpenFile(const QString& path) {
    if (IsTheaterPath(path)) return OpenTheaterWindow(path);
    if (IsProjectPath(path)) return OpenProject(path);
    if (GuiDocument* open = m_documents.Find(path)) {
        const QList<QMdiSubWindow*> windows = windowsOf(open);
        if (!windows.isEmpty()) m_mdiArea->setActiveSubWindow(windows.front());
        noteRecentFile(path);
        return Status::Ok();
    }
    GuiDocument* document = nullptr;
    if (Status opened = m_documents.Open(path, &document); !opened.ok()) return opened;
    noteRecentFile(path);
    watchDocument(document);
    addViewWindow(document);
    return Status::Ok();
}

Status MainWindow::OpenProject(const QString& path) {
    const StatusOr<TheaterProject> project = LoadTheaterProject(path.toStdString());
    if (!project.ok()) return project.status();
    // The program has one rule table; the features of open DEMs follow it.
    if (project->rules != m_documents.rules() && !m_documents.documents().isEmpty()) {
        return Status::InvalidArgument(path.toStdString() +
                                       " was saved with E00 rules other than those the open windows use: close "
                                       "them to open the theater");
    }
    const QString dem = QString::fromStdString(project->dem);
    if (m_documents.Find(dem)) {
        return Status::InvalidArgument(dem.toStdString() + " is open already: close its windows to open the theater " +
                                       path.toStdString());
    }
    GuiDocument* document = nullptr;
    if (Status opened = m_documents.Open(dem, &document); !opened.ok()) return opened;
    if (project->rules != m_documents.rules()) {
        QtProfileSection store(kE00RulesSection);
        SaveE00Rules(store, project->rules);
        m_documents.ReplaceRules(project->rules, RenumberingByEquality(m_documents.rules(), project->rules));
    }
    watchDocument(document);
    auto* view = qobject_cast<CGridwrightView*>(addViewWindow(document)->widget());
    RestoreTheater(*project, *view, context());
    view->setProjectPath(path);
    // Changes are told against the project as its file holds it: a layer that did not
    // load again leaves the window marked, as saving it would drop that layer.
    TheaterProject saved = *project;
    if (!saved.objectiveSettings) saved.objectiveSettings = SettingsOf(view->objectiveRules());
    view->setSavedTheater(std::move(saved));
    noteRecentFile(path);
    updateTitles();
    return Status::Ok();
}

void MainWindow::watchDocument(GuiDocument* document) {
    connect(document, &GuiDocument::updated, this, [this] {
        updateActions();
        updateStatusPanes();
    });
    connect(document->undoStack(), &QUndoStack::indexChanged, this, &MainWindow::updateActions);
    connect(document->undoStack(), &QUndoStack::indexChanged, this, &MainWindow::updateTitles);
}

bool MainWindow::maySave(CGridwrightView& view) {
    if (!IsTheaterModified(view, m_documents.rules())) return true;
    // The window is named as its title names it ("coast.hdr:2"), without the mark.
    QString name = view.parentWidget() ? view.parentWidget()->windowTitle() : theaterName(view);
    if (name.endsWith('*')) name.chop(1);
    switch (m_choices.AskSaveChanges(this, name)) {
        case UserChoices::SaveAnswer::kSave:
            if (!SaveTheater(view, m_documents.rules(), false, context())) return false;
            noteRecentFile(view.projectPath());
            return true;
        case UserChoices::SaveAnswer::kDiscard: return true;
        case UserChoices::SaveAnswer::kCancel: break;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        auto* window = qobject_cast<QMdiSubWindow*>(watched);
        auto* view = window ? qobject_cast<CGridwrightView*>(window->widget()) : nullptr;
        if (view && !m_closingAll && !maySave(*view)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::recordFeatures(GuiDocument& document, const QString& name, const std::function<void()>& change) {
    GuiDocument::FeatureState before = document.featureState();
    change();
    GuiDocument::FeatureState after = document.featureState();
    if (before.features.size() == after.features.size() && before.layers.size() == after.layers.size()) return;
    const auto set = [](GuiDocument& target, const GuiDocument::FeatureState& state) { target.restoreFeatures(state); };
    document.undoStack()->push(StateStep(name, &document, std::move(before), std::move(after), set));
}

void MainWindow::OnUndo(bool redo) {
    CGridwrightView* view = activeView();
    if (m_commandRunning || !view) return;
    QUndoStack* steps = view->document()->undoStack();
    redo ? steps->redo() : steps->undo();
}

Status MainWindow::OpenTheaterWindow(const QString& path) {
    StatusOr<TheaterWindow*> inspection = TheaterWindow::Open(path, m_documents.rules());
    if (!inspection.ok()) return inspection.status();
    const QString file = QFileInfo(path).canonicalFilePath();
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        auto* open = qobject_cast<TheaterWindow*>(window->widget());
        if (open && QFileInfo(open->path()).canonicalFilePath() == file) window->close();
    }
    noteRecentFile(path);
    QMdiSubWindow* window = m_mdiArea->addSubWindow(*inspection);
    window->setObjectName("inspectionSubWindow");
    // Fitted to the workspace once it is shown, as it may not be yet.
    QTimer::singleShot(0, window, [this, window] {
        window->resize(window->sizeHint().boundedTo(m_mdiArea->viewport()->size()));
    });
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(ProgramIcon());
    connect(window, &QObject::destroyed, this, &MainWindow::updateMenus, Qt::QueuedConnection);
    window->show();
    m_mdiArea->setActiveSubWindow(window);
    return Status::Ok();
}

TheaterWindow* MainWindow::activeTheaterWindow() const {
    QMdiSubWindow* window = m_mdiArea->currentSubWindow();
    return window ? qobject_cast<TheaterWindow*>(window->widget()) : nullptr;
}

QMdiSubWindow* MainWindow::addViewWindow(GuiDocument* document) {
    auto* view = new CGridwrightView(document);
    view->setObjectName("gridwrightView");
    m_documents.AddView(document, view);
    connect(view, &CGridwrightView::statusTextsChanged, this, &MainWindow::updateStatusPanes);
    connect(view, &CGridwrightView::pointerTextChanged, m_pointerPane, &QLabel::setText);
    QMdiSubWindow* window = m_mdiArea->addSubWindow(view);
    window->setObjectName("documentWindow");
    window->installEventFilter(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(ProgramIcon());
    // Once the window is gone, the next one is active (or none is).
    connect(window, &QObject::destroyed, this, &MainWindow::updateMenus, Qt::QueuedConnection);
    window->show();
    view->fitWindowToMap();
    MarkTheaterSaved(*view, m_documents.rules());
    m_mdiArea->setActiveSubWindow(window);
    updateMenus();
    return window;
}

void MainWindow::runCommand(const std::function<void()>& command) {
    if (m_commandRunning) return;
    m_commandRunning = true;
    // What the last command told in the status bar is about its own work.
    statusBar()->clearMessage();
    updateActions();
    // A command that runs out of memory (or fails in any other way core does not report
    // as a status) ends with a message; the program goes on.
    try {
        command();
    } catch (const std::bad_alloc&) {
        m_choices.ShowMessage(this, tr("There was not enough memory to finish the command."),
                              UserChoices::MessageKind::kWarning);
    } catch (const std::exception& e) {
        m_choices.ShowMessage(this, tr("The command could not be finished: %1").arg(QString::fromLocal8Bit(e.what())),
                              UserChoices::MessageKind::kWarning);
    }
    m_commandRunning = false;
    updateMenus();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_commandRunning) {
        event->ignore();
        return;
    }
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto* view = qobject_cast<CGridwrightView*>(window->widget());
        if (view && !maySave(*view)) {
            event->ignore();
            return;
        }
    }
    // Every answer given: a Cancel above left every theater as it was, Discards too.
    m_closingAll = true;
    m_mdiArea->closeAllSubWindows();
    m_closingAll = false;
    m_recentFiles.Write();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_commandRunning && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    // Features load into the document window dropped on, else into the active one.
    CGridwrightView* target = activeView();
    for (QWidget* under = childAt(event->position().toPoint()); under; under = under->parentWidget()) {
        if (auto* view = qobject_cast<CGridwrightView*>(under)) {
            target = view;
            break;
        }
    }
    runCommand([this, urls, target] {
        // Headers and tile files open; with a document window, E00 files load as Load
        // E00 File loads them, and any other file as Load Vector Data does.
        QStringList headers;
        QStringList e00Files;
        QStringList vectorFiles;
        for (const QUrl& url : urls) {
            if (!url.isLocalFile()) continue;
            const QString path = url.toLocalFile();
            const QString suffix = QFileInfo(path).suffix();
            if (!target || suffix.compare("hdr", Qt::CaseInsensitive) == 0 || IsTheaterPath(path) ||
                IsProjectPath(path)) {
                headers << path;
            } else {
                (suffix.compare("e00", Qt::CaseInsensitive) == 0 ? e00Files : vectorFiles) << path;
            }
        }
        GuiDocument* document = target ? target->document() : nullptr;
        if (!e00Files.isEmpty()) {
            recordFeatures(*document, tr("Load E00 File"), [&] { LoadE00Paths(*document, e00Files, context()); });
        }
        if (!vectorFiles.isEmpty()) {
            recordFeatures(*document, tr("Load Vector Data"), [&] { LoadVectorPaths(*document, vectorFiles, context()); });
        }
        for (const QString& path : headers) {
            if (Status opened = OpenFile(path); !opened.ok()) {
                m_choices.ShowMessage(this, QString::fromStdString(opened.message()),
                                      UserChoices::MessageKind::kWarning);
            }
        }
    });
}

void MainWindow::OnFileOpen() {
    runCommand([this] {
        const QString path = m_choices.ChooseOpenFile(this, {tr("Open"), {"Gridwr Files (*.hdr)", "Theater Projects (*.gwtheater)", "Theater Files (*.l2)", "All Files (*)"}, {}});
        if (path.isEmpty()) return;
        if (Status opened = OpenFile(path); !opened.ok()) {
            m_choices.ShowMessage(this, QString::fromStdString(opened.message()), UserChoices::MessageKind::kWarning);
        }
    });
}

void MainWindow::OnImportDem() {
    runCommand([this] {
        const std::optional<ImportedDem> imported = ImportDemFile(m_documents, context());
        if (!imported) return;
        if (Status opened = OpenFile(imported->header); !opened.ok()) {
            m_choices.ShowMessage(this, QString::fromStdString(opened.message()), UserChoices::MessageKind::kWarning);
            return;
        }
        statusBar()->showMessage(ImportSummary(*imported));
    });
}

void MainWindow::OnFileClose() {
    if (m_commandRunning) return;
    if (activeTheaterWindow()) {
        m_mdiArea->currentSubWindow()->close();
        return;
    }
    CGridwrightView* view = activeView();
    if (!view) return;
    for (QMdiSubWindow* window : windowsOf(view->document())) {
        if (!window->close()) return;
    }
}

void MainWindow::OnSaveTheater(bool askName) {
    runCommand([this, askName] {
        CGridwrightView* view = activeView();
        if (!view || !SaveTheater(*view, m_documents.rules(), askName, context())) return;
        noteRecentFile(view->projectPath());
        updateTitles();
    });
}

void MainWindow::OnGenerateTerrain() {
    runCommand([this] {
        CGridwrightView* view = activeView();
        if (!view) return;
        const GenerateSource source{view->document()->doc(), view->layout(),          view->heights(),
                                    view->document()->rules(), view->objectiveRules(), view->results(),
                                    view->generateChoices(),  view->document()->path().toStdString()};
        GenerateTerrain(source, m_random, context());
    });
}

void MainWindow::OnEditE00Rules() {
    runCommand([this] {
        if (!activeView()) return;
        E00RulesDialog dialog(m_documents.rules(), m_choices, this);
        if (dialog.exec() != QDialog::Accepted) return;
        const E00Rules rules = dialog.rules();
        const auto snapshot = [this] {
            std::vector<std::pair<QPointer<GuiDocument>, GuiDocument::FeatureState>> states;
            for (GuiDocument* document : m_documents.documents()) states.emplace_back(document, document->featureState());
            return std::make_pair(m_documents.rules(), states);
        };
        const auto before = snapshot();
        QtProfileSection store(kE00RulesSection);
        SaveE00Rules(store, rules);
        const std::size_t dropped =
            m_documents.ReplaceRules(rules, RenumberingFromOrigins(dialog.origins(), m_documents.rules().size()));
        statusBar()->showMessage(FeatureCountText(activeView()->document()->doc().features().size(), dropped));
        // Undone and redone, the table is put back, and the features of each document
        // that has not changed since; the others, and those opened since, follow their
        // rules by equality, keeping what was done to them.
        const auto put = [this](decltype(before) to, decltype(before) from) {
            return [this, to = std::move(to), from = std::move(from)] {
                std::vector<std::pair<GuiDocument*, const GuiDocument::FeatureState*>> unchanged;
                for (std::size_t i = 0; i < to.second.size(); ++i) {
                    GuiDocument* document = to.second[i].first;
                    if (document && document->featureState() == from.second[i].second) {
                        unchanged.emplace_back(document, &to.second[i].second);
                    }
                }
                QtProfileSection rulesStore(kE00RulesSection);
                SaveE00Rules(rulesStore, to.first);
                m_documents.ReplaceRules(to.first, RenumberingByEquality(m_documents.rules(), to.first));
                for (const auto& [document, features] : unchanged) document->restoreFeatures(*features);
            };
        };
        const auto after = snapshot();
        activeView()->document()->undoStack()->push(
            new TheaterStep(tr("Edit E00 Rules"), put(before, after), put(after, before)));
    });
}

void MainWindow::OnHeightData() {
    runCommand([this] {
        CGridwrightView* view = activeView();
        if (!view) return;
        HeightDataDialog dialog(view->heights(), m_choices, this);
        if (dialog.exec() != QDialog::Accepted || dialog.rows() == view->heights().rows()) return;
        const HeightTable before = view->heights();
        view->setHeights(HeightTable(dialog.rows()));
        const auto set = [](CGridwrightView& target, const HeightTable& heights) { target.setHeights(heights); };
        view->document()->undoStack()->push(StateStep(tr("Edit Height Data"), view, before, view->heights(), set));
    });
}

void MainWindow::OnLoadE00File() {
    runCommand([this] {
        if (CGridwrightView* view = activeView()) {
            recordFeatures(*view->document(), tr("Load E00 File"), [&] { LoadE00File(*view->document(), context()); });
        }
    });
}

void MainWindow::OnLoadVectorData() {
    runCommand([this] {
        if (CGridwrightView* view = activeView()) {
            recordFeatures(*view->document(), tr("Load Vector Data"), [&] { LoadVectorData(*view->document(), context()); });
        }
    });
}

void MainWindow::OnDeleteFeatures() {
    runCommand([this] {
        if (CGridwrightView* view = activeView()) {
            recordFeatures(*view->document(), tr("Delete Features"), [&] { view->document()->DeleteFeatures(); });
        }
    });
}

void MainWindow::OnLoadObjectiveRules() {
    runCommand([this] {
        CGridwrightView* view = activeView();
        if (!view) return;
        const ObjectiveRuleSet before = view->objectiveRules();
        if (!LoadObjectiveRules(view->objectiveRules(), context())) return;
        const auto set = [](CGridwrightView& target, const ObjectiveRuleSet& rules) { target.setObjectiveRules(rules); };
        view->document()->undoStack()->push(
            StateStep(tr("Load Objective Rules"), view, before, view->objectiveRules(), set));
    });
}

void MainWindow::OnDrawFeatures(bool on) {
    if (CGridwrightView* view = activeView()) view->setDrawFeatures(on);
    updateActions();
}

void MainWindow::OnWindowNew() {
    runCommand([this] {
        CGridwrightView* view = activeView();
        if (!view) return;
        auto* added = qobject_cast<CGridwrightView*>(addViewWindow(view->document())->widget());
        // The new theater holds the features loaded, which none of its projects holds yet.
        TheaterProject unsaved = added->savedTheater();
        unsaved.layers.clear();
        added->setSavedTheater(std::move(unsaved));
        updateTitles();
    });
}

void MainWindow::OnAppAbout() {
    runCommand([this] {
        AboutDialog about(m_choices, this);
        about.exec();
    });
}

void MainWindow::OnRecentFile(int index) {
    runCommand([this, index] {
        if (index >= recentFiles().size()) return;
        const QString path = recentFiles()[index];
        if (Status opened = OpenFile(path); !opened.ok()) {
            m_recentFiles.Remove(path);
            m_recentFiles.Write();
            updateRecentFileEntries();
            m_choices.ShowMessage(this, QString::fromStdString(opened.message()), UserChoices::MessageKind::kWarning);
        }
    });
}

QPrinter& MainWindow::printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void MainWindow::OnFilePrint() {
    runCommand([this] {
        CGridwrightView* view = activeView();
        if (!view) return;
        QPrintDialog dialog(&printer(), this);
        dialog.setObjectName("printDialog");
        if (dialog.exec() != QDialog::Accepted) return;
        if (!PrintTheaterPage(printer(), TheaterPageOf(*view))) {
            m_choices.ShowMessage(this, tr("The page could not be printed."), UserChoices::MessageKind::kWarning);
        }
    });
}

void MainWindow::OnFilePrintPreview() {
    runCommand([this] {
        CGridwrightView* view = activeView();
        if (!view) return;
        const TheaterPage page = TheaterPageOf(*view);
        QPrintPreviewDialog preview(&printer(), this);
        preview.setObjectName("printPreviewDialog");
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [&page](QPrinter* shown) { PrintTheaterPage(*shown, page); });
        preview.exec();
    });
}

void MainWindow::OnFilePrintSetup() {
    runCommand([this] {
        QPageSetupDialog dialog(&printer(), this);
        dialog.setObjectName("pageSetupDialog");
        dialog.exec();
    });
}

void MainWindow::updateWindowEntries() {
    // Gone later: the entry chosen may be the one whose signal runs this.
    for (QAction* entry : m_windowEntries->actions()) {
        m_windowMenu->removeAction(entry);
        m_windowEntries->removeAction(entry);
        entry->deleteLater();
    }
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QString title = window->windowTitle();
        const QString key = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QString();
        auto* entry = new QAction(key + title.replace('&', "&&"), m_windowEntries);
        entry->setObjectName("windowEntry");
        entry->setCheckable(true);
        entry->setChecked(window == m_mdiArea->currentSubWindow());
        entry->setStatusTip(tr("Activate this window"));
        connect(entry, &QAction::triggered, this, [this, window] { OnWindowChosen(window); });
        m_windowMenu->addAction(entry);
    }
}

void MainWindow::OnWindowChosen(QMdiSubWindow* window) {
    if (!m_mdiArea->subWindowList().contains(window)) return;
    if (window->isMinimized()) window->showNormal();
    m_mdiArea->setActiveSubWindow(window);
}

void MainWindow::OnZoom(int steps) {
    if (m_commandRunning) return;
    if (CGridwrightView* view = activeView()) view->zoom(steps);
    if (TheaterWindow* inspection = activeTheaterWindow()) inspection->zoom(steps);
}

void MainWindow::OnWindowArrange() {
    // Minimised windows in rows along the bottom of the area, left to right.
    const QSize area = m_mdiArea->viewport()->size();
    QPoint next(0, area.height());
    int rowHeight = 0;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        if (next.x() > 0 && next.x() + size.width() > area.width()) {
            next = QPoint(0, next.y() - rowHeight);
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        window->move(next.x(), next.y() - size.height());
        next.rx() += size.width();
    }
}

}  // namespace gw
