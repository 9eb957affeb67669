// import: checks the records of a CSV file or workbook and stores them, as the desktop import does.
#include <algorithm>
#include <iostream>
#include <utility>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/DataFunc.h"
#include "core/ImportRecords.h"
#include "core/ImportReport.h"
#include "core/ImportTable.h"
#include "core/SchoolPaths.h"
#include "core/TwoHalves.h"
#include "exchange/StudentsFile.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// What the command line asks of the import.
struct ImportOptions
{
    ImportCheck check = ImportCheck::WithStored;
    ImportScope scope = ImportScope::All;
    StoredChoice stored = StoredChoice::Append;
};

// The file's column of each field: from --map FILE, or the header when it names every field.
// CLI_OK, or the exit code after telling why not.
int MappingOf(const CCliArgs& args, const CImportTable& table, ColumnMapping& mapping)
{
    const std::optional<std::string> strMapPath = args.Value("map");
    if (!strMapPath)
    {
        if (NamesEveryField(HeaderTitles(table)))
        {
            mapping = ProposeMapping(table);
            return CLI_OK;
        }
        if (!table.Note().empty())
            std::cout << TerminalText(table.Note()) << '\n';
        std::cout << "文件的标题行没有写全24个字段名。请用 --map FILE 指定每个字段取哪一列，"
                     "例如（按文件的标题猜的，请核对）：\n"
                  << TerminalText(MappingText(ProposeMapping(table), table));
        return CLI_INVALID;
    }
    std::string strBytes, strError;
    if (const DWORD dwCode = ReadRegularFile(*strMapPath, strBytes); dwCode != ERROR_SUCCESS)
        return FileError("不能读取对照文件“" + *strMapPath + "”", dwCode);
    // Written in a terminal's editor, the file is UTF-8; an older one may be GBK.
    const std::string strText =
        Encoding::IsValidUtf8(strBytes) ? Encoding::Utf8ToGbk(strBytes).value_or(strBytes) : strBytes;
    mapping = ProposeMapping(table);
    if (!ParseMappingText(strText, table, mapping, strError))
    {
        std::cout << TerminalText(strError) << '\n';
        return CLI_INVALID;
    }
    std::cout << "字段对照：\n" << TerminalText(MappingText(mapping, table));
    return CLI_OK;
}

// CLI_OK, or CLI_USAGE after telling which options do not go together.
int OptionsOf(const CCliArgs& args, ImportOptions& options)
{
    if (args.Has("update") && args.Has("skip-existing"))
        return UsageError("--update 和 --skip-existing 只能选一个");
    if (args.Has("no-check") && args.Has("only-valid"))
        return UsageError("--no-check 和 --only-valid 只能选一个");
    if (args.Has("update") || args.Has("skip-existing"))
    {
        options.stored = args.Has("update") ? StoredChoice::Update : StoredChoice::Skip;
        options.check = ImportCheck::Records;
    }
    if (args.Has("no-check"))
        options.check = ImportCheck::None;
    if (args.Has("only-valid"))
        options.scope = ImportScope::PassingOnly;
    return CLI_OK;
}

// Makes room in a school that has records for the rows the import file likely adds (its size over
// the data file's bytes per record), while the file is still being read: appending them then
// neither copies the school's cells nor waits for fresh pages. Only a hint: nothing depends on it.
void MakeRoomForFile(COpenSchool& school, const std::string& strPath)
{
    CMemTable& students = school.Students();
    FileIdentity file, data;
    if (students.GetRowCount() == 0 || GetFileIdentity(strPath, file) != ERROR_SUCCESS || !file.bExists ||
        GetFileIdentity(GetSchoolDatabasePath(school.Code()), data) != ERROR_SUCCESS || data.size <= 0)
        return;
    const auto nBytesPerRecord = std::max<std::size_t>(static_cast<std::size_t>(data.size) / students.GetRowCount(), 1);
    students.ReserveRows(static_cast<std::size_t>(file.size) / nBytesPerRecord + 1, 0);
}

