#include "ui/PasswordDialog.h"

#include "StudentFixture.h"
#include "TypeText.h"
#include "UiSchoolFixture.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/DataFunc.h"
#include "platform/FileLock.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"
#include "ui/HyperLink.h"

class TestPasswordDialog : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }
    void startsEmptyWithThreeMaskedEditsThatTakeAnyCharacter();
    void showsEachRefusalInOrderThenChanges();
    void reportsAFailedSave();
    void refusedWhileAnotherProgramWritesTheSchool();
    void reportsAProfileThatCannotBeWritten();
    void refusesACharacterGbkCannotHold();

  private:
    static void Fill(CPasswordDialog& dlg, const QString& code, const QString& oldPassword, const QString& newPassword,
                     const QString& confirm);
    static void PressOK(CPasswordDialog& dlg);
    QString ProfilePath() const { return m_school.dir().configFilePath(QStringLiteral("quillmark.ini")); }

    UiSchoolFixture m_school;
};

void TestPasswordDialog::Fill(CPasswordDialog& dlg, const QString& code, const QString& oldPassword,
                              const QString& newPassword, const QString& confirm)
{
    FindById<QLineEdit>(&dlg, 1001)->setText(code);
    FindById<QLineEdit>(&dlg, 1013)->setText(oldPassword);
    FindById<QLineEdit>(&dlg, 1014)->setText(newPassword);
    FindById<QLineEdit>(&dlg, 1003)->setText(confirm);
}

void TestPasswordDialog::PressOK(CPasswordDialog& dlg)
{
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
}

void TestPasswordDialog::startsEmptyWithThreeMaskedEditsThatTakeAnyCharacter()
{
    CPasswordDialog dlg;
    QCOMPARE(dlg.windowTitle(), u"Varnholt - 修改密码"_qs);
    QCOMPARE(FindById<CHyperLink>(&dlg, 101)->text(), u"点击此处查询院校编码"_qs);
    auto* code = FindById<QLineEdit>(&dlg, 1001);
    TypeText(code, u"10a0b01"_qs);
    QCOMPARE(code->text(), u"10001"_qs);
    QCOMPARE(code->echoMode(), QLineEdit::Normal);
    for (int nId : {1013, 1014, 1003})
    {
        auto* edit = FindById<QLineEdit>(&dlg, nId);
        QVERIFY(edit->text().isEmpty());
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        TypeText(edit, u"aB#9密"_qs);
        QCOMPARE(edit->text(), u"aB#9密"_qs);
    }
}

void TestPasswordDialog::showsEachRefusalInOrderThenChanges()
{
    CMemTable table;
    QVERIFY(CreateStudentTable(table));
    table.AddRows(1);
    table.SetCell(0, Field::XSBSH, "2001");
    QVERIFY(SaveSchoolDatabase("10001", table, "123"));

    MessageRecorder messages;
    CPasswordDialog dlg;
    dlg.show();
    PressOK(dlg);
    Fill(dlg, u"99999"_qs, {}, {}, {});
    PressOK(dlg);
    Fill(dlg, u"10001"_qs, u"124"_qs, u"abc45678X"_qs, u"abc45678x"_qs);
    PressOK(dlg);
    Fill(dlg, u"10001"_qs, u"123"_qs, u"abc45678X"_qs, u"abc45678x"_qs);
    PressOK(dlg);
    QStringList texts;
    for (const MessageBoxCall& call : messages.calls())
    {
        QCOMPARE(call.caption, u"提示"_qs);
        texts << call.text;
    }
    QCOMPARE(texts, (QStringList{u"请输入院校代码，不知院校代码可以查询。"_qs, u"院校代码不正确，请检查。"_qs,
                                 u"密码不正确，请检查。"_qs, u"新旧密码输入不一致，请检查。"_qs}));
    QVERIFY(dlg.isVisible());
    QVERIFY(!QFile::exists(ProfilePath()));

    Fill(dlg, u"10001"_qs, u"123"_qs, u"abc45678X"_qs, u"abc45678X"_qs);
    PressOK(dlg);
    QCOMPARE(messages.count(), 4);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    CMemTable reloaded;
    QVERIFY(LoadSchoolDatabase("10001", "abc45678", reloaded));
    QCOMPARE(reloaded.GetRowCount(), 1);
    QCOMPARE(ReadFileBytes(ProfilePath()), std::string("[security]\r\n10001=abc45678X\r\n"));
}

