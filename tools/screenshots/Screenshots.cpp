// Takes the manual's pictures of the real dialogs: the login, the school code lookup, the main
// window with a dozen records (by code and by name), the results of checking every record, the
// record editor after the example fill, the batch change of ten records and the search by major and name. Run it on a
// display with a Chinese font, e.g.
//   xvfb-run -a build-shots/varnholt-screenshots docs/manual
// Everything it writes besides the pictures (data file, profile) goes to temporary directories.
#include "print/PrintJob.h"
#include "print/SheetPages.h"

#include <cstdio>
#include <string>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QImage>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "platform/ProgramDir.h"
#include "ui/BatchEditDialog.h"
#include "ui/DatePicker.h"
#include "ui/EditDialog.h"
#include "ui/LoginDialog.h"
#include "ui/MainDialog.h"
#include "ui/PrintOptionsDialog.h"
#include "ui/SchoolCodeDialog.h"
#include "ui/SearchByName.h"
#include "ui/StatsWindow.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

using namespace Qt::StringLiterals;

namespace
{
const std::string kCode = "10027";
const std::string kPassword = "20060701";

struct Student
{
    const char* lpcszName;
    const char* lpcszMail;
    const char* lpcszSex;
    const char* lpcszBirth;
    const char* lpcszMajor;
    const char* lpcszOrigin; // province of origin
    const char* lpcszRegion; // desired work region
};

const Student kStudents[] = {
    {"王小红", "wangxh", "2", "1984-03-12", "05010100", "110000", "110000"},
    {"李建国", "lijg", "1", "1983-11-02", "07010100", "130000", "130100"},
    {"张伟", "zhangwei", "1", "1984-07-21", "08060500", "370000", "370200"},
    {"刘洋", "liuyang", "1", "1984-01-30", "07020100", "410000", "410100"},
    {"陈静", "chenjing", "2", "1985-05-08", "05020100", "320000", "320500"},
    {"杨帆", "yangfan", "1", "1984-09-17", "06010100", "510000", "510100"},
    {"赵磊", "zhaolei", "1", "1983-12-25", "04020100", "210000", "210200"},
    {"黄丽娟", "huanglj", "2", "1984-06-03", "05040100", "440000", "440100"},
    {"周杰", "zhoujie", "1", "1985-02-14", "07030100", "330000", "330100"},
    {"吴敏", "wumin", "2", "1984-10-09", "07150100", "420000", "420100"},
    {"徐鹏", "xupeng", "1", "1984-04-27", "07010100", "340000", "340100"},
    {"孙婷婷", "sunting", "2", "1985-08-19", "04010100", "120000", "120000"},
};

// A code of the field's table for the row, past its "no preference" first entry.
std::string PickCode(int nField, int nRow)
{
    const CODETABLE& table = *g_studentFields[nField].pTable;
    return table.pItems[1 + (nRow * 3 + nField) % (table.nCount - 1)].code;
}

std::string Gbk(const QString& text)
{
    return ToGbk(text).value();
}

void FillStudents(CMemTable& students)
{
    CreateStudentTable(students);
    int nRow = 0;
    for (const Student& student : kStudents)
    {
        const QString number = u"2006%1"_s.arg(10001 + nRow, 6, 10, QLatin1Char('0'));
        const std::string values[STUDENT_FIELD_COUNT] = {number.toStdString(),
                                                         kCode,
                                                         student.lpcszMajor,
                                                         Gbk(QString::fromUtf8(student.lpcszName)),
                                                         student.lpcszSex,
                                                         student.lpcszBirth,
                                                         "01",
                                                         nRow % 5 == 4 ? "ja" : "en",
                                                         "2006-07-01",
                                                         student.lpcszOrigin,
                                                         PickCode(Field::WYSPDM, nRow),
                                                         student.lpcszMail + std::string("@example.com"),
                                                         PickCode(Field::ZZMMDM, nRow),
                                                         student.lpcszRegion,
                                                         PickCode(Field::YXDWXZDM, nRow),
                                                         PickCode(Field::YXDWHYDM, nRow),
                                                         g_szSalaryBands[1 + nRow % 3],
                                                         PickCode(Field::YXZYLBM, nRow),
                                                         nRow % 3 == 0 ? "010-5880" + std::to_string(1200 + nRow) : "",
                                                         "1381001" + std::to_string(4300 + nRow * 17),
                                                         Gbk(u"北京市海淀区新街口外大街19号%1号楼"_s.arg(nRow % 4 + 1)),
                                                         "100875",
                                                         "",
                                                         nRow % 4 == 1 ? "02" : "00"};
        students.AddRows(1);
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            students.SetCell(nRow, nCol, values[nCol]);
        ++nRow;
    }
}

// The main window of the logged-in school, without the login dialog.
class LoggedInMainDialog : public CMainDialog
{
  public:
    using CMainDialog::m_lstStudents;
    // Works on the school until the window ends, then gives it back.
    explicit LoggedInMainDialog(COpenSchool& school) : m_given(school) { UseSchool(std::move(school)); }
    ~LoggedInMainDialog() override { m_given = std::move(m_school); }
    CMemTable& Students() { return m_school.Students(); }

