#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ZipXml.h"

class ISheetSink;

// The content part of an OpenDocument spreadsheet: each table is a sheet. A row's cells are
// gathered with their column repeats and handed to the sink when the row ends, as often as the
// row repeats; what repeats is charged against kMaxRepeatedBytes.
class COdsContent : public CXmlHandler
{
  public:
    explicit COdsContent(ISheetSink& sink) : m_sink(sink) {}
    bool Start(const CXmlElement& element) override;
    bool End(std::string_view name) override;
    bool Text(std::string_view text) override;

    // What is wrong with the content (GBK); empty when nothing is.
    const std::string& Problem() const { return m_strProblem; }
    // Whether damage, not size, is the problem.
    bool Damaged() const { return m_bDamaged; }
    bool SawTable() const { return m_bSawTable; }

  private:
    struct Cell
    {
        enum class Kind
        {
            Text,
            Number,
            Date,
            Formula,
            Merge // no value: only the range it spans
        } kind = Kind::Text;
        std::int64_t nCol = 0, nRepeat = 1;
        std::int64_t nRowsSpanned = 1, nColsSpanned = 1;
        std::string text;
        double number = 0;
        int y = 0, m = 0, d = 0;
    };

    bool StartTable(const CXmlElement& element);
    bool EndTable();
    void StartRow(const CXmlElement& element);
    bool EndRow();
    bool StartCell(const CXmlElement& element, bool bCovered);
    bool EndCell();
    bool StartText(const CXmlElement& element);
    bool AppendText(std::string_view text);
    void Emit(const Cell& cell, std::int64_t nRow);
    bool Fail(const std::string& strProblem, bool bDamaged)
    {
        m_strProblem = strProblem;
        m_bDamaged = bDamaged;
        return false;
    }

    ISheetSink& m_sink;
    std::string m_strSheet, m_strProblem;
    bool m_bDamaged = false, m_bSawTable = false;
    bool m_bInTable = false, m_bSkippingSheet = false, m_bInCell = false, m_bCovered = false;
    int m_nSkipDepth = 0;  // inside what holds no cell text: a comment, a frame, a table in a cell
    int m_nParagraphs = 0; // text:p and text:h begun in the current cell
    bool m_bInParagraph = false;
    std::int64_t m_nRow = 0, m_nCol = 0, m_nRowRepeat = 1;
    std::vector<Cell> m_row;  // the current row's cells with a value or a span, in column order
    std::size_t m_nCells = 0; // of m_row in use: kept allocated from row to row
    std::uint64_t m_nRepeatedBytes = 0;
};
