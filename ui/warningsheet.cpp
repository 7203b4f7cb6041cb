// SPDX-License-Identifier: GPL-3.0-or-later
#include "warningsheet.h"

#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

namespace {

// Room left free around the card, so that the dimmed window still shows around it.
constexpr int kMargin = 10;

QLabel *iconLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("warningIcon"));
    const int size = parent->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, parent);
    label->setPixmap(parent->style()
                         ->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, parent)
                         .pixmap(size, size));
    return label;
}

QLabel *headingLabel(QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("Tinkora"), parent);
    label->setObjectName(QStringLiteral("warningHeading"));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

// A SubWindow keeps Tab and Backtab among its own children.
WarningSheet::WarningSheet(QWidget *window, const QString &text)
    : QDialog(window, Qt::SubWindow)
    , m_focusBefore(window->focusWidget())
{
    setObjectName(QStringLiteral("warningSheet"));
    // The window's font is fitted to its small boxes; a warning reads at the desktop's size.
    QFont desktop = QApplication::font();
    desktop.setResolveMask(QFont::AllPropertiesResolved);
    setFont(desktop);
    setAttribute(Qt::WA_NoMousePropagation);
    setAccessibleName(QStringLiteral("Tinkora"));
    setAccessibleDescription(text);

    m_card = new QFrame(this);
    m_card->setObjectName(QStringLiteral("warningCard"));
    m_card->setFrameShape(QFrame::StyledPanel);
    m_card->setAutoFillBackground(true);
    m_text = new QLabel(text, m_card);
    m_text->setObjectName(QStringLiteral("warningText"));
    m_text->setTextFormat(Qt::PlainText); // typed text is shown as typed, never as markup
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll = new QScrollArea(m_card);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(m_text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, m_card);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true); // drawn as the default; keyPressEvent makes Enter press it

    auto *layout = new QGridLayout(m_card);
    layout->addWidget(iconLabel(m_card), 0, 0);
    layout->addWidget(headingLabel(m_card), 0, 1);
    layout->setColumnStretch(1, 1);
    layout->addWidget(m_scroll, 1, 0, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 2);
    setFocusProxy(ok);
}

void WarningSheet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeCard();
    raise();
    setFocus(Qt::ActiveWindowFocusReason);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// The card takes the window's width less the margins, and the height its text needs as far as
// the window allows; beyond that the text scrolls. The window itself keeps its size.
void WarningSheet::placeCard()
{
    setGeometry(parentWidget()->rect());
    const QRect room = rect().marginsRemoved(QMargins(kMargin, kMargin, kMargin, kMargin));
    const QMargins frame = m_card->contentsMargins() + m_card->layout()->contentsMargins();
    const int textHeight = m_text->heightForWidth(room.width() - frame.left() - frame.right());
    m_scroll->setFixedHeight(0);
    const int others = m_card->sizeHint().height();
    m_scroll->setFixedHeight(std::max(0, std::min(textHeight, room.height() - others)));
    QRect card(0, 0, room.width(), std::min(room.height(), m_card->sizeHint().height()));
    card.moveCenter(rect().center());
    m_card->setGeometry(card);
}

void WarningSheet::paintEvent(QPaintEvent *)
{
    QColor shade = palette().color(QPalette::Shadow);
    shade.setAlpha(110);
    QPainter(this).fillRect(rect(), shade);
}

// Enter and Escape as in any dialog, wherever the focus is in the sheet (QDialog finds its
// default button only among a window's own buttons); no key goes on to the window behind.
void WarningSheet::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        accept();
    else if (event->matches(QKeySequence::Cancel))
        reject();
    event->accept();
}

// Back where the user was before the warning, before Qt hands the focus to the next control.
void WarningSheet::done(int result)
{
    if (m_focusBefore)
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    QDialog::done(result);
}

void showWarningSheet(QWidget *window, const QString &text)
{
    // An open list would stay over the sheet and keep the input.
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    QPointer<WarningSheet> sheet = new WarningSheet(window, text);
    QEventLoop loop;
    QObject::connect(sheet, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(sheet, &QObject::destroyed, &loop, &QEventLoop::quit); // the window closed
    sheet->show();
    loop.exec(QEventLoop::DialogExec);
    delete sheet;
}

WarningSheet *openWarningSheet(const QWidget *window)
{
    const QList<WarningSheet *> sheets =
        window->findChildren<WarningSheet *>(Qt::FindDirectChildrenOnly);
    for (auto it = sheets.crbegin(); it != sheets.crend(); ++it)
        if ((*it)->isVisible())
            return *it;
    return nullptr;
}