  protected:
    int RunLogin() override
    {
        m_dlgLogin.m_strCode = kCode;
        m_dlgLogin.m_strPassword = kPassword;
        return IDOK;
    }

  private:
    COpenSchool& m_given;
};

// Lets the window show and paint, then saves its picture.
bool Save(QWidget* pWindow, const QDir& dir, const QString& name)
{
    pWindow->show();
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
    const QString path = dir.filePath(name);
    const bool bSaved = pWindow->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", bSaved ? "wrote" : "could not write", qPrintable(path));
    return bSaved;
}

template <typename T> T* Child(QWidget* pDialog, int nId)
{
    return pDialog->findChild<T*>(u"id%1"_s.arg(nId));
}

void Choose(QWidget* pDialog, int nId, const QString& text)
{
    auto* pCombo = Child<QComboBox>(pDialog, nId);
    const int nIndex = pCombo->findText(text);
    pCombo->setCurrentIndex(nIndex);
    emit pCombo->activated(nIndex);
}
} // namespace

int main(int argc, char* argv[])
{
    // The window placement and the profile must not reach the real configuration; dates are shown
    // as on a Chinese desktop.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QApplication app(argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QApplication::setFont(QFont(u"Noto Sans CJK SC"_s, 9));
    QTranslator translator;
    if (translator.load(u"qtbase_zh_CN"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    QTemporaryDir program;
    SetProgramDirectory(program.path().toStdString());
    std::string strMessage;
    if (!LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage))
        return 1;
    COpenSchool school(kCode, kPassword);
    FillStudents(school.Students());
    school.Save();

    bool bAll = true;
    {
        CLoginDialog login;
        Child<QLineEdit>(&login, 1001)->setText(QString::fromStdString(kCode));
        Child<QLineEdit>(&login, 1002)->setText(QString::fromStdString(kPassword));
        bAll &= Save(&login, out, u"login.png"_s);
    }
    {
        CSchoolCodeDialog lookup;
        Child<QLineEdit>(&lookup, 1016)->setText(u"师范"_s);
        auto* pSchools = Child<QTableView>(&lookup, 1015);
        pSchools->selectRow(0);
        bAll &= Save(&lookup, out, u"lookup.png"_s);
    }
    {
        LoggedInMainDialog main(school);
        main.show();
        main.showNormal();
        main.resize(1200, 700);
        main.OnShowList();
        main.m_lstStudents->selectRow(2);
        bAll &= Save(&main, out, u"main.png"_s);
        main.findChild<QAction*>(u"id32790"_s)->trigger(); // 显示代码名称
        bAll &= Save(&main, out, u"main-names.png"_s);
        main.findChild<QAction*>(u"id32790"_s)->trigger();

        // Two records as an import from another program might bring them.
        main.Students().SetCell(3, Field::YZBM, "10087");
        main.Students().SetCell(7, Field::XBDM, "9");
        main.Students().SetCell(7, Field::ZXWYYZDM, "xx");
        main.FillList();
        main.OnCheckAllRecords(); // docked below the list
        bAll &= Save(&main, out, u"check.png"_s);
    }
    {
        CEditDialog editor(kCode);
        editor.show();
        Child<QPushButton>(&editor, 9)->click();
        bAll &= Save(&editor, out, u"editor.png"_s);
    }
    {
        CBatchEditDialog batch(school.Students(), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        batch.SelectField(Field::BYSJ);
        batch.findChild<CDatePicker*>(u"batchValue"_s)->setDate(QDate(2007, 6, 30));
        bAll &= Save(&batch, out, u"batch.png"_s);
    }
    {
        CSearchByName search(school);
        search.show();
        search.showNormal();
        search.resize(1000, 320);
        Choose(&search, 1028, u"数学类"_s);
        Child<QComboBox>(&search, 1002)->setCurrentText(u"数学与应用数学"_s);
        Child<QLineEdit>(&search, 1031)->setText(u"李建国"_s);
        Child<QPushButton>(&search, 1)->click();
        bAll &= Save(&search, out, u"search.png"_s);
    }
    {
        CStatsWindow stats(nullptr, school.Students(), {}, kCode);
        stats.findChild<QComboBox*>(u"byFirst"_s)->setCurrentIndex(1);  // 学历
        stats.findChild<QComboBox*>(u"bySecond"_s)->setCurrentIndex(1); // 性别
        stats.resize(1100, 460);
        bAll &= Save(&stats, out, u"stats.png"_s);
    }
    {
        CPrintOptionsDialog options(nullptr, u"打印"_s, school.Students().GetRowCount(), 3);
        options.findChild<QRadioButton*>(u"sheets"_s)->setChecked(true);
        bAll &= Save(&options, out, u"print.png"_s);
    }
    {
        // The first verification sheet as it comes out of the printer, at 100 dots per inch.
        QImage page(827, 1169, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        PrintJob job = PrintJobForSchool(kCode);
        job.kind = PrintJob::Sheets;
        job.pStudents = &school.Students();
        PaintVerificationSheet(painter, QRectF(40, 40, 747, 1089), job, 0);
        painter.end();
        bAll &= page.save(out.filePath(u"sheet.png"_s), "PNG");
    }
    return bAll ? 0 : 1;
}
