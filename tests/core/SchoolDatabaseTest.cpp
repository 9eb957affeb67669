#include "DataTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/DataFunc.h"
#include "core/SchoolHold.h"
#include "platform/FileCalls.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"

namespace
{
using Record = std::vector<std::string>; // the 24 values in field order

const char* const CODE = "10001";

// Student n with a nine-digit number and a mobile number.
Record SampleRecord(int n)
{
    const std::string strNumber = std::to_string(200600000 + n);
    return TestKit::StudentRecord(n)
        .With(Field::XSBSH, strNumber)
        .With(Field::DZXX, "s" + strNumber + "@pku.edu.cn")
        .With(Field::SJHM, "13800000000")
        .Gbk();
}

std::vector<Record> SampleRecords(int nCount)
{
    std::vector<Record> records;
    for (int n = 0; n < nCount; ++n)
        records.push_back(SampleRecord(n));
    return records;
}

std::string Line(const Record& values)
{
    std::string strLine;
    for (std::size_t i = 0; i < values.size(); ++i)
        strLine += (i == 0 ? "" : "\t") + values[i];
    return strLine + "\r\n";
}

// The plain text of a data file: magic, the student header, one line per record.
std::string PlainText(const std::vector<Record>& records)
{
    std::string strText = std::string("OKAY\r\n") + g_lpcszStudentColumns;
    for (const Record& record : records)
        strText += Line(record);
    return strText;
}

void Fill(CMemTable& table, const std::vector<Record>& records)
{
    ASSERT_TRUE(CreateStudentTable(table));
    table.AddRows(static_cast<int>(records.size()));
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            table.SetCell(nRow, nCol, records[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nCol)]);
}

void ExpectHolds(const CMemTable& table, const std::vector<Record>& records)
{
    ASSERT_EQ(table.GetColCount(), STUDENT_FIELD_COUNT);
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        ASSERT_STREQ(table.GetColName(nCol), g_studentFields[nCol].lpcszName);
    ASSERT_EQ(table.GetRowCount(), static_cast<int>(records.size()));
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            ASSERT_EQ(table.GetCell(nRow, nCol),
                      records[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nCol)])
                << nRow << "," << nCol;
}

void ExpectEmptyStudentTable(const CMemTable& table)
{
    ExpectHolds(table, {});
}

class SchoolDatabase : public testing::Test
{
  protected:
    std::string DbPath() const { return m_dir.FilePath(std::string(CODE) + ".db"); }

    // Loads CODE.db into a table that holds two other records first.
    BOOL Load(const std::string& strPassword)
    {
        Fill(m_table, m_before);
        SetLastError(ERROR_SUCCESS);
        return LoadSchoolDatabase(CODE, strPassword, m_table);
    }

    // A failed load with this code that left the table as it was.
    void ExpectRefused(const std::string& strPassword, DWORD dwCode)
    {
        EXPECT_FALSE(Load(strPassword));
        EXPECT_EQ(GetLastError(), dwCode);
        ExpectHolds(m_table, m_before);
    }

    TempProgramDir m_dir;
    CMemTable m_table;
    const std::vector<Record> m_before = {SampleRecord(900), SampleRecord(901)};
};

TEST_F(SchoolDatabase, PathIsTheCodeBesideTheProgram)
{
    EXPECT_EQ(GetSchoolDatabasePath(CODE), m_dir.Path() + "/10001.db");
    // directory + code + 5 may reach 260 (the terminating zero included), not pass it
    const std::string strLongest(260 - 5 - m_dir.Path().size(), '9');
    EXPECT_EQ(GetSchoolDatabasePath(strLongest), m_dir.Path() + "/" + strLongest + ".db");
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetSchoolDatabasePath(strLongest + "9"), "");
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST_F(SchoolDatabase, TooLongPathIsRefusedWithoutTouchingAFile)
{
    const std::string strCode(260 - 4 - m_dir.Path().size(), '9');
    Fill(m_table, m_before);
    EXPECT_FALSE(LoadSchoolDatabase(strCode, "", m_table));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    ExpectHolds(m_table, m_before);
    EXPECT_FALSE(SaveSchoolDatabase(strCode, m_table, ""));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(m_dir.Listing(), "");
}

