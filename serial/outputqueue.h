#pragma once

#include <QtGlobal>

// Bytes the system's serial driver still holds for the line behind handle, not yet on the wire;
// 0 when the driver cannot tell.
qint64 bytesInDriverQueue(qintptr handle);
