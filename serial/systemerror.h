// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the system answered to a call that failed, as a value the rest of the program can
// speak of without knowing the platform's error numbers (systemerror_unix.cpp here).
enum class SystemError {
    None,
    NoSuchFile,
    NotADirectory,
    IsADirectory,
    TooManyLinks,
    NameTooLong,
    AccessDenied,
    NotPermitted,
    ReadOnlyFileSystem,
    Busy,
    WouldBlock,
    NoSuchDeviceOrAddress,
    NoSuchDevice,
    InputOutput,
    NotATerminal,
    TextFileBusy,
    Interrupted,
    InvalidArgument,
    TooManyOpenFiles,
    TooManyOpenFilesInSystem,
    OutOfMemory,
    Overflow,
    NoLocks,
    NoSpace,
    FileTooLarge,
    QuotaExceeded,
    BrokenPipe,
    Other, // one not listed here: the system's own words say it
};

// The reason for one of the platform's error numbers.
SystemError systemErrorFor(int platformError);
// The reason for the error the last failed system call left behind: read it right after the
// call, before anything else can change it.
SystemError lastSystemError();