// ---- Saved bytes ---------------------------------------------------------------------------

TEST_F(SchoolDatabase, EmptyPasswordSavesThePlainText)
{
    Fill(m_table, SampleRecords(3));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, ""));
    EXPECT_EQ(ReadFileBytes(DbPath()), PlainText(SampleRecords(3)));
    CMemTable empty;
    ASSERT_TRUE(CreateStudentTable(empty));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, empty, ""));
    EXPECT_EQ(ReadFileBytes(DbPath()), std::string("OKAY\r\n") + g_lpcszStudentColumns);
    EXPECT_EQ(m_dir.Listing(),
              "10001.db 10001.lock backup"); // replaced (the old file kept as a backup), no temporary left
}

class ScrambledSave : public SchoolDatabase, public testing::WithParamInterface<std::string>
{
};

TEST_P(ScrambledSave, XorsEveryByteWithTheKeyAndLoadsBack)
{
    const std::string& strPassword = GetParam();
    const std::vector<Record> records = SampleRecords(5);
    Fill(m_table, records);
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, strPassword));
    const std::string strFile = ReadFileBytes(DbPath());
    EXPECT_EQ(strFile, XorWithPassword(PlainText(records), strPassword));

    CMemTable loaded;
    ASSERT_TRUE(LoadSchoolDatabase(CODE, strPassword, loaded));
    ExpectHolds(loaded, records);
    if (strPassword.size() >= 8) // only the first 8 bytes count
    {
        EXPECT_TRUE(LoadSchoolDatabase(CODE, strPassword.substr(0, 8) + "tail", loaded));
    }
}

INSTANTIATE_TEST_SUITE_P(Passwords, ScrambledSave,
                         testing::Values("123", "12345678", "123456789", Gbk("密码口令"), std::string("\0ab", 3)));

TEST_F(SchoolDatabase, ShortPasswordLeavesTheRestOfEachBlockPlain)
{
    for (int nRecords : {2, 2000}) // 2000 records are scrambled and written in several pieces
    {
        Fill(m_table, SampleRecords(nRecords));
        ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
        const std::string strFile = ReadFileBytes(DbPath());
        const std::string strPlain = PlainText(SampleRecords(nRecords));
        ASSERT_EQ(strFile.size(), strPlain.size());
        for (std::size_t i = 0; i < strFile.size(); ++i)
            ASSERT_EQ(strFile[i] == strPlain[i], i % 8 >= 3) << i;
        // Loaded and saved again, the file keeps its bytes.
        ASSERT_TRUE(Load("123"));
        ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
        EXPECT_EQ(ReadFileBytes(DbPath()), strFile);
    }
}

// ---- Files written by hand from the format rule ----------------------------------------------

TEST_F(SchoolDatabase, LoadsAFileWrittenFromTheFormatRule)
{
    const std::vector<Record> records = SampleRecords(7);
    const std::string strPlain = PlainText(records);
    ASSERT_NE(strPlain.size() % 8, 0u); // the last block is a partial one
    WriteFileBytes(DbPath(), XorWithPassword(strPlain, "123"));
    ASSERT_TRUE(Load("123"));
    ExpectHolds(m_table, records);
}

