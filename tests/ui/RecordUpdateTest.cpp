#include "ui/RecordUpdate.h"

#include "EditorScript.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <vector>

#include <QTest>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "platform/ProgramDir.h"

using namespace Qt::StringLiterals;

namespace
{
using Row = std::vector<std::string>;

void SetRows(const std::vector<Row>& rows)
{
    FillRecords(TestStudents(), rows);
}

Row TableRow(int nRow)
{
    Row row;
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        row.push_back(TestStudents().GetCell(nRow, nCol));
    return row;
}

std::string DataFilePath()
{
    return GetSchoolDatabasePath(kTestCode);
}
} // namespace

class TestRecordUpdate : public QObject
{
    Q_OBJECT
  private slots:
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }
    void addStoresCodesAndSaves();
    void addRefusesAStoredNumber();
    void modifyKeepsWhatTheUserDidNotTouch();
    void modifyStoresTheChangedFields();
    void modifyCancelledChangesNothing();
    void failedSaveIsReported();

  private:
    UiSchoolFixture m_school;
};

void TestRecordUpdate::addStoresCodesAndSaves()
{
    SetRows({});
    MessageRecorder messages;
    EditorScript script;
    script.Queue(EditorScript::AddRecord(u"2006001"_s));
    QVERIFY(AddStudentRow(nullptr, TestSchool()));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(TestStudents().GetRowCount(), 1);
    const Row expected = {"2006001",
                          "10001",
                          "01000000",
                          Gbk("张明"),
                          "2",
                          "1984-07-07",
                          "31",
                          "ja",
                          "2006-06-30",
                          "120000",
                          "4",
                          "zhangming@example.com",
                          "02",
                          "460100",
                          "AC",
                          "A",
                          "1000-2000 ",
                          "01A",
                          "01012345678",
                          "135**246801",
                          Gbk("某某市某某区某某路##号院#号楼###室"),
                          "123456",
                          Gbk("这是样例"),
                          "01"};
    QCOMPARE(TableRow(0), expected);

    CMemTable saved;
    QVERIFY(LoadSchoolDatabase(kTestCode, kTestPassword, saved));
    QCOMPARE(saved.GetRowCount(), 1);
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        QCOMPARE(std::string(saved.GetCell(0, nCol)), expected[nCol]);

    // Cancelling the next editor adds nothing.
    QVERIFY(!AddStudentRow(nullptr, TestSchool()));
    QCOMPARE(TestStudents().GetRowCount(), 1);
}

void TestRecordUpdate::addRefusesAStoredNumber()
{
    SetRows({EditorScript::CompleteRecord("2006001")});
    MessageRecorder messages;
    EditorScript script;
    script.Queue(EditorScript::AddRecord(u"2006001"_s));
    QVERIFY(!AddStudentRow(nullptr, TestSchool())); // refused, then cancelled by the script
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"您已经把这个学号加入到数据里了，不能重复加入！");
    QCOMPARE(TestStudents().GetRowCount(), 1);
}

