#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/LastError.h"

// Hands blocks to a write function on a thread of its own, one block behind the caller, so that the
// next block is made while the last one is written. Only that thread calls write() until Finish()
// returns; the caller must not use what write() uses meanwhile.
class CWriteBehind
{
  public:
    explicit CWriteBehind(const WriteFunction& write);
    ~CWriteBehind();
    CWriteBehind(const CWriteBehind&) = delete;
    CWriteBehind& operator=(const CWriteBehind&) = delete;

    // Takes the block's bytes once the block before it has been taken; block is left empty (with
    // room). Returns the first code other than ERROR_SUCCESS a write returned so far: then the
    // block is not taken, and no later one is written.
    DWORD Write(std::string& block);
    // Waits until every block taken has been written; returns the first code other than
    // ERROR_SUCCESS a write returned, or ERROR_SUCCESS.
    DWORD Finish();

  private:
    void Run();

    const WriteFunction& m_write;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_pending; // the block handed over and not yet taken
    bool m_bPending = false;
    bool m_bFinished = false;
    DWORD m_dwCode = ERROR_SUCCESS;
    std::thread m_thread; // last: it starts once the members above are made
};
