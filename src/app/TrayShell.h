#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;

namespace zento {

class Session;
class frmMain;
struct Services;

/// The program's presence in the notification area and the main window's life: shown, hidden
/// ("mode veille"), quitting. Where the desktop has no notification area the window stays
/// reachable instead: it is shown at start, and hiding it minimises it to the task bar.
class TrayShell final : public QObject {
    Q_OBJECT
public:
    /// `trayAvailable`: whether the desktop has a notification area (asked of the platform by
    /// the program, given by tests).
    TrayShell(frmMain& window, Session& session, Services& services, bool trayAvailable,
              QObject* parent = nullptr);
    ~TrayShell() override;

    /// The end of the window's loading: registers the icon, then hides the window (standby),
    /// or shows it when the store does not exist yet, or when there is no notification area.
    void start(bool storeExists);

    /// Registers the notification icon (tip "Zento", the program icon); false when the desktop
    /// has none.
    bool AddTrayIcon();

    void mnuAffiche_Click(); ///< "Gérer les alertes": grid refilled, edit abandoned, window shown
    void mnuMasquer_Click(); ///< "Masquer": hidden (minimised when there is no notification area)
    void mnuQuit_Click();    ///< "Quitter": asks "Arreter Zento ?"; Yes ends, No hides
    /// The title-bar close box: ends the program when no popup is open; otherwise the window
    /// goes and the program stays for the popups (alerts keep falling due).
    void closeRequested();
    /// A second copy was started: restore the window if minimised and bring it forward; a
    /// hidden window stays hidden.
    void activateRequested();
    /// The window was minimised.
    void minimized();

    bool hasTrayIcon() const { return m_icon != nullptr; }
    QSystemTrayIcon* trayIcon() const { return m_icon; }
    QMenu* mnuMenu() const { return m_mnuMenu; }

Q_SIGNALS:
    /// The user confirmed "Quitter" (or closed the last window): the program ends now.
    void quitNow();

private:
    void endProgram();

    frmMain& m_window;
    Session& m_session;
    Services& m_services;
    bool m_trayAvailable;
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_mnuMenu = nullptr;
};

} // namespace zento
