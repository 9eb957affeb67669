#pragma once

#include <functional>
#include <string>

#include "platform/Types.h"

struct WorkbookWriterLib;

// The workbook library writes files only: a workbook is built in a temporary file, read back
// and removed. write(lib, path) builds the workbook at path with the library's functions and says
// whether it worked. On FALSE, strError holds the reason (GBK) and strBytes is empty.
using WorkbookWrite = std::function<bool(const WorkbookWriterLib& lib, const std::string& strPath)>;
BOOL BuildWorkbookBytes(const WorkbookWrite& write, std::string& strBytes, std::string& strError);
