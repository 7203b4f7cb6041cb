// SPDX-License-Identifier: GPL-3.0-or-later
#include "framedecoder.h"

std::vector<DeviceFrame> FrameDecoder::feed(QByteArrayView bytes)
{
    m_pending.append(bytes);
    std::vector<DeviceFrame> frames;
    qsizetype used = 0;
    for (; used + DeviceFrame::kSize <= m_pending.size(); used += DeviceFrame::kSize)
        frames.push_back(
            {quint8(m_pending[used]), quint8(m_pending[used + 1]), quint8(m_pending[used + 2])});
    m_pending.remove(0, used);
    return frames;
}
