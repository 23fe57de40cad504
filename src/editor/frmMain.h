#pragma once

#include "popup/PopupHost.h"
#include "schedule/DueScan.h"
#include "store/AlertStore.h"
#include "store/AlertTable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <string>
#include <vector>

class QAction;
class QFrame;
class QMenu;
class QPushButton;

namespace zento {

class AlarmGrid;
class AlertEditor;
class frmAlerte;
struct Services;

/// The main window "Zento": the grid of alerts with its commands, the editor panel over it,
/// and the due-alert timer. It holds the loaded table; the store file stays the only truth:
/// every change is written there at once, then the table is reloaded and the grid refilled.
class frmMain final : public QMainWindow, public PopupHost {
    Q_OBJECT
public:
    frmMain(AlertStore& store, Services& services, std::string defaultEmoticon, QWidget* parent = nullptr);
    ~frmMain() override;

    /// Rebuilds the grid from the loaded table.
    void ListeAlertes();

    // Commands, named after their controls.
    void cmdNew_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
    void cmdAdd_Click();
    void cmdUndoNew_Click();
    void cmdTest_Click();
    void mnuTestPoPup_Click();
    void mnuTest_Click();
    void mnuTestAction_Click();
    void Timer1_Timer();
    /// The store was changed from outside (zento --add or --delete): reload it at once, and
    /// refill the grid when it shows, so the new alert is listed and falls due on time.
    void storeChangedOutside();

    AlarmGrid* grid() const { return m_grid; }
    AlertEditor* editor() const { return m_editor; }
    QTimer& Timer1() { return m_timer; }
    QMenu* fileMenu() const { return m_mnuFile; }
    const std::vector<QPointer<frmAlerte>>& openPopups() const { return m_popups; }
    /// Popups still open, test popups included.
    int openPopupCount() const;

    // PopupHost
    AlertStore& store() override { return m_store; }
    const AlertTable& table() const override { return m_table; }
    void LoadAllAlerts() override;
    void enableTimer() override;
    void snoozed(std::int32_t id, const std::string& alertDate, const std::string& alertTime) override;
    void popupOpened(frmAlerte* popup) override;
    void popupClosed(frmAlerte* popup) override;
    QString waveFolder() const override;

Q_SIGNALS:
    /// "Masquer" (menu or button): the shell hides the window.
    void hideRequested();
    /// "Quitter" (menu or button): the shell asks and quits.
    void quitRequested();
    /// "A propos" → "de Zento".
    void aboutRequested();
    /// The title-bar close box.
    void closeRequested();
    /// The window was minimised.
    void minimized();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildListPanel();
    void setListCommandsEnabled(bool enabled);
    void AddAlert();
    void SaveAlert();
    void showGridMenu(const QPoint& globalPos);
    /// Position in the loaded table of the grid's current row, or 0 (with SelectedAlertId 0 or
    /// no data row current, the caller asks the user to pick one).
    std::int32_t currentRowTablePosition() const;
    bool storeNumberOfAlerts();

    AlertStore& m_store;
    Services& m_services;
    std::string m_defaultEmoticon;
    AlertTable m_table;
    DueSchedule m_schedule;
    QTimer m_timer;
    std::vector<QPointer<frmAlerte>> m_popups;
    std::int32_t m_editingId = 0; ///< the alert opened for modification
    bool m_loadFailureShown = false;

    QFrame* m_frame1 = nullptr;
    AlarmGrid* m_grid = nullptr;
    AlertEditor* m_editor = nullptr;
    QPushButton* m_cmdNew = nullptr;
    QPushButton* m_cmdModify = nullptr;
    QPushButton* m_cmdTest = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdMasque = nullptr;
    QPushButton* m_cmdQuit = nullptr;
    QMenu* m_mnuFile = nullptr;
    QAction* m_mnuNew = nullptr;
    QAction* m_mnuModify = nullptr;
    QAction* m_mnuDelete = nullptr;
    QAction* m_mnuTestPoPup = nullptr;
    QAction* m_mnuMasque = nullptr;
    QAction* m_mnuQuitter = nullptr;
};

} // namespace zento
