// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

// Drives the window the way a user does: typing into the lists, clicking buttons. Controls are
// found by their names.
class WindowDriver {
public:
    explicit WindowDriver(QWidget *window)
        : m_window(window)
    {
    }

    template<typename T> T *control(const QString &name) const
    {
        auto *widget = m_window->findChild<T *>(name);
        // In every build, not only with asserts on: a renamed control fails the test, loudly.
        if (!widget)
            qFatal("the window has no %s named \"%s\"", T::staticMetaObject.className(),
                   qPrintable(name));
        return widget;
    }

    void type(const QString &list, const QString &text);
    void click(const QString &button);
    void choose(const QString &tempo, const QString &note, const QString &value);
    QString checkedPort() const; // "COM1", "COM2" or empty

private:
    QWidget *m_window;
};
