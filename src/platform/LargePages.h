#pragma once

#include <cstddef>

// Asks the system to back the whole 2 MiB pages inside a freshly allocated buffer with large pages,
// before its first touch: a table of many megabytes then costs a few hundred page faults instead
// of thousands. Only advice: buffers smaller than a large page, or a system that declines, change
// nothing, and nothing depends on it.
void AdviseLargePages(const void* pBuffer, std::size_t nBytes);
