#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace zento {

class Session;
class frmMain;
struct Services;

/// The program's presence in the notification area and the main window's life: shown, hidden
/// ("mode veille"), quitting. The window is hidden only while the icon can bring it back:
/// without a notification area it is shown at start and hiding it minimises it to the task bar.
/// A notification area that comes later (a panel started after the program) gets the icon as
/// soon as it is seen; the window stays as it is.
class TrayShell final : public QObject {
    Q_OBJECT
public:
    /// Whether the desktop has a notification area now (asked of the platform by the program,
    /// scripted by tests).
    using TrayProbe = std::function<bool()>;

    TrayShell(frmMain& window, Session& session, Services& services, TrayProbe trayAvailable,
              QObject* parent = nullptr);
    ~TrayShell() override;

    /// The end of the window's loading: registers the icon, then hides the window (standby),
    /// or shows it when the store does not exist yet, or when there is no notification area.
    void start(bool storeExists);

    /// Registers the notification icon (tip "Zento", the program icon); false when the desktop
    /// has none.
    bool AddTrayIcon();

    void mnuAffiche_Click(); ///< "Gérer les alertes": grid refilled, edit abandoned, window shown
    void mnuMasquer_Click(); ///< "Masquer": hidden (minimised when no icon can bring it back)
    void mnuQuit_Click();    ///< "Quitter": asks "Arreter Zento ?"; Yes ends, No is Masquer
    /// The title-bar close box: ends the program when no popup is open; otherwise the edit is
    /// abandoned, the window put away as by Masquer, and the program stays for the popups.
    void closeRequested();
    /// A second copy was started: the window comes forward, whether it was hidden, minimised
    /// or minimised into the notification area (an edit in progress is kept).
    void activateRequested();
    /// The window was minimised.
    void minimized();

    /// Looks for a notification area that appeared since the start and registers the icon in
    /// it. Run by `trayWatch` while there is no icon: every 3 s for the first two minutes,
    /// then every 15 s, so that a desktop without one costs next to nothing.
    void checkTray();
    QTimer& trayWatch() { return m_trayWatch; }

    bool hasTrayIcon() const { return m_icon != nullptr; }
    QSystemTrayIcon* trayIcon() const { return m_icon; }
    QMenu* mnuMenu() const { return m_mnuMenu; }

Q_SIGNALS:
    /// The user confirmed "Quitter" (or closed the last window): the program ends now.
    void quitNow();

private:
    void endProgram();
    /// The icon is there and a notification area shows it: hiding the window loses nothing.
    bool iconCanBringBack() const;

    frmMain& m_window;
    Session& m_session;
    Services& m_services;
    TrayProbe m_trayAvailable;
    QTimer m_trayWatch;
    int m_trayChecks = 0;
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_mnuMenu = nullptr;
};

} // namespace zento
