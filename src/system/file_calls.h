// The calls under file_system.cpp that each system answers with its own interface, in
// file_system_<system>.cpp. What they found comes back as facts (which step refused, whether
// nothing stood there, whether the folder refuses new files); the shared code words the
// faults, the same on every system. Only the system layer includes this.
#pragma once

#include "system/file_system.h"

#include <cstdio>
#include <string>

// A failed system call, in the terms the shared messages need.
struct SystemFault {
    std::string reason;         // the system's own text
    bool missing = false;       // nothing stands at the path, or on the way to it
    bool folderRefuses = false; // the folder takes no new files: no permission, a read-only medium
};

// How far an open got: Opened with a stream; otherwise where it stopped (Failed: the system
// call itself, with a SystemFault).
enum class OpenStep { Opened, Failed, Folder, NotRegularFile, TypeUnreadable, BlockingStays, NoStream };

// Opens a regular file for reading, or for appending (creating it), without waiting on a FIFO
// or a device, and checks the type of what was opened.
std::FILE* OpenWithoutWaiting(const std::string& path, OpenFor purpose, OpenStep& step, SystemFault& fault);
// Creates a new file for binary writing, failing when anything stands at the path. NoStream
// leaves the file made (for the caller to remove).
std::FILE* CreateExclusively(const std::string& path, OpenStep& step, SystemFault& fault);
