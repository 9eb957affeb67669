#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/ImportTable.h"
#include "core/StudentSchema.h"

// What keeps a cell's value from being stored as the person meant it.
enum class ValueProblem
{
    None,
    Number,    // a number where its digits may be lost (a student number, a code that fits no code)
    Date,      // a date in a field that holds text
    Formula,   // only the formula's last value could come in
    BadText,   // a character GBK cannot hold
    LineBreak, // a TAB, CR or LF: the data file could not keep it
    Nul,       // a NUL byte: no text holds one
    Ambiguous, // a name in a coded field that several codes have (kept as read; the checks list it)
};

// Turns the cells of an imported table into stored values, field by field: a coded field takes a
// code or the name of exactly one code (with or without the list's indent dashes); a whole number
// is taken where its digits are a code, or exactly one code once the zeros a code lost are put back;
// dates and date serials become YYYY-MM-DD in the two date fields. Every text is GBK.
class CImportValueReader
{
  public:
    // bNamesFirst: the cells are names (the program's own sheet of names), so a text that is both
    // a name and a code is read as the name.
    explicit CImportValueReader(const CImportTable& table, bool bNamesFirst = false);

    // The stored value of the cell for the field. With a problem other than Ambiguous, strValue is
    // empty; with Ambiguous it is the cell's text and strCandidates lists the codes with the name.
    ValueProblem Read(int nRow, int nCol, int nField, std::string& strValue, std::string& strCandidates);
    // The same without a copy: value views the cell's own text where the value is that text (or
    // that text trimmed), and otherwise strOwn or a text of the reader that stays until the next
    // Read of the same field.
    ValueProblem Read(int nRow, int nCol, int nField, std::string_view& value, std::string& strOwn,
                      std::string& strCandidates);

  private:
    struct Names
    {
        std::unordered_map<std::string_view, int> codes;                   // code -> row (of the directory for YXDM)
        std::unordered_map<std::string_view, std::vector<int>> rowsOfName; // name without dashes -> rows
    };
    // The last text a coded field read and what it gave: a column's codes repeat from row to row.
    struct LastCoded
    {
        bool bSet = false;
        std::string strText, strValue, strCandidates;
        ValueProblem problem = ValueProblem::None;
        std::size_t nInText = 0; // where the value lies in the text, or npos where it does not
    };
    const Names& NamesOf(int nField);
    ValueProblem ReadCodedOnce(std::string_view text, int nField, std::string& strValue, std::string& strCandidates);
    ValueProblem ReadCoded(std::string_view text, int nField, std::string_view& value, std::string& strCandidates);
    ValueProblem ReadNumber(double value, int nField, std::string& strValue);

    const CImportTable& m_table;
    bool m_bNamesFirst;
    std::array<Names, STUDENT_FIELD_COUNT> m_names;
    std::array<bool, STUDENT_FIELD_COUNT> m_bBuilt{};
    std::array<LastCoded, STUDENT_FIELD_COUNT> m_last;
};
