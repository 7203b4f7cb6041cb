// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QButtonGroup;
class QRadioButton;

// The pair "COM1" / "COM2" as one choice. A click picks a port, even the one already checked:
// the device behind it may have changed. Checking a button without a click (the accessibility
// Toggle action, which switch and voice control use) picks it too; within a click, the click
// does, so that a port is picked once.
class PortChoice : public QObject {
    Q_OBJECT
public:
    PortChoice(QRadioButton *option1, QRadioButton *option2, QObject *parent = nullptr);

    // Checks the button of the port in use, or none for 0, without picking anything: the checked
    // button always names the port really in use.
    void showOpenPort(int portNumber);

signals:
    // A button was checked other than by a click or by showOpenPort.
    void checkedWithoutClick(int portNumber);

private:
    void onToggled(int portNumber, bool checked);

    QButtonGroup *m_group = nullptr;
    bool m_showingOpenPort = false; // the buttons are being set to the port in use
    bool m_pressing = false;        // a port button is being clicked
};
