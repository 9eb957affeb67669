#pragma once

#include <string>

#include "platform/Types.h"

// Why a file could not be read or written, in words for the user (GBK, no final punctuation), for
// every code the file layer reports: "磁盘空间不足", "文件是只读的" ... A code without words of its
// own gives "错误码 N". The desktop program and the command-line tool show the same words.
std::string GetErrorReasonText(DWORD dwCode);
