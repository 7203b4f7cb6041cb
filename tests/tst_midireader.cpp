// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyplan.h"
#include "melodysource.h"
#include "midifile.h"
#include "midilines.h"
#include "midireader.h"
#include "smfbytes.h"

#include <QDir>
#include <QTest>

#include <algorithm>

namespace {

using namespace Qt::StringLiterals;

// A quarter and an eighth at 480 ticks a quarter.
constexpr int q = 480;
constexpr int e = 240;

QStringList notesOf(const MelodyReading &reading)
{
    QStringList out;
    for (const MelodyNote &note : reading.notes)
        out << note.tempo.text + u'|' + note.note.text + u'|' + note.value.text;
    return out;
}

// Each problem as "place text" (or the text alone), to be matched by its start.
void compareProblems(const std::vector<MelodyProblem> &problems, const QStringList &expected)
{
    QStringList shown;
    for (const MelodyProblem &problem : problems)
        shown << (problem.place.isEmpty() ? problem.text : problem.place + u' ' + problem.text);
    QCOMPARE(shown.size(), expected.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        QVERIFY2(shown[i].startsWith(expected[i]), qPrintable(shown[i]));
}

} // namespace

Q_DECLARE_METATYPE(MelodyChoices)

class TestMidiReader : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void refusedFiles_data();
    void refusedFiles();
    void candidatesListed();
    void longLineNamesNotes();
    void exampleGivesItsTwinsFrames();
    void realFiles();
};

