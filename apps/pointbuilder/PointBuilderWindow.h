#pragma once

#include "model/PointSaveResult.h"
#include "sdk/SdkChangeHistory.h"
#include "sdk/SdkFwd.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace vq {

class PointBuilderSettings;
class PointTableWindow;
class PropSheetEntries;
class PropSheetEntry;
class TagCompleter;
class TagwrightDlgs;
class VQCompressionSpecs;
class VQPointPropSheet;

// The Point Builder: engineers choose a server, create a point of one of its classes or open one
// by tag, and edit it in a categorized and an alphabetic property sheet with the compression and
// exception panels beside them. All four views share one entry collection; the status bar follows
// its events and says what is edited, what is invalid and how the last save went. Each command is
// one action, in the menus and behind the button that shows it. The geometry, the server and the
// recent points are remembered between runs (see PointBuilderSettings).
class PointBuilderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PointBuilderWindow(QWidget* parent = nullptr);
    ~PointBuilderWindow() override;

    // Chooses a server of the server list by name; False when the list does not hold it.
    bool selectServer(const QString& name);
    SdkServerPtr server() const { return m_server; }
    // A new point of `className` on the chosen server, named `tag` unless that is empty.
    bool newPoint(const QString& className, const QString& tag);
    // The stored point `tag` of the chosen server; an unknown tag is reported.
    bool openPoint(const QString& tag);
    // Saves the edits; the outcome shows in the status bar, failures in a message.
    bool save();
    // Drops the edits: the point is read again, a new point gets its class defaults again.
    void revert();
    // Finds a point in the search dialog, on the chosen server unless the user picks others, and
    // opens it; one on another server switches the window to that server. False when cancelled.
    bool findPoint();
    // Finds points, several at once, and shows their properties read-only.
    void showPointProperties();
    // The Points window, where many points are edited at once; made on first use.
    PointTableWindow* showPointsWindow();
    // The points last chosen with Properties..., added to the Points window.
    void editSelectionInPoints();
    // Opens a point the Points window asks for in the single-point view, on its server.
    bool openTablePoint(const SdkPointPtr& point);
    // Opens a point of the recent-points menu on its server; one that no longer exists is told
    // and taken off the menu.
    bool openRecent(int position);
    // The connection manager, where servers are connected and added; the server list follows it.
    void showConnections();
    void showAbout();
    static QString aboutText();
    // The open point's change sets, newest first; "Restore these values" there loads the values
    // before the chosen change as edits (PointBuilderHistory.cpp). True when values were restored.
    bool showHistory();

    // The window a first start shows: both sheets and both panels whole.
    static QSize firstSize();
    // The command of that name ("actFind", "actSave", ...), as the menus and buttons hold it.
    QAction* action(const QString& name) const;
    TagCompleter* tagCompleter() const { return m_completer; }
    const PointBuilderSettings& settings() const { return *m_settings; }

    const std::shared_ptr<PropSheetEntries>& entries() const { return m_entries; }
    VQPointPropSheet* categorizedSheet() const { return m_categorized; }
    VQPointPropSheet* alphabeticSheet() const { return m_alphabetic; }
    VQCompressionSpecs* compressionPanel() const { return m_compression; }
    VQCompressionSpecs* exceptionPanel() const { return m_exception; }
    // The status bar's texts, left to right, joined by " | ".
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void makeActions();
    QAction* makeAction(const QString& name, const QString& text, const QString& tip);
    void makeMenus();
    void fillRecentMenu();
    void rememberPoint();
    QWidget* makeChooser();
    QWidget* makeEditors();
    void makeStatusBar();
    void connectActions();
    void fillServers();
    void serverChosen(int index);
    // The server list as other windows and programs change it (PointBuilderServerList.cpp).
    void followServerList();
    void serverListChanged();
    void serverRemoved(const QString& name);
    void closePoint();
    void markUnlistedRecentPoints();
    static bool isListed(const QString& server);
    QString unlistedNote() const;
    void fillClasses();
    // A new point's entries: the class defaults, and the tag unless it is empty.
    static std::shared_ptr<PropSheetEntries> newPointEntries(const SdkServerPtr& server,
                                                             const QString& className, const QString& tag);
    void reopenSavedPoint();
    bool resolveStaleEdit(PointSaveResult& result);
    void presentSaveFailure(const PointSaveResult& result);
    QString notSavedText(const QString& tag, const PointSaveResult& result);
    void bindStoredPoint(const SdkPointPtr& point);
    bool loadPoint(const QString& tag);
    bool openFound(const SdkPointListPtr& found);
    bool mayDropEdits();
    bool hasUnsavedEdits() const;
    bool mayRevert();
    bool mayQuit();
    void showOpenPoint();
    QString pointTitle() const;
    void bind(std::shared_ptr<PropSheetEntries> entries);
    void bindPanel(VQCompressionSpecs* panel, QGroupBox* frame);
    void entryPending(PropSheetEntry* entry);
    void entryEdited(PropSheetEntry* entry);
    void refreshStatus();
    void showSaveResult(const QString& text);
    SdkChangeHistoryPtr openPointHistory() const;
    void updateHistoryAction();
    bool restoreValues(const SdkChangeSet& set, const std::vector<SdkAttributeChange>& changes);

    std::unique_ptr<PointBuilderSettings> m_settings;
    // Kept for the window's life: a second Find shows the last criteria and results.
    std::unique_ptr<TagwrightDlgs> m_dialogs;
    SdkServerPtr m_server;
    std::shared_ptr<PropSheetEntries> m_entries;
    const PropSheetEntry* m_lastPending = nullptr;
    QString m_newPointTag;    // the tag a new point was started with, for Revert
    bool m_untouched = true;  // nothing typed since the entries were bound: nothing to lose

    QAction* m_actNew;
    QAction* m_actOpen;
    QAction* m_actSave;
    QAction* m_actRevert;
    QMenu* m_mnuRecent;
    QComboBox* m_cboServer;
    QComboBox* m_cboPointClass;
    QLineEdit* m_txtTag;
    TagCompleter* m_completer;
    QPushButton* m_cmdNew;
    QPushButton* m_cmdOpen;
    QPushButton* m_cmdFind;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdRevert;
    VQPointPropSheet* m_categorized;
    VQPointPropSheet* m_alphabetic;
    VQCompressionSpecs* m_compression;
    VQCompressionSpecs* m_exception;
    QGroupBox* m_compressionFrame;
    QGroupBox* m_exceptionFrame;
    QLabel* m_lblPoint;
    QLabel* m_lblEdited;
    QLabel* m_lblInvalid;
    QLabel* m_lblSaved;
    PointTableWindow* m_pointsWindow = nullptr;
    SdkPointListPtr m_propertiesSelection;  // the points Properties... last showed
};

}  // namespace vq
