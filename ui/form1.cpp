// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "accessiblefactory.h"
#include "accessibletexts.h"
#include "choicelist.h"
#include "displaytexts.h"
#include "durationtable.h"
#include "module1.h"
#include "notetable.h"
#include "portchoice.h"
#include "portmessages.h"
#include "porttooltips.h"
#include "tempolist.h"
#include "textcontrast.h"
#include "transfercommand.h"
#include "transferpicture.h"
#include "warningbox.h"
#include "windowfont.h"
#include "windowscale.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <functional>

namespace {

// The layout is fixed in twips; 15 twips make one logical pixel, which Qt scales for high DPI
// (and scaleWindow for a larger desktop font).
constexpr int px(int twips)
{
    return twips / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Each entry's name, in table order, then the list's placeholder with nothing chosen.
template<typename Table, typename Name>
void fill(QComboBox *list, const Table &table, Name name, ChoiceList choice)
{
    for (const auto &entry : table)
        list->addItem(std::invoke(name, entry).toString());
    list->setCurrentIndex(-1); // adding to an empty list selects the first entry
    list->setEditText(placeholderText(choice).toString());
}

} // namespace

Form1::Form1(SerialLink &link, const PortMap &ports, QWidget *parent)
    : QWidget(parent)
    , MSComm1(link)
{
    installAccessibleFactory(); // before anything asks how the window should be announced
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Générateur De mélodies"));
    // The size is fixed: no maximize button, which would do nothing (or stretch an empty frame).
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(transferPicture()); // painted once: "Transfert" and the warnings share it
    createControls();
    placeControls();
    setAccessibleTexts(*this);
    ensureTextContrast(this);
    new PortTooltips(Option1, Option2, ports, this);
    Form_Load();
    fitFont();

    connect(m_portChoice, &PortChoice::checkedWithoutClick, this, &Form1::choosePort);
    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(Command2, &QToolButton::clicked, this, &Form1::Command2_Click);
    // Queued: the warning box must not open inside the port's own notification.
    connect(&MSComm1, &SerialLink::portLost, this, &Form1::reportPortLost, Qt::QueuedConnection);
}

void Form1::createControls()
{
    Text1 = new QLineEdit(noteNumberStartText(), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(deviceAddressStartText(), this);
    Text2->setObjectName(QStringLiteral("Text2"));

    Option1 = new QRadioButton(portName(1), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(portName(2), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    m_portChoice = new PortChoice(Option1, Option2, this);

    tempo = makeList(QStringLiteral("tempo"), ChoiceList::tempo, this);
    duree = makeList(QStringLiteral("duree"), ChoiceList::duree, this);
    notes = makeList(QStringLiteral("notes"), ChoiceList::notes, this);

    Command2 = new QToolButton(this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setText(QStringLiteral("Transfert"));
    Command2->setIcon(windowIcon());
    Command2->setIconSize(QSize(32, 32));
    Command2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Command2->setToolTip(MelodyOpener::transferToolTip());
    Command2->setEnabled(false);
}

void Form1::placeControls()
{
    setFixedSize(px(5355), px(3915));
    Text1->setGeometry(twipsRect(2640, 2640, 1095, 375));
    Option1->setGeometry(twipsRect(240, 120, 975, 255));
    Option2->setGeometry(twipsRect(1440, 0, 1095, 495));
    tempo->setGeometry(twipsRect(240, 1200, 2055, 315));
    duree->setGeometry(twipsRect(2640, 1800, 2055, 315));
    notes->setGeometry(twipsRect(240, 1800, 2055, 315));
    Command2->setGeometry(twipsRect(720, 2520, 1455, 1095));
    Text2->setGeometry(twipsRect(2640, 3120, 1455, 405));
    scaleWindow(this, desktopFontScale(QApplication::font()));

    QWidget *const chain[] = {Text1, Option1, Option2, tempo, duree, notes, Command2, Text2};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    Text1->setFocus();
}

// Every entry, start text and display text must show whole in its fixed box, whatever the
// desktop's font and style.
void Form1::fitFont()
{
    auto entries = [](const QComboBox *list) {
        QStringList texts{list->currentText()};
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    };
    QStringList slotTexts{Text1->text()};
    QStringList addresses{Text2->text()};
    for (int note = 1; note <= TransferState::MaxNotes; ++note) {
        slotTexts << noteNumberText(note);
        addresses << deviceAddressText(TransferState::addressOf(note));
    }
    fitWindowFont(this,
                  {{tempo, entries(tempo)},
                   {duree, entries(duree)},
                   {notes, entries(notes)},
                   {Text1, slotTexts},
                   {Text2, addresses},
                   {Option1, {Option1->text()}},
                   {Option2, {Option2->text()}},
                   {Command2, {Command2->text()}}},
                  desktopFontScale(QApplication::font()));
}

void Form1::Form_Load()
{
    fill(tempo, TempoList, std::identity(), ChoiceList::tempo);
    fill(duree, DurationTable, &DurationEntry::name, ChoiceList::duree);
    fill(notes, NoteTable, &NoteEntry::name, ChoiceList::notes);

    Module1::transferState.NoteNumber = 1;
    Module1::transferState.DeviceAddress = 0;
}

void Form1::Option1_Click()
{
    choosePort(1);
}

void Form1::Option2_Click()
{
    choosePort(2);
}

void Form1::Command2_Click()
{
    TransferCommand(*this, MSComm1, Module1::transferState).Run();
    showOpenPort(); // a write may have found the device gone
}

void Form1::choosePort(int portNumber)
{
    const OpenResult result = MSComm1.Open(portNumber);
    showOpenPort();
    if (!result.ok()) {
        ShowWarning(openFailureText(portNumber, result, MSComm1.openPort()));
        return;
    }
    Command2->setEnabled(true);
    tempo->setEnabled(true);
    notes->setEnabled(true);
    duree->setEnabled(true);
}

void Form1::reportPortLost(int portNumber, const QString &device, const PortLoss &loss)
{
    showOpenPort();
    TransferCommand(*this, MSComm1, Module1::transferState)
        .reportPortLost(portNumber, device, loss);
}

void Form1::showOpenPort()
{
    m_portChoice->showOpenPort(MSComm1.openPort());
}

// Enter and keypad Enter press the focused "Transfert", as Space does; held down, they send
// one note, not one per repeat.
void Form1::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == Command2) {
        if (!event->isAutoRepeat())
            Command2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString Form1::ListText(ChoiceList list) const
{
    switch (list) {
    case ChoiceList::tempo:
        return tempo->currentText();
    case ChoiceList::notes:
        return notes->currentText();
    case ChoiceList::duree:
        return duree->currentText();
    }
    return {};
}

void Form1::ShowWarning(const QString &text)
{
    showWarningBox(this, text);
}

void Form1::SetDisplayText(DisplayField field, const QString &text)
{
    QLineEdit *display = field == DisplayField::Text1 ? Text1 : Text2;
    display->setText(text);
    display->repaint();
}
