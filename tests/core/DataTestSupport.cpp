#include "DataTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

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
