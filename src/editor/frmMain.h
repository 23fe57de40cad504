#pragma once

#include "store/Alerte.h"
#include "store/Result.h"

#include <QMainWindow>

#include <cstdint>
#include <optional>

class QAction;
class QFrame;
class QMenu;
class QPushButton;

namespace zento {

class AlarmGrid;
class AlertEditor;
class Session;
struct Services;

/// The main window "Zento": the grid of the session's alerts with its commands, and the editor
/// panel over it. Every change goes through the session, which saves it and reloads; the grid
/// is refilled from the reloaded table while the window shows.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    frmMain(Session& session, Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    /// Rebuilds the grid from the session's table.
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
    /// "Exporter les alertes…": the alerts as an iCalendar file the user names.
    void mnuExport_Click();
    /// "Importer des alertes…": the events and tasks of an iCalendar file the user picks; the
    /// file's actions come in only when the user agrees, after seeing them.
    void mnuImport_Click();

    AlarmGrid* grid() const { return m_grid; }
    AlertEditor* editor() const { return m_editor; }
    QMenu* fileMenu() const { return m_mnuFile; }

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
    /// Shows why the editor's alert was not stored; the editor stays open with what was typed.
    void refused(const Error& error);
    void showGridMenu(const QPoint& globalPos);
    /// The alert of the grid's current row, as loaded; nullopt with SelectedAlertId 0 or no
    /// data row current (the caller asks the user to pick one).
    std::optional<Alerte> currentRowAlert() const;

    Session& m_session;
    Services& m_services;
    std::int32_t m_editingId = 0; ///< the alert opened for modification

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
    QAction* m_mnuImport = nullptr;
    QAction* m_mnuExport = nullptr;
    QAction* m_mnuMasque = nullptr;
    QAction* m_mnuQuitter = nullptr;
};

} // namespace zento
