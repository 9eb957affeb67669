#pragma once

// Text made a line at a time and handed on in blocks: a large file is written without a copy of it
// whole in memory.
#include <cstddef>
#include <functional>
#include <string>

#include "platform/LastError.h"
#include "platform/Types.h"

// Receives one block of whole lines; it may change the block. A code other than ERROR_SUCCESS stops the writing.
using BlockWriter = std::function<DWORD(std::string& block)>;

// The size from which a block is handed on.
constexpr std::size_t kTextBlockSize = 256 * 1024;

// Calls appendLine(n, block) for n = nFirst .. nEnd - 1 in order, and hands the block to write() each
// time it reaches kTextBlockSize bytes and once at the end (when anything is left). Returns
// ERROR_SUCCESS or the first other code write() returned.
template <class AppendLine>
DWORD WriteLinesInBlocks(int nFirst, int nEnd, AppendLine appendLine, const BlockWriter& write)
{
    std::string strBlock;
    strBlock.reserve(kTextBlockSize + 4096);
    for (int n = nFirst; n < nEnd; ++n)
    {
        appendLine(n, strBlock);
        if (strBlock.size() >= kTextBlockSize || (n + 1 == nEnd && !strBlock.empty()))
        {
            if (const DWORD dwCode = write(strBlock); dwCode != ERROR_SUCCESS)
                return dwCode;
            strBlock.clear();
        }
    }
    return ERROR_SUCCESS;
}
