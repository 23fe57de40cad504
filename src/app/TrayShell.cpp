#include "app/TrayShell.h"

#include "editor/frmMain.h"
#include "media/SoundOutput.h"
#include "session/Session.h"
#include "ui/Services.h"
#include "ui/UserDialogs.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace zento {

namespace {
constexpr auto kTrayWatchFast = std::chrono::seconds(3);
constexpr auto kTrayWatchSlow = std::chrono::seconds(15);
constexpr int kFastTrayChecks = 40; // two minutes: the time a session takes to start its panel
} // namespace

TrayShell::TrayShell(frmMain& window, Session& session, Services& services, TrayProbe trayAvailable,
                     QObject* parent)
    : QObject(parent), m_window(window), m_session(session), m_services(services),
      m_trayAvailable(std::move(trayAvailable)) {
    m_trayWatch.setObjectName(QStringLiteral("TrayWatch"));
    m_trayWatch.setTimerType(Qt::VeryCoarseTimer);
    m_trayWatch.setInterval(kTrayWatchFast);
    connect(&m_trayWatch, &QTimer::timeout, this, &TrayShell::checkTray);

    m_mnuMenu = new QMenu(tr("Menu"));
    m_mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    QAction* show = m_mnuMenu->addAction(tr("Gérer les alertes"));
    show->setObjectName(QStringLiteral("mnuAffiche"));
    QAction* hide = m_mnuMenu->addAction(tr("Masquer"));
    hide->setObjectName(QStringLiteral("mnuMasquer"));
    QAction* quit = m_mnuMenu->addAction(tr("Quitter"));
    quit->setObjectName(QStringLiteral("mnuQuit"));
    connect(show, &QAction::triggered, this, &TrayShell::mnuAffiche_Click);
    connect(hide, &QAction::triggered, this, &TrayShell::mnuMasquer_Click);
    connect(quit, &QAction::triggered, this, &TrayShell::mnuQuit_Click);

    connect(&m_window, &frmMain::hideRequested, this, &TrayShell::mnuMasquer_Click);
    connect(&m_window, &frmMain::quitRequested, this, &TrayShell::mnuQuit_Click);
    connect(&m_window, &frmMain::closeRequested, this, &TrayShell::closeRequested);
    // Queued: the window finishes becoming minimised (and shown) before it is hidden.
    connect(&m_window, &frmMain::minimized, this, &TrayShell::minimized, Qt::QueuedConnection);
}

TrayShell::~TrayShell() {
    // The icon leaves the notification area with the program.
    if (m_icon)
        m_icon->hide();
    delete m_icon;
    delete m_mnuMenu;
}

bool TrayShell::AddTrayIcon() {
    if (!m_trayAvailable())
        return false;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/zento.svg")), this);
        m_icon->setObjectName(QStringLiteral("TrayIcon"));
        m_icon->setToolTip(applicationTitle());
        m_icon->setContextMenu(m_mnuMenu);
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                mnuAffiche_Click();
        });
    }
    m_icon->show();
    m_trayWatch.stop();
    return true;
}

void TrayShell::checkTray() {
    if (hasTrayIcon() || AddTrayIcon()) {
        m_trayWatch.stop();
        return;
    }
    if (++m_trayChecks == kFastTrayChecks)
        m_trayWatch.setInterval(kTrayWatchSlow);
    if (!m_trayWatch.isActive())
        m_trayWatch.start();
}

bool TrayShell::iconCanBringBack() const {
    return hasTrayIcon() && m_trayAvailable();
}

void TrayShell::start(bool storeExists) {
    if (AddTrayIcon()) {
        m_window.hide();
        if (!storeExists)
            mnuAffiche_Click();
        return;
    }
    // No notification area (yet): a hidden window could never be reached again.
    mnuAffiche_Click();
    m_trayWatch.start();
}

void TrayShell::mnuAffiche_Click() {
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.ListeAlertes();
    m_window.cmdUndoNew_Click();
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void TrayShell::mnuMasquer_Click() {
    if (iconCanBringBack())
        m_window.hide();
    else
        m_window.showMinimized();
}

void TrayShell::mnuQuit_Click() {
    const QString question =
        tr("Arreter Zento ?") + QStringLiteral("\n\n") + tr("Non = mode veille") + QStringLiteral("\n\n");
    if (m_services.dialogs.ask(&m_window, question, UserDialogs::Icon::None))
        endProgram();
    else
        mnuMasquer_Click();
}

void TrayShell::closeRequested() {
    if (m_session.openPopupCount() == 0) {
        endProgram();
        return;
    }
    // A popup keeps the program alive, and the tick goes on; the window goes where it can be
    // found again.
    m_window.cmdUndoNew_Click();
    mnuMasquer_Click();
}

void TrayShell::activateRequested() {
    // Whatever state the window was left in, the user asked for it.
    if (!m_window.isVisible() || m_window.isMinimized())
        m_window.ListeAlertes(); // the grid follows reloads only while it shows
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void TrayShell::minimized() {
    // Minimising hides into the notification area; without one the window stays in the task bar.
    if (iconCanBringBack() && m_window.isMinimized())
        m_window.hide();
}

void TrayShell::endProgram() {
    m_services.sound.StopSound();
    if (m_icon)
        m_icon->hide();
    Q_EMIT quitNow();
}

} // namespace zento
