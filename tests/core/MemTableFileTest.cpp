#include "MemTableTestSupport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

using namespace MemTableTest;
namespace fs = std::filesystem;

namespace
{
class MemTableFile : public testing::Test
{
  protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("memtable-file-" + std::to_string(::getpid()) + "-" +
                                           testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "table.txt").string();
        LoadOrFail(table, "A\tB\r\n1\t2\r\n");
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Read() const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
    unsigned Mode() const
    {
        struct stat info
        {
        };
        ::stat(path.c_str(), &info);
        return info.st_mode & 0777;
    }

    fs::path dir;
    std::string path;
    CMemTable table;
};

struct SeparatorCase
{
    const char* sep;
    std::string bytes;
    unsigned mode;
};

void PrintTo(const SeparatorCase& c, std::ostream* os)
{
    *os << (c.sep ? testing::PrintToString(std::string(c.sep)) : "null");
}

class MemTableFileWrite : public MemTableFile, public testing::WithParamInterface<SeparatorCase>
{
};

TEST_P(MemTableFileWrite, WritesTheTextAndMarksTheFile)
{
    const SeparatorCase& c = GetParam();
    ASSERT_TRUE(table.WriteToFile(path.c_str(), c.sep));
    EXPECT_EQ(Read(), c.bytes);
    EXPECT_EQ(Mode(), c.mode);
}

INSTANTIATE_TEST_SUITE_P(Separators, MemTableFileWrite,
                         testing::Values(SeparatorCase{",", "A,B\r\n1,2\r\n", 0644},
                                         SeparatorCase{nullptr, "A\tB\r\n1\t2\r\n", 0644},
                                         SeparatorCase{"|", "A|B\r\n1|2\r\n", 0644},
                                         SeparatorCase{"\x7F",
                                                       "A\x7F"
                                                       "B\r\n1\x7F"
                                                       "2\r\n",
                                                       0644},
                                         SeparatorCase{"\xA1\xA2",
                                                       "A\xA1\xA2"
                                                       "B\r\n1\xA1\xA2"
                                                       "2\r\n",
                                                       0644},
                                         SeparatorCase{"\x01",
                                                       "A\x01"
                                                       "B\r\n1\x01"
                                                       "2\r\n",
                                                       0600},
                                         SeparatorCase{"\x1F",
                                                       "A\x1F"
                                                       "B\r\n1\x1F"
                                                       "2\r\n",
                                                       0600},
                                         SeparatorCase{"\xFF",
                                                       "A\xFF"
                                                       "B\r\n1\xFF"
                                                       "2\r\n",
                                                       0600},
                                         SeparatorCase{"", "AB\r\n12\r\n", 0600}));

TEST_F(MemTableFile, TableWithoutColumnsLeavesTheFileAlone)
{
    Write("old");
    CMemTable empty;
    EXPECT_TRUE(empty.WriteToFile(path.c_str(), ","));
    EXPECT_EQ(Read(), "old");
}

TEST_F(MemTableFile, ReplacesAReadOnlyHiddenFile)
{
    Write("old");
    ::chmod(path.c_str(), 0400);
    ASSERT_TRUE(table.WriteToFile(path.c_str(), ","));
    EXPECT_EQ(Read(), "A,B\r\n1,2\r\n");
    EXPECT_EQ(Mode(), 0644u);
}

TEST_F(MemTableFile, FileThatCannotBeCreatedFails)
{
    EXPECT_FALSE(table.WriteToFile((dir / "missing" / "t.txt").c_str(), ","));
}

TEST_F(MemTableFile, SaveWritesBackToTheFileItWasReadFrom)
{
    Write("X\tY\r\n3\t4\r\n");
    std::string error;
    ASSERT_TRUE(table.LoadFromFile(path.c_str(), nullptr, error));
    table.SetCell(0, 0, "5");
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(Read(), "X\x01Y\r\n5\x01"
                      "4\r\n");
    EXPECT_EQ(Mode(), 0600u);
    CMemTable copy;
    ASSERT_TRUE(copy.LoadFromFile(path.c_str(), "\x01", error));
    EXPECT_EQ(Cells(copy), (Rows{{"5", "4"}}));
}

struct ReadCase
{
    const char* name;
    std::string bytes;
    const char* sep;
    std::vector<std::string> columns;
    Rows rows;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemTableFileRead : public MemTableFile, public testing::WithParamInterface<ReadCase>
{
};

TEST_P(MemTableFileRead, LoadsTheTable)
{
    const ReadCase& c = GetParam();
    Write(c.bytes);
    std::string error = "stale";
    ASSERT_TRUE(table.LoadFromFile(path.c_str(), c.sep, error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(Names(table), c.columns);
    EXPECT_EQ(Cells(table), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MemTableFileRead,
    testing::Values(ReadCase{"HiddenSeparator",
                             "A\x01"
                             "B\r\n1\x01"
                             "2\r\n",
                             "\x01",
                             {"A", "B"},
                             {{"1", "2"}}},
                    ReadCase{"HiddenSeparatorNotGiven",
                             "A\x01"
                             "B\r\n1\x01"
                             "2\r\n",
                             nullptr,
                             {"A\x01"
                              "B"},
                             {{"1\x01"
                               "2"}}},
                    ReadCase{"TabGiven",
                             "A\x01"
                             "B\r\n1\t2\r\n",
                             "\t",
                             {"A\x01"
                              "B"},
                             {{"1\t2"}}},
                    ReadCase{"LongSeparator", "A||B\r\n1|2||3\r\n", "||", {"A", "B"}, {{"1|2", "3"}}},
                    ReadCase{
                        "SeparatorNeverMatchesASecondByte", "A|B\r\n\xB0||x\r\n", "|", {"A", "B"}, {{"\xB0|", "x"}}},
                    ReadCase{"MarkerLineSkipped", "OKAY\r\nA\tB\r\n1\t2\r\n", nullptr, {"A", "B"}, {{"1", "2"}}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(MemTableFile, MissingFileKeepsTheTable)
{
    std::string error;
    EXPECT_FALSE(table.LoadFromFile((dir / "none.txt").c_str(), nullptr, error));
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_EQ(Cells(table), (Rows{{"1", "2"}}));
    // The name is remembered all the same: Save would write there.
    ASSERT_TRUE(table.Save());
    EXPECT_TRUE(fs::exists(dir / "none.txt"));
}

TEST_F(MemTableFile, EmptyFileFails)
{
    Write("");
    std::string error;
    EXPECT_FALSE(table.LoadFromFile(path.c_str(), nullptr, error));
    EXPECT_EQ(error, std::strerror(0));
    EXPECT_EQ(table.GetRowCount(), 1);
}

TEST_F(MemTableFile, ParseFailureGivesTheLoaderText)
{
    Write("A\r\nx\ry\r\n");
    std::string error;
    EXPECT_FALSE(table.LoadFromFile(path.c_str(), nullptr, error));
    EXPECT_EQ(error, Gbk("第1行不是有效的格式文本(没有对应的换行符)。"));
    EXPECT_EQ(table.GetColCount(), 0);
}

TEST_F(MemTableFile, StreamIsReadFromItsStart)
{
    std::string bytes = "A\tB\r\n";
    for (int i = 0; i < 50; ++i)
        bytes += std::string(30, 'x') + std::to_string(i) + "\t" + std::string(70, 'y') + "\r\n";
    Write(bytes);
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    std::fseek(stream, 10, SEEK_SET);
    std::string error;
    EXPECT_TRUE(table.LoadStream(stream, error));
    std::fclose(stream);
    ASSERT_EQ(table.GetRowCount(), 50);
    EXPECT_EQ(std::string(table.GetCell(49, 0)), std::string(30, 'x') + "49");
    EXPECT_EQ(std::string(table.GetCell(49, 1)), std::string(70, 'y'));
}

TEST(MemTableContainsColumns, NeedsEveryNameBeforeATabOrLineEnd)
{
    CMemTable table;
    LoadOrFail(table, "XM\tBZ\r\n");
    EXPECT_TRUE(table.ContainsColumns("XM\tBZ\r\n"));
    EXPECT_FALSE(table.ContainsColumns("XM,BZ\r\n"));
    EXPECT_TRUE(table.ContainsColumns("ZXM\tBZ\r\n"));
    EXPECT_FALSE(table.ContainsColumns("XM\tBZ"));
    EXPECT_TRUE(CMemTable().ContainsColumns(""));
}
} // namespace