TEST_F(SchoolDatabase, PlacesColumnsByNameWhateverTheirOrder)
{
    // reversed field order, an unknown column in the middle
    std::string strText = "OKAY\r\n";
    const std::vector<Record> records = SampleRecords(3);
    std::vector<int> order;
    for (int nCol = STUDENT_FIELD_COUNT - 1; nCol >= 0; --nCol)
        order.push_back(nCol);
    auto lineOf = [&](auto valueOf) {
        std::string strLine;
        for (std::size_t i = 0; i < order.size(); ++i)
            strLine += (i == 0 ? "" : "\t") + valueOf(order[i]) + (i == 5 ? "\tEXTRA" : "");
        return strLine + "\r\n";
    };
    strText += lineOf([](int nCol) { return std::string(g_studentFields[nCol].lpcszName); });
    for (const Record& record : records)
        strText += lineOf([&](int nCol) { return record[static_cast<std::size_t>(nCol)]; });
    WriteFileBytes(DbPath(), XorWithPassword(strText, "secret"));
    ASSERT_TRUE(Load("secret"));
    ExpectHolds(m_table, records);
}

TEST_F(SchoolDatabase, HeaderWithoutEveryStudentFieldIsAWrongPassword)
{
    std::string strWithoutBz = PlainText(SampleRecords(1));
    strWithoutBz.replace(strWithoutBz.find("\tBZ\t"), 4, "\tXX\t");
    for (const std::string& strText : {std::string("OKAY\r\nA\tB\r\n1\t2\r\n3\t4\r\n"), strWithoutBz,
                                       std::string("OKAY\r\nXSBSH\tYXDMX"), std::string("OKAY\r\nXSBSH\tYXDMX\tXM")})
    {
        WriteFileBytes(DbPath(), strText);
        ExpectRefused("", ERROR_INVALID_PASSWORD);
        EXPECT_EQ(ReadFileBytes(DbPath()), strText);
    }
}

TEST_F(SchoolDatabase, MissingFileIsANewSchoolButAShortOneIsDamaged)
{
    ASSERT_TRUE(Load("123"));
    ExpectEmptyStudentTable(m_table);
    // Such files once opened as an empty school with any password, and the next save re-keyed them.
    for (const std::string& strBytes :
         {std::string(), std::string("OK"), std::string("OKAY\r\n"), std::string("\x7f\x01\x02\x03\x04\x05", 6)})
    {
        WriteFileBytes(DbPath(), strBytes);
        ExpectRefused("any password", ERROR_FILE_CORRUPT);
        EXPECT_EQ(ReadFileBytes(DbPath()), strBytes);
    }
}

// ---- Bad input ------------------------------------------------------------------------------

TEST_F(SchoolDatabase, WrongPasswordLeavesTheTableAsItWas)
{
    const std::string strFile = XorWithPassword(PlainText(SampleRecords(2)), "123");
    WriteFileBytes(DbPath(), strFile);
    ExpectRefused("124", ERROR_INVALID_PASSWORD);
    ExpectRefused("", ERROR_INVALID_PASSWORD);
    ExpectRefused("12", ERROR_INVALID_PASSWORD);
    EXPECT_EQ(ReadFileBytes(DbPath()), strFile);

    WriteFileBytes(DbPath(), PlainText(SampleRecords(2)));
    ExpectRefused("123", ERROR_INVALID_PASSWORD); // a plain file needs the empty password
}

TEST_F(SchoolDatabase, RandomBytesAreAWrongPassword)
{
    std::mt19937 random(20060630);
    std::string strBytes(4000, '\0');
    for (char& ch : strBytes)
        ch = static_cast<char>(random());
    WriteFileBytes(DbPath(), strBytes);
    ExpectRefused("123", ERROR_INVALID_PASSWORD);
    ExpectRefused("", ERROR_INVALID_PASSWORD);
}

TEST_F(SchoolDatabase, WrongPasswordWithTheRightFirstKeyBytesIsRefused)
{
    // The magic covers key bytes 0 to 5 only, so a password wrong in a later byte passes it and
    // garbles the rest; such a table once loaded (50 records became 14) and the next save kept it.
    const std::vector<Record> records = SampleRecords(50);
    const std::string strFile = XorWithPassword(PlainText(records), "20240601");
    for (const char* lpcszWrong : {"20240602", "2024060", "20240611", "2024060x"})
    {
        WriteFileBytes(DbPath(), strFile);
        ExpectRefused(lpcszWrong, ERROR_INVALID_PASSWORD);
        EXPECT_EQ(ReadFileBytes(DbPath()), strFile);
    }
    ASSERT_TRUE(Load("202406019")); // only the first 8 bytes are the key
    ExpectHolds(m_table, records);
}