void TestMidiReader::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<MelodyChoices>("choices");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("remarks");

    // A refused note is said and left out; the plan then sends nothing at all.
    const MelodyChoices none;
    const QByteArray scale = notes({{48, 0, q}, {69, q, e}, {83, q + e, 2 * q}});
    QTest::newRow("format 0: 48 is Do2, 69 La3, 83 Si4")
        << smf(0, 480, {scale}) << none
        << QStringList{u"120|Do2|Noire"_s, u"120|La3|Croche=1/2 Noire"_s,
                       u"120|Si4|Blanche=2 Noires"_s}
        << QStringList() << QStringList();
    QTest::newRow("format 1: the conductor's tempo, rounded")
        << smf(1, 480, {tempo(0, 97), scale}) << none
        << QStringList{u"97|Do2|Noire"_s, u"97|La3|Croche=1/2 Noire"_s,
                       u"97|Si4|Blanche=2 Noires"_s}
        << QStringList() << QStringList();
    QTest::newRow("note-off events, sysex and other metas read past")
        << smf(0, 96,
               {QByteArray::fromHex("00F0057E7F0901F7 00FF030454697465 00C005 "
                                    "00903C40 60803C00 00FF580403021808 00F70101 "
                                    "00903E40 3080 3E00")})
        << none << QStringList{u"120|Do3|Noire"_s, u"120|Re3|Croche=1/2 Noire"_s} << QStringList()
        << QStringList();
    QTest::newRow("every value, staccato is articulation")
        << smf(0, 480,
               {notes({{60, 0, 1800},
                       {60, 1920, 1200},
                       {60, 3360, 900},
                       {60, 4320, 600},
                       {60, 5040, 420},
                       {60, 5520, 300},
                       {60, 5880, 210},
                       {60, 6120, 150},
                       {60, 6300, 120}})})
        << none
        << QStringList{u"120|Do3|Ronde=4 Noires"_s,
                       u"120|Do3|Blanche pointée"_s,
                       u"120|Do3|Blanche=2 Noires"_s,
                       u"120|Do3|Noire pointée"_s,
                       u"120|Do3|Noire"_s,
                       u"120|Do3|Croche pointée"_s,
                       u"120|Do3|Croche=1/2 Noire"_s,
                       u"120|Do3|Double Croche pointée"_s,
                       u"120|Do3|Double Croche=1/4 Noire"_s}
        << QStringList() << QStringList();
    QTest::newRow("chord: the highest note, onsets within 1/32")
        << smf(0, 480, {notes({{60, 0, q}, {67, 0, q}, {64, 0, q}, {60, q, q}, {72, q + 10, q}})})
        << none << QStringList{u"120|Sol3|Noire"_s, u"120|Do4|Noire"_s} << QStringList()
        << QStringList();
    QTest::newRow("drums on channel 10 left out")
        << smf(0, 480, {notes({{36, 0, q, 10}, {60, 0, q, 2}, {38, q, q, 10}})}) << none
        << QStringList{u"120|Do3|Noire"_s} << QStringList() << QStringList();
    QTest::newRow("rest refused at its place")
        << smf(0, 480, {notes({{60, 0, q}, {62, 3 * q, q}})}) << none
        << QStringList{u"120|Re3|Noire"_s}
        << QStringList{u"piste 1, mesure 1, temps 2 (tick 480) Silence de 2 noires après la note 1"_s}
        << QStringList();
    MelodyChoices skip;
    skip.skipRests = true;
    QTest::newRow("rest skipped: the note keeps its length")
        << smf(0, 480, {notes({{60, 0, q}, {62, 3 * q, q}})}) << skip
        << QStringList{u"120|Do3|Noire"_s, u"120|Re3|Noire"_s} << QStringList()
        << QStringList{u"1 silence ignoré (--skip-rests) : les notes suivantes sont avancées "
                       u"d'autant."_s};
    QTest::newRow("triplets, 32nd notes and a tie over a whole refused")
        << smf(0, 480,
               {notes({{60, 0, 160},
                       {60, 160, 160},
                       {60, 320, 160},
                       {60, 480, 60},
                       {60, 540, 2400},
                       {60, 2940, q}})})
        << none << QStringList{u"120|Do3|Noire"_s}
        << QStringList{u"piste 1, mesure 1, temps 1 (tick 0) Durée de 0,333 noire impossible"_s,
                       u"piste 1, mesure 1, temps 1 (tick 160) Durée de 0,333"_s,
                       u"piste 1, mesure 1, temps 1 (tick 320) Durée de 0,333"_s,
                       u"piste 1, mesure 1, temps 2 (tick 480) Durée de 0,125"_s,
                       u"piste 1, mesure 1, temps 2 (tick 540) Durée de 5 noires"_s}
        << QStringList();
    const QByteArray waltz = QByteArray::fromHex("00FF580403021808");
    QTest::newRow("places by the time signature")
        << smf(1, 480, {waltz, notes({{60, 0, 3 * q}, {60, 3 * q, q}, {60, 6 * q, q}})}) << none
        << QStringList{u"120|Do3|Blanche pointée"_s, u"120|Do3|Noire"_s}
        << QStringList{u"piste 2, mesure 2, temps 2 (tick 1920) Silence"_s} << QStringList();
    QTest::newRow("moved by octaves, said")
        << smf(0, 480, {notes({{24, 0, q}, {35, q, q}})}) << none
        << QStringList{u"120|Do2|Noire"_s, u"120|Si2|Noire"_s} << QStringList()
        << QStringList{u"Mélodie montée de 2 octaves pour tenir entre Do2 et Si4."_s};
    QTest::newRow("a span over 36 notes refused")
        << smf(0, 480, {notes({{40, 0, q}, {80, q, q}})}) << none << QStringList()
        << QStringList{u"piste 1, mesure 1, temps 1 (tick 0) La ligne va de Mi1 à Sol#4"_s}
        << QStringList();

    const QByteArray twoTempos = tempo(0, 90) + tempo(960, 140);
    QTest::newRow("a tempo that changes needs --tempo")
        << smf(1, 480, {twoTempos, notes({{60, 0, q}, {62, q, q}, {64, 2 * q, q}, {65, 3 * q, q}})})
        << none << QStringList()
        << QStringList{u"piste 2, mesure 1, temps 1 (tick 0) Le tempo change le long des "
                       u"notes prises (de 90 à 140 par minute)"_s}
        << QStringList();
    MelodyChoices fast;
    fast.tempo = 150;
    QTest::newRow("--tempo wins") << smf(1, 480, {twoTempos, notes({{60, 0, q}, {62, q, q}})})
                                  << fast << QStringList{u"150|Do3|Noire"_s, u"150|Re3|Noire"_s}
                                  << QStringList() << QStringList();
    MelodyChoices excerpt;
    excerpt.notes = std::pair(3, 4);
    QTest::newRow("--notes: one tempo along the excerpt is enough, a rest after it is not part")
        << smf(1, 480,
               {twoTempos,
                notes({{60, 0, q}, {62, q, q}, {64, 2 * q, q}, {65, 3 * q, 400}, {67, 6 * q, q}})})
        << excerpt << QStringList{u"140|Mi3|Noire"_s, u"140|Fa3|Noire"_s} << QStringList()
        << QStringList();
    excerpt.notes = std::pair(2, 9);
    QTest::newRow("--notes beyond the line")
        << smf(0, 480, {scale}) << excerpt << QStringList()
        << QStringList{u"La ligne choisie n'a que 3 notes : --notes 2-9 va au-delà"_s}
        << QStringList();

    const QByteArray twoLines = notes({{60, 0, q, 1}, {48, 0, q, 2}, {62, q, q, 1}});
    MelodyChoices second;
    second.channel = 2;
    QTest::newRow("--channel chooses")
        << smf(0, 480, {twoLines}) << second << QStringList{u"120|Do2|Noire"_s} << QStringList()
        << QStringList();
    MelodyChoices track;
    track.track = 2;
    QTest::newRow("--track chooses")
        << smf(1, 480, {notes({{60, 0, q}}), notes({{62, 0, q}})}) << track
        << QStringList{u"120|Re3|Noire"_s} << QStringList() << QStringList();
    QTest::newRow("several lines, no choice")
        << smf(0, 480, {twoLines}) << none << QStringList()
        << QStringList{u"2 lignes mélodiques dans le fichier : choisissez-en une avec --track "
                       u"et --channel.\n  piste 1, canal 1 : 2 notes de Do3 à Re3, une à la fois\n"
                       u"  piste 1, canal 2 : 1 note de Do2 à Do2, une à la fois"_s}
        << QStringList();
    track.track = 3;
    QTest::newRow("a choice that matches nothing")
        << smf(0, 480, {twoLines}) << track << QStringList()
        << QStringList{u"Aucune ligne mélodique en piste 3 : choisissez l'une de celles-ci"_s}
        << QStringList();
    QTest::newRow("only drums")
        << smf(0, 480, {notes({{36, 0, q, 10}})}) << none << QStringList()
        << QStringList{u"Aucune note dans le fichier MIDI, hors percussions (canal 10)"_s}
        << QStringList();
}

