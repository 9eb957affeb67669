#include "cli/CliArgs.h"

#include <algorithm>

namespace
{
const CliOption* FindOption(const std::vector<CliOption>& options, const std::string& strName)
{
    const auto it = std::find_if(options.begin(), options.end(),
                                 [&](const CliOption& option) { return strName == option.lpcszName; });
    return it == options.end() ? nullptr : &*it;
}
} // namespace

BOOL CCliArgs::Parse(const std::vector<std::string>& args, const std::vector<CliOption>& options, std::string& strError)
{
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& strArg = args[i];
        if (bOptionsEnded || strArg.size() < 2 || strArg.compare(0, 2, "--") != 0)
        {
            m_operands.push_back(strArg);
            continue;
        }
        if (strArg == "--")
        {
            bOptionsEnded = true;
            continue;
        }
        const std::size_t nEquals = strArg.find('=');
        const std::string strName = strArg.substr(2, nEquals == std::string::npos ? std::string::npos : nEquals - 2);
        const CliOption* pOption = FindOption(options, strName);
        if (pOption == nullptr)
        {
            strError = "未知的选项 --" + strName;
            return FALSE;
        }
        if (Has(strName) && !pOption->bRepeats)
        {
            strError = "选项 --" + strName + " 重复给出";
            return FALSE;
        }
        if (!pOption->bTakesValue)
        {
            if (nEquals != std::string::npos)
            {
                strError = "选项 --" + strName + " 不带值";
                return FALSE;
            }
            m_values[strName].emplace_back();
            continue;
        }
        if (nEquals != std::string::npos)
            m_values[strName].push_back(strArg.substr(nEquals + 1));
        else if (i + 1 < args.size())
            m_values[strName].push_back(args[++i]);
        else
        {
            strError = "选项 --" + strName + " 缺少值";
            return FALSE;
        }
    }
    return TRUE;
}

std::optional<std::string> CCliArgs::Value(const std::string& strName) const
{
    const auto it = m_values.find(strName);
    if (it == m_values.end())
        return std::nullopt;
    return it->second.front();
}

std::vector<std::string> CCliArgs::Values(const std::string& strName) const
{
    const auto it = m_values.find(strName);
    return it == m_values.end() ? std::vector<std::string>() : it->second;
}