TEST_F(SchoolDatabase, AnyTextAfterTheMagicLoadsOrIsInvalidData)
{
    std::mt19937 random(1984);
    for (int nRound = 0; nRound < 50; ++nRound)
    {
        std::string strText = "OKAY\r\n";
        const std::string alphabet = std::string("\t\r\nAB\x00\xb1\xb1", 9) + "XSBSH";
        for (int i = 0; i < 200; ++i)
            strText += alphabet[random() % alphabet.size()];
        WriteFileBytes(DbPath(), strText);
        if (Load(""))
        {
            EXPECT_EQ(m_table.GetColCount(), STUDENT_FIELD_COUNT);
        }
        else if (GetLastError() == ERROR_INVALID_DATA)
        {
            ExpectEmptyStudentTable(m_table);
        }
        else
        {
            EXPECT_TRUE(GetLastError() == ERROR_INVALID_PASSWORD || GetLastError() == ERROR_FILE_CORRUPT);
            ExpectHolds(m_table, m_before);
        }
    }
}

TEST_F(SchoolDatabase, TruncatedFileIsRefusedAsDamagedAtEveryLength)
{
    // Cut anywhere after the header line, a file once loaded with fewer rows and the next save made
    // the loss permanent. A cut inside the magic or the header line is damage too, not a wrong password.
    const std::string strPlain = PlainText(SampleRecords(4));
    const std::string strFile = XorWithPassword(strPlain, "123");
    const std::size_t nHeaderEnd = strPlain.find("\r\n", 6) + 2;
    for (std::size_t nCut = 0; nCut < strFile.size(); ++nCut)
    {
        if (nCut >= nHeaderEnd && strPlain.compare(nCut - 2, 2, "\r\n") == 0)
            continue; // a cut at a line end leaves whole records: only the note tells (below)
        WriteFileBytes(DbPath(), strFile.substr(0, nCut));
        ExpectRefused("123", ERROR_FILE_CORRUPT);
        ASSERT_EQ(ReadFileBytes(DbPath()), strFile.substr(0, nCut)) << nCut;
    }
}

TEST_F(SchoolDatabase, NulByteIsRefusedAsDamaged)
{
    std::string strPlain = PlainText(SampleRecords(3));
    strPlain[strPlain.size() - 10] = '\0';
    WriteFileBytes(DbPath(), XorWithPassword(strPlain, "123"));
    ExpectRefused("123", ERROR_FILE_CORRUPT);
}

TEST_F(SchoolDatabase, DirectoryInPlaceOfTheFileIsRefused)
{
    ASSERT_EQ(::mkdir(DbPath().c_str(), 0755), 0);
    ExpectRefused("", ERROR_DIRECTORY);
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, ""));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_EQ(m_dir.Listing(), "10001.db 10001.lock");
    struct stat st
    {
    };
    ASSERT_EQ(::stat(DbPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(SchoolDatabase, SaveIntoAMissingDirectoryFails)
{
    SetProgramDirectory(m_dir.FilePath("gone"));
    Fill(m_table, SampleRecords(1));
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, ""));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    CMemTable loaded;
    EXPECT_TRUE(LoadSchoolDatabase(CODE, "", loaded)); // no file: a school without records
    ExpectEmptyStudentTable(loaded);
}

TEST_F(SchoolDatabase, TableWithoutColumnsIsNotSaved)
{
    CMemTable none;
    EXPECT_FALSE(SaveSchoolDatabase(CODE, none, ""));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    EXPECT_EQ(m_dir.Listing(), "");
}

// ---- A failed save never loses the previous file ----------------------------------------------

