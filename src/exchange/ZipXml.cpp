#include "exchange/ZipXml.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <expat.h>
#include <unordered_set>
#include <unzip.h>
#include <vector>

#include "exchange/FileText.h"
#include "exchange/SheetLimits.h"

namespace
{
constexpr int kCaseInsensitive = 2; // the zip library's choice for comparing names
constexpr unsigned kChunk = 64 * 1024;

std::string LowerCase(std::string strName)
{
    std::transform(strName.begin(), strName.end(), strName.begin(),
                   [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
    return strName;
}

// The name without its prefix. Names are compared without their namespaces, as writers choose
// their own prefixes; the parser does not resolve them, which would cost it more than the reading.
std::string_view LocalName(const char* lpcszName)
{
    const char* pColon = std::strchr(lpcszName, ':');
    return pColon ? pColon + 1 : lpcszName;
}

// Whether the attribute declares a namespace ("xmlns", "xmlns:x") rather than being one.
bool DeclaresNamespace(const char* lpcszName)
{
    return std::strncmp(lpcszName, "xmlns", 5) == 0 && (lpcszName[5] == '\0' || lpcszName[5] == ':');
}

// The parser's callbacks forwarded to the handler, stopping the parser once the handler says so.
struct CParse
{
    XML_Parser parser;
    CXmlHandler& handler;
    bool bStopped = false;
    std::uint64_t nLastEvent = 0; // where in the input the handler last heard something

    void Heard() { nLastEvent = static_cast<std::uint64_t>(std::max<XML_Index>(0, XML_GetCurrentByteIndex(parser))); }

    void Forward(bool bGoOn)
    {
        if (!bGoOn && !bStopped)
        {
            bStopped = true;
            XML_StopParser(parser, XML_FALSE);
        }
    }
    static void OnStart(void* pData, const char* lpcszName, const char** ppAttributes)
    {
        auto* pParse = static_cast<CParse*>(pData);
        pParse->Heard();
        if (!pParse->bStopped)
            pParse->Forward(pParse->handler.Start(CXmlElement(LocalName(lpcszName), ppAttributes)));
    }
    static void OnEnd(void* pData, const char* lpcszName)
    {
        auto* pParse = static_cast<CParse*>(pData);
        pParse->Heard();
        if (!pParse->bStopped)
            pParse->Forward(pParse->handler.End(LocalName(lpcszName)));
    }
    static void OnText(void* pData, const char* pText, int nLength)
    {
        auto* pParse = static_cast<CParse*>(pData);
        pParse->Heard();
        if (!pParse->bStopped)
            pParse->Forward(pParse->handler.Text(std::string_view(pText, static_cast<std::size_t>(nLength))));
    }
};

// Owns the parser for one part.
class CExpat
{
  public:
    CExpat() : m_parser(XML_ParserCreate(nullptr)) {}
    ~CExpat() { XML_ParserFree(m_parser); }
    CExpat(const CExpat&) = delete;
    CExpat& operator=(const CExpat&) = delete;
    XML_Parser Get() const { return m_parser; }

  private:
    XML_Parser m_parser;
};
} // namespace

std::string_view CXmlElement::Attribute(std::string_view localName) const
{
    for (const char** pp = m_ppAttributes; pp && pp[0]; pp += 2)
        if (!DeclaresNamespace(pp[0]) && LocalName(pp[0]) == localName)
            return pp[1];
    return {};
}

CZipPackage::CZipPackage(std::string_view bytes) : m_file{bytes}
{
    zlib_filefunc64_def functions{};
    functions.opaque = &m_file;
    functions.zopen64_file = [](voidpf opaque, const void*, int) -> voidpf { return opaque; };
    functions.zread_file = [](voidpf, voidpf stream, void* pBuffer, uLong nSize) -> uLong {
        auto* pFile = static_cast<MemoryFile*>(stream);
        const std::string_view part = pFile->bytes.substr(std::min(pFile->nPosition, pFile->bytes.size()), nSize);
        std::memcpy(pBuffer, part.data(), part.size());
        pFile->nPosition += part.size();
        return part.size();
    };
    functions.zwrite_file = [](voidpf, voidpf, const void*, uLong) -> uLong { return 0; };
    functions.ztell64_file = [](voidpf, voidpf stream) -> ZPOS64_T {
        return static_cast<MemoryFile*>(stream)->nPosition;
    };
    functions.zseek64_file = [](voidpf, voidpf stream, ZPOS64_T nOffset, int nOrigin) -> long {
        auto* pFile = static_cast<MemoryFile*>(stream);
        const ZPOS64_T nBase = nOrigin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                               : nOrigin == ZLIB_FILEFUNC_SEEK_CUR ? pFile->nPosition
                                                                   : pFile->bytes.size();
        if (nBase + nOffset > pFile->bytes.size())
            return -1;
        pFile->nPosition = nBase + nOffset;
        return 0;
    };
    functions.zclose_file = [](voidpf, voidpf) -> int { return 0; };
    functions.zerror_file = [](voidpf, voidpf) -> int { return 0; };
    m_pZip = unzOpen2_64("", &functions);
    if (m_pZip)
        FindNamesUsedTwice();
}

void CZipPackage::FindNamesUsedTwice()
{
    std::unordered_set<std::string> names;
    std::string strName;
    for (int nStatus = unzGoToFirstFile(m_pZip); nStatus == UNZ_OK; nStatus = unzGoToNextFile(m_pZip))
    {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(m_pZip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        strName.resize(info.size_filename);
        unzGetCurrentFileInfo64(m_pZip, nullptr, strName.data(), info.size_filename, nullptr, 0, nullptr, 0);
        if (!names.insert(LowerCase(strName)).second)
            m_namesUsedTwice.insert(LowerCase(strName));
    }
}

CZipPackage::~CZipPackage()
{
    if (m_pZip)
        unzClose(m_pZip);
}

bool CZipPackage::HasPart(const std::string& strName) const
{
    return unzLocateFile(m_pZip, strName.c_str(), kCaseInsensitive) == UNZ_OK;
}

std::uint64_t CZipPackage::PartSize(const std::string& strName) const
{
    unz_file_info64 info{};
    if (!HasPart(strName) || unzGetCurrentFileInfo64(m_pZip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return 0;
    return info.uncompressed_size;
}

PartFault CZipPackage::ParsePart(const std::string& strName, CXmlHandler& handler, std::string& strProblem,
                                 const std::function<void(std::uint64_t nRead)>& onRead) const
{
    strProblem.clear();
    if (m_namesUsedTwice.count(LowerCase(strName)) > 0)
    {
        strProblem = "它有两个名为 " + GbkOfFileText(strName) + " 的部件，不同的程序会读出不同的内容";
        return PartFault::Damaged;
    }
    if (m_nUnpacked + PartSize(strName) > kMaxUnpackedBytes)
    {
        strProblem = PartTooLargeProblem(strName);
        return PartFault::TooLarge;
    }
    if (!HasPart(strName) || unzOpenCurrentFile(m_pZip) != UNZ_OK)
    {
        strProblem = "缺少 " + GbkOfFileText(strName);
        return PartFault::Damaged;
    }
    const CExpat expat;
    CParse parse{expat.Get(), handler};
    XML_SetUserData(expat.Get(), &parse);
    XML_SetElementHandler(expat.Get(), &CParse::OnStart, &CParse::OnEnd);
    XML_SetCharacterDataHandler(expat.Get(), &CParse::OnText);
    std::vector<char> buffer(kChunk);
    int nRead = 0;
    std::uint64_t nTotal = 0;
    bool bParsed = true, bTooLarge = false;
    while (bParsed && !bTooLarge)
    {
        // The parser scans an unfinished tag again with every chunk: while one is pending, the
        // chunks grow with it, so that even the longest tag it takes is scanned only a few times,
        // but never past the longest it takes.
        const std::uint64_t nPending = nTotal - parse.nLastEvent;
        const auto nChunk = static_cast<unsigned>(
            std::clamp<std::uint64_t>(std::min(nPending, kMaxMarkup + 1 - nPending), kChunk, kMaxMarkup));
        buffer.resize(std::max<std::size_t>(buffer.size(), nChunk));
        if ((nRead = unzReadCurrentFile(m_pZip, buffer.data(), nChunk)) < 0)
            break;
        // A read of 0 bytes is the end: the parser is told, so that a part cut short is not taken whole.
        bParsed = XML_Parse(expat.Get(), buffer.data(), nRead, nRead == 0) == XML_STATUS_OK;
        if (nRead == 0)
            break;
        nTotal += static_cast<std::uint64_t>(nRead);
        m_nUnpacked += static_cast<std::uint64_t>(nRead);
        bTooLarge = m_nUnpacked > kMaxUnpackedBytes || nTotal - parse.nLastEvent > kMaxMarkup;
        if (onRead)
            onRead(nTotal);
    }
    const bool bIntact = unzCloseCurrentFile(m_pZip) == UNZ_OK; // checks the CRC of a part read to its end
    if (parse.bStopped)
        return PartFault::Stopped;
    if (bTooLarge)
        strProblem = PartTooLargeProblem(strName);
    else if (nRead < 0 || (bParsed && !bIntact))
        strProblem = GbkOfFileText(strName) + " 已损坏";
    else if (!bParsed)
        strProblem = GbkOfFileText(strName) + " 第" + std::to_string(XML_GetCurrentLineNumber(expat.Get())) +
                     "行不是有效的XML（" + GbkOfFileText(XML_ErrorString(XML_GetErrorCode(expat.Get()))) + "）";
    return bTooLarge ? PartFault::TooLarge : strProblem.empty() ? PartFault::None : PartFault::Damaged;
}
