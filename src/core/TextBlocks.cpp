#include "core/TextBlocks.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace
{
// The block the helping thread makes and the calling thread writes, handed from one to the other.
class CHandOver
{
  public:
    // The helping thread waits until its block is free again; false: the writing stopped.
    bool WaitFree()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_bFull || m_bStop; });
        return !m_bStop;
    }
    // The helping thread hands its block over, or tells that it failed.
    void MarkFull(std::exception_ptr fault = nullptr)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_bFull = true;
            m_fault = fault;
        }
        m_changed.notify_all();
    }
    // The calling thread waits for the block; null when the helping thread failed.
    std::string* WaitFull()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_bFull; });
        return m_fault ? nullptr : &m_block;
    }
    // The calling thread has written the block: the helping thread may make the next.
    void MarkFree()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_block.clear();
            m_bFull = false;
        }
        m_changed.notify_all();
    }
    // No more blocks are wanted.
    void Stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_bStop = true;
        }
        m_changed.notify_all();
    }
    std::string& Block() { return m_block; }
    std::exception_ptr Fault() const { return m_fault; }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_block;
    bool m_bFull = false;
    bool m_bStop = false;
    std::exception_ptr m_fault;
};
} // namespace

DWORD WriteLinesOnTwoThreads(int nFirst, int nEnd, const LineAppender& appendLine, const BlockWriter& write)
{
    const int nBlocks = (nEnd - nFirst + kLinesPerSharedBlock - 1) / kLinesPerSharedBlock;
    const auto appendBlock = [&](int nBlock, std::string& strBlock) {
        const int nStart = nFirst + nBlock * kLinesPerSharedBlock;
        for (int n = nStart; n < std::min(nEnd, nStart + kLinesPerSharedBlock); ++n)
            appendLine(n, strBlock);
    };
    // The helping thread makes the odd blocks, the calling thread the even ones and writes them all.
    CHandOver handOver;
    std::thread helper;
    try
    {
        helper = std::thread([&] {
            for (int nBlock = 1; nBlock < nBlocks && handOver.WaitFree(); nBlock += 2)
            {
                try
                {
                    appendBlock(nBlock, handOver.Block());
                }
                catch (...)
                {
                    handOver.MarkFull(std::current_exception());
                    return;
                }
                handOver.MarkFull();
            }
        });
    }
    catch (const std::system_error&)
    {
        // No thread to be had: every block here.
        std::string strBlock;
        for (int nBlock = 0; nBlock < nBlocks; ++nBlock, strBlock.clear())
        {
            appendBlock(nBlock, strBlock);
            if (const DWORD dwCode = write(strBlock); dwCode != ERROR_SUCCESS)
                return dwCode;
        }
        return ERROR_SUCCESS;
    }
    DWORD dwCode = ERROR_SUCCESS;
    std::exception_ptr fault;
    try
    {
        std::string strOwn;
        for (int nBlock = 0; nBlock < nBlocks && dwCode == ERROR_SUCCESS; ++nBlock)
        {
            if (nBlock % 2 == 0)
            {
                strOwn.clear();
                appendBlock(nBlock, strOwn);
                dwCode = write(strOwn);
                continue;
            }
            std::string* pBlock = handOver.WaitFull();
            if (pBlock == nullptr)
                break; // the helping thread's fault is thrown below
            dwCode = write(*pBlock);
            handOver.MarkFree();
        }
    }
    catch (...)
    {
        fault = std::current_exception();
    }
    handOver.Stop();
    helper.join();
    if (!fault)
        fault = handOver.Fault();
    if (fault)
        std::rethrow_exception(fault);
    return dwCode;
}
