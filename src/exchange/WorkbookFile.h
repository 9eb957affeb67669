#pragma once

#include <functional>
#include <string>

#include "platform/Types.h"

// The workbook library writes files only: a workbook is built in a temporary file, read back
// and removed. write(path) builds the workbook at path and says whether it worked. On FALSE,
// strError holds the reason (GBK) and strBytes is empty.
BOOL BuildWorkbookBytes(const std::function<bool(const std::string& strPath)>& write, std::string& strBytes,
                        std::string& strError);
