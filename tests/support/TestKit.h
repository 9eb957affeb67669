#pragma once

#include <string>
#include <string_view>
#include <vector>

// Helpers shared by the core, CLI and dialog tests (standard library and the program's core only).

// The GBK bytes of UTF-8 text: the test sources are UTF-8, the program's data GBK. Throws when GBK
// cannot hold a character.
std::string Gbk(std::string_view utf8);
// The UTF-8 text of GBK bytes. Throws on bytes that are not GBK.
std::string Utf8(std::string_view gbk);

namespace TestKit
{
// The standard output of a shell command (for the independent readers: python3, pdftotext).
std::string CommandOutput(const std::string& strCommand);
// The text of a PDF file as pdftotext reads it, radicals turned back into ideographs (see
// support/pdf_text.py). Pages are separated by form feeds.
std::string PdfText(const std::string& strPath, bool bLayout = false);
// The number of pages of a PDF file (pdfinfo), or -1.
int PdfPageCount(const std::string& strPath);
// How often the needle occurs in the text.
int Occurrences(const std::string& strText, const std::string& strNeedle);

// A complete student record that passes every check, in record order; a variant changes single
// fields: StudentRecord(7).With(Field::XM, "李四").Gbk(). Values are given in UTF-8.
class StudentRecord
{
  public:
    // Student n: number 2006000 + n, named 张三 when n is odd and 欧阳明月 when even, an e-mail
    // address of its own, and a remark on every third.
    explicit StudentRecord(int n = 1);
    StudentRecord With(int nField, std::string strUtf8) const;
    // The values as the tests write them, and as the data file holds them.
    const std::vector<std::string>& Utf8() const { return m_values; }
    std::vector<std::string> Gbk() const;

  private:
    std::vector<std::string> m_values;
};

// The record of the exchange tests, as UTF-8: the values the workbook fixtures hold
// (tests/exchange/workbook_tool.py writes the same).
std::vector<std::string> SampleStudent(const std::string& strNumber, const std::string& strName = "张三");

// Makes a character device node (the numbers of the null device) at strPath, which must lie in a
// test's temporary folder: tests of the "device" kind never point at the machine's real devices.
// False when the system does not let the test make one.
bool MakeDeviceNode(const std::string& strPath);

// Whether the school's writer lock is held now, by this program or another: a new holder is refused.
// (Probing makes the lock file when it is missing, as every holder does.)
bool SchoolIsLocked(const std::string& strCode);

// A fresh temporary directory, removed with everything in it at the end (also after a test took
// away its permissions).
class TempDir
{
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string FilePath(const std::string& strName) const { return m_strPath + "/" + strName; }
    // Names of the entries in the directory, sorted, separated by blanks.
    std::string Listing() const;
    static std::string ListingOf(const std::string& strDir);

  private:
    std::string m_strPath;
};

// A temporary directory that stands in for the program's directory while it lives. The user's
// configuration directory ($XDG_CONFIG_HOME, where quillmark.ini is noted) is a second temporary
// directory meanwhile, so that no test writes the real one. Lifetimes may overlap (a fixture
// replaced by a new one is destroyed after the new one is made): the directories in use are always
// those of the newest one alive, and the real ones only once none is.
class TempProgramDir : public TempDir
{
  public:
    TempProgramDir();
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;
    const std::string& ConfigPath() const { return m_config.Path(); }

  private:
    // Points the program and the configuration at the newest one alive, or back at the real ones.
    static void UseNewest();

    TempDir m_config;
};
} // namespace TestKit
