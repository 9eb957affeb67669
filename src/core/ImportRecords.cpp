#include "core/ImportRecords.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <thread>
#include <utility>

#include "core/Gbk.h"
#include "core/ImportTable.h"
#include "core/ImportValues.h"
#include "core/MemTableTexts.h"
#include "core/StudentImport.h"
#include "core/TwoHalves.h"

const char* const g_lpcszNamesSheet = "记录（名称）";

namespace
{
constexpr int kAddressesShown = 3;

struct ProblemCells
{
    int nCount = 0;
    int nCol = 0;
    std::string strAddresses;
};

const char* ProblemText(ValueProblem problem)
{
    switch (problem)
    {
    case ValueProblem::Number:
        return "是数字，不是文本，它的数字可能已经改掉了（例如长学号变成2.006E+13，代码01变成1）";
    case ValueProblem::Date:
        return "是日期，不是文本";
    case ValueProblem::Formula:
        return "是公式";
    case ValueProblem::BadText:
        return "含有GBK编码不能表示的字符（例如表情符号）";
    case ValueProblem::LineBreak:
        return "含有换行符或制表符，数据文件不能保存这样的值";
    default:
        return "含有空字符（NUL），这不是文本";
    }
}

// What works for each kind of problem, once per message.
std::string Advice(const std::map<std::pair<int, ValueProblem>, ProblemCells>& problems, bool bWorkbook)
{
    bool bTyped = false, bFormula = false, bChars = false, bBytes = false;
    for (const auto& [key, cells] : problems)
    {
        bTyped |= key.second == ValueProblem::Number || key.second == ValueProblem::Date;
        bFormula |= key.second == ValueProblem::Formula;
        bChars |= key.second == ValueProblem::BadText;
        bBytes |= key.second == ValueProblem::LineBreak || key.second == ValueProblem::Nul;
    }
    std::string strAdvice;
    if (bTyped && bWorkbook)
        strAdvice += "请在电子表格中把这些列设为文本格式并按原样重新输入，或者在原来的程序中按文本导出，"
                     "或者把工作表另存为CSV文件后导入CSV文件。\n";
    if (bFormula)
        strAdvice += "请在电子表格中把公式换成它的值（复制后“只粘贴值”）再导入。\n";
    if (bChars)
        strAdvice += "请把这些字符改成其他字符后再导入。\n";
    if (bBytes)
        strAdvice += "请在文件中改掉这些值后再导入。\n";
    return strAdvice;
}

std::string ProblemMessage(const CImportTable& table,
                           const std::map<std::pair<int, ValueProblem>, ProblemCells>& problems)
{
    const bool bWorkbook = table.IsWorkbook();
    int nTotal = 0;
    std::string strLines;
    for (const auto& [key, cells] : problems)
    {
        nTotal += cells.nCount;
        const std::string strColumn = bWorkbook ? "，" + CImportTable::ColumnLetters(cells.nCol) + "列" : "";
        strLines += DescribeField(g_studentFields[key.first].lpcszName) + strColumn + "：" +
                    std::to_string(cells.nCount) + (bWorkbook ? "个单元格" : "个值") + ProblemText(key.second) + "（" +
                    cells.strAddresses + (cells.nCount > kAddressesShown ? "等" : "") + "）。\n";
    }
    const std::string strWhere = bWorkbook ? "工作表“" + table.SheetName() + "”中有" + std::to_string(nTotal) +
                                                 "个单元格的值不能导入，没有导入任何记录：\n"
                                           : "文件中有" + std::to_string(nTotal) + "个值不能导入，没有导入任何记录：\n";
    return strWhere + strLines + Advice(problems, bWorkbook);
}

bool IsBlank(const CImportTable::Cell& cell)
{
    return cell.kind == CImportTable::Kind::Empty ||
           (cell.kind == CImportTable::Kind::Text && Gbk::Trim(cell.text).empty());
}

// A row that is nothing but the fields' titles, as our export has under the names.
bool IsTitleRow(const CImportTable& table, int nRow, const ColumnMapping& mapping)
{
    bool bAny = false;
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        if (mapping.columnOf[f] < 0)
            continue;
        const CImportTable::Cell cell = table.At(nRow, mapping.columnOf[f]);
        if (IsBlank(cell))
            continue;
        if (cell.kind != CImportTable::Kind::Text || FieldOfExactTitle(cell.text) != f)
            return false;
        bAny = true;
    }
    return bAny;
}

bool IsEmptyRow(const CImportTable& table, int nRow, const ColumnMapping& mapping)
{
    for (int nCol : mapping.columnOf)
    {
        if (nCol >= 0 && !IsBlank(table.At(nRow, nCol)))
            return false;
    }
    return true;
}

// How a value read ahead on another thread came out: its length when it is the cell's text or the
// start of it (the text trimmed at its end), or kReadAgain for anything else (a value of its own, a
// problem, a long text), which the thread making the records reads again.
constexpr std::uint8_t kReadAgain = 255;

// Reads the values of the table's rows from nFirst on ahead, with a reader of its own: one entry a
// field, row after row. Only reads the table.
std::vector<std::uint8_t> ReadValuesAhead(const CImportTable& table, const ColumnMapping& mapping, bool bNamesFirst,
                                          int nFirst)
{
    CImportValueReader reader(table, bNamesFirst);
    std::vector<std::uint8_t> ahead(static_cast<std::size_t>(table.RowCount() - nFirst) * STUDENT_FIELD_COUNT,
                                    kReadAgain);
    std::string strOwn, strCandidates;
    std::string_view value;
    auto it = ahead.begin();
    for (int r = nFirst; r < table.RowCount(); ++r)
    {
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f, ++it)
        {
            const int nCol = mapping.columnOf[f];
            if (nCol >= 0 && reader.Read(r, nCol, f, value, strOwn, strCandidates) == ValueProblem::None &&
                value.data() == table.TextAt(r, nCol) && value.size() < kReadAgain)
                *it = static_cast<std::uint8_t>(value.size());
        }
    }
    return ahead;
}

