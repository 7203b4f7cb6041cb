#include "outputqueue.h"

#include <sys/ioctl.h>

qint64 bytesInDriverQueue(qintptr handle)
{
    int queued = 0;
    if (handle < 0 || ::ioctl(int(handle), TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}
