#pragma once

#include "popup/EditorPreview.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace zento {

class PopupHost;
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
/// the alert unchanged and switches the due-alert tick on again, so later alerts still come.
/// Closing any popup silences the program's sound; the window deletes itself once closed.
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
    /// choice); the tick is switched on and the popup closes.
    /// When a write fails, the user is told and the popup stays open to try again.
    void cmdReport_Click();

    bool isTestMode() const { return !m_alertId.has_value(); }
    /// The Id of the alert shown; nullopt in a test popup.
    std::optional<std::int32_t> alertId() const { return m_alertId; }
    /// The index of the emoticon picture shown.
    int emoticonIndex() const { return m_emoticon; }

    /// The values the answers use, as the hidden labels of the window held them: table position
    /// when shown (lblId) and Id (lblINI), both empty in a test popup; recurrence code (lblP)
    /// and date (lblD), empty for a one-off alert; sound path (lblSon) and loop flag (lblRepet).
    const QString& lblId() const { return m_lblId; }
    const QString& lblINI() const { return m_lblINI; }
    const QString& lblP() const { return m_lblP; }
    const QString& lblD() const { return m_lblD; }
    const QString& lblSon() const { return m_lblSon; }
    const QString& lblRepet() const { return m_lblRepet; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend frmAlerte* ShowAlertPopup(PopupHost& host, Services& services, std::int32_t position,
                                     bool testMode);
    friend frmAlerte* ShowEditorTestPopup(PopupHost& host, Services& services, const EditorPreview& values);

    frmAlerte(PopupHost& host, Services& services);

    void setColors(const std::optional<QColor>& background, const std::optional<QColor>& text);
    void setEmoticon(int index);
    void setEmoticonTip(const QString& tip);
    void setTestMode();
    void showPopup();
    void answered();

    PopupHost& m_host;
    Services& m_services;

    QLabel* m_lblDateMess = nullptr;
    QPushButton* m_img = nullptr;
    QScrollArea* m_fraMessage = nullptr;
    QLabel* m_lblMessage = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QPushButton* m_cmdModify = nullptr;
    QComboBox* m_cmbReport = nullptr;
    QPushButton* m_cmdReport = nullptr;

    std::optional<std::int32_t> m_alertId;
    int m_emoticon = kDefaultEmoticon;
    QString m_lblId, m_lblINI, m_lblP, m_lblD, m_lblSon, m_lblRepet;
    bool m_answered = false; ///< an answer was applied: the close that follows is no abandon
    bool m_closed = false;
};

/// Builds the popup of the alert at `position` of the host's table and shows it without
/// waiting: colours, date line, message, emoticon, recurrence; opens the alert's action first
/// (in test mode as well). A record whose colours, emoticon or recurrence do not convert still
/// pops up (normal colours, the push pin, one-off). Normal popups are announced with
/// host.popupOpened; every popup ends with host.popupClosed. Returns nullptr, showing nothing,
/// for a position outside the table.
frmAlerte* ShowAlertPopup(PopupHost& host, Services& services, std::int32_t position, bool testMode);

/// A test popup of the editor's current values: the date (and time) above the message, the
/// editor's colours and emoticon, its sound only with "Popup + son". The action is not opened
/// and "Reporter" is disabled.
frmAlerte* ShowEditorTestPopup(PopupHost& host, Services& services, const EditorPreview& values);

} // namespace zento
