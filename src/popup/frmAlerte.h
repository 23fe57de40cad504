#pragma once

#include "popup/EditorPreview.h"
#include "service/AlertService.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace zento {

class Session;
struct Services;

/// The popup of an alert: its date, its message in its colours and its emoticon, its sound while
/// it is the active window, and the user's answers: acknowledge (the emoticon or "Fermer"),
/// snooze ("Reporter" after "Reporter de" N "minutes").
///
/// A popup keeps its own copy of what its answers need (the alert's Id, recurrence, date, sound
/// and loop flag), so it stands by itself once shown; a reload of the table meanwhile does not
/// move it onto another alert. A test popup has no Id: its answers change nothing.
///
/// It has no close box: the user answers. A popup closed anyway (by the window manager) leaves
/// the alert unchanged; the session switches the tick on again once it is gone. Closing any
/// popup silences the program's sound; the window deletes itself once closed.
class frmAlerte final : public QWidget {
    Q_OBJECT
public:
    ~frmAlerte() override;

    /// Acknowledge: a one-off alert is deleted, a periodic one moves to its next date; then the
    /// table is reloaded and the popup closes. A test popup only reloads and closes.
    void img_Click();
    /// "Fermer": the same as a click on the emoticon.
    void cmdClose_Click();
    /// Snooze: the alert moves to today, now plus the chosen minutes (now itself with no
    /// choice) and the popup closes.
    /// When a write fails, the user is told and the popup stays open to try again.
    void cmdReport_Click();

    bool isTestMode() const { return m_testMode; }
    /// The Id of the alert shown; nullopt in a test popup.
    std::optional<std::int32_t> alertId() const {
        return m_testMode ? std::nullopt : std::optional<std::int32_t>(m_alert.id);
    }
    /// What the answers use (in a test popup only the sound and the loop flag mean something).
    const DueAlert& alert() const { return m_alert; }
    /// The index of the emoticon picture shown.
    int emoticonIndex() const { return m_emoticon; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend frmAlerte* ShowAlertPopup(Session& session, Services& services, const Alerte& alert, bool testMode);
    friend frmAlerte* ShowEditorTestPopup(Session& session, Services& services, const EditorPreview& values);

    frmAlerte(Session& session, Services& services);

    void setColors(const std::optional<QColor>& background, const std::optional<QColor>& text);
    void setEmoticon(int index);
    void setEmoticonTip(const QString& tip);
    void setTestMode();
    void showPopup();
    void answered();
    /// Reports a failed answer; true when the answer went through.
    bool succeeded(const Status& status);

    Session& m_session;
    Services& m_services;

    QLabel* m_lblDateMess = nullptr;
    QPushButton* m_img = nullptr;
    QScrollArea* m_fraMessage = nullptr;
    QLabel* m_lblMessage = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QPushButton* m_cmdModify = nullptr;
    QComboBox* m_cmbReport = nullptr;
    QPushButton* m_cmdReport = nullptr;

    DueAlert m_alert;
    bool m_testMode = false;
    int m_emoticon = kDefaultEmoticon;
    bool m_answered = false; ///< an answer was applied: the close that follows is no abandon
    bool m_closed = false;
};

/// Builds the popup of an alert and shows it without waiting: colours, date line, message,
/// emoticon, recurrence; opens the alert's action first (in test mode as well). A record whose
/// colours, emoticon or recurrence do not convert still pops up (normal colours, the push pin,
/// one-off). The session follows the popup from then on.
frmAlerte* ShowAlertPopup(Session& session, Services& services, const Alerte& alert, bool testMode);

/// A test popup of the editor's current values: the date (and time) above the message, the
/// editor's colours and emoticon, its sound only with "Popup + son". The action is not opened
/// and "Reporter" is disabled.
frmAlerte* ShowEditorTestPopup(Session& session, Services& services, const EditorPreview& values);

} // namespace zento
