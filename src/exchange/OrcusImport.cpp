#include "exchange/OrcusImport.h"

#include <array>
#include <memory>
#include <optional>
#include <orcus/orcus_ods.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include "core/MemTable.h"
#include "core/StudentImport.h"
#include "exchange/SheetRows.h"

namespace
{
namespace ss = orcus::spreadsheet;

// The workbook's texts, kept in one pool.
class CSharedStrings : public ss::iface::import_shared_strings
{
  public:
    std::string_view At(std::size_t nIndex) const { return m_pool.At(nIndex); }

    std::size_t append(std::string_view s) override { return m_pool.Append(s); }
    std::size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(std::size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { m_segments.append(s); }
    std::size_t commit_segments() override
    {
        const std::size_t nIndex = append(m_segments);
        m_segments.clear();
        return nIndex;
    }

  private:
    CTextPool m_pool;
    std::string m_segments; // the parts of a text with mixed fonts, joined
};

// A formula cell: refused, whatever its last result.
class CFormula : public ss::iface::import_formula
{
  public:
    explicit CFormula(CSheetRows& rows) : m_rows(rows) {}
    void set_position(ss::row_t row, ss::col_t col) override { m_nRow = row, m_nCol = col; }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(std::size_t) override {}
    void set_result_string(std::string_view) override {}
    void set_result_value(double) override {}
    void set_result_bool(bool) override {}
    void set_result_empty() override {}
    void commit() override { m_rows.RefuseFormula(m_nRow, m_nCol); }

  private:
    CSheetRows& m_rows;
    int m_nRow = 0, m_nCol = 0;
};

// The first sheet: its cells go to the rows. Other sheets pass nullptr rows and are ignored.
class CSheet : public ss::iface::import_sheet
{
  public:
    CSheet(CSheetRows* pRows, const CSharedStrings& strings) : m_pRows(pRows), m_strings(strings)
    {
        if (pRows)
            m_formula.emplace(*pRows);
    }
    ss::iface::import_formula* get_formula() override { return m_formula ? &*m_formula : nullptr; }
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        if (m_pRows)
            m_pRows->SetText(row, col, s);
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) override
    {
        if (m_pRows)
            m_pRows->SetText(row, col, m_strings.At(sindex));
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        if (m_pRows)
            m_pRows->SetNumber(row, col, value);
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override { set_value(row, col, value ? 1 : 0); }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int, int, double) override
    {
        if (m_pRows)
            m_pRows->SetDate(row, col, year, month, day);
    }
    void set_format(ss::row_t, ss::col_t, std::size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, std::size_t) override {}
    void fill_down_cells(ss::row_t src_row, ss::col_t, ss::row_t range_size) override
    {
        if (m_pRows)
            m_pRows->FillDown(src_row, range_size);
    }
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

  private:
    CSheetRows* m_pRows;
    const CSharedStrings& m_strings;
    std::optional<CFormula> m_formula;
};

class CSettings : public ss::iface::import_global_settings
{
  public:
    explicit CSettings(std::optional<CSheetRows>& rows) : m_rows(rows) {}
    void set_origin_date(int year, int month, int day) override
    {
        m_origin = {year, month, day};
        if (m_rows)
            ApplyTo(*m_rows);
    }
    void set_default_formula_grammar(ss::formula_grammar_t) override {}
    ss::formula_grammar_t get_default_formula_grammar() const override { return ss::formula_grammar_t::unknown; }
    void set_character_set(orcus::character_set_t) override {}
    void ApplyTo(CSheetRows& rows) const { rows.SetOrigin(m_origin[0], m_origin[1], m_origin[2]); }

  private:
    std::optional<CSheetRows>& m_rows;
    std::array<int, 3> m_origin{1899, 12, 30};
};

// Cell references in A1 style ("B3", "A2:X4"): the reader asks for them where a sheet names its
// views and filters, which the import does not use; an odd reference is no reason to refuse.
class CResolver : public ss::iface::import_reference_resolver
{
  public:
    ss::src_address_t resolve_address(std::string_view address) override
    {
        ss::src_address_t result{0, 0, 0};
        ParseCellReference(address, result.row, result.column);
        return result;
    }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const std::size_t nColon = range.find(':');
        const ss::src_address_t first = resolve_address(range.substr(0, nColon));
        return {first, nColon == std::string_view::npos ? first : resolve_address(range.substr(nColon + 1))};
    }
};

