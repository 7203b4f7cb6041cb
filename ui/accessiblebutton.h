// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class QAbstractButton;

// "Transfert" and the port buttons as assistive tools see them. Their actions only queue the
// press or the toggle and return: the handler may open a modal warning, and a screen reader or
// voice control waiting for the call to return would hang until it is dismissed. Like a click,
// a queued action does nothing while a warning is open.
class AccessibleButton : public QAccessibleWidget {
public:
    explicit AccessibleButton(QAbstractButton *button);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &action) override;
    QString localizedActionDescription(const QString &action) const override;

private:
    QAbstractButton *button() const;
    QString ownAction() const; // Toggle for a port, Press for "Transfert"
};
