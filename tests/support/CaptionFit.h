#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

// The texts a shown window cuts: the object names (or texts) of its visible
// labels, buttons and frames whose caption needs more room than the layout
// gave them. A wrapped label needs the height of its lines at its width.
inline QStringList cutCaptions(const QWidget* window)
{
    QStringList cut;
    auto tooSmall = [&cut](const QWidget* w, const QString& text, QSize need) {
        if (need.width() > w->width() || need.height() > w->height())
            cut.append((w->objectName().isEmpty() ? text : w->objectName()) + QStringLiteral(" needs ")
                       + QString::number(need.width()) + QLatin1Char('x') + QString::number(need.height())
                       + QStringLiteral(", has ") + QString::number(w->width()) + QLatin1Char('x')
                       + QString::number(w->height()));
    };
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
            const QSize need = label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint();
            tooSmall(w, label->text(), need);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w);
                   button && !qobject_cast<const QToolButton*>(w) && !button->text().isEmpty()) {
            tooSmall(w, button->text(), button->sizeHint());
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w); frame && !frame->title().isEmpty()) {
            tooSmall(w, frame->title(), QSize(frame->fontMetrics().horizontalAdvance(frame->title()), 0));
        }
    }
    return cut;
}
