// SPDX-License-Identifier: GPL-3.0-or-later
#include "warningbox.h"

#include "warningsheet.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QRegularExpression>
#include <QWindow>

#include <optional>

namespace {

std::optional<bool> insideWindow;

} // namespace

bool warningsInsideWindow()
{
    if (!insideWindow)
        insideWindow = QGuiApplication::platformName().startsWith(u"wayland");
    return *insideWindow;
}

void setWarningsInsideWindow(bool inside)
{
    insideWindow = inside;
}

bool warningOpen(const QWidget *window)
{
    return QApplication::activeModalWidget() || (window && openWarningSheet(window->window()));
}

void showWarningBox(QWidget *parent, const QString &text)
{
    if (parent && warningsInsideWindow()) {
        showWarningSheet(parent->window(), optionsKeptWhole(text));
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tinkora"), optionsKeptWhole(text),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // typed text is shown as typed, never as markup
    // A dialog of the window, not a window of its own: window managers place it over its parent
    // through the transient parent, and draw only the buttons that the flags ask for.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    if (parent) {
        box.winId(); // the native window, to tie it to the parent's before it is shown
        box.windowHandle()->setTransientParent(parent->window()->windowHandle());
    }
    box.exec();
}

QString optionsKeptWhole(QString text)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z0-9-]*"));
    QRegularExpressionMatchIterator matches = option.globalMatch(text);
    QList<QRegularExpressionMatch> found;
    while (matches.hasNext())
        found.prepend(matches.next()); // from the end, so that earlier positions stay right
    for (const QRegularExpressionMatch &match : std::as_const(found)) {
        QString whole = match.captured();
        whole.replace(u'-', QStringLiteral("-\u2060"));
        text.replace(match.capturedStart(), match.capturedLength(), whole);
    }
    return text;
}
