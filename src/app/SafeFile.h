// Writing and reading the user's files so that bad input or a bad target never
// destroys what is there: every writer of the tools goes through WriteFileSafely,
// every reader of a user-named file checks it with CheckInputFile first.
//
// Paths are bytes, as the system takes them: a name that is no UTF-8 still works.
// Only the C and C++ libraries and POSIX are used, so vostrel-fwpack can share it.
#pragma once

#include <cstdint>
#include <string>

// Where writing `path` puts the bytes: a symbolic link is followed to its target
// (which then gets the file and the link stays a link). False with a message for
// anything that is no regular file (folder, device, FIFO, socket, a link to
// nowhere), a file that may not be written (read-only) and one with other hard
// links, which a replacement would split off.
bool ResolveWriteTarget(const std::string& path, std::string& target, std::string& error);

// Writes `bytes` as the file `path` through a temporary file beside its target that
// takes the old file's mode and, where allowed, owner before it replaces the old
// file; on any failure the temporary file is removed and the old file stays as it
// was. False with a message.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error);

// True when both paths name one existing file (through links as well).
bool IsSameFile(const std::string& first, const std::string& second);

// False with a message when `path` is no regular file or is larger than `maxBytes`;
// checked before any byte is read, so /dev/zero or a huge file costs nothing.
bool CheckInputFile(const std::string& path, uint64_t maxBytes, std::string& error);
// CheckInputFile, then the whole content.
bool ReadInputFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& error);
