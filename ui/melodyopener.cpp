// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyopener.h"

#include "melodymessages.h"
#include "melodyplan.h"
#include "melodyrun.h"
#include "midianswers.h"
#include "mididialogs.h"
#include "module1.h"
#include "portchoice.h"
#include "sendquestion.h"
#include "seriallink.h"
#include "showntext.h"
#include "transferview.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace {

// The one dropped file, if the drop is one local file.
QString droppedPath(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

// A child of the window as well as its member: it leaves the window's children before the
// window deletes them, and tests find it by name.
MelodyOpener::MelodyOpener(QWidget &window, TransferView &view, SerialLink &link)
    : QObject(&window)
    , m_window(window)
    , m_view(view)
    , m_link(link)
    , m_openAction(new QAction(QStringLiteral("Ouvrir une mélodie…"), &window))
    , m_lastFolder(QDir::currentPath())
    , m_dialogs(std::make_unique<MidiDialogs>(window))
    , m_questions(m_dialogs.get())
{
    setObjectName(QStringLiteral("melodyOpener"));
    m_openAction->setObjectName(QStringLiteral("openMelody"));
    m_openAction->setShortcut(QKeySequence::Open);
    m_openAction->setShortcutVisibleInContextMenu(true);
    connect(m_openAction, &QAction::triggered, this, &MelodyOpener::open);
    window.addAction(m_openAction);
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

MelodyOpener::~MelodyOpener() = default;

void MelodyOpener::askMidiWith(MidiQuestions &questions)
{
    m_questions = &questions;
}

QString MelodyOpener::transferToolTip()
{
    return QStringLiteral("Envoie la note choisie. Une mélodie entière s'ouvre avec %1 ou en "
                          "déposant son fichier sur la fenêtre.")
        .arg(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText));
}

void MelodyOpener::open()
{
    if (m_run || !portIsOpen())
        return;
    const QString path = choosePath();
    if (!path.isEmpty())
        openFile(path);
}

void MelodyOpener::openFile(const QString &path)
{
    if (m_run || !portIsOpen())
        return;
    m_lastFolder = QFileInfo(path).absolutePath();
    const QString shownName = quotedUserText(QFileInfo(path).fileName());
    const std::optional<MelodyLoad> asked =
        MidiAnswers::load(path, shownName, Module1::transferState.NoteNumber, *m_questions);
    if (!asked)
        return;
    const MelodyLoad &load = *asked;
    if (!load.ok()) {
        m_view.ShowWarning(unreadableMelodyText(shownName, load.problem));
        return;
    }
    const MelodyPlan plan = MelodyPlan::make(load.reading, Module1::transferState.NoteNumber);
    if (!plan.ok()) {
        m_view.ShowWarning(refusedMelodyText(shownName, plan.problems()));
        return;
    }
    // The port may have gone while the question was up.
    if (!confirm(shownName, plan) || !portIsOpen())
        return;
    m_run = new MelodyRun(m_window, m_view, m_link, plan.frames(), this);
    connect(m_run, &MelodyRun::finished, this, &MelodyOpener::runFinished);
    m_run->start();
}

bool MelodyOpener::portIsOpen()
{
    if (m_link.openPort() != 0)
        return true;
    m_view.ShowWarning(melodyNeedsAPortText());
    return false;
}

QString MelodyOpener::choosePath()
{
    // Qt's own dialog: French with Qt's catalogue, and the same on every desktop.
    QFileDialog dialog(&m_window, QStringLiteral("Ouvrir une mélodie"), m_lastFolder,
                       QStringLiteral("Mélodies (*.csv *.txt *.rtttl *.rtx *.mid *.midi)"));
    dialog.setObjectName(QStringLiteral("melodyFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool MelodyOpener::confirm(const QString &shownName, const MelodyPlan &plan)
{
    return askToSend(
        &m_window,
        sendMelodyQuestion(shownName, int(plan.frames().size()), plan.frames().front().slot),
        plan.remarks().join(u'\n')); // an octave shift, rests dropped
}

bool MelodyOpener::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (droppedPath(drag->mimeData()).isEmpty() || m_run)
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop:
        return dropped(static_cast<QDropEvent *>(event));
    case QEvent::ContextMenu:
        return showMenu(static_cast<QContextMenuEvent *>(event));
    default:
        return false;
    }
}

bool MelodyOpener::dropped(QDropEvent *event)
{
    const QString path = droppedPath(event->mimeData());
    if (path.isEmpty() || m_run)
        return false;
    event->acceptProposedAction();
    // The drag ends first: boxes opened inside the drop would hold the file manager's drag.
    QTimer::singleShot(0, this, [this, path] { openFile(path); });
    return true;
}

bool MelodyOpener::showMenu(QContextMenuEvent *event)
{
    // The window's background and "Transfert"; the fields and lists keep their own menus.
    const QWidget *under = m_window.childAt(event->pos());
    if (under && under->objectName() != u"Command2")
        return false;
    QMenu menu(&m_window);
    menu.setObjectName(QStringLiteral("melodyMenu"));
    menu.addAction(m_openAction);
    menu.exec(event->globalPos());
    return true;
}

void MelodyOpener::runFinished()
{
    if (m_run)
        m_run->deleteLater();
    m_run = nullptr;
    // A write may have found the device gone.
    if (auto *ports = m_window.findChild<PortChoice *>())
        ports->showOpenPort(m_link.openPort());
}
