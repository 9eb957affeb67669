#include "ui/EditDialog.h"

#include "EditorScript.h"
#include "UiTestSupport.h"

#include <QDateEdit>
#include <QLabel>
#include <QTest>

#include "core/DataFunc.h"
#include "ui/EditDialogInput.h"
#include "ui/Support/GbkText.h"

using namespace Qt::StringLiterals;

namespace
{
const std::string kSchoolCode = "10001"; // the logged-in school

QComboBox* List(QWidget* pDialog, int nId)
{
    return FindById<QComboBox>(pDialog, nId);
}

QLineEdit* EditBox(QWidget* pDialog, int nId)
{
    return FindById<QLineEdit>(pDialog, nId);
}

QStringList Entries(QComboBox* pCombo)
{
    QStringList entries;
    for (int i = 0; i < pCombo->count(); ++i)
        entries.append(pCombo->itemText(i));
    return entries;
}

// A record that passes every check, as display values in modify mode.
void SetValidValues(CEditDialog& dlg)
{
    const char* const values[STUDENT_FIELD_COUNT] = {
        "2006001",    "10001",  "数学与应用数学", "张明",   "男",        "1984-07-07", "本科生毕业", "英语",
        "2006-06-30", "北京市", "四级",           "a@b.cn", "群众",      "海口市",     "党政机关",   "教育",
        "1000-2000 ", "教师",   "01012345678",    "",       "某某路1号", "100000",     "",           "--无--"};
    for (int i = 0; i < STUDENT_FIELD_COUNT; ++i)
        dlg.m_strFields[i] = Gbk(values[i]);
    dlg.m_strYXGZSF = Gbk("海南省");
    dlg.m_strZYDLDM = Gbk("数学类");
    dlg.m_timeCSNY = ParseDateText("1984-07-07");
    dlg.m_timeBYSJ = ParseDateText("2006-06-30");
    dlg.m_bAddMode = FALSE;
}
} // namespace

class TestEditDialog : public QObject
{
    Q_OBJECT
  private slots:
    void opensInAddModeWithItsDefaults();
    void keepsTheTemplateTabOrder();
    void exampleFillLeadsToTheRegionCheck();
    void provinceAndCategoryRefillTheirLists();
    void limitsTypingToBytesAndDigits();
    void reportsTheFirstOverlongEditInModifyMode();
    void refusesACharacterGbkCannotHold();
    void showsStoredValuesMissingFromTheLists();
    void asksForValuesTheRecordLacks();
    void acceptsAValidRecordWithDateTexts();
    void cancelTakesNothingOver();
};

void TestEditDialog::opensInAddModeWithItsDefaults()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    dlg.show();
    QCOMPARE(dlg.windowTitle(), u"添加学生记录");
    QCOMPARE(FindById<QPushButton>(&dlg, 1)->text(), u"添加记录");
    QCOMPARE(FindById<QPushButton>(&dlg, 2)->text(), u"退出添加");
    QCOMPARE(FindById<QPushButton>(&dlg, 9)->text(), u"填写举例");
    QCOMPARE(EditBox(&dlg, 1001)->text(), u"10001");
    QVERIFY(EditBox(&dlg, 1001)->isReadOnly());
    QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("id1004Label"))->text(), u"姓别");
    QCOMPARE(List(&dlg, 1004)->accessibleName(), u"姓别");

    QCOMPARE(List(&dlg, 1011)->currentIndex(), -1);
    QCOMPARE(List(&dlg, 1011)->count(), 31);
    const struct
    {
        int nId;
        const char16_t* text;
    } defaults[] = {{1004, u"男"},       {1028, u"哲学类"},     {1002, u"哲学类"},   {1008, u"英语"},
                    {1012, u"精通"},     {1007, u"本科生毕业"}, {1015, u"群众"},     {1027, u"--不限--"},
                    {1016, u"--不限--"}, {1017, u"--不限--"},   {1018, u"--不限--"}, {1025, u"--不限--"},
                    {1019, u"1000以下"}, {1026, u"--无--"}};
    for (const auto& expected : defaults)
    {
        QVERIFY2(!List(&dlg, expected.nId)->isEditable(), qPrintable(QString::number(expected.nId)));
        QCOMPARE(List(&dlg, expected.nId)->currentText(), QString::fromUtf16(expected.text));
    }
    QCOMPARE(Entries(List(&dlg, 1019)), QStringList({u"1000以下"_s, u"1000-2000 "_s, u"2000-3000 "_s, u"3000以上"_s}));
    QCOMPARE(FindById<QDateEdit>(&dlg, 1005)->date(), QDate(1984, 1, 1));
    QCOMPARE(FindById<QDateEdit>(&dlg, 1010)->date(), QDate(2006, 6, 30));
    QVERIFY(FindById<QDateEdit>(&dlg, 1005)->calendarPopup());

    // Accepting the empty record reports the first check.
    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().caption, u"帮助信息");
    QCOMPARE(messages.last().text, u"学号就是学生在学校的编号，这是必填内容。");
    QVERIFY(dlg.isVisible());
}

