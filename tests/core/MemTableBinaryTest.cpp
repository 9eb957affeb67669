#include "MemTableTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

#include "platform/ProgramDir.h"

using namespace MemTableTest;
namespace fs = std::filesystem;

namespace
{
void PutInt(std::string& out, std::size_t nPos, std::int64_t value, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        out[nPos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// One data block as a producer writes it; the fields can be overridden to build broken blocks.
struct Block
{
    std::string mark;
    std::vector<std::string> descriptors;
    std::string data;
    int rows = 1;
    int cols = -1;                                     // default: the number of descriptors
    int dataOffset = -1;                               // default: right after the descriptors
    std::optional<std::int64_t> length = std::nullopt; // default: the bytes after the header

    std::string Bytes() const
    {
        std::string body;
        for (const std::string& descriptor : descriptors)
            body += descriptor + '\0';
        const int nOffset = dataOffset >= 0 ? dataOffset : static_cast<int>(20 + body.size());
        body += data;
        std::string out(20, '\0');
        PutInt(out, 1, cols >= 0 ? cols : static_cast<int>(descriptors.size()), 2);
        PutInt(out, 3, rows, 2);
        PutInt(out, 5, nOffset, 2);
        PutInt(out, 7, length.value_or(body.size()), 4);
        out.replace(11, mark.size(), mark);
        return out + body;
    }
};

std::string Int32(std::int32_t value)
{
    std::string out(4, '\0');
    PutInt(out, 0, value, 4);
    return out;
}

class MemTableBinary : public testing::Test
{
  protected:
    void SetUp() override { SetDumpDirectory(dumpDir.string()); }
    void TearDown() override { SetDumpDirectory(""); }
    int Load(const std::string& buffer, const char* mark = "WANTED")
    {
        return table.LoadBinary(buffer.data(), static_cast<int>(buffer.size()), mark);
    }
    // The contents of the one dump file with this suffix.
    std::string Dump(const std::string& suffix) const
    {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(dumpDir))
            if (entry.path().string().ends_with(suffix))
                found.push_back(entry.path());
        if (found.size() != 1)
            return "<" + std::to_string(found.size()) + " files>";
        std::ifstream in(found[0], std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool NoDump() const { return fs::is_empty(dumpDir); }

    TestKit::TempDir m_dir;
    const fs::path dumpDir = m_dir.Path();
    CMemTable table;
};

TEST_F(MemTableBinary, SkipsOtherBlocksByTheirLength)
{
    const std::string buffer = Block{"OTHER", {"XC"}, std::string("zz\0", 3)}.Bytes() +
                               Block{"WANT", {"YB"}, "\x01"}.Bytes() +
                               Block{"WANTED", {"NAMEC", "AGEN"}, std::string("Li\0\x14\x00", 5)}.Bytes();
    EXPECT_EQ(Load(buffer), 1);
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_EQ(Names(table), (std::vector<std::string>{"NAME", "AGE"}));
    EXPECT_EQ(Cells(table), (Rows{{"Li", "20"}}));
    EXPECT_TRUE(NoDump());
}

TEST_F(MemTableBinary, TrimsDescriptorsBeforeTakingTheTypeLetter)
{
    EXPECT_EQ(Load(Block{"WANTED",
                         {"  XC  ", "\xD0\xD5\xC3\xFB"
                                    "C"},
                         std::string("a\0\xD5\xC5\0", 5)}
                       .Bytes()),
              1);
    EXPECT_EQ(Names(table), (std::vector<std::string>{"X", "\xD0\xD5\xC3\xFB"}));
    EXPECT_EQ(Cells(table), (Rows{{"a", "\xD5\xC5"}}));
}

TEST_F(MemTableBinary, BlockWithoutRowsLoadsItsColumns)
{
    EXPECT_EQ(Load(Block{"WANTED", {"AL"}, "", 0}.Bytes()), 0);
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_EQ(Names(table), (std::vector<std::string>{"A"}));
}

struct ValueCase
{
    const char* name;
    const char* descriptor;
    std::string bytes;
    const char* text;
};

void PrintTo(const ValueCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemTableBinaryValue : public MemTableBinary, public testing::WithParamInterface<ValueCase>
{
};

TEST_P(MemTableBinaryValue, BecomesTheCellText)
{
    const ValueCase& c = GetParam();
    // A C column after the value shows that exactly the value's bytes were read.
    ASSERT_EQ(Load(Block{"WANTED", {c.descriptor, "ZC"}, c.bytes + std::string("end\0", 4)}.Bytes()), 1);
    EXPECT_EQ(Cells(table), (Rows{{c.text, "end"}}));
}

INSTANTIATE_TEST_SUITE_P(Types, MemTableBinaryValue,
                         testing::Values(ValueCase{"ByteIsUnsigned", "VB", "\xFF", "255"},
                                         ValueCase{"ShortIsSigned", "VN", "\xFF\xFF", "-1"},
                                         ValueCase{"LongIsLittleEndian", "VL", Int32(-123456), "-123456"},
                                         ValueCase{"Date", "VD", Int32(20050701), "2005/07/01"},
                                         ValueCase{"DatePartsAreNotChecked", "VD", Int32(20051399), "2005/13/99"},
                                         ValueCase{"ZeroDate", "VD", Int32(0), "1900/01/01"},
                                         ValueCase{"NegativeDate", "VD", Int32(-5), "1900/01/01"},
                                         ValueCase{"TimeInLocalTime", "VT", Int32(0), "1970-01-01 08:00:00.000"},
                                         ValueCase{"NegativeTimeIsEmpty", "VT", Int32(-1), ""},
                                         ValueCase{"EmptyText", "VC", std::string(1, '\0'), ""}),
                         [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST_F(MemTableBinary, MissingMarkIsDumpedAndReported)
{
    table.Load("A\r\n1\r\n");
    const std::string buffer = Block{"OTHER", {"XC"}, std::string("zz\0", 3)}.Bytes();
    EXPECT_EQ(Load(buffer, "NONE"), 0);
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_EQ(table.GetColCount(), 0);
    EXPECT_EQ(Dump(".memtable.dump.tmp"), buffer);
    const std::string log = Dump(".memtable.dump.log");
    EXPECT_TRUE(log.starts_with(Gbk("CMemTable::LoadBinary()失败: 当前行："))) << log;
    EXPECT_TRUE(log.ends_with(Gbk(" 附加数据：lpcszMark=NONE 附加错误信息：找到不数据块，无法装入指定内存表。。")))
        << log;
}

struct BadBlockCase
{
    const char* name;
    std::string buffer;
    const char* error; // UTF-8
};

void PrintTo(const BadBlockCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemTableBadBlock : public MemTableBinary, public testing::WithParamInterface<BadBlockCase>
{
};

TEST_P(MemTableBadBlock, IsRejectedWithDumpAndReport)
{
    const BadBlockCase& c = GetParam();
    EXPECT_EQ(Load(c.buffer), 0);
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_EQ(table.GetColCount(), 0);
    EXPECT_EQ(table.GetRowCount(), 0);
    EXPECT_EQ(Dump(".memtable.dump.tmp"), c.buffer);
    EXPECT_TRUE(Dump(".memtable.dump.log").ends_with(Gbk(std::string("附加错误信息：") + c.error + "。")))
        << Dump(".memtable.dump.log");
}

Block Good()
{
    return Block{"WANTED", {"AC", "BL"}, std::string("x\0\x01\0\0\0", 6)};
}

Block With(Block block, void (*change)(Block&))
{
    change(block);
    return block;
}

const char kPast[] = "数据块超出缓冲区，无法装入指定内存表。";
const char kBadCount[] = "数据块的行数、列数、偏移或长度无效，无法装入指定内存表。";

INSTANTIATE_TEST_SUITE_P(
    Blocks, MemTableBadBlock,
    testing::Values(
        BadBlockCase{"EmptyBuffer", "", "找到不数据块，无法装入指定内存表。"},
        BadBlockCase{"HeaderCutShort", Good().Bytes().substr(0, 15), kPast},
        BadBlockCase{"SkippedBlockRunsPastTheEnd",
                     With(Good(),
                          [](Block& b) {
                              b.mark = "OTHER";
                              b.length = 5000;
                          })
                         .Bytes(),
                     "找到不数据块，无法装入指定内存表。"},
        BadBlockCase{"NegativeLengthOfSkippedBlock",
                     With(Good(),
                          [](Block& b) {
                              b.mark = "OTHER";
                              b.length = -20;
                          })
                         .Bytes(),
                     kBadCount},
        BadBlockCase{"MarkLongerThanEightBytes", With(Good(), [](Block& b) { b.mark = "TOOLONGMK"; }).Bytes(),
                     "数据块标记超过8字节，无法装入指定内存表。"},
        BadBlockCase{"NegativeColumnCount", With(Good(), [](Block& b) { b.cols = 0xFFFF; }).Bytes(), kBadCount},
        BadBlockCase{"NegativeRowCount", With(Good(), [](Block& b) { b.rows = 0x8000; }).Bytes(), kBadCount},
        BadBlockCase{"NegativeDataOffset", With(Good(), [](Block& b) { b.dataOffset = 0xFFF0; }).Bytes(), kBadCount},
        BadBlockCase{"DataOffsetPastTheEnd", With(Good(), [](Block& b) { b.dataOffset = 0x7000; }).Bytes(), kPast},
        BadBlockCase{"MoreRowsThanData", With(Good(), [](Block& b) { b.rows = 2; }).Bytes(), kPast},
        BadBlockCase{"MoreColumnsThanDescriptors",
                     With(Good(),
                          [](Block& b) {
                              b.cols = 3;
                              b.rows = 0;
                              b.data = "";
                          })
                         .Bytes(),
                     kPast},
        BadBlockCase{"TextWithoutItsNul",
                     With(Good(),
                          [](Block& b) {
                              b.descriptors = {"BL", "AC"};
                              b.data = std::string("\x01\0\0\0xyz", 7);
                          })
                         .Bytes(),
                     kPast},
        BadBlockCase{"NumberCutShort", With(Good(), [](Block& b) { b.data.pop_back(); }).Bytes(), kPast},
        BadBlockCase{"UnknownTypeLetter", With(Good(), [](Block& b) { b.descriptors[1] = "BQ"; }).Bytes(),
                     "数据块存在未知的列类型，无法装入指定内存表。"},
        BadBlockCase{"BlankColumnName", With(Good(), [](Block& b) { b.descriptors[0] = " \t "; }).Bytes(),
                     "数据块存在空列名，无法装入指定内存表。"}),
    [](const testing::TestParamInfo<BadBlockCase>& info) { return std::string(info.param.name); });

TEST_F(MemTableBinary, WriteDumpWithoutFormatWritesOnlyTheData)
{
    WriteDump("abc", 3, nullptr);
    EXPECT_EQ(Dump(".memtable.dump.tmp"), "abc");
    EXPECT_EQ(Dump(".memtable.dump.log"), "<0 files>");
}

TEST_F(MemTableBinary, WriteDumpIntoAMissingDirectoryIsSkipped)
{
    SetDumpDirectory((dumpDir / "missing").string());
    WriteDump("abc", 3, "%s", "x");
    EXPECT_TRUE(NoDump());
}
} // namespace
