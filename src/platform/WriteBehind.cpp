#include "platform/WriteBehind.h"

CWriteBehind::CWriteBehind(const WriteFunction& write) : m_write(write), m_thread([this] { Run(); }) {}

CWriteBehind::~CWriteBehind()
{
    Finish();
}

DWORD CWriteBehind::Write(std::string& block)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bPending; });
    if (m_dwCode != ERROR_SUCCESS)
        return m_dwCode;
    m_pending.swap(block); // block gets the room of a block written before
    block.clear();
    m_bPending = true;
    lock.unlock();
    m_changed.notify_all();
    return ERROR_SUCCESS;
}

DWORD CWriteBehind::Finish()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bFinished = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    return m_dwCode;
}

void CWriteBehind::Run()
{
    std::string block;
    for (;;)
    {
        bool bFailed = false;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_bPending || m_bFinished; });
            if (!m_bPending)
                return;
            block.swap(m_pending);
            m_bPending = false;
            bFailed = m_dwCode != ERROR_SUCCESS; // no block after a failed one is written
        }
        m_changed.notify_all();
        const DWORD dwCode = bFailed ? ERROR_SUCCESS : m_write(block);
        block.clear();
        if (dwCode != ERROR_SUCCESS)
        {
            const std::lock_guard lock(m_mutex);
            m_dwCode = dwCode;
        }
    }
}
