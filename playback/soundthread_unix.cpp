// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundthread.h"

#include <pthread.h>
#include <sched.h>

void raiseSoundThreadPriority()
{
    sched_param parameters{};
    parameters.sched_priority = sched_get_priority_min(SCHED_RR);
    // Refused without the right to (EPERM): the thread keeps its ordinary priority.
    pthread_setschedparam(pthread_self(), SCHED_RR, &parameters);
}
