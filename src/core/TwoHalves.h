#pragma once

#include <exception>
#include <system_error>
#include <thread>

// Work over the rows of a large table shared by two threads: the machines the program runs on have
// at least two cores, and the tool's jobs are timed by the clock on the wall.

// The row count from which the work is split; below it a thread costs more than it saves.
constexpr int kRowsWorthTwoThreads = 4096;

// Calls work(0, nMid, first) on a thread of its own and work(nMid, nRows, second) on the calling
// thread, nMid being half of nRows, and returns once both are done; each half writes only its own
// part, so the two share nothing while they run. For fewer than kRowsWorthTwoThreads rows, on a
// single core or when no thread can be started, both halves run on the calling thread in turn.
// An exception of either half is thrown again once both are done.
// REQUIRES: work is safe to run on two threads at once for different rows and parts.
template <typename Part, typename Work> void InTwoHalves(int nRows, Part& first, Part& second, Work work)
{
    const int nMid = nRows / 2;
    if (nRows < kRowsWorthTwoThreads || std::thread::hardware_concurrency() == 1)
    {
        work(0, nMid, first);
        work(nMid, nRows, second);
        return;
    }
    std::exception_ptr firstFault;
    std::thread thread;
    try
    {
        thread = std::thread([&] {
            try
            {
                work(0, nMid, first);
            }
            catch (...)
            {
                firstFault = std::current_exception();
            }
        });
    }
    catch (const std::system_error&)
    {
        work(0, nMid, first); // no thread to be had: the first half here too
    }
    std::exception_ptr secondFault;
    try
    {
        work(nMid, nRows, second);
    }
    catch (...)
    {
        secondFault = std::current_exception();
    }
    if (thread.joinable())
        thread.join();
    if (firstFault)
        std::rethrow_exception(firstFault);
    if (secondFault)
        std::rethrow_exception(secondFault);
}
