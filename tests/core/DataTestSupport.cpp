#include "DataTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

std::string GbkOf(std::string_view utf8)
{
    const auto gbk = Encoding::Utf8ToGbk(utf8);
    if (!gbk)
        throw std::runtime_error("not representable in GBK");
    return *gbk;
}

std::string ReadFileBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + strPath);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& strPath, std::string_view bytes)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + strPath);
}

std::string ReadSourceFile(const std::string& strRelativePath)
{
    // The source tree is the environment's, else the one this file was compiled from.
    const char* lpcszRoot = std::getenv("VARNHOLT_SOURCE_DIR");
    const std::filesystem::path root = lpcszRoot != nullptr
                                           ? std::filesystem::path(lpcszRoot)
                                           : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return ReadFileBytes((root / strRelativePath).string());
}

std::string XorWithPassword(std::string_view bytes, std::string_view password)
{
    std::string out(bytes);
    if (password.empty())
        return out;
    unsigned char key[8] = {};
    for (std::size_t k = 0; k < 8 && k < password.size(); ++k)
        key[k] = static_cast<unsigned char>(password[k]);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) ^ key[i % 8]);
    return out;
}

TempProgramDir::TempProgramDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "varnholt-data-XXXXXX").string();
    if (::mkdtemp(strTemplate.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    m_strPath = strTemplate;
    SetProgramDirectory(m_strPath);
}

TempProgramDir::~TempProgramDir()
{
    SetProgramDirectory({});
    std::error_code ec;
    std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(m_strPath, ec);
}

std::string TempProgramDir::Listing() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_strPath))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string strListing;
    for (const auto& name : names)
        strListing += (strListing.empty() ? "" : " ") + name;
    return strListing;
}
