// SPDX-License-Identifier: GPL-3.0-or-later
#include "midianswers.h"

#include "melodyfile.h"
#include "midiquestions.h"
#include "transferstate.h"

namespace {

// One step at a time, each asked only once the readings before it are answered: the excerpt
// decides which tempos the line meets.
class Asking {
public:
    Asking(const QString &path, const QString &shownName, MidiQuestions &questions)
        : m_path(path)
        , m_shownName(shownName)
        , m_questions(questions)
    {
    }

    std::optional<MelodyLoad> run(int firstSlot)
    {
        // Read once: every answer applies to the bytes the user was asked about.
        const MelodyFile::Bytes file = MelodyFile::readBytes(m_path);
        if (!file.ok())
            return MelodyLoad{file.problem, {}};
        m_bytes = file.bytes;
        m_load = MelodySource::fromBytes(m_bytes, m_path, m_choices);
        if (!chooseLine() || !chooseExcerpt(TransferState::MaxNotes - firstSlot + 1) ||
            !chooseTempo())
            return std::nullopt;
        return m_load;
    }

private:
    bool chooseLine()
    {
        const std::vector<MelodyLine> &lines = m_load.reading.lines;
        if (!m_load.ok() || lines.size() < 2)
            return true;
        const std::optional<int> index = m_questions.chooseLine(m_shownName, lines);
        if (!index || *index < 0 || *index >= int(lines.size()))
            return false;
        m_choices.track = lines[size_t(*index)].track;
        m_choices.channel = lines[size_t(*index)].channel;
        reload();
        return true;
    }

    bool chooseExcerpt(int slotsLeft)
    {
        const MelodyReading &reading = m_load.reading;
        if (!m_load.ok() || !reading.excerptable || slotsLeft < 1 || reading.lineNotes <= slotsLeft)
            return true;
        if (!m_questions.takeExcerpt(reading.lineNotes, slotsLeft))
            return false;
        m_choices.notes = {1, slotsLeft};
        reload();
        return true;
    }

    bool chooseTempo()
    {
        if (!m_load.ok() || !m_load.reading.tempoNeeded)
            return true;
        const std::optional<int> tempo = m_questions.chooseTempo(m_shownName);
        if (!tempo)
            return false;
        m_choices.tempo = *tempo;
        reload();
        return true;
    }

    void reload() { m_load = MelodySource::fromBytes(m_bytes, m_path, m_choices); }

    const QString &m_path;
    const QString &m_shownName;
    MidiQuestions &m_questions;
    QByteArray m_bytes;
    MelodyChoices m_choices;
    MelodyLoad m_load;
};

} // namespace

std::optional<MelodyLoad> MidiAnswers::load(const QString &path, const QString &shownName,
                                            int firstSlot, MidiQuestions &questions)
{
    return Asking(path, shownName, questions).run(firstSlot);
}