class FailedSave : public SchoolDatabase
{
  protected:
    void SetUp() override
    {
        Fill(m_table, SampleRecords(2));
        ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
        m_strOld = ReadFileBytes(DbPath());
        Fill(m_table, SampleRecords(300));
    }

    void ExpectOldFileIntact()
    {
        EXPECT_EQ(ReadFileBytes(DbPath()), m_strOld);
        EXPECT_EQ(m_dir.Listing(), "10001.db 10001.lock");
    }

    std::string m_strOld;
};

TEST_F(FailedSave, UnwritableDirectory)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0555), 0);
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0755), 0);
    ExpectOldFileIntact();
}

TEST_F(FailedSave, WriteErrorPartWay)
{
    // A file size limit makes the write fail after 1000 bytes, even for the superuser.
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = oldLimit;
    limit.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const SaveResult saved = SaveSchoolDatabase(CODE, m_table, "123");
    const DWORD dwCode = GetLastError();
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.dwError, ErrorFromErrno(EFBIG));
    EXPECT_EQ(dwCode, ErrorFromErrno(EFBIG));
    ExpectOldFileIntact();
}

TEST_F(FailedSave, FailingFsyncFailsTheSave)
{
    class FailingFsync : public FileCalls
    {
      public:
        int Fsync(int) override
        {
            errno = EIO;
            return -1;
        }
    } calls;
    ScopedFileCalls scope(calls);
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123"));
    EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
    ExpectOldFileIntact();
}

TEST_F(FailedSave, ReadOnlyFileIsRefusedNotReplaced)
{
    ASSERT_EQ(::chmod(DbPath().c_str(), 0400), 0);
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_READ_ONLY);
    ExpectOldFileIntact();
}

// ---- Modes, links and odd files ---------------------------------------------------------------

mode_t ModeOf(const std::string& strPath)
{
    struct stat info
    {
    };
    ::stat(strPath.c_str(), &info);
    return info.st_mode & 07777;
}

TEST_F(SchoolDatabase, NewFileIsTheOwnersAloneAndAnExistingFileKeepsItsMode)
{
    ::umask(022);
    Fill(m_table, SampleRecords(1));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
    EXPECT_EQ(ModeOf(DbPath()), 0600u);
    for (const mode_t mode : {0640u, 0644u, 0660u})
    {
        ASSERT_EQ(::chmod(DbPath().c_str(), mode), 0);
        ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
        EXPECT_EQ(ModeOf(DbPath()), mode);
    }
}

TEST_F(SchoolDatabase, OddFileInPlaceOfTheDataFileIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(DbPath().c_str(), 0600), 0); // opening it for reading would wait for ever
    ExpectRefused("", ERROR_BAD_FILE_TYPE);
    ::unlink(DbPath().c_str());
    ASSERT_TRUE(TestKit::MakeDeviceNode(m_dir.FilePath("device")));
    ASSERT_EQ(::symlink(m_dir.FilePath("device").c_str(), DbPath().c_str()), 0);
    ExpectRefused("", ERROR_BAD_FILE_TYPE);
    ::unlink(DbPath().c_str());
    ASSERT_EQ(::symlink(m_dir.FilePath("moved.db").c_str(), DbPath().c_str()), 0);
    ExpectRefused("", ERROR_CANT_RESOLVE_FILENAME); // never an empty school
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, ""));
    EXPECT_EQ(m_dir.Listing(), "10001.db 10001.lock device");
}

