// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemerror.h"

#include <cerrno>

SystemError systemErrorFor(int platformError)
{
    switch (platformError) {
    case 0:
        return SystemError::None;
    case ENOENT:
        return SystemError::NoSuchFile;
    case ENOTDIR:
        return SystemError::NotADirectory;
    case EISDIR:
        return SystemError::IsADirectory;
    case ELOOP:
        return SystemError::TooManyLinks;
    case ENAMETOOLONG:
        return SystemError::NameTooLong;
    case EACCES:
        return SystemError::AccessDenied;
    case EPERM:
        return SystemError::NotPermitted;
    case EROFS:
        return SystemError::ReadOnlyFileSystem;
    case EBUSY:
        return SystemError::Busy;
    case EWOULDBLOCK:
        return SystemError::WouldBlock;
    case ENXIO:
        return SystemError::NoSuchDeviceOrAddress;
    case ENODEV:
        return SystemError::NoSuchDevice;
    case EIO:
        return SystemError::InputOutput;
    case ENOTTY:
        return SystemError::NotATerminal;
    case ETXTBSY:
        return SystemError::TextFileBusy;
    case EINTR:
        return SystemError::Interrupted;
    case EINVAL:
        return SystemError::InvalidArgument;
    case EMFILE:
        return SystemError::TooManyOpenFiles;
    case ENFILE:
        return SystemError::TooManyOpenFilesInSystem;
    case ENOMEM:
        return SystemError::OutOfMemory;
    case EOVERFLOW:
        return SystemError::Overflow;
    case ENOLCK:
        return SystemError::NoLocks;
    case ENOSPC:
        return SystemError::NoSpace;
    case EFBIG:
        return SystemError::FileTooLarge;
    case EDQUOT:
        return SystemError::QuotaExceeded;
    case EPIPE:
        return SystemError::BrokenPipe;
    default:
        return SystemError::Other;
    }
}

SystemError lastSystemError()
{
    return systemErrorFor(errno);
}
