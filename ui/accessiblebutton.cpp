// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessiblebutton.h"

#include "warningbox.h"

#include <QAbstractButton>
#include <QPointer>
#include <QRadioButton>

AccessibleButton::AccessibleButton(QAbstractButton *button)
    : QAccessibleWidget(button, qobject_cast<QRadioButton *>(button) ? QAccessible::RadioButton
                                                                     : QAccessible::Button)
{
}

QAbstractButton *AccessibleButton::button() const
{
    return static_cast<QAbstractButton *>(widget());
}

QString AccessibleButton::ownAction() const
{
    return role() == QAccessible::RadioButton ? toggleAction() : pressAction();
}

QAccessible::State AccessibleButton::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.pressed = button()->isDown();
    state.checkable = button()->isCheckable();
    state.checked = button()->isChecked();
    return state;
}

QString AccessibleButton::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && button()->accessibleName().isEmpty())
        return button()->text();
    return QAccessibleWidget::text(t);
}

QStringList AccessibleButton::actionNames() const
{
    QStringList names;
    if (button()->isEnabled())
        names << ownAction();
    return names + QAccessibleWidget::actionNames();
}

void AccessibleButton::doAction(const QString &action)
{
    if (action != ownAction()) {
        QAccessibleWidget::doAction(action);
        return;
    }
    const bool toggle = action == toggleAction();
    QMetaObject::invokeMethod(
        button(),
        [button = QPointer(button()), toggle] {
            if (!button || !button->isEnabled() || warningOpen(button))
                return;
            // A checked port stays checked, as Qt's own Toggle leaves it.
            if (toggle)
                button->setChecked(true);
            else
                button->click();
        },
        Qt::QueuedConnection);
}

QString AccessibleButton::localizedActionDescription(const QString &action) const
{
    if (action == toggleAction() && action == ownAction())
        return QStringLiteral("Ouvre ce port");
    if (action == pressAction() && action == ownAction())
        return QStringLiteral("Transfère la note");
    return QAccessibleWidget::localizedActionDescription(action);
}
