// The file calls that differ from one operating system to another. What every system shares
// (the checks made before a call, the texts of the faults) is written once, in
// file_system.cpp; the calls themselves are the system's own interface, in
// file_system_<system>.cpp: file_system_posix.cpp on Linux, file_system_windows.cpp on Windows
// (paths in UTF-8 there, handed to the wide-character calls). The lowest layer: it knows
// nothing of the program, reports faults as text and leaves raising them to base/.
#pragma once

#include "system/path_text.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

enum class PathKind { Missing, File, Folder, Other };
// What stands at a real path, links followed. Other is anything but a regular file or a
// folder: a FIFO, a device, a socket.
PathKind KindOfPath(const std::string& path);

// The path text of path_text.h by this system's rules (SystemPathStyle).
bool IsAbsolutePath(std::string_view path);
size_t LastPathSeparator(std::string_view path);
std::string FolderOfPath(const std::string& path);

// The entry of folder whose name equals name without regard to (ASCII) case, or "" when none
// does or the folder cannot be listed.
std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name);

enum class OpenFor { Reading, Appending };
// Opens a regular file in binary mode (Appending creates it). Nothing else is opened, and
// nothing is waited on: a FIFO or a device is refused at once. nullptr otherwise, with fault
// ("cannot open (<reason>)", "cannot open (it is a directory)", "cannot open (not a regular
// file)", and for a file to append to that its folder will not take "cannot write (its folder
// is not writable: <reason>)") and missing set when nothing stands there.
std::FILE* OpenRegularFile(const std::string& path, OpenFor purpose, std::string& fault, bool& missing);

// Creates a new file for binary writing; fails when anything stands at the path already.
// nullptr with the reason otherwise; when the folder takes no new files (no write permission,
// a read-only file system) the reason says so: "its folder is not writable: <reason>".
std::FILE* CreateNewFile(const std::string& path, std::string& reason);
// Writes the stream's buffers and then the file's data through to the disk.
bool FlushToDisk(std::FILE* file);
// Renames from over to in one step, replacing a file that stands there. False with the reason.
bool MoveOver(const std::string& from, const std::string& to, std::string& reason);
void RemoveFile(const std::string& path);
// A file's permission bits, to be given to the file that replaces it; -1 where the system
// keeps none worth carrying over.
int PermissionBits(const std::string& path);
void SetPermissionBits(const std::string& path, int bits);
// True when new files can be made in the folder; the reason otherwise. POSIX only: its one
// caller, the data generator, is built for Linux alone.
bool CanWriteInto(const std::string& folder, std::string& reason);

// The working folder, as an absolute path; "." when the system cannot tell.
std::string WorkingFolder();

// The text of a C library error number (errno).
std::string ErrorText(int error);
unsigned long ProcessId();
// The local time of day of a moment, as localtime_r gives it.
std::tm LocalTime(std::time_t moment);