// pLender: the table itself, when it may lend its bytes to the records.
BOOL MakeRecords(const CImportTable& table, CImportTable* pLender, const ColumnMapping& mapping,
                 ImportedRecords& records, std::string& strError)
{
    records.table.Load(g_lpcszStudentColumns);
    records.fileRows.clear();
    records.ambiguous.clear();
    const auto nRows = static_cast<std::size_t>(std::max(table.RowCount() - 1, 0));
    records.fileRows.reserve(nRows);
    // Texts cut out of the file's bytes stay where they are: those bytes become the records' storage,
    // and the cells of a CSV file's rows become theirs, each record written over cells read already.
    std::string bytes = pLender != nullptr ? pLender->LendText() : std::string();
    const bool bLendCells = !bytes.empty() && pLender->CanLendCells(STUDENT_FIELD_COUNT);
    if (!bytes.empty())
    {
        records.table.AdoptArena(std::move(bytes));
        if (bLendCells)
            records.table.AdoptCells(pLender->LendCells());
        else
            records.table.ReserveRows(nRows, 0);
    }
    else
        records.table.ReserveRows(nRows, table.TextBytes() + nRows * STUDENT_FIELD_COUNT);
    const bool bNamesFirst = table.IsWorkbook() && table.SheetName() == g_lpcszNamesSheet;
    CImportValueReader reader(table, bNamesFirst);
    // A big table's second half is read ahead on another thread while this one makes the first
    // half's records; the records are made here, row by row, either way.
    const int nAhead = table.RowCount() >= 2 * kRowsWorthTwoThreads ? table.RowCount() / 2 : table.RowCount();
    std::vector<std::uint8_t> ahead;
    std::jthread aheadReader;
    if (nAhead < table.RowCount())
        aheadReader = std::jthread([&] { ahead = ReadValuesAhead(table, mapping, bNamesFirst, nAhead); });
    std::map<std::pair<int, ValueProblem>, ProblemCells> problems;
    std::array<std::string, STUDENT_FIELD_COUNT> values;
    std::array<std::string_view, STUDENT_FIELD_COUNT> views;
    std::string strCandidates;
    bool bFits = true;
    for (int r = 1; r < table.RowCount(); ++r)
    {
        if (r == nAhead)
            aheadReader.join();
        if (IsEmptyRow(table, r, mapping) || (r == 1 && IsTitleRow(table, r, mapping)))
            continue;
        const int nRecord = static_cast<int>(records.fileRows.size());
        records.fileRows.push_back(table.FileRow(r));
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        {
            const int nCol = mapping.columnOf[f];
            std::string_view& value = views[static_cast<std::size_t>(f)];
            const std::uint8_t nRead =
                r >= nAhead
                    ? ahead[static_cast<std::size_t>(r - nAhead) * STUDENT_FIELD_COUNT + static_cast<std::size_t>(f)]
                    : kReadAgain;
            if (nRead != kReadAgain)
            {
                value = std::string_view(table.TextAt(r, nCol), nRead);
                continue;
            }
            const ValueProblem problem =
                nCol < 0 ? (value = {}, ValueProblem::None)
                         : reader.Read(r, nCol, f, value, values[static_cast<std::size_t>(f)], strCandidates);
            if (problem == ValueProblem::Ambiguous)
            {
                records.ambiguous[nRecord].push_back({f, std::string(g_studentFields[f].lpcszListLabel) + "：" +
                                                             table.Address(r, nCol) + "“" + std::string(value) +
                                                             "”有多个代码：" + strCandidates});
            }
            else if (problem != ValueProblem::None)
            {
                ProblemCells& cells = problems[{f, problem}];
                cells.nCol = nCol;
                if (cells.nCount++ < kAddressesShown)
                    cells.strAddresses += (cells.strAddresses.empty() ? "" : "、") + table.Address(r, nCol);
            }
        }
        if (problems.empty() && bFits)
            bFits = records.table.AppendRow(views.data());
    }
    if (bLendCells)
        pLender->ForgetLentCells();
    if (!problems.empty() || !bFits)
    {
        std::string arena = records.table.ReleaseArena();
        if (pLender != nullptr)
            pLender->TakeBackText(std::move(arena));
        records.fileRows.clear();
        records.ambiguous.clear();
        return FailWithMessage(strError, !problems.empty() ? ProblemMessage(table, problems)
                                                           : std::string(MemTableText::kNoMemoryCopy));
    }
    return TRUE;
}

} // namespace

BOOL MakeImportRecords(const CImportTable& table, const ColumnMapping& mapping, ImportedRecords& records,
                       std::string& strError)
{
    return MakeRecords(table, nullptr, mapping, records, strError);
}

BOOL MakeImportRecords(CImportTable& table, const ColumnMapping& mapping, ImportedRecords& records,
                       std::string& strError)
{
    return MakeRecords(table, &table, mapping, records, strError);
}

BOOL MakeStudentTable(CImportTable& cells, CMemTable& table, std::string& strError, const std::string& strMissingHeader)
{
    table.Clear();
    if (!NamesEveryField(HeaderTitles(cells)))
        return FailWithMessage(strError, cells.Note().empty() ? strMissingHeader : cells.Note());
    ImportedRecords records;
    if (!MakeImportRecords(cells, ProposeMapping(cells), records, strError))
        return FALSE;
    return table.AppendTable(std::move(records.table));
}