void TestEditDialog::keepsTheTemplateTabOrder()
{
    CEditDialog dlg(kSchoolCode);
    dlg.show();
    const QList<int> expected = {1000, 1001, 1011, 1003, 1004, 1005, 1028, 1002, 1008, 1012,
                                 1010, 1007, 1015, 1027, 1016, 1017, 1018, 1019, 1025, 1021,
                                 1020, 1013, 1022, 1023, 1024, 1026, 1,    2,    9};
    QList<int> order;
    QWidget* pWidget = FindById(&dlg, 1000);
    do
    {
        const QString name = pWidget->objectName();
        if (name.startsWith(u"id") && !name.endsWith(u"Label") && pWidget->focusPolicy() & Qt::TabFocus)
            order.append(name.mid(2).toInt());
        pWidget = pWidget->nextInFocusChain();
    } while (pWidget != FindById(&dlg, 1000));
    QCOMPARE(order, expected);
}

void TestEditDialog::exampleFillLeadsToTheRegionCheck()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    dlg.show();
    EditorScript::Click(&dlg, 9);
    QCOMPARE(EditBox(&dlg, 1000)->text(), u"123456789012345");
    QCOMPARE(EditBox(&dlg, 1003)->text().size(), 2);
    QCOMPARE(FindById<QDateEdit>(&dlg, 1005)->date(), QDate(1984, 7, 7));
    QCOMPARE(EditBox(&dlg, 1021)->text(), u"135**246801");
    QCOMPARE(EditBox(&dlg, 1022)->text(), u"某某市某某区某某路##号院#号楼###室");
    const struct
    {
        int nId;
        const char16_t* text;
    } chosen[] = {{1011, u"天津市"},
                  {1004, u"女"},
                  {1007, u"博士生毕业"},
                  {1018, u"农、林、牧、渔业"},
                  {1017, u"党政机关"},
                  {1027, u"北京市"},
                  {1028, u"经济学类"},
                  {1019, u"1000-2000 "},
                  {1025, u"销售．业务拓展．市场策划"},
                  {1008, u"日语"},
                  {1015, u"中国共产党员"},
                  {1012, u"四级"},
                  {1002, u"哲学"}, // the major list was not refilled for the new category
                  {1026, u"县级及县以下党政机关、事业单位和社会团体组织"}};
    for (const auto& expected : chosen)
        QCOMPARE(List(&dlg, expected.nId)->currentText(), QString::fromUtf16(expected.text));
    QCOMPARE(Entries(List(&dlg, 1016)), QStringList(u"北京市"_s));
    QCOMPARE(List(&dlg, 1016)->currentIndex(), -1);

    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"意向工作地址请选择一项。");
    QCOMPARE(messages.last().caption, u"帮助信息");
    QVERIFY(dlg.isVisible());
}