void TestMidiReader::read()
{
    QFETCH(QByteArray, file);
    QFETCH(MelodyChoices, choices);
    const MidiFile midi = MidiFile::parse(file);
    QVERIFY2(midi.ok(), qPrintable(midi.problem));
    const MelodyReading reading = MidiReader::read(midi, choices);
    QTEST(notesOf(reading), "notes");
    QFETCH(QStringList, problems);
    compareProblems(reading.problems, problems);
    QTEST(reading.remarks, "remarks");
}

void TestMidiReader::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("problem");

    const QByteArray good = smf(0, 480, {notes({{60, 0, q}, {62, q, q}})});
    QTest::newRow("cut inside a track")
        << good.left(good.size() - 6) << u"Fichier MIDI tronqué : il s'arrête à l'octet 35 "_s;
    QTest::newRow("cut inside the header")
        << good.left(10) << u"Fichier MIDI tronqué : il s'arrête à l'octet 10 "_s;
    QTest::newRow("a track announced but missing")
        << smf(1, 480, {notes({{60, 0, q}})}).replace(11, 1, "\x02")
        << u"Fichier MIDI tronqué : il s'arrête à l'octet 34 "_s;
    QTest::newRow("format 2") << QByteArray(good).replace(9, 1, "\x02")
                              << u"Fichier MIDI de format 2 (octet 8)"_s;
    QTest::newRow("SMPTE timing") << QByteArray(good).replace(12, 2, "\xE7\x28")
                                  << u"Fichier MIDI en temps SMPTE (octet 12)"_s;
    QTest::newRow("a quantity of 5 bytes")
        << smf(0, 480, {QByteArray::fromHex("8080808000903C40")})
        << u"Fichier MIDI abîmé à l'octet 22 : nombre de plus de 4 octets."_s;
    QTest::newRow("data before any status")
        << smf(0, 480, {QByteArray::fromHex("003C40")})
        << u"Fichier MIDI abîmé à l'octet 23 : donnée sans octet d'état qui la précède."_s;
    QTest::newRow("running status ended by a meta")
        << smf(0, 480, {QByteArray::fromHex("00903C40 00FF0100 003C00")})
        << u"Fichier MIDI abîmé à l'octet 31 : donnée sans octet d'état"_s;
    QTest::newRow("an event past its track's end")
        << chunk("MThd", QByteArray::fromHex("000000010060")) +
               chunk("MTrk", QByteArray::fromHex("00903C")) + QByteArray::fromHex("400000")
        << u"Fichier MIDI abîmé à l'octet 25 : un événement dépasse la fin de sa piste."_s;
}

void TestMidiReader::refusedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    const MelodyLoad load = MelodySource::fromBytes(file, u"x.txt"_s);
    QVERIFY2(load.problem.startsWith(problem), qPrintable(load.problem));
    QVERIFY(load.reading.notes.empty());
}

void TestMidiReader::candidatesListed()
{
    const QByteArray file =
        smf(1, 480,
            {QByteArray::fromHex("00FF0306436F6E647563"),
             QByteArray::fromHex("00FF0305566F697865") +
                 notes({{72, 0, q}, {76, 0, q}, {79, 1, q}, {74, q, q}, {36, 0, q, 10}}),
             notes({{40, 0, 2 * q, 3}, {43, 0, q, 3}})});
    const MelodyReading reading = MidiReader::read(MidiFile::parse(file), {});
    QCOMPARE(reading.lines.size(), std::size_t(2));
    const MelodyLine &voice = reading.lines[0];
    QCOMPARE(std::tuple(voice.track, voice.channel, voice.name, voice.notes, voice.lowest,
                        voice.highest, voice.mostAtOnce),
             std::tuple(2, 1, u"Voixe"_s, 2, u"Re4"_s, u"Sol4"_s, 3));
    const MelodyLine &bass = reading.lines[1];
    QCOMPARE(std::tuple(bass.track, bass.channel, bass.name, bass.notes, bass.lowest, bass.highest,
                        bass.mostAtOnce),
             std::tuple(3, 3, QString(), 1, u"Sol1"_s, u"Sol1"_s, 2));
}