void TestRecordUpdate::modifyKeepsWhatTheUserDidNotTouch()
{
    // Codes no table holds, codes in another letter case, a discipline-level major, a major whose
    // name occurs twice, "no preference" as region, and a school code longer than the edit allows.
    Row outside = EditorScript::CompleteRecord("2006001");
    for (auto [nCol, value] : std::vector<std::pair<int, std::string>>{{Field::ZYDM, "07019900"},
                                                                       {Field::XBDM, "9"},
                                                                       {Field::ZXWYYZDM, "EN"},
                                                                       {Field::SYSZDQDM, "710000"},
                                                                       {Field::ZZMMDM, "99"},
                                                                       {Field::YXGZDQDM, "469001"},
                                                                       {Field::YXDWXZDM, "zz"},
                                                                       {Field::YXDWHYDM, "g61"},
                                                                       {Field::YXYX, "2000-3000"},
                                                                       {Field::YXZYLBM, "10a"},
                                                                       {Field::JICENG, "99"},
                                                                       {Field::XLDM, "00"}})
        outside[nCol] = value;
    Row discipline = EditorScript::CompleteRecord("2006002");
    discipline[Field::ZYDM] = "02000000";
    discipline[Field::YXGZDQDM] = "0";
    Row twinName = EditorScript::CompleteRecord("2006003");
    twinName[Field::ZYDM] = "08061700";
    twinName[Field::YXDM] = "1000123";
    const std::vector<Row> rows = {outside, discipline, twinName};
    SetRows(rows);
    QVERIFY(SaveSchoolDatabase(kTestCode, TestStudents(), kTestPassword));
    const QString path = QString::fromStdString(DataFilePath());
    const std::string before = ReadFileBytes(path);
    QFile::remove(path);

    MessageRecorder messages;
    EditorScript script;
    for (int nRow = 0; nRow < 3; ++nRow)
    {
        script.Queue(EditorScript::PressOk());
        QVERIFY(ModifyStudentRow(nullptr, nRow, TestSchool()));
        QCOMPARE(TableRow(nRow), rows[nRow]);
    }
    QCOMPARE(messages.count(), 0);
    QCOMPARE(script.titles().first(), u"修改学生记录");
    QVERIFY(ReadFileBytes(path) == before);
}

void TestRecordUpdate::modifyStoresTheChangedFields()
{
    Row row = EditorScript::CompleteRecord("2006001");
    row[Field::CSNY] = "1984-7-7";
    SetRows({row});
    MessageRecorder messages;
    EditorScript script;
    script.Queue([](CEditDialog* pEditor) {
        FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s);
        EditorScript::Choose(pEditor, 1027, u"海南省"_s);
        EditorScript::Choose(pEditor, 1016, u"三亚市"_s);
        EditorScript::Choose(pEditor, 1004, u"女"_s);
        EditorScript::Click(pEditor, 1);
    });
    QVERIFY(ModifyStudentRow(nullptr, 0, TestSchool()));
    QCOMPARE(messages.count(), 0);
    row[Field::XM] = Gbk("李四");
    row[Field::YXGZDQDM] = "460200";
    row[Field::XBDM] = "2";
    // The untouched birth date keeps its stored text "1984-7-7".
    QCOMPARE(TableRow(0), row);
    CMemTable saved;
    QVERIFY(LoadSchoolDatabase(kTestCode, kTestPassword, saved));
    QCOMPARE(std::string(saved.GetCell(0, Field::XM)), Gbk("李四"));
}

void TestRecordUpdate::modifyCancelledChangesNothing()
{
    const Row row = EditorScript::CompleteRecord("2006001");
    SetRows({row});
    QFile::remove(QString::fromStdString(DataFilePath()));
    EditorScript script;
    script.Queue([](CEditDialog* pEditor) {
        FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s);
        EditorScript::Click(pEditor, 2);
    });
    QVERIFY(!ModifyStudentRow(nullptr, 0, TestSchool()));
    QCOMPARE(TableRow(0), row);
    QVERIFY(!QFile::exists(QString::fromStdString(DataFilePath())));
}

void TestRecordUpdate::failedSaveIsReported()
{
    SetRows({EditorScript::CompleteRecord("2006001")});
    SetProgramDirectory((m_school.dir().path() + u"/missing"_s).toStdString());
    MessageRecorder messages;
    EditorScript script;
    script.Queue([](CEditDialog* pEditor) {
        FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s);
        EditorScript::Click(pEditor, 1);
    });
    QVERIFY(ModifyStudentRow(nullptr, 0, TestSchool()));
    SetProgramDirectory(m_school.dir().path().toStdString());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().caption, u"错误");
    QCOMPARE(std::string(TestStudents().GetCell(0, Field::XM)), Gbk("李四")); // kept in memory
}

QTEST_MAIN(TestRecordUpdate)
#include "RecordUpdateTest.moc"
