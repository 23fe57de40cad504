#pragma once

#include <QTextEdit>

namespace zento {

/// The editor's message box: centred, wrapped text on one logical line (the store keeps a
/// message on one line, so no key breaks it and pasted line breaks become blanks), and a limit
/// of 60 typed characters. Enter asks to save the alert. A longer message loaded from the store is kept
/// whole: the limit then only stops it from growing.
class MessageTextBox final : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxTypedLength = 60;

    explicit MessageTextBox(QWidget* parent = nullptr);

    /// Sets the text as loaded (any length); the typing limit becomes max(60, its length).
    void setMessage(const QString& text);
    QString message() const { return toPlainText(); }

Q_SIGNALS:
    void clicked();
    /// The user brought the focus here (Tab, a click, a shortcut), not the program.
    void focused();
    /// The user typed into the box.
    void typing();
    /// Enter (or Return) without Shift: the user wants the alert saved.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void enforceLimit();
    void centre();

    int m_maxLength = kMaxTypedLength;
    QString m_lastAccepted;
    bool m_enforcing = false;
};

} // namespace zento
