#include "editor/MessageTextBox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zento {

MessageTextBox::MessageTextBox(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    centre();
    connect(this, &QTextEdit::textChanged, this, &MessageTextBox::enforceLimit);
}

void MessageTextBox::centre() {
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignHCenter);
    document()->setDefaultTextOption(option);
}

void MessageTextBox::setMessage(const QString& text) {
    m_maxLength = std::max<int>(kMaxTypedLength, static_cast<int>(text.size()));
    m_enforcing = true;
    setPlainText(text);
    centre();
    m_enforcing = false;
    m_lastAccepted = text;
    moveCursor(QTextCursor::End);
}

void MessageTextBox::enforceLimit() {
    if (m_enforcing)
        return;
    const QString now = toPlainText();
    if (now.size() <= m_maxLength) {
        m_lastAccepted = now;
        return;
    }
    // Typed past the limit: the keystroke (or paste) is refused, as a length-limited box does.
    m_enforcing = true;
    const int cursorPos = std::min<int>(textCursor().position(), static_cast<int>(m_lastAccepted.size()));
    setPlainText(m_lastAccepted);
    centre();
    QTextCursor c = textCursor();
    c.setPosition(std::max(0, cursorPos - static_cast<int>(now.size() - m_lastAccepted.size())));
    setTextCursor(c);
    m_enforcing = false;
}

void MessageTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // No line break ever goes in (the store keeps one line). Enter saves, as elsewhere in
        // the editor; Shift+Enter, where other programs break the line, does nothing, and a
        // held key saves once.
        if (!(event->modifiers() & Qt::ShiftModifier) && !event->isAutoRepeat())
            Q_EMIT enterPressed();
        event->accept();
        return;
    }
    if (!event->text().isEmpty())
        Q_EMIT typing();
    QTextEdit::keyPressEvent(event);
}

void MessageTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const int room = m_maxLength - static_cast<int>(toPlainText().size()) +
                     static_cast<int>(textCursor().selectedText().size());
    if (room <= 0)
        return;
    textCursor().insertText(text.left(room));
}

void MessageTextBox::mousePressEvent(QMouseEvent* event) {
    Q_EMIT clicked();
    QTextEdit::mousePressEvent(event);
}

void MessageTextBox::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
        Q_EMIT focused();
        break;
    default:
        // The editor put the focus here on opening: the hint stays until the user acts.
        break;
    }
}

} // namespace zento
