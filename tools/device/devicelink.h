// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The symbolic link --link asks for, claimed with a lock file beside it ("PATH.lock", holding
// the stand-in's PID and device) for as long as the stand-in that made it runs. It only ever
// takes the place of a link a stand-in left behind when it was killed (the lock file then names
// the link's target and nobody holds it), never of a file, a folder, a user's own link or the
// link of a stand-in that runs; it is removed at the end only while it still points at our
// device. One implementation per platform (devicelink_unix.cpp here).
class DeviceLink {
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Makes path a link to device; on failure returns false with the reason in French in error.
    bool make(const QString &device, const QString &path, QString &error);
    void remove();

    static QString lockPathFor(const QString &path) { return path + QStringLiteral(".lock"); }

private:
    bool claim(const QString &path, QString &error, QString &leftFor);
    void release();

    QString m_device;
    QString m_path;
    int m_lock = -1;
};
