#include "exchange/WorkbookWriterLib.h"

#include <dlfcn.h>

namespace
{
// Fills in one function; false when the library lacks it.
template <typename Fn> bool Find(void* pLib, const char* lpcszName, Fn& pfn)
{
    pfn = reinterpret_cast<Fn>(dlsym(pLib, lpcszName));
    return pfn != nullptr;
}

// Kept loaded for the rest of the process: its functions are handed out.
const WorkbookWriterLib* Load()
{
    void* pLib = dlopen(VARNHOLT_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (pLib == nullptr)
        return nullptr;
    static WorkbookWriterLib lib;
    const bool bFound =
        Find(pLib, "workbook_new", lib.workbook_new) && Find(pLib, "workbook_new_opt", lib.workbook_new_opt) &&
        Find(pLib, "workbook_add_format", lib.workbook_add_format) &&
        Find(pLib, "workbook_add_worksheet", lib.workbook_add_worksheet) &&
        Find(pLib, "workbook_close", lib.workbook_close) && Find(pLib, "format_set_bold", lib.format_set_bold) &&
        Find(pLib, "format_set_num_format", lib.format_set_num_format) &&
        Find(pLib, "worksheet_write_string", lib.worksheet_write_string) &&
        Find(pLib, "worksheet_write_number", lib.worksheet_write_number) &&
        Find(pLib, "worksheet_set_column", lib.worksheet_set_column) &&
        Find(pLib, "worksheet_freeze_panes", lib.worksheet_freeze_panes) &&
        Find(pLib, "worksheet_autofilter", lib.worksheet_autofilter);
    return bFound ? &lib : nullptr;
}
} // namespace

const WorkbookWriterLib* LoadWorkbookWriterLib()
{
    static const WorkbookWriterLib* const pLib = Load();
    return pLib;
}