TEST_F(SchoolDatabase, LinkedDataFileIsSavedThroughToItsTarget)
{
    ASSERT_EQ(::mkdir(m_dir.FilePath("share").c_str(), 0755), 0);
    WriteFileBytes(m_dir.FilePath("share/real.db"), XorWithPassword(PlainText(SampleRecords(1)), "123"));
    ASSERT_EQ(::chmod(m_dir.FilePath("share/real.db").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("share/real.db", DbPath().c_str()), 0);
    Fill(m_table, SampleRecords(2));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(DbPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_TRUE(Load("123"));
    ExpectHolds(m_table, SampleRecords(2));
    EXPECT_EQ(ModeOf(m_dir.FilePath("share/real.db")), 0640u);
}

// ---- One writer per school ---------------------------------------------------------------------

class HeldSchool : public SchoolDatabase
{
  protected:
    void SetUp() override
    {
        Fill(m_table, SampleRecords(2));
        ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
        ASSERT_EQ(m_hold.Lock(CODE), ERROR_SUCCESS);
        ASSERT_TRUE(LoadSchoolDatabase(CODE, "123", m_table, false, &m_hold));
    }

    CSchoolHold m_hold;
};

TEST_F(HeldSchool, SaveOverAFileAnotherProgramReplacedIsRefused)
{
    // Another program, ignoring the lock, replaces the school's file meanwhile.
    const std::string strPath = DbPath();
    const std::string strTheirs = XorWithPassword(PlainText(SampleRecords(5)), "123");
    WriteFileBytes(strPath + ".theirs", strTheirs);
    ASSERT_EQ(::rename((strPath + ".theirs").c_str(), strPath.c_str()), 0);

    Fill(m_table, SampleRecords(3));
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123", &m_hold));
    EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
    EXPECT_EQ(ReadFileBytes(strPath), strTheirs);
    EXPECT_EQ(m_table.GetRowCount(), 3); // the change stays in memory
}

TEST_F(HeldSchool, ChangeInPlaceAndNewFileAreSeenToo)
{
    std::string strBytes = ReadFileBytes(DbPath());
    std::ofstream(DbPath(), std::ios::binary | std::ios::app) << "x"; // same inode, other size
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123", &m_hold));
    EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);

    ::unlink(DbPath().c_str()); // loaded as missing, then someone creates it
    ASSERT_TRUE(LoadSchoolDatabase(CODE, "123", m_table, false, &m_hold));
    WriteFileBytes(DbPath(), strBytes);
    EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123", &m_hold));
    EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
    EXPECT_EQ(ReadFileBytes(DbPath()), strBytes);
}

TEST_F(HeldSchool, OwnSavesFollowEachOther)
{
    for (int n = 1; n <= 3; ++n)
    {
        Fill(m_table, SampleRecords(n));
        ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123", &m_hold)) << n;
    }
    ASSERT_TRUE(LoadSchoolDatabase(CODE, "123", m_table, false, &m_hold));
    ExpectHolds(m_table, SampleRecords(3));
}

// Only the hold writes the school: a save that is not handed it is a second writer, also in this program.
TEST_F(HeldSchool, SaveWithoutTheHoldIsRefusedAsAnotherWriter)
{
    const std::string strBefore = ReadFileBytes(DbPath());
    Fill(m_table, SampleRecords(3));
    EXPECT_EQ(SaveSchoolDatabase(CODE, m_table, "123").dwError, ERROR_LOCK_VIOLATION);
    EXPECT_EQ(ReadFileBytes(DbPath()), strBefore);
    EXPECT_TRUE(SaveSchoolDatabase(CODE, m_table, "123", &m_hold));
}

TEST_F(SchoolDatabase, LockRemovesTheSchoolsStaleTemporariesOnly)
{
    for (const char* lpcszName : {"10001.db.tmp-4242-1", "10001.db.tmp-4242-2", "10002.db.tmp-1-1"})
        WriteFileBytes(m_dir.FilePath(lpcszName), std::string(1000, 'x'));
    CSchoolHold hold;
    ASSERT_EQ(hold.Lock(CODE), ERROR_SUCCESS);
    EXPECT_EQ(m_dir.Listing(), "10001.lock 10002.db.tmp-1-1");
    CFileLock other; // another program's attempt
    EXPECT_EQ(other.TryLock(GetSchoolLockPath(CODE)), ERROR_LOCK_VIOLATION);
    hold.Release();
    EXPECT_EQ(other.TryLock(GetSchoolLockPath(CODE)), ERROR_SUCCESS);
}
} // namespace

