#pragma once

#include "gui/common/CommandContext.h"
#include "gui/common/DocumentManager.h"
#include "gui/shell/RecentFiles.h"
#include "core/util/CRandom.h"
#include "core/util/Status.h"

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;

namespace gw {

class CGridwrightView;
class TheaterWindow;
class GuiDocument;
class UserChoices;

// The program's main window: the document windows in an MDI area, menu 128 while no
// document window is active and menu 129 while one is, toolbar 128, and the status bar
// with the message pane and the panes of the active view. Every command is a QAction
// (see CommandIds.h) enabled and checked from the active view and its document. One
// command runs at a time: while one runs (its dialogs, its job) every command is
// disabled.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The texts that size the status bar's panes.
    static constexpr const char* kObjRulesPaneTemplate = "Obj Rules: Default        ";
    static constexpr const char* kFeaturesPaneTemplate = "000000 features";
    static constexpr const char* kPointerPaneTemplate = "Lat -00.00000  Long -000.00000  -00000 ft";
    static constexpr const char* kIdleMessage = "Ready";

    // A main window that asks the user through choices, which must outlive it.
    explicit MainWindow(UserChoices& choices, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the DEM header at path in a window of its own, or activates the window of
    // the document that has it open already; a theater's tile file (".l2") opens in an
    // inspection window. On failure no window is added and the status says why.
    Status OpenFile(const QString& path);
    // Opens the headers named on the command line, in order, each in a window of its
    // own; stops at the first that fails and returns its status.
    Status OpenFiles(const QStringList& paths);
    // The File menu's recent files, newest first.
    const QStringList& recentFiles() const { return m_recentFiles.files(); }

    // The view of the active document window, or null.
    CGridwrightView* activeView() const;
    // The inspection window that is current, if one is.
    TheaterWindow* activeTheaterWindow() const;
    // The action of a command id, or null.
    QAction* action(int commandId) const { return m_actions.value(commandId); }
    QMdiArea* mdiArea() const { return m_mdiArea; }
    DocumentManager& documents() { return m_documents; }
    // Whether a command is running (its dialogs are up or its job is running).
    bool commandRunning() const { return m_commandRunning; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // A document's last window asks to save its changes before it closes.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    // Dropped headers open; E00 and vector files dropped while a document window is
    // active load as features into the window dropped on (else the active one).
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void updateMenus();
    void readSettings();

    QAction* addCommand(int id, const char* objectName, const QString& text, const QString& prompt,
                        const QString& tip = QString());
    QMenu* addMenu(QList<QMenu*>& menus, const char* objectName, const QString& title, const QList<int>& commands);
    void updateActions();
    // The About, recent-file and print commands: connected, and enabled from the
    // active view.
    void createApplicationCommands();
    void createRecentFileEntries();
    void updateApplicationCommands();
    void updateRecentFileEntries();
    void noteRecentFile(const QString& path);
    void updateStatusPanes();
    void updateTitles();
    // A window's theater in titles and questions: its project's file name, else its DEM's.
    // Titles mark it with "*" while it has changes not saved.
    QString theaterName(const CGridwrightView& view) const;

    // Runs command unless another one runs, with every command disabled meanwhile.
    void runCommand(const std::function<void()>& command);
    CommandContext context() { return {this, m_choices}; }
    QMdiSubWindow* addViewWindow(GuiDocument* document);
    // Opens a theater project: its DEM in a window of its own with the project restored
    // (RestoreTheater), its rules made the program's. Fails, saying why, when the project
    // cannot be read or its DEM is open already.
    Status OpenProject(const QString& path);
    // Reads a built theater into an inspection window; one open on the same file already
    // is read afresh in its place.
    Status OpenTheaterWindow(const QString& path);
    QList<QMdiSubWindow*> windowsOf(const GuiDocument* document) const;
    // Keeps the menus, panes and titles following the document and its undo stack.
    void watchDocument(GuiDocument* document);
    // Whether the window may close: its theater has no changes unsaved, or the user
    // saved them or chose to discard them.
    bool maySave(CGridwrightView& view);
    // Makes a change to the document's features and puts it on its undo stack as name,
    // unless it changed nothing.
    void recordFeatures(GuiDocument& document, const QString& name, const std::function<void()>& change);

    void OnFileOpen();
    // Import DEM: on success the new DEM opens in a window of its own, and the status bar
    // says what was written.
    void OnImportDem();
    void OnFileClose();
    void OnUndo(bool redo);
    // Save Theater, or Save Theater As with askName.
    void OnSaveTheater(bool askName);
    void OnGenerateTerrain();
    // Edit E00 Rules: on OK the rules are stored and every view redraws its features.
    void OnEditE00Rules();
    // Height Data of the active view: on OK its preview follows the new bands.
    void OnHeightData();
    void OnLoadE00File();
    void OnLoadVectorData();
    void OnDeleteFeatures();
    void OnLoadObjectiveRules();
    void OnDrawFeatures(bool on);
    void OnWindowNew();
    void OnWindowArrange();
    // The Window menu's list of the document windows, the active one checked; choosing
    // one activates it, restored if it was minimised.
    void updateWindowEntries();
    void OnWindowChosen(QMdiSubWindow* window);
    void OnZoom(int steps);
    void OnAppAbout();
    // Opens the recent file at index; one that fails to open leaves the list.
    void OnRecentFile(int index);
    // Print, Print Preview and Print Setup, all on the program's one printer: the page
    // of the active view (print/TheaterPage.h).
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    QPrinter& printer();

    UserChoices& m_choices;
    DocumentManager m_documents;
    QMdiArea* m_mdiArea = nullptr;
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_noDocumentMenus;
    QList<QMenu*> m_documentMenus;
    const QList<QMenu*>* m_menusShown = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_objRulesPane = nullptr;
    QLabel* m_featuresPane = nullptr;
    QLabel* m_pointerPane = nullptr;
    QMenu* m_windowMenu = nullptr;
    QActionGroup* m_windowEntries = nullptr;
    // The program's one random generator: every Generate run of the program draws on
    // from where the last one stopped.
    CRandom m_random;
    RecentFileList m_recentFiles;
    std::unique_ptr<QPrinter> m_printer;
    bool m_commandRunning = false;
    // While the program closes every window, whose changes were asked for already.
    bool m_closingAll = false;
};

}  // namespace gw
