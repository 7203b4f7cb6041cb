// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The symbolic link --link asks for. It only ever takes the place of a link an earlier stand-in
// left behind (one into the pseudo-terminal folder), never of a file, a folder or another link,
// and it is removed at the end only while it still points at our device.
class DeviceLink {
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Makes path a link to device; on failure returns false with the reason in French in error.
    bool make(const QString &device, const QString &path, QString &error);
    void remove();

private:
    QString m_device;
    QString m_path;
};
