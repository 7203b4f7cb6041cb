// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyrenderer.h"

#include <QtEndian>

namespace {

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QByteArray header(quint32 dataBytes)
{
    QByteArray out;
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    appendLe32(out, 16); // PCM format chunk
    appendLe16(out, 1);  // PCM
    appendLe16(out, 1);  // mono
    appendLe32(out, NoteTone::kSampleRate);
    appendLe32(out, NoteTone::kSampleRate * 2);
    appendLe16(out, 2);  // bytes per frame
    appendLe16(out, 16); // bits per sample
    out.append("data", 4);
    appendLe32(out, dataBytes);
    return out;
}

} // namespace

QByteArray MelodyRenderer::withHeader(const QByteArray &samples)
{
    return header(quint32(samples.size())) + samples;
}
