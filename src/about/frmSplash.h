#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>

class QLabel;
class QTimer;

namespace zento {

class ActionLauncher;

/// The window "frmSplash": the program's name, version and icon, the maker's name, the tagline
/// and a link to the product's web page. It serves twice: as the splash of the start, which
/// closes itself after three seconds, and as the About window, which stays until dismissed.
/// Either closes on a key or a click on the frame; it deletes itself when closed, so hold it in
/// a QPointer. Closing it never ends the program, even when no other window is visible.
class frmSplash final : public QFrame {
    Q_OBJECT
public:
    /// The maker's web address shown under the frame.
    static constexpr const char* MakerWebAddress = "www.olvani.example";
    /// The page that a click on that address opens.
    static constexpr const char* ProductPageUrl = "https://www.olvani.example/zento";
    /// How long the splash stays by itself.
    static constexpr int kSplashDurationMs = 3000;

    /// Loads the window; its timer `Timer1` starts at once, as the splash needs.
    explicit frmSplash(ActionLauncher& launcher, QWidget* parent = nullptr);

    /// Splash role: shows the window without an owner and without waiting; it closes itself
    /// when `Timer1` fires, or earlier on a key or a click on the frame. Does not re-arm a
    /// timer that showAbout() stopped.
    void showSplash();
    /// About role: switches `Timer1` off, then shows the window and brings it forward; it stays
    /// until a key or a click on the frame.
    void showAbout();
    /// True while the window will close by itself (the splash role).
    bool closesByItself() const;

    /// The About command: reuses `window` until it has been closed (the splash of the start
    /// then stops closing by itself), otherwise loads a fresh one into it. Returns the window.
    static frmSplash* openAbout(QPointer<frmSplash>& window, ActionLauncher& launcher);

    /// "Version <major>.<minor>.<patch>" of this program.
    static QString versionText();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Label6_Click();
    void layoutControls();
    void updateLinkText();
    void placeOnScreen();
    void takeKeys();

    ActionLauncher& m_launcher;
    QFrame* m_frame1 = nullptr;
    QLabel* m_lblCompanyProduct = nullptr;
    QLabel* m_lblProductName = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_imgLogo = nullptr;
    QLabel* m_label6 = nullptr;
    QTimer* m_timer1 = nullptr;
    bool m_closed = false; ///< unloaded: deleted soon, never shown again
};

} // namespace zento
