// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// A program that has a device open.
struct DeviceHolder {
    QString program; // its short name, such as "picocom"
    qint64 pid = 0;
};

// The process that keeps us off the device: the one holding its lock (a flock on the device, or
// a live process named in its serial lock file), else another process that holds it open, where
// the system lets us see its open files (those of our own user, or all of them as root);
// nullopt when none is found.
std::optional<DeviceHolder> findDeviceHolder(const QString &device);
