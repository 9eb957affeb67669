#pragma once

#include <string>
#include <sys/stat.h>

#include "platform/Types.h"

// Inside the file layer: where a path leads, checked before anything is opened.
struct FileTarget
{
    std::string strPath; // the path with a final symbolic link resolved; the given path when missing
    bool bExists = false;
    struct stat info
    {
    }; // of the file at strPath, when it exists
};

// Follows the path to the file it names. A missing file (and no link of that name) is a target that
// does not exist; a dangling or looping link, a directory, a FIFO, socket or device are refused
// with the layer's codes.
DWORD ResolveRegularFile(const std::string& strPath, FileTarget& target);

// The code for the current errno of a failed system call.
DWORD LastSystemError();
