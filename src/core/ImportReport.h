#pragma once

#include <string>

#include "core/ImportPreview.h"

class CImportTable;
struct ImportedRecords;

// Texts (GBK) that tell the registrar about the records of an import before they are stored.

// Where a record stands in the file: "工作表“名单”第5行" or "文件第5行".
std::string ImportPlace(const CImportTable& table, int nFileRow);
// The first failing check's message; empty when the editor's checks pass.
std::string FirstCheckText(const CImportPreview::Failing& failing);
// "性别：3；专业：C5“哲学”有多个代码：01000000、01010100": the coded values no table holds, and
// the names several codes have.
std::string BadValuesText(const ImportedRecords& records, const CImportPreview::Failing& failing);
// One line for a failing record: place, student number, name, the first failing check and the bad
// values ("文件第3行，学号2006001，姓名张三：请输入姓名…；性别：3").
std::string FailingRecordLine(const CImportTable& table, const ImportedRecords& records,
                              const CImportPreview::Failing& failing);
