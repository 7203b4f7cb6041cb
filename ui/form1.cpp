// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "accessiblefactory.h"
#include "displaytexts.h"
#include "durationtable.h"
#include "module1.h"
#include "notetable.h"
#include "portmessages.h"
#include "portsummary.h"
#include "showntext.h"
#include "tempolist.h"
#include "transfercommand.h"
#include "transferpicture.h"
#include "windowfont.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QToolButton>

namespace {

// The layout is fixed in twips; 15 twips make one logical pixel, which Qt scales for high DPI.
constexpr int px(int twips)
{
    return twips / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// An editable list whose text is exactly what the user chose or typed, starting at placeholder.
QComboBox *makeList(const QString &name, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(true);
    list->setCompleter(nullptr); // it would turn "do2" into "Do2" behind the user's back
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setEnabled(false);
    return list;
}

template<typename Names> void fill(QComboBox *list, const Names &names, const QString &placeholder)
{
    for (QStringView name : names)
        list->addItem(name.toString());
    list->setCurrentIndex(-1); // adding to an empty list selects the first entry
    list->setEditText(placeholder);
}

// Line breaking may cut after a hyphen, leaving "--" at the end of a line and "com1" on the next:
// a word joiner after each hyphen of an option name keeps it whole, and is not read aloud.
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

} // namespace

Form1::Form1(SerialLink &link, const PortMap &ports, QWidget *parent)
    : QWidget(parent)
    , MSComm1(link)
    , m_portMap(ports)
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
    describeControls();
    Form_Load();
    fitFont();

    // A click picks the port, even the one already checked: the device behind it may have
    // changed. Checking a button without a click (the accessibility Toggle action, which switch
    // and voice control use) picks it too; within a click, the click does.
    for (const int port : {1, 2}) {
        QRadioButton *option = port == 1 ? Option1 : Option2;
        connect(option, &QRadioButton::pressed, this, [this] { m_pressing = true; });
        connect(option, &QRadioButton::released, this, [this] { m_pressing = false; });
        connect(option, &QRadioButton::toggled, this,
                [this, port](bool checked) { onPortToggled(port, checked); });
    }
    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(Command2, &QToolButton::clicked, this, &Form1::Command2_Click);
    // Queued: the warning box must not open inside the port's own notification.
    connect(&MSComm1, &SerialLink::portLost, this, &Form1::reportPortLost, Qt::QueuedConnection);
}

