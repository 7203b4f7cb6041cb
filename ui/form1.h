// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodyopener.h"
#include "portmap.h"
#include "seriallink.h"
#include "transferview.h"

#include <QWidget>

class PortChoice;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

// The melody window: pick a port, a tempo, a note and a note value, press "Transfert".
class Form1 : public QWidget, public TransferView {
    Q_OBJECT
public:
    // The window writes through link; ports says what COM1 and COM2 stand for, for the
    // tooltips (the program gives the link the same map).
    explicit Form1(SerialLink &link, const PortMap &ports = {}, QWidget *parent = nullptr);

    QString ListText(ChoiceList list) const override;
    void ShowWarning(const QString &text) override;
    void SetDisplayText(DisplayField field, const QString &text) override;

    // Sends what the ports still hold, within the exit budget, and closes them. Returns how many
    // notes could not leave.
    int closePorts() { return MSComm1.flushAndClose(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void placeControls();
    void fitFont();
    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Command2_Click();

    void choosePort(int portNumber);
    void reportPortLost(int portNumber, const QString &device, const PortLoss &loss);
    void showOpenPort();

    SerialLink &MSComm1;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    PortChoice *m_portChoice = nullptr;
    QComboBox *tempo = nullptr;
    QComboBox *duree = nullptr;
    QComboBox *notes = nullptr;
    QToolButton *Command2 = nullptr;
    MelodyOpener m_melodyOpener{*this, *this, MSComm1}; // Ctrl+O, a drop, the right-click menu
};
