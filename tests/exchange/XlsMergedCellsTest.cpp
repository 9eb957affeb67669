// The merged ranges of an .xls workbook, read from its own records through the compound file's
// tables. Workbooks that spreadsheet programs write keep the workbook in sectors of its own (the
// reader tests read such files); this builds the other layout by hand, a workbook small enough to
// lie in the 64-byte sectors of the mini stream, and damages it in the ways that must not be read.
#include "exchange/XlsMergedCells.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace
{
void Put16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    Put16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::string Record(std::uint16_t nType, const std::string& data)
{
    std::string record(4, '\0');
    Put16(record, 0, nType);
    Put16(record, 2, static_cast<std::uint16_t>(data.size()));
    return record + data;
}

std::string Bof(std::uint16_t nKind)
{
    std::string data(16, '\0');
    Put16(data, 0, 0x0600);
    Put16(data, 2, nKind);
    return Record(0x0809, data);
}

// The workbook's records: one worksheet "S1" whose cells B2:B4 are merged.
std::string WorkbookStream()
{
    std::string sheet(6, '\0'); // where the sheet starts, its state and kind (a worksheet)
    sheet += std::string{2, 0} + "S1";
    std::string merged(10, '\0');
    Put16(merged, 0, 1);
    Put16(merged, 2, 1); // rows 1 to 3, column 1
    Put16(merged, 4, 3);
    Put16(merged, 6, 1);
    Put16(merged, 8, 1);
    const std::string globals = Bof(0x0005) + Record(0x0085, sheet) + Record(0x000A, "");
    Put32(sheet, 0, static_cast<std::uint32_t>(globals.size()));
    return Bof(0x0005) + Record(0x0085, sheet) + Record(0x000A, "") + Bof(0x0010) + Record(0x00E5, merged) +
           Record(0x000A, "");
}

// A compound file of 512-byte sectors: the header, then sector 0 the allocation table, 1 the
// directory, 2 the mini stream's table and 3 the mini stream with the workbook in it.
std::string CompoundFile(const std::string& stream)
{
    std::string file(512 * 5, '\0');
    file.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    Put16(file, 0x18, 0x3E);
    Put16(file, 0x1A, 3);
    Put16(file, 0x1C, 0xFFFE);
    Put16(file, 0x1E, 9);
    Put16(file, 0x20, 6);
    Put32(file, 0x2C, 1);    // one sector of the allocation table
    Put32(file, 0x30, 1);    // the directory
    Put32(file, 0x38, 4096); // streams below this size lie in the mini stream
    Put32(file, 0x3C, 2);    // its table
    Put32(file, 0x40, 1);
    Put32(file, 0x44, 0xFFFFFFFE); // no more sectors of the table's list
    for (std::size_t i = 0; i < 109; ++i)
        Put32(file, 0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    const std::size_t fat = 512, directory = 1024, miniFat = 1536, mini = 2048;
    for (std::size_t i = 0; i < 128; ++i)
        Put32(file, fat + 4 * i, i == 0 ? 0xFFFFFFFD : i < 4 ? 0xFFFFFFFE : 0xFFFFFFFF);
    const auto entry = [&](std::size_t nAt, const std::string& name, char kind, std::uint32_t nStart,
                           std::uint32_t nSize) {
        for (std::size_t i = 0; i < name.size(); ++i)
            Put16(file, nAt + 2 * i, static_cast<std::uint16_t>(name[i]));
        Put16(file, nAt + 0x40, static_cast<std::uint16_t>(2 * (name.size() + 1)));
        file[nAt + 0x42] = kind;
        Put32(file, nAt + 0x74, nStart);
        Put32(file, nAt + 0x78, nSize);
    };
    const std::uint32_t nMiniSectors = static_cast<std::uint32_t>((stream.size() + 63) / 64);
    entry(directory, "Root Entry", 5, 3, 64 * nMiniSectors);
    entry(directory + 128, "Workbook", 2, 0, static_cast<std::uint32_t>(stream.size()));
    for (std::uint32_t i = 0; i < 128; ++i)
        Put32(file, miniFat + 4 * i, i + 1 < nMiniSectors ? i + 1 : i + 1 == nMiniSectors ? 0xFFFFFFFE : 0xFFFFFFFF);
    file.replace(mini, stream.size(), stream);
    return file;
}
} // namespace

TEST(XlsMergedCells, ReadFromAWorkbookInTheMiniStream)
{
    std::map<std::string, std::vector<MergedRange>> merges;
    ASSERT_TRUE(ReadXlsMergedCells(CompoundFile(WorkbookStream()), merges));
    ASSERT_EQ(merges.size(), 1u);
    ASSERT_EQ(merges["S1"].size(), 1u);
    const MergedRange& range = merges["S1"].front();
    EXPECT_EQ((std::vector<int>{range.nFirstRow, range.nLastRow, range.nFirstCol, range.nLastCol}),
              (std::vector<int>{1, 3, 1, 1}));
}

TEST(XlsMergedCells, DamagedFilesAreRefusedWithoutReadingOutsideThem)
{
    const std::string good = CompoundFile(WorkbookStream());
    const std::pair<const char*, std::function<void(std::string&)>> cases[] = {
        {"cut inside the mini stream", [](std::string& file) { file.resize(2048 + 40); }},
        {"a mini sector chained to itself", [](std::string& file) { Put32(file, 1536, 0); }},
        {"the allocation table beyond the file", [](std::string& file) { Put32(file, 0x4C, 99); }},
        {"a sector size no format has", [](std::string& file) { Put16(file, 0x1E, 30); }},
        {"no workbook stream", [](std::string& file) { Put16(file, 1024 + 128, 'X'); }},
        {"a sheet that starts beyond the workbook", [](std::string& file) { Put32(file, 2048 + 24, 5000); }},
        {"a record longer than the workbook", [](std::string& file) { Put16(file, 2048 + 2, 0xFFF0); }},
    };
    for (const auto& [name, damage] : cases)
    {
        std::string file = good;
        damage(file);
        std::map<std::string, std::vector<MergedRange>> merges;
        EXPECT_FALSE(ReadXlsMergedCells(file, merges)) << name;
    }
}
