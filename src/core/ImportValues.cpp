#include "core/ImportValues.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/Gbk.h"
#include "core/SchoolDirectory.h"

namespace
{
bool IsDateField(int nField)
{
    return nField == Field::CSNY || nField == Field::BYSJ;
}

std::string DateText(int nYear, int nMonth, int nDay)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", nYear, nMonth, nDay);
    return buffer;
}

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar, and back.
long DaysOfDate(long y, long m, long d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string DateOfDays(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long d = doy - (153 * mp + 2) / 5 + 1;
    const long m = mp < 10 ? mp + 3 : mp - 9;
    return DateText(static_cast<int>(yoe + era * 400 + (m <= 2)), static_cast<int>(m), static_cast<int>(d));
}

// The name as the lists show it, without their indent dashes ("--软件业") and blanks.
std::string_view Undashed(std::string_view name)
{
    name = Gbk::Trim(name);
    while (!name.empty() && name.front() == '-')
        name.remove_prefix(1);
    while (!name.empty() && name.back() == '-')
        name.remove_suffix(1);
    return Gbk::Trim(name);
}

bool IsAllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// A major's discipline or category (xx000000, xxxx0000) is no major a student studies: a name
// that a category shares with a major means the major.
bool IsMajorGroup(int nField, std::string_view code)
{
    return nField == Field::ZYDM && code.size() == 8 && code.ends_with("0000");
}

// Whether any of the eight bytes is below 0x0E: the borrow of a byte's subtraction may mark a
// higher byte too, but never when no byte is that low.
bool AnyBelowCR(std::uint64_t nBytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    return ((nBytes - kOnes * 0x0E) & ~nBytes & kHighs) != 0;
}

// Whether any byte of a text of at least eight bytes is below 0x0E: eight bytes at a time, the
// last eight once more where the length is no multiple of eight.
bool AnyBelowCR(std::string_view text)
{
    const auto word = [&text](std::size_t i) {
        std::uint64_t nBytes = 0;
        std::memcpy(&nBytes, text.data() + i, sizeof nBytes);
        return AnyBelowCR(nBytes);
    };
    bool bAny = word(text.size() - sizeof(std::uint64_t));
    for (std::size_t i = 0; i + sizeof(std::uint64_t) <= text.size(); i += sizeof(std::uint64_t))
        bAny |= word(i);
    return bAny;
}

// A NUL, else a TAB, CR or LF in the text: what the data file could not keep. Almost no text has
// one of these, and only a short one or one that may is walked byte by byte.
ValueProblem ControlProblem(std::string_view text)
{
    if (text.size() >= sizeof(std::uint64_t) && !AnyBelowCR(text))
        return ValueProblem::None;
    ValueProblem problem = ValueProblem::None;
    for (const char ch : text)
    {
        if (static_cast<unsigned char>(ch) > '\r')
            continue;
        if (ch == '\0')
            return ValueProblem::Nul;
        if (ch == '\t' || ch == '\r' || ch == '\n')
            problem = ValueProblem::LineBreak;
    }
    return problem;
}
} // namespace

CImportValueReader::CImportValueReader(const CImportTable& table, bool bNamesFirst)
    : m_table(table), m_bNamesFirst(bNamesFirst)
{
}

const CImportValueReader::Names& CImportValueReader::NamesOf(int nField)
{
    Names& names = m_names[static_cast<std::size_t>(nField)];
    if (!std::exchange(m_bBuilt[static_cast<std::size_t>(nField)], true))
    {
        if (const CODETABLE* pCodes = g_studentFields[nField].pTable)
            for (int i = 0; i < pCodes->nCount; ++i)
            {
                names.codes.try_emplace(pCodes->pItems[i].code, i);
                names.rowsOfName[Undashed(pCodes->pItems[i].name)].push_back(i);
            }
        else if (nField == Field::YXDM) // the school code's table is the directory
            for (int r = 0; r < g_memSchools.GetRowCount(); ++r)
                names.codes.try_emplace(g_memSchools.GetCell(r, 0), r);
    }
    return names;
}

ValueProblem CImportValueReader::ReadCoded(std::string_view text, int nField, std::string_view& value,
                                           std::string& strCandidates)
{
    LastCoded& last = m_last[static_cast<std::size_t>(nField)];
    if (!last.bSet || last.strText != text)
    {
        last.bSet = true;
        last.strText.assign(text);
        last.problem = ReadCodedOnce(text, nField, last.strValue, last.strCandidates);
        // A code the cell holds as it is (or with blanks around it) is taken from the cell's own text.
        const std::string_view trimmed = Gbk::Trim(text);
        last.nInText = last.strValue == text      ? 0
                       : last.strValue == trimmed ? static_cast<std::size_t>(trimmed.data() - text.data())
                                                  : std::string_view::npos;
    }
    value = last.nInText == std::string_view::npos ? std::string_view(last.strValue)
                                                   : text.substr(last.nInText, last.strValue.size());
    if (last.problem == ValueProblem::Ambiguous)
        strCandidates.assign(last.strCandidates);
    return last.problem;
}

