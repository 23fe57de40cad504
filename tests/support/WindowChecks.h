#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <QStringList>
#include <QStyle>
#include <QWidget>

namespace zento::test {

/// What is wrong with a window as it shows now, one line per fault: a control out of its panel;
/// two controls of a panel overlapping by more than the pixel rounding twips may give; a caption
/// cut off; a button with only a picture or a letter and no name and tip for screen readers. Only
/// named controls count (Qt's inner widgets are its business); a masked control, or a label
/// without a background, counts by what it paints. `overlapping` names pairs "a+b" laid so on purpose.
inline QStringList windowFaults(const QWidget* window, const QSet<QString>& overlapping = {}) {
    const auto area = [](const QWidget* w) {
        const auto* l = qobject_cast<const QLabel*>(w);
        if (l && !l->autoFillBackground() && l->pixmap().isNull() && !l->text().isEmpty()) {
            const int flags = int(l->alignment()) | (l->wordWrap() ? int(Qt::TextWordWrap) : 0);
            return l->fontMetrics().boundingRect(l->contentsRect(), flags, l->text()).translated(l->pos());
        }
        return w->mask().isEmpty() ? w->geometry() : w->mask().boundingRect().translated(w->pos());
    };
    const auto textFits = [](const QWidget* w) {
        QString text;
        int extra = 0;
        if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->wordWrap() && l->pixmap().isNull())
            text = l->text();
        else if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            text = b->text();
            if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
                extra = w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                        w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        }
        text.remove(QLatin1Char('&'));
        const QFontMetrics fm = w->fontMetrics();
        if (w->inherits("zento::WrappingButton"))
            return fm.boundingRect(QRect(0, 0, w->width() - 4, w->height() * 4), Qt::TextWordWrap, text)
                       .height() <= w->height();
        return text.isEmpty() ||
               (fm.horizontalAdvance(text) + extra <= w->width() && fm.height() <= w->height());
    };
    QStringList faults;
    QList<const QWidget*> panels{window};
    while (!panels.isEmpty()) {
        const QWidget* panel = panels.takeFirst();
        QList<const QWidget*> controls;
        for (const QObject* o : panel->children())
            if (const auto* w = qobject_cast<const QWidget*>(o);
                w && !w->isWindow() && w->isVisibleTo(window) && !w->objectName().isEmpty() &&
                !w->objectName().startsWith(QLatin1String("qt_")))
                controls << w;
        for (qsizetype i = 0; i < controls.size(); ++i) {
            const QWidget* a = controls[i];
            const QString name = a->objectName();
            panels << a;
            if (!panel->rect().contains(area(a)))
                faults << name + QStringLiteral(" leaves ") + panel->objectName();
            if (!textFits(a))
                faults << name + QStringLiteral(" cuts its text");
            const auto* b = qobject_cast<const QAbstractButton*>(a);
            if (b && b->text().trimmed().size() < 2 &&
                (b->accessibleName().isEmpty() || b->toolTip().isEmpty()))
                faults << name + QStringLiteral(" has no name");
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                const QString other = controls[j]->objectName();
                const QRect both = area(a).intersected(area(controls[j]));
                if (both.width() > 1 && both.height() > 1 && !overlapping.contains(name + '+' + other) &&
                    !overlapping.contains(other + '+' + name))
                    faults << name + QStringLiteral(" overlaps ") + other;
            }
        }
    }
    return faults;
}

} // namespace zento::test
