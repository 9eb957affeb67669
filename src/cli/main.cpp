#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"

namespace
{
const std::vector<const CliCommand*>& Commands()
{
    static const std::vector<const CliCommand*> commands = {
        &ListCommand(),    &ExportCommand(),  &ImportCommand(),  &CheckCommand(), &PasswdCommand(),
        &SchoolsCommand(), &BackupsCommand(), &RestoreCommand(), &StatsCommand(), &SetCommand(),
#ifdef VARNHOLT_CLI_PRINT
        &PrintCommand(),
#endif
    };
    return commands;
}

void PrintOverview(std::ostream& out)
{
    out << "用法：varnholt-cli <命令> [选项]\n\n命令：\n";
    for (const CliCommand* pCommand : Commands())
        out << "  " << pCommand->lpcszName << "\t" << pCommand->lpcszSummary << '\n';
    out << "\n每个命令的用法：varnholt-cli <命令> --help\n";
}

void PrintUsage(const CliCommand& command)
{
    std::cout << command.lpcszUsage << "\n通用选项：\n"
              << "  --dir DIR          数据文件所在目录（默认：程序所在目录）\n";
    if (command.bOpensSchool)
        std::cout << "  --school CODE      院校代码\n"
                     "  --password P       密码（也可用环境变量 VARNHOLT_PASSWORD）\n"
                     "  --password-stdin   从标准输入的第一行读取密码\n"
                  << kAcceptChangedUsage;
    std::cout << "  --help             显示本说明\n";
}

std::vector<CliOption> OptionsOf(const CliCommand& command)
{
    std::vector<CliOption> options = {{"dir", true}, {"help", false}};
    if (command.bOpensSchool)
        options.insert(options.end(),
                       {{"school", true}, {"password", true}, {"password-stdin", false}, kAcceptChangedOption});
    options.insert(options.end(), command.options.begin(), command.options.end());
    return options;
}

int RunCommand(const CliCommand& command, const std::vector<std::string>& args)
{
    CCliArgs parsed;
    std::string strError;
    if (!parsed.Parse(args, OptionsOf(command), strError))
        return UsageError(strError + "（用法：varnholt-cli " + command.lpcszName + " --help）");
    if (parsed.Has("help"))
    {
        PrintUsage(command);
        return CLI_OK;
    }
    if (static_cast<int>(parsed.Operands().size()) > command.nMaxOperands)
        return UsageError("多余的参数 " + parsed.Operands().back() + "（用法：varnholt-cli " + command.lpcszName +
                          " --help）");
    const int nPrepared = PrepareDataDirectory(parsed);
    return nPrepared != CLI_OK ? nPrepared : command.pfnRun(parsed);
}
} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
    {
        PrintOverview(std::cerr);
        return CLI_USAGE;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help")
    {
        PrintOverview(std::cout);
        return CLI_OK;
    }
    for (const CliCommand* pCommand : Commands())
    {
        if (args[0] == pCommand->lpcszName)
            return RunCommand(*pCommand, std::vector<std::string>(args.begin() + 1, args.end()));
    }
    return UsageError("未知的命令 " + args[0] + "（用法：varnholt-cli --help）");
}
