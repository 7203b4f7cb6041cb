// SPDX-License-Identifier: GPL-3.0-or-later
#include "playmelody.h"

#include "boardtiming.h"
#include "noteplayer.h"
#include "quitsignals.h"
#include "soundmessages.h"

#include <QCoreApplication>

namespace {

QString heard(const std::vector<PlannedFrame> &frames)
{
    int units = 0;
    for (const PlannedFrame &planned : frames)
        units += durationUnits(planned.frame.DurationCode);
    const int count = int(frames.size());
    return QStringLiteral("Écoute : %1 note%2 jouée%2 (%3,%4 s) ; rien n'a été écrit.")
        .arg(QString::number(count), count > 1 ? QStringLiteral("s") : QString(),
             QString::number(units / 100),
             QStringLiteral("%1").arg(units % 100, 2, 10, QChar(u'0')));
}

} // namespace

PlayOutcome playMelody(QCoreApplication &app, const std::vector<PlannedFrame> &frames, Tone tone,
                       QTextStream &out, QTextStream &err)
{
    auto player = std::make_unique<NotePlayer>(makeSystemAudioOut("tinkora-send"), tone);
    bool played = false;
    AudioProblem problem = AudioProblem::None;
    QObject::connect(player.get(), &NotePlayer::noteStarted, &app,
                     [&](int index) { out << frames[std::size_t(index)].describe() << Qt::endl; });
    QObject::connect(player.get(), &NotePlayer::finished, &app, [&] {
        played = true;
        app.quit();
    });
    QObject::connect(player.get(), &NotePlayer::failed, &app, [&](AudioProblem failure) {
        problem = failure;
        app.quit();
    });
    for (const PlannedFrame &planned : frames)
        player->play(planned.frame.NoteCode, planned.frame.DurationCode);
    player->finish();
    quitOnUnixSignals(app);
    player->start();
    app.exec(); // ends when the melody has been heard, the sound failed, or at Ctrl-C
    player->requestStop();
    const bool stopped = player->waitStopped(NotePlayer::kStopLimit);
    if (!stopped)
        player->abandon(); // posts nothing more to this function's receivers
    const int last = player->lastStarted();
    // The lines of notes that started before the stop, still on their way from the player.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    if (!stopped) {
        // Its worker waits for the server: left to it until the program ends.
        (void)player.release();
        err << soundServerSilentText() << Qt::endl;
        return PlayOutcome::NoSound;
    }

    if (problem != AudioProblem::None) {
        err << (problem == AudioProblem::NoServer ? noSoundServerText() : soundServerGoneText())
            << Qt::endl;
        return PlayOutcome::NoSound;
    }
    if (played) {
        out << heard(frames) << Qt::endl;
        return PlayOutcome::Played;
    }
    if (last < 0)
        err << "Interrompu avant la première note." << Qt::endl;
    else
        err << "Interrompu pendant la note " << last + 1 << " sur " << frames.size()
            << " : le son s'est arrêté." << Qt::endl;
    return PlayOutcome::Interrupted;
}
