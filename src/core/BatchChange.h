#pragma once

#include <string>
#include <vector>

class CMemTable;

// One field set to one value in many student records at once (the desktop program's batch change
// and the command line's "set"). Values are in stored form: codes, "%Y-%m-%d" dates, GBK texts.
struct FieldChange
{
    int nField = -1;      // record order
    std::string strValue; // the value every chosen record gets
};

// Whether a field can be set for many records at once: every field but the student number, which
// tells the records apart and must stay unique.
bool CanChangeInBatch(int nField);

struct BatchCount
{
    int nChanging = 0;       // rows whose value differs from the new one
    int nAlreadyHolding = 0; // rows that hold the new value byte for byte
};
// REQUIRES: every row is a row of the table; the table has the 24 student columns.
BatchCount CountBatchChange(const CMemTable& table, const std::vector<int>& rows, const FieldChange& change);

struct BatchCheckResult
{
    const char* lpcszMessage = nullptr; // GBK; null when the change passes
    int nFailingRows = 0;               // how many of the rows the message is about
    bool Passes() const { return lpcszMessage == nullptr; }
};
// The record editor's checks that are about the field, run for each row as it would be after the
// change (the first failing one is reported with the number of rows it fails for), then whether
// the field may hold the value at all: a code of its table, one of the salary bands, a school of
// the directory for the school code, and no more bytes than the editor takes.
BatchCheckResult CheckBatchChange(const CMemTable& table, const std::vector<int>& rows, const FieldChange& change);

// The rows (ascending, a subset of rows) whose value differs from the new one.
std::vector<int> RowsThatChange(const CMemTable& table, const std::vector<int>& rows, const FieldChange& change);

// Sets the field of every row to the value; returns the values it replaced, in the rows' order.
std::vector<std::string> ApplyBatchChange(CMemTable& table, const std::vector<int>& rows, const FieldChange& change);
// Puts back what ApplyBatchChange returned for the same rows and field.
void RevertBatchChange(CMemTable& table, const std::vector<int>& rows, int nField,
                       const std::vector<std::string>& previous);
