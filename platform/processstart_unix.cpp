// SPDX-License-Identifier: GPL-3.0-or-later
#include "processstart.h"

#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

void prepareProcess()
{
    for (int standard : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(standard, F_GETFD) != -1)
            continue;
        const int fd = ::open("/dev/null", standard == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (fd >= 0 && fd != standard) { // the lowest free number: standard, unless taken
            ::dup2(fd, standard);
            ::close(fd);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}
