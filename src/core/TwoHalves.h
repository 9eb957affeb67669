#pragma once

#include <exception>
#include <system_error>
#include <thread>

// Work over the rows of a large table shared by two threads: the machines the program runs on have
// at least two cores, and the tool's jobs are timed by the clock on the wall.

// The row count from which the work is split; below it a thread costs more than it saves.
constexpr int kRowsWorthTwoThreads = 4096;

// Runs first() on the calling thread and second() on a thread of its own at the same time, and
// returns once both are done; each must write only what is its own, so the two share nothing while
// they run. Without bTwoThreads, on a single core or when no thread can be started, both run on the
// calling thread in turn. An exception of either is thrown again once both are done.
template <typename First, typename Second> void SideBySide(bool bTwoThreads, First first, Second second)
{
    std::exception_ptr secondFault;
    std::thread thread;
    if (bTwoThreads && std::thread::hardware_concurrency() != 1)
    {
        try
        {
            thread = std::thread([&] {
                try
                {
                    second();
                }
                catch (...)
                {
                    secondFault = std::current_exception();
                }
            });
        }
        catch (const std::system_error&)
        {
            // no thread to be had: both run here
        }
    }
    if (!thread.joinable())
    {
        first();
        second();
        return;
    }
    std::exception_ptr firstFault;
    try
    {
        first();
    }
    catch (...)
    {
        firstFault = std::current_exception();
    }
    thread.join();
    if (firstFault)
        std::rethrow_exception(firstFault);
    if (secondFault)
        std::rethrow_exception(secondFault);
}

// Calls work(0, nMid, first) and work(nMid, nRows, second) side by side (SideBySide), nMid being
// half of nRows; fewer than kRowsWorthTwoThreads rows are worked on the calling thread.
// REQUIRES: work is safe to run on two threads at once for different rows and parts.
template <typename Part, typename Work> void InTwoHalves(int nRows, Part& first, Part& second, Work work)
{
    const int nMid = nRows / 2;
    SideBySide(
        nRows >= kRowsWorthTwoThreads, [&] { work(0, nMid, first); }, [&] { work(nMid, nRows, second); });
}