class CFactory : public ss::iface::import_factory
{
  public:
    ss::iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    ss::iface::import_global_settings* get_global_settings() override { return &m_settings; }
    ss::iface::import_shared_strings* get_shared_strings() override { return &m_strings; }
    ss::iface::import_sheet* append_sheet(ss::sheet_t sheet_index, std::string_view name) override
    {
        if (sheet_index == 0 && !m_rows)
        {
            m_rows.emplace(std::string(name));
            m_settings.ApplyTo(*m_rows);
        }
        m_sheets.push_back(std::make_unique<CSheet>(sheet_index == 0 ? &*m_rows : nullptr, m_strings));
        m_names.emplace_back(name);
        return m_sheets.back().get();
    }
    ss::iface::import_sheet* get_sheet(std::string_view name) override
    {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == name)
                return m_sheets[i].get();
        return nullptr;
    }
    ss::iface::import_sheet* get_sheet(ss::sheet_t sheet_index) override
    {
        return sheet_index >= 0 && static_cast<std::size_t>(sheet_index) < m_sheets.size()
                   ? m_sheets[static_cast<std::size_t>(sheet_index)].get()
                   : nullptr;
    }
    void finalize() override {}

    // The rows of the first sheet; nullptr for a workbook without sheets.
    CSheetRows* FirstSheet() { return m_rows ? &*m_rows : nullptr; }

  private:
    std::optional<CSheetRows> m_rows;
    CSettings m_settings{m_rows};
    CResolver m_resolver;
    CSharedStrings m_strings;
    std::vector<std::unique_ptr<CSheet>> m_sheets;
    std::vector<std::string> m_names;
};
// Whether the .ods file stores a row holding values once with a repeat count (equal neighbouring
// rows): the reader keeps one copy and leaves the others empty, which would lose records.
// Repeated empty rows, which every file has at its end, are harmless.
bool HasRepeatedValueRows(std::string_view bytes)
{
    orcus::zip_archive_stream_blob stream(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    orcus::zip_archive archive(&stream);
    archive.load();
    std::vector<unsigned char> buffer;
    if (!archive.read_file_entry("content.xml", buffer))
        return false;
    const std::string_view content(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    constexpr std::string_view kRepeat = "table:number-rows-repeated=\"";
    for (std::size_t nAt = content.find(kRepeat); nAt != std::string_view::npos; nAt = content.find(kRepeat, nAt + 1))
    {
        const std::size_t nEnd = content.find("</table:table-row>", nAt);
        if (content.substr(nAt + kRepeat.size(), 2) != "1\"" &&
            content.substr(nAt, nEnd - nAt).find("office:value-type") != std::string_view::npos)
            return true;
    }
    return false;
}
} // namespace

BOOL ReadOdsWorkbook(std::string_view bytes, CMemTable& table, std::string& strError)
{
    table.Clear();
    CFactory factory;
    try
    {
        if (HasRepeatedValueRows(bytes))
        {
            strError = GbkMessage("文件把相同的相邻行只存了一次（重复行），本程序读不全这样的文件："
                                  "请在电子表格程序中把它另存为 .xlsx 工作簿后再导入。");
            return FALSE;
        }
        orcus::orcus_ods(&factory).read_stream(bytes);
    }
    catch (const std::exception& e)
    {
        strError = GbkMessage(std::string("文件不是有效的OpenDocument电子表格（.ods）：") + e.what());
        return FALSE;
    }
    if (factory.FirstSheet() == nullptr)
    {
        strError = GbkMessage("工作簿中没有工作表。");
        return FALSE;
    }
    return factory.FirstSheet()->Finish(table, strError);
}
