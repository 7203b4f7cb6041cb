// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodysource.h"

#include "melodyfile.h"
#include "midifile.h"
#include "midireader.h"
#include "rtttlreader.h"
#include "tablereader.h"

MelodyLoad MelodySource::load(const QString &path, const MelodyChoices &choices)
{
    const MelodyFile::Bytes file = MelodyFile::readBytes(path);
    if (!file.ok())
        return {file.problem, {}};
    return fromBytes(file.bytes, path, choices);
}

MelodyLoad MelodySource::fromBytes(const QByteArray &bytes, const QString &path,
                                   const MelodyChoices &choices)
{
    if (MidiFile::isMidi(bytes)) {
        const MidiFile midi = MidiFile::parse(bytes);
        if (!midi.ok())
            return {midi.problem, {}};
        return {{}, MidiReader::read(midi, choices)};
    }
    // A table or a ring tone has one line and its own tempos: such a choice would be ignored.
    if (choices.track || choices.channel || choices.tempo || choices.notes)
        return {QStringLiteral("ce n'est pas un fichier MIDI, et --track, --channel, --tempo et "
                               "--notes ne valent que pour un fichier MIDI : retirez-les."),
                {}};
    const MelodyFile::Text text = MelodyFile::decode(bytes);
    if (!text.ok())
        return {text.problem, {}};
    if (MelodyFile::formatOf(path, text.text) == MelodyFormat::Rtttl)
        return {{}, RtttlReader::read(text.text, choices.skipRests)};
    return {{}, TableReader::read(text.text)};
}
