#include "boardtiming.h"

int durationUnits(quint8 durationByte)
{
    switch (durationByte) {
    case 253:
        return 266;
    case 254:
        return 300;
    case 255:
        return 400;
    default:
        return durationByte;
    }
}
