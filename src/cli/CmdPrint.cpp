// print: the student list or the verification sheets as a PDF file. The pages are laid out by
// varnholt-print, which alone links Qt; the tool hands the command line over to it.
#include "cli/CliCommand.h"

const CliCommand& PrintCommand()
{
    static const CliCommand command = {
        "print",
        "把学生名单或学生信息核对表写成 PDF 文件",
        "用法：varnholt-cli print --school CODE --list|--sheets [--numbers FILE] --out FILE.pdf\n"
        "写与程序“打印...”相同的页面，不需要显示器。记录按表中顺序。\n"
        "  --list           学生名单：A4 横向，每页有院校代码和名称、打印日期、列标题和“第N页/共M页”；\n"
        "                   放不下的列接在后面的页上（每页先重复学号）\n"
        "  --sheets         学生信息核对表：每个学生一页，24 项资料和签字栏\n"
        "  --numbers FILE   只打印文件中列出的学号（每行一个）；有不存在的学号时不生成文件（退出码 1）\n"
        "  --names          名单中的代码字段显示名称（默认显示代码，如程序的列表）\n"
        "  --two-per-page   核对表每页两份（A4 横向，左右各一份）\n"
        "  --out FILE.pdf   要写的 PDF 文件（已有的文件被替换）\n",
        true,
        0,
        {{"list", false},
         {"sheets", false},
         {"numbers", true},
         {"names", false},
         {"two-per-page", false},
         {"out", true}},
        RunPrint};
    return command;
}
