#pragma once

#include <string>
#include <vector>

#include "core/ImportTable.h"
#include "exchange/SheetSink.h"
#include "platform/Encoding.h"
#include "platform/Types.h"

// Keeps the cells of the sheet that holds the records, the way a person finds it: the first sheet
// in which a row within the first 20 names the 24 fields (field names or the list's titles). That
// row becomes the table's header; rows above it are left out, and no later sheet is read. When no
// sheet has such a row, the table keeps, for the column step, the sheet whose likeliest header (the
// row within its first 20 with the most texts) names the most fields by usual titles (the first
// with content on a tie) from that row on, and its note names each sheet looked at and what its
// first row held. Merged ranges read as every cell holding the value.
class CSheetTableSink : public ISheetSink
{
  public:
    static constexpr int kHeaderRows = 20; // a header further down is no header a person would see

    explicit CSheetTableSink(CImportTable& table) : m_table(table) { m_table.Clear(); }

    void SetDateOrigin(int nYear, int nMonth, int nDay) override;
    bool BeginSheet(const std::string& strName) override;
    void SetText(int nRow, int nCol, std::string_view utf8) override;
    void SetNumber(int nRow, int nCol, double value) override;
    void SetDate(int nRow, int nCol, int nYear, int nMonth, int nDay) override;
    void SetFormula(int nRow, int nCol) override;
    void MergeRange(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol) override;
    void EndSheet() override;
    bool Stopped() const override { return m_bFound && !m_bInSheet; }

    // Whether a sheet named the fields. FALSE when no sheet held anything (strError says so, GBK).
    BOOL Finish(std::string& strError);

  private:
    // Where the cells of the sheet being read go.
    enum class Target
    {
        Head,  // its first rows, while its header is looked for
        Table, // the table: this sheet is the one kept
        None   // nowhere: an earlier sheet is kept
    };

    struct Merge
    {
        int nFirstRow, nFirstCol, nLastRow, nLastCol; // 1-based rows
    };

    CImportTable* RowFor(int nRow);
    void CloseRow();
    void KeepHead(int nFromRow);
    void KeepLikeliest();
    std::string FirstRowText() const;

    CImportTable& m_table;
    CImportTable m_head; // the first rows of the sheet being read (with its merges)
    Target m_target = Target::None;
    bool m_bInSheet = false;
    bool m_bFound = false;
    bool m_bFallback = false;          // the table holds a sheet that named no fields
    int m_nFallbackNamed = 0;          // how many fields its likeliest header names by usual titles
    std::string m_strSheet;            // GBK
    int m_nRow = -1;                   // the sheet row being read (0-based)
    std::vector<std::string> m_looked; // "“Sheet1”第一行：..." for each sheet read
    std::vector<Merge> m_merges;       // of the sheet being read
    int m_nOrigin[3] = {1899, 12, 30};
    Encoding::CConverter m_toGbk{"CP936", "UTF-8"};
    std::string m_strGbk;
};
