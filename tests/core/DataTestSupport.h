#pragma once

#include <string>
#include <string_view>

// Shared helpers of the data tests.

// The GBK bytes of a UTF-8 literal (the test sources are UTF-8, the program's data GBK).
std::string GbkOf(std::string_view utf8);

// The bytes of a file of the source tree (data/, res/), read whole.
std::string ReadSourceFile(const std::string& strRelativePath);

std::string ReadFileBytes(const std::string& strPath);
void WriteFileBytes(const std::string& strPath, std::string_view bytes);

// Byte i XOR key[i mod 8], the key being the first 8 password bytes padded with zeros: the data
// file rule, written out independently of the program's own code.
std::string XorWithPassword(std::string_view bytes, std::string_view password);

// A fresh temporary directory that stands in for the program's directory while alive.
class TempProgramDir
{
  public:
    TempProgramDir();
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;
    const std::string& Path() const { return m_strPath; }
    std::string FilePath(const std::string& strName) const { return m_strPath + "/" + strName; }
    // Names of the entries in the directory, sorted.
    std::string Listing() const;

  private:
    std::string m_strPath;
};