void TestEditDialog::provinceAndCategoryRefillTheirLists()
{
    CEditDialog dlg(kSchoolCode);
    dlg.show();
    EditorScript::Choose(&dlg, 1027, u"海南省"_s);
    QCOMPARE(Entries(List(&dlg, 1016)), QStringList({u"海口市"_s, u"三亚市"_s, u"省直辖县级行政单位"_s}));
    QCOMPARE(List(&dlg, 1016)->currentText(), u"海口市");
    EditorScript::Choose(&dlg, 1027, u"--不限--"_s);
    QCOMPARE(Entries(List(&dlg, 1016)), QStringList(u"--不限--"_s));

    EditorScript::Choose(&dlg, 1028, u"数学类"_s);
    const QStringList majors = Entries(List(&dlg, 1002));
    QCOMPARE(majors.size(), 7);
    QCOMPARE(majors.first(), u"数学类");
    QCOMPARE(majors.at(1), u"数学与应用数学");
    QCOMPARE(List(&dlg, 1002)->currentIndex(), 0);
}

void TestEditDialog::limitsTypingToBytesAndDigits()
{
    CEditDialog dlg(kSchoolCode);
    dlg.show();
    for (int i = 0; i < 16; ++i) // 32 bytes offered, 30 allowed
        QTest::sendKeyEvent(QTest::Click, EditBox(&dlg, 1003), Qt::Key_unknown, u"张"_s, Qt::NoModifier);
    QCOMPARE(EditBox(&dlg, 1003)->text(), QString(15, QChar(u'张')));
    QTest::keyClicks(EditBox(&dlg, 1000), u"12a3-4"_s);
    QCOMPARE(EditBox(&dlg, 1000)->text(), u"1234");
    QTest::keyClicks(EditBox(&dlg, 1023), u"1234567"_s);
    QCOMPARE(EditBox(&dlg, 1023)->text(), u"123456");
}

void TestEditDialog::reportsTheFirstOverlongEditInModifyMode()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    SetValidValues(dlg);
    const std::string strLongName = Gbk("张三李四王五赵六钱七孙八周九吴") + "X"; // 31 bytes
    dlg.m_strFields[Field::XM] = strLongName;
    dlg.m_strFields[Field::BZ] = std::string(51, 'x');
    dlg.show();
    QCOMPARE(EditBox(&dlg, 1003)->text(), FromGbk(strLongName)); // shown in full
    QCOMPARE(dlg.windowTitle(), u"修改学生记录");
    QCOMPARE(FindById<QPushButton>(&dlg, 1)->text(), u"确认修改");
    QCOMPARE(FindById<QPushButton>(&dlg, 2)->text(), u"退出");

    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"“请填入不多于30个的字符。”");
    QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
    QCOMPARE(dlg.focusWidget(), EditBox(&dlg, 1003));
    QVERIFY(dlg.isVisible());

    // The over-long text can still be shortened by typing.
    QTest::keyClick(EditBox(&dlg, 1003), Qt::Key_End);
    QTest::keyClick(EditBox(&dlg, 1003), Qt::Key_Backspace);
    QCOMPARE(GbkByteCount(EditBox(&dlg, 1003)->text()), 30);
    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.last().text, u"“请填入不多于50个的字符。”");
    QCOMPARE(dlg.focusWidget(), EditBox(&dlg, 1024));
}

void TestEditDialog::refusesACharacterGbkCannotHold()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    SetValidValues(dlg);
    dlg.show();
    EditBox(&dlg, 1003)->setText(u"张明\U0001F600"_s);
    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.contains(u"“姓名”"), qPrintable(messages.last().text));
    QCOMPARE(messages.last().caption, u"提示");
    QCOMPARE(dlg.focusWidget(), EditBox(&dlg, 1003));
    QVERIFY(dlg.isVisible());
}