ValueProblem CImportValueReader::ReadCodedOnce(std::string_view text, int nField, std::string& strValue,
                                               std::string& strCandidates)
{
    const Names& names = NamesOf(nField);
    const CODEITEM* pItems = g_studentFields[nField].pTable->pItems;
    const std::string_view trimmed = Gbk::Trim(text);
    const bool bCode = names.codes.count(trimmed) != 0;
    const auto found = names.rowsOfName.find(Undashed(trimmed));
    strValue.assign(text);
    if (bCode && (!m_bNamesFirst || found == names.rowsOfName.end()))
    {
        strValue.assign(trimmed);
        return ValueProblem::None;
    }
    if (found == names.rowsOfName.end())
        return ValueProblem::None; // neither code nor name: kept as read, and the checks list it
    std::vector<int> rows = found->second;
    if (rows.size() > 1)
        std::erase_if(rows, [&](int i) { return IsMajorGroup(nField, pItems[i].code); });
    if (rows.size() == 1)
    {
        strValue.assign(pItems[rows.front()].code);
        return ValueProblem::None;
    }
    strCandidates.clear();
    for (int i : found->second)
        strCandidates.append(strCandidates.empty() ? "" : "、").append(pItems[i].code);
    return ValueProblem::Ambiguous;
}

ValueProblem CImportValueReader::ReadNumber(double value, int nField, std::string& strValue)
{
    if (IsDateField(nField) && value >= 1 && value < 2958466) // through 9999-12-31
    {
        int nYear = 0, nMonth = 0, nDay = 0;
        m_table.DateOrigin(nYear, nMonth, nDay);
        strValue = DateOfDays(DaysOfDate(nYear, nMonth, nDay) + static_cast<long>(std::floor(value)));
        return ValueProblem::None;
    }
    const CODETABLE* pTable = g_studentFields[nField].pTable;
    if (value < 0 || value >= 1e15 || value != std::floor(value))
        return ValueProblem::Number;
    const std::string strDigits = std::to_string(static_cast<long long>(value));
    if (NamesOf(nField).codes.count(strDigits) != 0)
    {
        strValue = strDigits;
        return ValueProblem::None;
    }
    if (pTable == nullptr)
        return ValueProblem::Number; // student numbers, phones and postal codes: nobody knows their zeros
    // The zeros a code of digits lost in front: exactly one code may fit, or the number is refused.
    const char* lpcszFound = nullptr;
    for (int i = 0; i < pTable->nCount; ++i)
    {
        const std::string_view code = pTable->pItems[i].code;
        if (code.size() > strDigits.size() && IsAllDigits(code) && code.ends_with(strDigits) &&
            code.find_first_not_of('0') >= code.size() - strDigits.size()) // 0 may be "00"
        {
            if (lpcszFound != nullptr)
                return ValueProblem::Number;
            lpcszFound = pTable->pItems[i].code;
        }
    }
    if (lpcszFound == nullptr)
        return ValueProblem::Number;
    strValue = lpcszFound;
    return ValueProblem::None;
}

ValueProblem CImportValueReader::Read(int nRow, int nCol, int nField, std::string& strValue, std::string& strCandidates)
{
    std::string strOwn;
    std::string_view value;
    const ValueProblem problem = Read(nRow, nCol, nField, value, strOwn, strCandidates);
    strValue.assign(value);
    return problem;
}

ValueProblem CImportValueReader::Read(int nRow, int nCol, int nField, std::string_view& value, std::string& strOwn,
                                      std::string& strCandidates)
{
    value = {};
    const CImportTable::Cell cell = m_table.At(nRow, nCol);
    switch (cell.kind)
    {
    case CImportTable::Kind::Empty:
        value = cell.text;
        return ValueProblem::None;
    case CImportTable::Kind::Formula:
        return ValueProblem::Formula;
    case CImportTable::Kind::BadText:
        return ValueProblem::BadText;
    case CImportTable::Kind::Date:
        if (!IsDateField(nField))
            return ValueProblem::Date;
        strOwn = DateText(cell.nYear, cell.nMonth, cell.nDay);
        value = strOwn;
        return ValueProblem::None;
    case CImportTable::Kind::Number: {
        const ValueProblem problem = ReadNumber(cell.number, nField, strOwn);
        if (problem == ValueProblem::None)
            value = strOwn;
        return problem;
    }
    case CImportTable::Kind::Text:
        break;
    }
    if (const ValueProblem problem = ControlProblem(cell.text); problem != ValueProblem::None)
        return problem;
    if (g_studentFields[nField].pTable != nullptr)
        return ReadCoded(cell.text, nField, value, strCandidates);
    value = cell.text;
    return ValueProblem::None;
}
