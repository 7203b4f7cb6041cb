// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eepromimage.h"
#include "framedecoder.h"

class DeviceSound;

#include <QString>
#include <QTextStream>

// Plays the board on a pseudo-terminal: reads what the writer sends, never answers.
class PseudoDevice {
public:
    enum class Stop { ByUser, ByCaller }; // whether to tell the user how to end it
    explicit PseudoDevice(QTextStream &out, Stop stop = Stop::ByUser);
    ~PseudoDevice();
    PseudoDevice(const PseudoDevice &) = delete;
    PseudoDevice &operator=(const PseudoDevice &) = delete;

    // Opens the pseudo-terminal; on failure returns false with the reason in error.
    bool open(QString &error);
    QString devicePath() const { return m_path; }
    // Each frame's note sounds there once the frame is whole.
    void setSound(DeviceSound &sound) { m_sound = &sound; }

    // Reads frames, across any number of closes and reopens of the port by the writer, until
    // stopFd (the read end of a pipe written by a signal handler) becomes readable; the sound
    // stops then.
    void run(int stopFd);

    const EepromImage &image() const { return m_image; }
    int frameCount() const { return m_frames; }
    int strayBytes() const { return m_decoder.pendingBytes(); }

private:
    bool readAvailable(bool writerGone);
    void receive(const char *data, qsizetype size, bool writerGone);
    void checkLine(bool writerGone);

    QTextStream &m_out;
    Stop m_stop;
    int m_master = -1;
    QString m_path;
    FrameDecoder m_decoder;
    EepromImage m_image;
    int m_frames = 0;
    bool m_lineChecked = false;
    DeviceSound *m_sound = nullptr;
};
