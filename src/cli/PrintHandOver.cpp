// The tool itself links no Qt, so that every other command starts without loading it: print runs
// in varnholt-print, installed beside the tool, with the same command line. The exit code is that
// program's own, since it replaces this process.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "platform/LastError.h"

namespace
{
// The arguments this process was started with, exactly as given (NUL-separated in the kernel's copy).
std::vector<std::string> OwnArguments()
{
    // Its size shows as 0, so it is read as a stream to its end.
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string strBytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<std::string> args;
    for (std::size_t nStart = 0; nStart < strBytes.size();)
    {
        const std::size_t nEnd = strBytes.find('\0', nStart);
        args.emplace_back(strBytes, nStart, nEnd - nStart);
        nStart = nEnd == std::string::npos ? strBytes.size() : nEnd + 1;
    }
    return args;
}
} // namespace

int RunPrint(const CCliArgs&)
{
    // Beside this program's own file, whatever --dir names as the data directory.
    std::error_code ec;
    const std::string strProgram =
        (std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "varnholt-print").string();
    std::vector<std::string> args = OwnArguments();
    if (ec || args.empty())
        return DataError("不能读取本程序的命令行", ERROR_GEN_FAILURE);
    args[0] = strProgram;
    std::vector<char*> argv;
    for (std::string& strArg : args)
        argv.push_back(strArg.data());
    argv.push_back(nullptr);
    std::cout.flush();
    execv(strProgram.c_str(), argv.data());
    return FileError("不能运行“" + strProgram + "”", ErrorFromErrno(errno));
}
