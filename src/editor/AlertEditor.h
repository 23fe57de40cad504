#pragma once

#include "store/Alerte.h"

#include <QGroupBox>

#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace zento {

class AppearanceChooser;
class MessageTextBox;
class SoundPreview;
class Session;
class WrappingButton;
class ucMiniCal;
struct Services;

/// The editor panel "fraEdit" ("Options d'alerte") of the main window, where an alert is
/// composed or changed. It holds the alert being edited in its controls only; nothing is stored
/// until the main window stores what `readAlert()` gives.
class AlertEditor final : public QGroupBox {
    Q_OBJECT
public:
    enum class Mode { List, Adding, Modifying };

    AlertEditor(Session& session, Services& services, QWidget* parent = nullptr);

    /// Fills the recurrence, hour, minute and sound lists (the window's loading).
    void fillLists(const QStringList& waveFiles);

    /// Opens on a new alert (the session's, with the defaults of new alerts): its date, its
    /// colours and emoticon, "Unique", "Popup + son" with its sound, the empty message under the
    /// placeholder; the time lists keep the hour and minute last shown.
    void openNew(const Alerte& fresh);
    /// Opens on a stored alert. Values that cannot be shown (a date that is not a date, a
    /// recurrence outside 0..8) open as today and "Unique"; nothing changes until saved.
    void openExisting(const Alerte& alert);
    /// Back to the list; nothing is asked, stored or reset.
    void closeEditor();

    Mode mode() const { return m_mode; }

    /// The ten fields as the controls hold them (Id left 0).
    Alerte readAlert() const;

    ucMiniCal* dateBox() const { return m_ucDate; }
    AppearanceChooser* chooser() const { return m_chooser; }
    MessageTextBox* messageBox() const { return m_txtMessage; }
    QToolButton* imgPlay() const { return m_imgPlay; }
    QToolButton* imgStop() const { return m_imgStop; }
    QToolButton* imgPlaygris() const { return m_imgPlaygris; }
    QToolButton* imgStopGris() const { return m_imgStopGris; }
    SoundPreview* preview() const { return m_preview; }

    // What the test popup of the editor shows.
    bool hasTime() const;
    QString hourText() const;
    QString minuteText() const;
    bool soundSelected() const;
    QString soundName() const;
    bool loopChecked() const;
    QString actionText() const;

    // The handlers, named after their controls.
    void chkHeure_Click();
    void optAlert_Click();
    void cmdPath_Click();
    void hidePlaceholder();

Q_SIGNALS:
    void addClicked();
    void undoClicked();
    void hideClicked();
    void quitClicked();
    void testPopupRequested();
    void testActionRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    /// Ends a running sound preview (sound and look); nothing else is silenced.
    void stopPreview();
    void buildControls();
    void selectWave(const QString& name, bool addWhenMissing);
    static void selectText(QComboBox* list, const QString& text, bool addWhenMissing);
    void resetExtraListEntries();

    Session& m_session;
    Services& m_services;
    Mode m_mode = Mode::List;

    ucMiniCal* m_ucDate = nullptr;
    QCheckBox* m_chkHeure = nullptr;
    QFrame* m_fraHeure = nullptr;
    QComboBox* m_cmbH = nullptr;
    QComboBox* m_cmbM = nullptr;
    QComboBox* m_cmbPeriodique = nullptr;
    MessageTextBox* m_txtMessage = nullptr;
    QLineEdit* m_Text1 = nullptr;
    QRadioButton* m_optPopup = nullptr;    ///< optAlert(0)
    QRadioButton* m_optPopupSon = nullptr; ///< optAlert(1)
    QComboBox* m_cmbWave = nullptr;
    QCheckBox* m_chkReveil = nullptr;
    QToolButton* m_imgPlay = nullptr;
    QToolButton* m_imgStop = nullptr;
    QToolButton* m_imgPlaygris = nullptr;
    QToolButton* m_imgStopGris = nullptr;
    SoundPreview* m_preview = nullptr;
    QLineEdit* m_txtAction = nullptr;
    QPushButton* m_cmdPath = nullptr;
    WrappingButton* m_cmdAdd = nullptr;
    AppearanceChooser* m_chooser = nullptr;
    QStringList m_waveFiles;
};

} // namespace zento
