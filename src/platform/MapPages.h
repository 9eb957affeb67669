#pragma once

#include <cstddef>

// Maps in every page of a fresh buffer that is about to be written whole, in one call instead of a
// page fault at the first touch of each page (costly where the system runs virtualised). Only
// advice: a system without it leaves the pages to be faulted in as they are touched.
void MapPagesAtOnce(void* pBuffer, std::size_t nBytes);
