// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

enum class MelodyFormat { Table, Rtttl };

// A melody file turned into text: UTF-8 with or without BOM, UTF-16 with its BOM, or
// Windows-1252 (a table saved by a spreadsheet on Windows). Big, binary or undecodable files are
// refused with the reason in French.
class MelodyFile {
public:
    static constexpr qint64 kMaxSize = 1024 * 1024;

    struct Text {
        QString text;
        QString problem; // empty when the text is usable

        bool ok() const { return problem.isEmpty(); }
    };

    struct Bytes {
        QByteArray bytes;
        QString problem; // empty when the file was read

        bool ok() const { return problem.isEmpty(); }
    };

    static Bytes readBytes(const QString &path);
    static Text read(const QString &path);
    static Text decode(const QByteArray &bytes);
    // ".rtttl" and ".rtx" are RTTTL, ".csv" a table; otherwise a first line with a ":" is RTTTL.
    // MIDI is told by its bytes, before any text (see MelodySource).
    static MelodyFormat formatOf(const QString &path, const QString &text);
};