int RunImport(const CCliArgs& args)
{
    const std::optional<std::string> strPath = args.Value("in");
    if (!strPath || strPath->empty())
        return UsageError("缺少 --in FILE");
    const std::optional<std::string> strEncoding = args.Value("encoding");
    if (strEncoding && *strEncoding != "gbk" && *strEncoding != "utf-8")
        return UsageError("--encoding 只能是 gbk 或 utf-8");
    ImportOptions options;
    if (const int nExit = OptionsOf(args, options); nExit != CLI_OK)
        return nExit;
    // The file is read while the school is opened: neither needs the other. What the read found is
    // looked at only once the school is open, so that a school that does not open is told first.
    COpenSchool school;
    int nOpened = CLI_OK;
    CImportTable table;
    ExchangeOutcome outcome;
    const TextEncoding encoding = strEncoding == "utf-8" ? TextEncoding::Utf8 : TextEncoding::Gbk;
    SideBySide(
        true,
        [&] {
            if ((nOpened = OpenSchoolOfArgs(args, school, true)) == CLI_OK)
                MakeRoomForFile(school, *strPath);
        },
        [&] {
            outcome = ReadStudentsFile(*strPath, table,
                                       {[encoding](std::string_view) { return std::optional(encoding); }, {}});
        });
    if (nOpened != CLI_OK)
        return nOpened;
    if (outcome.fault == ExchangeFault::File)
        return FileError("不能读取文件“" + *strPath + "”", outcome.dwCode);
    if (!outcome)
    {
        std::cout << "文件格式不对：" << TerminalText(outcome.strError) << '\n';
        return CLI_INVALID;
    }
    ColumnMapping mapping;
    if (const int nExit = MappingOf(args, table, mapping); nExit != CLI_OK)
        return nExit;
    ImportedRecords records;
    std::string strError;
    if (!MakeImportRecords(table, mapping, records, strError))
    {
        std::cout << "文件格式不对：" << TerminalText(strError);
        return CLI_INVALID;
    }

    const CImportPreview preview(records, school.Students(), mapping, options.check);
    for (const CImportPreview::Failing& failing : preview.FailingRecords())
        std::cout << TerminalText(FailingRecordLine(table, records, failing)) << '\n';
    const auto nFailing = preview.FailingRecords().size();
    if (nFailing != 0 && options.scope == ImportScope::All)
    {
        std::cout << "导入文件中有" << nFailing << "条记录未通过检查，没有导入任何记录。\n";
        return CLI_INVALID;
    }
    const ImportActions actions = DecideImport(preview, options.scope, options.stored);
    if (args.Has("dry-run"))
    {
        // "可以导入N条记录，更新K条，跳过M条（试运行，没有写入）。"
        const std::string strSummary = TerminalText(ImportSummary(actions));
        std::cout << "可以"
                  << strSummary.substr(std::string_view("已").size(),
                                       strSummary.size() - std::string_view("已。").size())
                  << "（试运行，没有写入）。\n";
        return CLI_OK;
    }
    ApplyImport(actions, std::move(records), mapping, school.Students()); // records are not read from here on
    const SaveResult saved = school.Save();
    if (!saved)
        return FileError("保存数据文件失败，没有导入任何记录", saved.dwError);
    ReportBackupFailure(saved);
    std::cout << TerminalText(ImportSummary(actions)) << "现有" << school.Students().GetRowCount() << "条记录。\n";
    return nFailing == 0 ? CLI_OK : CLI_INVALID;
}
} // namespace

const CliCommand& ImportCommand()
{
    static const CliCommand command = {
        "import",
        "从 CSV 文件或电子表格检查并导入记录（追加或更新）",
        "用法：varnholt-cli import --school CODE --in FILE [--encoding gbk|utf-8] [--map FILE]\n"
        "                         [--no-check | --only-valid] [--update | --skip-existing] [--dry-run]\n"
        "读入文件，按录入窗口新增记录时的规则和代码表检查每条记录，然后追加到院校的记录之后并保存。\n"
        "文件类型由扩展名决定：.xlsx、.ods、.xls 读有记录的工作表，其他文件按 CSV 读。\n"
        "标题行要写全 24 个字段名（如 XSBSH）或列表的中文列名，顺序不限，多出的列不读；\n"
        "否则用 --map 指定每个字段取哪一列。代码字段可以写代码或名称（如“男”“本科生毕业”）。\n"
        "  --in FILE        要导入的文件\n"
        "  --encoding       CSV 文件的编码：gbk（默认）或 utf-8；带 UTF-8 字节顺序标记的文件总按 UTF-8 读\n"
        "  --map FILE       字段对照文件，每行一个“字段名=列标题”（如 XSBSH=学籍号），“字段名=”表示不取\n"
        "                   任何列（取空值）；没写的字段按标题自动对照。命令先列出所用的对照\n"
        "  --no-check       不检查，全部追加（学号已存在的也追加）\n"
        "  --only-valid     只导入通过检查的记录，列出其余的\n"
        "  --update         学号已存在的记录：用文件中有的列更新已存记录\n"
        "  --skip-existing  学号已存在的记录：跳过\n"
        "                   两者都不给时，学号已存在的记录算作未通过检查\n"
        "  --check          检查是默认的；留下这个选项是为了以前的脚本\n"
        "  --dry-run        只读入和检查，不写数据文件\n"
        "  --wait SECONDS   另一个程序正在修改该院校的数据时最多等待的秒数（默认不等待：\n"
        "                   立即退出，退出码 3）\n"
        "每条未通过检查的记录列一行：位置（文件第N行或工作表“名称”第N行）、学号、姓名、第一个\n"
        "不通过的检查和不在代码表中的值。有记录未通过检查时（没有 --only-valid）不导入任何记录。\n"
        "最后一行是“已导入N条记录，更新K条，跳过M条。现有X条记录。”\n"
        "退出码：0 全部导入；1 文件格式不对、标题行不全或有记录未通过检查（--only-valid 时其余记录\n"
        "已导入）；2 命令行有误；3 文件不能读写或密码不对。\n",
        true,
        0,
        {{"in", true},
         {"encoding", true},
         {"map", true},
         {"check", false},
         {"no-check", false},
         {"only-valid", false},
         {"update", false},
         {"skip-existing", false},
         {"dry-run", false},
         kWaitOption},
        RunImport};
    return command;
}
