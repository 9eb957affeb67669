#pragma once

#include <xlsxwriter.h>

// The functions of the workbook-writing library, loaded when the first workbook is written rather
// than when the program starts: the library pulls in a large crypto library whose loading would
// cost every command of the tool, and only the writing of a workbook needs it.
struct WorkbookWriterLib
{
    decltype(&::workbook_new) workbook_new;
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::workbook_add_format) workbook_add_format;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_close) workbook_close;
    decltype(&::format_set_bold) format_set_bold;
    decltype(&::format_set_num_format) format_set_num_format;
    decltype(&::worksheet_write_string) worksheet_write_string;
    decltype(&::worksheet_write_number) worksheet_write_number;
    decltype(&::worksheet_set_column) worksheet_set_column;
    decltype(&::worksheet_freeze_panes) worksheet_freeze_panes;
    decltype(&::worksheet_autofilter) worksheet_autofilter;
};

// The library's functions, loaded on the first call (safe from any thread); null when the library
// or one of its functions cannot be found, and then on every later call too.
const WorkbookWriterLib* LoadWorkbookWriterLib();
