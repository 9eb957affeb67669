#include "exchange/OdsImport.h"

#include <algorithm>

#include "core/StudentImport.h"
#include "exchange/OdsContent.h"
#include "exchange/SheetSink.h"
#include "exchange/ZipXml.h"

namespace
{
const std::string kNotSpreadsheet = "文件不是有效的OpenDocument电子表格（.ods）：";
const std::string kContent = "content.xml";

// The package's list of parts, which says whether the content is encrypted.
class CManifest : public CXmlHandler
{
  public:
    bool Start(const CXmlElement& element) override
    {
        m_bEncrypted = m_bEncrypted || element.Name() == "encryption-data";
        return true;
    }
    bool End(std::string_view) override { return true; }
    bool Text(std::string_view) override { return true; }
    bool m_bEncrypted = false;
};
} // namespace

BOOL ReadOdsSheets(std::string_view bytes, ISheetSink& sink, std::string& strError, const ExchangeProgress& progress)
{
    const CZipPackage package(bytes);
    if (!package.IsOpen())
        return FailWithMessage(strError, kNotSpreadsheet + "它不是zip压缩包，可能已损坏或已加密。");
    std::string strProblem;
    CManifest manifest;
    package.ParsePart("META-INF/manifest.xml", manifest, strProblem); // optional: only says what is encrypted
    if (manifest.m_bEncrypted)
        return FailWithMessage(strError, "文件已经加密：请在电子表格程序中取消密码后再导入。");
    CProgressTeller teller(progress);
    const double fTotal = std::max<double>(1, static_cast<double>(package.PartSize(kContent)));
    COdsContent content(sink);
    const PartFault fault = package.ParsePart(kContent, content, strProblem, [&](std::uint64_t nRead) {
        teller.Tell(std::min(1.0, static_cast<double>(nRead) / fTotal));
    });
    if (!content.Problem().empty())
        return FailWithMessage(strError,
                               content.Damaged() ? kNotSpreadsheet + content.Problem() + "。" : content.Problem());
    if (fault == PartFault::TooLarge)
        return FailWithMessage(strError, strProblem);
    if (fault == PartFault::Damaged)
        return FailWithMessage(strError, kNotSpreadsheet + strProblem);
    if (!content.SawTable())
        return FailWithMessage(strError, "工作簿中没有工作表。");
    teller.Tell(1);
    return TRUE;
}