void TestPasswordDialog::reportsAFailedSave()
{
    // The school loads, but its read-only data file is not replaced.
    CMemTable table;
    QVERIFY(CreateStudentTable(table));
    QVERIFY(SaveSchoolDatabase("10001", table, ""));
    const std::string strPath = GetSchoolDatabasePath("10001");
    QVERIFY(QFile::setPermissions(QString::fromStdString(strPath), QFileDevice::ReadOwner));
    const std::string strBefore = ReadFileBytes(QString::fromStdString(strPath));
    MessageRecorder messages;
    CPasswordDialog dlg;
    dlg.show();
    Fill(dlg, u"10001"_qs, {}, u"1"_qs, u"1"_qs);
    PressOK(dlg);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"修改密码失败。"_qs);
    QVERIFY(dlg.isVisible());
    QCOMPARE(ReadFileBytes(QString::fromStdString(strPath)), strBefore);
}

void TestPasswordDialog::refusedWhileAnotherProgramWritesTheSchool()
{
    WriteDataFile("10001", "123", 2);
    const std::string strBefore = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
    MessageRecorder messages;
    CPasswordDialog dlg;
    dlg.show();
    Fill(dlg, u"10001"_qs, u"123"_qs, u"456"_qs, u"456"_qs);
    {
        CFileLock other; // another program's writer lock, such as a command-line import running
        QCOMPARE(other.TryLock(GetSchoolLockPath("10001")), ERROR_SUCCESS);
        PressOK(dlg);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"另一个程序正在修改该院校的数据，请等它结束后再试。"_qs);
        QCOMPARE(messages.last().caption, u"提示"_qs);
        QVERIFY(dlg.isVisible());
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strBefore);
        QVERIFY(!QFile::exists(ProfilePath()));
    }
    PressOK(dlg);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    CFileLock after; // the change let go of the lock at its end
    QCOMPARE(after.TryLock(GetSchoolLockPath("10001")), ERROR_SUCCESS);
}

void TestPasswordDialog::reportsAProfileThatCannotBeWritten()
{
    WriteDataFile("10001", "123", 2);
    const QString notAFolder = m_school.dir().configFilePath(QStringLiteral("file"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    qputenv("XDG_CONFIG_HOME", notAFolder.toUtf8()); // the profile's folder cannot be made
    MessageRecorder messages;
    CPasswordDialog dlg;
    dlg.show();
    Fill(dlg, u"10001"_qs, u"123"_qs, u"456"_qs, u"456"_qs);
    PressOK(dlg);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"数据文件已用新密码保存，但不能把新密码记入配置文件 quillmark.ini。"_qs);
    QCOMPARE(messages.last().caption, u"提示"_qs);
    QCOMPARE(dlg.result(), int(QDialog::Accepted)); // the old password no longer opens the file
    CMemTable reloaded;
    QVERIFY(LoadSchoolDatabase("10001", "456", reloaded));
    QCOMPARE(reloaded.GetRowCount(), 2);
}

void TestPasswordDialog::refusesACharacterGbkCannotHold()
{
    MessageRecorder messages;
    CPasswordDialog dlg;
    dlg.show();
    Fill(dlg, u"10001"_qs, {}, u"a😀"_qs, u"a😀"_qs);
    PressOK(dlg);
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.last().text.contains(u"新设密码"_qs));
    QVERIFY(dlg.isVisible());
    QVERIFY(!QFile::exists(m_school.dir().filePath(QStringLiteral("10001.db"))));
}

QTEST_MAIN(TestPasswordDialog)
#include "PasswordDialogTest.moc"
