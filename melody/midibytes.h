// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Reads a MIDI file's bytes up to a limit (a chunk's end): big-endian numbers, variable-length
// quantities, runs of bytes. The first fault is kept, in French with its offset, and stops all
// reading.
class MidiBytes {
public:
    MidiBytes(QByteArrayView bytes, qsizetype at, qsizetype end);

    qsizetype at() const { return m_at; }
    bool atEnd() const { return m_at >= m_end; }
    bool failed() const { return !m_problem.isEmpty(); }
    const QString &problem() const { return m_problem; }

    // The fault at offset, unless one was found before.
    void fail(qsizetype offset, const QString &what);

    std::optional<quint8> byte();
    std::optional<quint32> bigEndian(int count);
    // A variable-length quantity: 7 bits a byte, at most 4 bytes.
    std::optional<quint32> quantity();
    // Empty once failed.
    QByteArrayView take(quint32 count);

    // The two ways a MIDI file is refused: cut short, or broken at a byte.
    static QString truncatedAt(qsizetype offset);
    static QString garbledAt(qsizetype offset, const QString &what);

private:
    QByteArrayView m_bytes;
    qsizetype m_at;
    qsizetype m_end;
    QString m_problem;
};