void Form1::createControls()
{
    Text1 = new QLineEdit(QStringLiteral("Note N°"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(QStringLiteral("@EEPROM"), this);
    Text2->setObjectName(QStringLiteral("Text2"));

    Option1 = new QRadioButton(portName(1), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(portName(2), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    m_ports = new QButtonGroup(this);
    m_ports->addButton(Option1, 1);
    m_ports->addButton(Option2, 2);
    // The ports present are looked at when a button is pointed at or focused (a click focuses it
    // first), not at start-up.
    Option1->installEventFilter(this);
    Option2->installEventFilter(this);

    tempo = makeList(QStringLiteral("tempo"), this);
    duree = makeList(QStringLiteral("duree"), this);
    notes = makeList(QStringLiteral("notes"), this);

    Command2 = new QToolButton(this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setText(QStringLiteral("Transfert"));
    Command2->setIcon(windowIcon());
    Command2->setIconSize(QSize(32, 32));
    Command2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
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

    QWidget *const chain[] = {Text1, Option1, Option2, tempo, duree, notes, Command2, Text2};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    Text1->setFocus();
}

// What a screen reader says of each control; the lists are named by their purpose and give
// their text as value (see installAccessibleFactory).
void Form1::describeControls()
{
    const struct {
        QWidget *control;
        QString name;
        QString description;
    } controls[] = {
        {Text1, QStringLiteral("Numéro de note"),
         QStringLiteral("Numéro de la dernière note transférée.")},
        {Text2, QStringLiteral("Adresse EEPROM"),
         QStringLiteral("Adresse EEPROM de la dernière note transférée.")},
        {Option1, QStringLiteral("Port COM1"), {}},
        {Option2, QStringLiteral("Port COM2"), {}},
        {tempo, QStringLiteral("Tempo"),
         QStringLiteral("Tempo en noires par minute : choisissez-le dans la liste ou tapez-le.")},
        {duree, QStringLiteral("Valeur de note"),
         QStringLiteral("Valeur de la note, de la ronde à la double croche.")},
        {notes, QStringLiteral("Note"), QStringLiteral("Hauteur de la note, de Do2 à Si4.")},
        {Command2, QStringLiteral("Transférer la note"),
         QStringLiteral("Envoie la note à l'emplacement courant de l'EEPROM, puis passe au "
                        "suivant (%1 emplacements).")
             .arg(int(TransferState::MaxNotes))},
    };
    for (const auto &[control, name, description] : controls) {
        control->setAccessibleName(name);
        control->setAccessibleDescription(description);
    }
    describePort(1, false);
    describePort(2, false);
}

// Tooltip and accessible description name the device the button stands for and the adapter
// behind it. Without looking at the system, a port that follows the ports present says so.
void Form1::describePort(int portNumber, bool lookAtSystem)
{
    QRadioButton *button = portNumber == 1 ? Option1 : Option2;
    const int other = portNumber == 1 ? 2 : 1;
    const PortMap &map = m_portMap;
    QString device;
    QString link;
    if (lookAtSystem) {
        const std::optional<PortDescription> port = map.describe(portNumber);
        device = port ? portSummary(*port) : QStringLiteral("aucun port série trouvé");
        if (port && port->byIdLink != port->device)
            link = port->byIdLink;
    } else if (!map.givenPath(portNumber).isEmpty()) {
        device = shownAsTyped(map.givenPath(portNumber));
    } else if (!map.givenPath(other).isEmpty()) {
        device =
            QStringLiteral("premier port série présent autre que celui de %1").arg(portName(other));
    } else {
        device = portNumber == 1 ? QStringLiteral("premier port série présent")
                                 : QStringLiteral("deuxième port série présent");
    }
    QString tip = QStringLiteral("%1 : %2").arg(portName(portNumber), device);
    if (!link.isEmpty())
        tip += u'\n' + link;
    button->setToolTip(tip);
    button->setAccessibleDescription(
        QStringLiteral("Ouvre le port série %1 (%2).").arg(portName(portNumber), device));
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    const bool asked = event->type() == QEvent::ToolTip || event->type() == QEvent::FocusIn;
    if (asked && (watched == Option1 || watched == Option2))
        describePort(watched == Option1 ? 1 : 2, true);
    return QWidget::eventFilter(watched, event);
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
        addresses << deviceAddressText(2 * (note - 1));
    }
    fitWindowFont(this, {{tempo, entries(tempo)},
                         {duree, entries(duree)},
                         {notes, entries(notes)},
                         {Text1, slotTexts},
                         {Text2, addresses},
                         {Option1, {Option1->text()}},
                         {Option2, {Option2->text()}},
                         {Command2, {Command2->text()}}});
}

void Form1::Form_Load()
{
    fill(tempo, TempoList, QStringLiteral("Tempo"));
    QStringList values;
    for (const DurationEntry &entry : DurationTable)
        values << entry.name.toString();
    fill(duree, values, QStringLiteral("Durée"));
    QStringList names;
    for (const NoteEntry &entry : NoteTable)
        names << entry.name.toString();
    fill(notes, names, QStringLiteral("Notes"));

    Module1::transferState.NoteNumber = 1;
    Module1::transferState.DeviceAddress = 0;
}

void Form1::onPortToggled(int portNumber, bool checked)
{
    if (!checked || m_pressing || m_showingOpenPort)
        return;
    if (portNumber == 1)
        Option1_Click();
    else
        Option2_Click();
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
        reportOpenFailure(portNumber, result);
        return;
    }
    Command2->setEnabled(true);
    tempo->setEnabled(true);
    notes->setEnabled(true);
    duree->setEnabled(true);
}

void Form1::reportOpenFailure(int portNumber, const OpenResult &result)
{
    ShowWarning(openFailureText(portNumber, result, MSComm1.openPort()));
}

void Form1::reportPortLost(int portNumber, const QString &device, const PortLoss &loss)
{
    showOpenPort();
    TransferCommand(*this, MSComm1, Module1::transferState)
        .reportPortLost(portNumber, device, loss);
}

// The checked button always names the port really in use, or none.
void Form1::showOpenPort()
{
    const QScopedValueRollback showing(m_showingOpenPort, true);
    m_ports->setExclusive(false);
    Option1->setChecked(MSComm1.openPort() == 1);
    Option2->setChecked(MSComm1.openPort() == 2);
    m_ports->setExclusive(true);
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
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tinkora"), optionsKeptWhole(text),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText); // typed text is shown as typed, never as markup
    box.exec();
}

void Form1::SetDisplayText(DisplayField field, const QString &text)
{
    QLineEdit *display = field == DisplayField::Text1 ? Text1 : Text2;
    display->setText(text);
    display->repaint();
}