void TestMidiReader::longLineNamesNotes()
{
    std::vector<N> many;
    for (int i = 0; i < 40; ++i)
        many.push_back({60 + i % 12, i * q, q});
    const MelodyLoad load = MelodySource::fromBytes(smf(0, 480, {notes(many)}), u"a.mid"_s);
    const MelodyPlan plan = MelodyPlan::make(load.reading, 11);
    QCOMPARE(plan.problems().size(), std::size_t(1));
    const MelodyProblem &problem = plan.problems().front();
    QCOMPARE(problem.place, u"piste 1, mesure 6, temps 2 (tick 10080)"_s);
    QVERIFY2(problem.text.endsWith(u"--notes 1-21."_s), qPrintable(problem.text));
}

void TestMidiReader::exampleGivesItsTwinsFrames()
{
    const auto framesOf = [](const QString &name) {
        const MelodyLoad load = MelodySource::load(QStringLiteral(EXAMPLES_DIR "/") + name);
        const MelodyPlan plan = MelodyPlan::make(load.reading, 1);
        QByteArray wire;
        for (const PlannedFrame &planned : plan.frames())
            wire += planned.frame.toBytes();
        return wire;
    };
    const QByteArray midi = framesOf(u"ah-vous-dirai-je-maman.mid"_s);
    QCOMPARE(midi.size(), 28 * 3);
    QCOMPARE(midi, framesOf(u"ah-vous-dirai-je-maman.csv"_s));
}

// Files written by others, with what others' programs put in them.
void TestMidiReader::realFiles()
{
    const QDir folder(u"/usr/share/games/openttd/baseset/openmsx"_s);
    const QStringList names = folder.entryList({u"*.mid"_s}, QDir::Files, QDir::Name);
    if (names.isEmpty())
        QSKIP("openttd-openmsx is not installed (scripts/install-deps installs it)");
    QCOMPARE(names.size(), 31);
    QMap<QString, QStringList> listed;
    for (const QString &name : names) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const MidiFile midi = MidiFile::parse(file.readAll());
        QVERIFY2(midi.ok(), qPrintable(name + u": "_s + midi.problem));
        for (const MelodyLine &line : MidiLines::candidates(midi)) {
            listed[name] << QStringLiteral("%1/%2 %3 %4-%5 %6")
                                .arg(line.track)
                                .arg(line.channel)
                                .arg(line.notes)
                                .arg(line.lowest, line.highest)
                                .arg(line.mostAtOnce);
            MelodyChoices choice;
            choice.track = line.track;
            choice.channel = line.channel;
            choice.notes = std::pair(1, std::min(line.notes, 31));
            const MelodyReading reading = MidiReader::read(midi, choice);
            QVERIFY(!reading.notes.empty() || !reading.problems.empty());
        }
    }
    // A bass line's opening, taken whole at the file's tempo.
    const MelodyLoad bass = MelodySource::load(folder.filePath(u"be_sharp_bw_redfarn.mid"_s),
                                               {false, 3, std::nullopt, std::nullopt, {{1, 22}}});
    const MelodyPlan plan = MelodyPlan::make(bass.reading, 1);
    QVERIFY(plan.ok());
    QCOMPARE(plan.frames().size(), std::size_t(22));
    QCOMPARE(plan.frames().front().describe(), u"Note 1 @0 : Do3, Croche=1/2 Noire (27)"_s);
    QCOMPARE(
        listed[u"moo_redfarn.mid"_s],
        (QStringList{u"3/1 498 Do2-Sol5 4"_s, u"3/2 358 Do1-Fa#2 2"_s, u"3/3 358 Sol0-Si1 2"_s}));
    QCOMPARE(
        listed[u"no_work_song_redfarn.mid"_s],
        (QStringList{u"2/1 465 Do0-Do5 6"_s, u"3/4 287 Fa#2-Do5 4"_s, u"4/3 299 Do1-Sol2 2"_s}));
    QCOMPARE(listed[u"chuggachugga.mid"_s],
             (QStringList{u"2/1 121 Mi2-Sol2 3"_s, u"4/11 8 Sol3-La3 1"_s, u"5/12 54 Sol0-La3 1"_s,
                          u"6/13 417 Mi4-La4 1"_s, u"7/14 64 La2-La4 3"_s}));
}

QTEST_GUILESS_MAIN(TestMidiReader)
#include "tst_midireader.moc"