// The file is read, marked and unscrambled a piece at a time: pieces that end inside a key word
// (a few bytes each, as a slow share may hand them over) give the same records and the same mark.
TEST_F(SchoolDatabase, FileReadInOddPiecesLoadsTheSameAndMatchesItsNote)
{
    struct FewBytesAtATime : FileCalls
    {
        ssize_t Read(int fd, void* p, size_t n) override { return FileCalls::Read(fd, p, std::min<size_t>(n, 5)); }
    } calls;
    const std::vector<Record> records = SampleRecords(50);
    Fill(m_table, records);
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "12345678"));
    CMemTable loaded;
    {
        ScopedFileCalls scoped(calls);
        ASSERT_TRUE(LoadSchoolDatabase(CODE, "12345678", loaded)) << GetLastError();
    }
    ExpectHolds(loaded, records);
}

// ---- The note of the last save -------------------------------------------------------------

// A file cut exactly after a line's CR LF reads as fewer records; only the note of the last save
// shows it.
TEST_F(SchoolDatabase, FileCutAtALineEndIsToldByTheNoteOfTheLastSave)
{
    Fill(m_table, SampleRecords(4));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
    const std::string strFile = ReadFileBytes(DbPath());
    const std::string strPlain = XorWithPassword(strFile, "123");
    const std::string strCut = strFile.substr(0, strPlain.rfind("\r\n", strPlain.size() - 3) + 2);
    WriteFileBytes(DbPath(), strCut);
    ExpectRefused("123", ERROR_DATA_CHECKSUM_ERROR);
    ExpectRefused("124", ERROR_INVALID_PASSWORD); // the surer finding comes first
    EXPECT_EQ(ReadFileBytes(DbPath()), strCut);
    // Opened anyway on request; the next save notes the file anew.
    ASSERT_TRUE(LoadSchoolDatabase(CODE, "123", m_table, true));
    ExpectHolds(m_table, SampleRecords(3));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
    ASSERT_TRUE(Load("123"));
    ExpectHolds(m_table, SampleRecords(3));
    // A file without a note (copied from elsewhere, or an older program's) opens as it is.
    WriteFileBytes(DbPath(), strCut.substr(0, strPlain.find("\r\n", 6) + 2));
    WriteFileBytes(m_dir.FilePath("10001.lock"), "");
    ASSERT_TRUE(Load("123"));
    ExpectEmptyStudentTable(m_table);
}

// A save interrupted after its note was written leaves the old file or the new one: both match.
TEST_F(SchoolDatabase, NoteOfAnInterruptedSaveMatchesTheOldFileAndTheNew)
{
    Fill(m_table, SampleRecords(2));
    ASSERT_TRUE(SaveSchoolDatabase(CODE, m_table, "123"));
    const std::string strOld = ReadFileBytes(DbPath());
    const std::string strNote = ReadFileBytes(m_dir.FilePath("10001.lock"));
    Fill(m_table, SampleRecords(3));
    {
        // The rename fails: the note of the save in progress stays as an interruption leaves it.
        class FailingRename : public FileCalls
        {
            int Rename(const char*, const char*) override
            {
                errno = EIO;
                return -1;
            }
        } calls;
        ScopedFileCalls scope(calls);
        EXPECT_FALSE(SaveSchoolDatabase(CODE, m_table, "123"));
    }
    EXPECT_NE(ReadFileBytes(m_dir.FilePath("10001.lock")), strNote);
    ASSERT_TRUE(Load("123"));
    ExpectHolds(m_table, SampleRecords(2));
    WriteFileBytes(DbPath(), XorWithPassword(PlainText(SampleRecords(3)), "123")); // as if the rename went through
    ASSERT_TRUE(Load("123"));
    ExpectHolds(m_table, SampleRecords(3));
    WriteFileBytes(DbPath(), XorWithPassword(PlainText(SampleRecords(1)), "123")); // neither
    ExpectRefused("123", ERROR_DATA_CHECKSUM_ERROR);
}
