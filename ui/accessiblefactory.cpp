// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessiblefactory.h"

#include "accessiblebutton.h"
#include "warningbox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace {

// On Linux Qt names an editable list after its text, so "120" or "Do2" is all a screen reader
// says of it. This one keeps the purpose as the name and the text as the value; the rest is
// what Qt's own list offers: the popup and the edit field as children, one action to open it.
class NamedListAccessible : public QAccessibleWidget {
public:
    explicit NamedListAccessible(QComboBox *list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        // The interface may be made before the list gets its name: read it each time.
        if (t == QAccessible::Value ||
            (t == QAccessible::Name && list()->accessibleName().isEmpty()))
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return list()->isEditable() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->isEditable())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child->object() == list()->view())
            return 0;
        if (list()->isEditable() && child->object() == list()->lineEdit())
            return 1;
        return -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString &action) override
    {
        if ((action != showMenuAction() && action != pressAction()) || warningOpen(list()))
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    QString localizedActionDescription(const QString &action) const override
    {
        if (action == showMenuAction() || action == pressAction())
            return QStringLiteral("Ouvre la liste des choix");
        return {};
    }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    // Qt gives a plain top-level widget the role of a filler; ours is the program's window.
    if (className == u"Form1")
        return new QAccessibleWidget(widget, QAccessible::Window);
    // A warning inside the window is announced as the box it stands for.
    if (className == u"WarningSheet")
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    auto *list = qobject_cast<QComboBox *>(object);
    if (className == u"QComboBox" && list)
        return new NamedListAccessible(list);
    // The window's buttons; a tool button with a menu keeps Qt's own interface.
    if (className == u"QRadioButton" || className == u"QToolButton") {
        auto *toolButton = qobject_cast<QToolButton *>(object);
        if (!toolButton || !toolButton->menu())
            return new AccessibleButton(static_cast<QAbstractButton *>(widget));
    }
    return nullptr;
}

} // namespace

void installAccessibleFactory()
{
    QAccessible::installFactory(accessibleFor);
}
