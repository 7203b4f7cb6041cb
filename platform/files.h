// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "systemerror.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files the programs read and write, with the system's answer captured where a call fails.
// One implementation per platform (files_unix.cpp here).

struct FileRead {
    QByteArray bytes;
    SystemError error = SystemError::None;
    bool tooBig = false; // more than the limit asked for

    bool ok() const { return error == SystemError::None && !tooBig; }
};

// At most limit bytes; a pipe has no size, so one byte more is read to tell it is too big.
FileRead readFile(const QString &path, qint64 limit);

enum class OutputCheck { Usable, Discarded, IsAnInput, NotARegularFile };

// What writing path would do, before anything is done: /dev/null takes the output away, a file
// read by this run or anything but a regular file (a device, a pipe, a folder) is refused.
OutputCheck checkOutput(const QString &path, const QStringList &inputs);

// Writes the whole file or nothing, through a temporary file renamed over it: the earlier file
// stays as it was on failure. None when written.
SystemError saveFile(const QString &path, const QByteArray &bytes);
