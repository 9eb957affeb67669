#pragma once

#include <cstddef>
#include <thread>

// Maps in every page of a fresh buffer that is about to be written whole, in one call instead of a
// page fault at the first touch of each page (costly where the system runs virtualised). Only
// advice: a system without it leaves the pages to be faulted in as they are touched.
void MapPagesAtOnce(void* pBuffer, std::size_t nBytes);

// The same for a buffer about to be written from its start, on two cores: the first half is mapped
// in before it returns, the second half on the returned thread (joined when the object goes), so
// that the system clears the second half's fresh pages while the caller fills the first. Writing
// the buffer while that thread runs is safe: mapping a page in never changes what it holds. Without
// a thread to be had the whole buffer is mapped in before it returns.
std::jthread MapPagesAhead(void* pBuffer, std::size_t nBytes);