void TestEditDialog::showsStoredValuesMissingFromTheLists()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    SetValidValues(dlg);
    // Codes no table holds (shown as they are) and a discipline-level major (shown by its name).
    dlg.m_strFields[Field::XBDM] = "9";
    dlg.m_strFields[Field::YXGZDQDM] = "469001";
    dlg.m_strFields[Field::YXYX] = "1000-2000";
    dlg.m_strFields[Field::ZYDM] = Gbk("经济学");
    dlg.m_strZYDLDM = "02000000";
    dlg.show();
    QCOMPARE(List(&dlg, 1004)->currentText(), u"9");
    QCOMPARE(List(&dlg, 1027)->currentText(), u"海南省");
    QCOMPARE(Entries(List(&dlg, 1016)), QStringList({u"海口市"_s, u"三亚市"_s, u"省直辖县级行政单位"_s, u"469001"_s}));
    QCOMPARE(List(&dlg, 1016)->currentText(), u"469001");
    QCOMPARE(List(&dlg, 1019)->currentText(), u"1000-2000");
    QCOMPARE(List(&dlg, 1028)->currentText(), u"哲学类");
    QCOMPARE(List(&dlg, 1002)->currentText(), u"经济学");

    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_strFields[Field::XBDM], "9");
    QCOMPARE(dlg.m_strFields[Field::YXGZDQDM], "469001");
    QCOMPARE(dlg.m_strFields[Field::ZYDM], Gbk("经济学"));
    for (int nField : {Field::XBDM, Field::YXGZDQDM, Field::YXYX, Field::ZYDM, Field::XLDM})
        QVERIFY2(dlg.IsFieldKept(nField), g_studentFields[nField].lpcszName);
}

void TestEditDialog::asksForValuesTheRecordLacks()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    SetValidValues(dlg);
    dlg.m_strFields[Field::SYSZDQDM] = Gbk("--不限--");
    dlg.m_strFields[Field::XBDM].clear();
    dlg.show();
    QCOMPARE(List(&dlg, 1011)->currentIndex(), -1);
    QCOMPARE(List(&dlg, 1004)->currentIndex(), -1);
    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.last().text, u"性别要求必须填写正确。");
    EditorScript::Choose(&dlg, 1004, u"女"_s);
    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.last().text, u"生源所在地址必须选择一项。");
    QVERIFY(!dlg.IsFieldKept(Field::XBDM));
}

void TestEditDialog::acceptsAValidRecordWithDateTexts()
{
    MessageRecorder messages;
    CEditDialog dlg(kSchoolCode);
    dlg.show();
    EditorScript::Click(&dlg, 9);
    EditorScript::Choose(&dlg, 1027, u"海南省"_s);
    FindById<QDateEdit>(&dlg, 1010)->setDate(QDate(2007, 7, 1));
    EditorScript::Click(&dlg, 1);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_strFields[Field::CSNY], "1984-07-07");
    QCOMPARE(dlg.m_strFields[Field::BYSJ], "2007-07-01");
    QCOMPARE(dlg.m_strFields[Field::YXGZDQDM], Gbk("海口市"));
    QCOMPARE(dlg.m_strFields[Field::YXYX], "1000-2000 ");
    QCOMPARE(dlg.m_strFields[Field::YXDM], "10001");
    QCOMPARE(dlg.m_timeBYSJ, ParseDateText("2007-07-01"));
}

void TestEditDialog::cancelTakesNothingOver()
{
    CEditDialog dlg(kSchoolCode);
    SetValidValues(dlg);
    dlg.show();
    EditBox(&dlg, 1003)->setText(u"李四"_s);
    FindById<QDateEdit>(&dlg, 1005)->setDate(QDate(1990, 1, 1));
    EditorScript::Click(&dlg, 2);
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(dlg.m_strFields[Field::XM], Gbk("张明"));
    QCOMPARE(dlg.m_timeCSNY, ParseDateText("1984-07-07"));
}

QTEST_MAIN(TestEditDialog)
#include "EditDialogTest.moc"
