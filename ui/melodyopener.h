// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class MelodyPlan;
class MelodyRun;
class MidiDialogs;
class MidiQuestions;
class QAction;
class QContextMenuEvent;
class QDropEvent;
class QWidget;
class SerialLink;
class TransferView;

// A whole melody file into the window, with no control of its own: Ctrl+O, a file dropped on
// the window, or the right-click menu of its background and of "Transfert". The file is read
// and checked whole, from the current slot, with tinkora-send's rules; one question, then the
// notes go out paced, with a progress dialog that can stop them.
class MelodyOpener : public QObject {
    Q_OBJECT
public:
    MelodyOpener(QWidget &window, TransferView &view, SerialLink &link);
    ~MelodyOpener() override;

    // The tooltip of "Transfert", which says where whole melodies come in.
    static QString transferToolTip();

    // Asks for a file in Qt's own dialog, starting in the folder last used in this run.
    void open();
    void openFile(const QString &path);
    // Who answers what a MIDI file leaves open (the line, an excerpt, the tempo); the window's
    // own dialogs unless told otherwise. questions must outlive this opener.
    void askMidiWith(MidiQuestions &questions);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString choosePath();
    bool confirm(const QString &shownName, const MelodyPlan &plan);
    bool dropped(QDropEvent *event);
    bool showMenu(QContextMenuEvent *event);
    bool portIsOpen();
    void runFinished();

    QWidget &m_window;
    TransferView &m_view;
    SerialLink &m_link;
    QAction *m_openAction = nullptr;
    QString m_lastFolder;
    QPointer<MelodyRun> m_run;
    std::unique_ptr<MidiDialogs> m_dialogs;
    MidiQuestions *m_questions = nullptr;
};
