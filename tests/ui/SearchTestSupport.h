#pragma once

// Records and drivers shared by the tests of the two search dialogs.

#include "UiTestSupport.h"

#include <functional>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "core/CurrentSchool.h"
#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "ui/FoundRecordList.h"
#include "ui/MainDialog.h"

// The test school, open with its records in the students' table.
inline COpenSchool g_testKey{"10001", "123"};

// Appends one valid record with the given number, name (UTF-8) and major code; returns its row.
inline int AddStudent(const char* lpcszNumber, const char* lpcszName, const char* lpcszMajor = "07010100")
{
    const char* const values[STUDENT_FIELD_COUNT] = {
        lpcszNumber,    "10001", lpcszMajor,     lpcszName, "1",      "1984-07-07", "01", "en",       "2006-06-30",
        "110000",       "4",     "a@b.cn",       "01",      "110000", "CA",         "G",  "3000以上", "01A",
        "010-12345678", "",      "北京市海淀区", "100000",  "",       "00"};
    const int nRow = g_memStudents.GetRowCount();
    g_memStudents.AddRows(1);
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        g_memStudents.SetCell(nRow, nCol, Gbk(values[nCol]));
    return nRow;
}

// The fixture of both search tests: a program directory of their own, and before every test the
// logged-in school's empty table and no data file.
class CSearchTest : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        CreateStudentTable(g_memStudents);
        QFile::remove(m_dir.filePath(QString::fromStdString(g_testKey.Code()) + QStringLiteral(".db")));
    }

  protected:
    TempProgramDir m_dir;
};

// Starts a test that is no search test with the logged-in school's empty table and no data file.
inline void ResetStudents(const TempProgramDir& dir)
{
    CreateStudentTable(g_memStudents);
    QFile::remove(dir.filePath(QString::fromStdString(g_testKey.Code()) + QStringLiteral(".db")));
}

// Row nRow of the school's data file as it is on disk now.
inline std::string StoredCell(int nRow, int nCol)
{
    CMemTable table;
    if (!LoadSchoolDatabase(g_testKey.Code(), g_testKey.Password(), table) || nRow >= table.GetRowCount())
        return "<missing>";
    return table.GetCell(nRow, nCol);
}

// Once the next modal dialog runs, hands it to fnDrive.
inline void WhenModalOpens(std::function<void(QDialog*)> fnDrive)
{
    QTimer::singleShot(0, [fnDrive] {
        if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            fnDrive(pDialog);
    });
}

// Once the record editor is open, hands it to fnEdit and presses its OK button. An editor that
// refuses its values is cancelled, so that no test waits for ever; bAccepted tells.
inline void WhenEditorOpens(std::function<void(QDialog*)> fnEdit, bool* pbAccepted = nullptr)
{
    WhenModalOpens([fnEdit, pbAccepted](QDialog* pEditor) {
        fnEdit(pEditor);
        FindById<QPushButton>(pEditor, 1)->click();
        const bool bAccepted = !pEditor->isVisible();
        if (!bAccepted)
            pEditor->reject();
        if (pbAccepted)
            *pbAccepted = bAccepted;
    });
}

// The main window, logged in as the test school without its login dialog.
class CLoggedInMainDialog : public CMainDialog
{
  protected:
    int RunLogin() override
    {
        m_school = COpenSchool(g_testKey.Code(), g_testKey.Password());
        return IDOK;
    }
};

// The main window's student list model.
inline QAbstractItemModel* MainListModel(CMainDialog& dlg)
{
    return FindById<QTableView>(&dlg, 1018)->model();
}

// Whether the spied dataChanged signals told the view that row nRow changed.
inline bool NotifiedRow(const QSignalSpy& changed, int nRow)
{
    for (const QList<QVariant>& args : changed)
    {
        if (args[0].toModelIndex().row() <= nRow && nRow <= args[1].toModelIndex().row())
            return true;
    }
    return false;
}

// The text the main window's student list shows in row nRow, column nCol.
inline QString MainListText(CMainDialog& dlg, int nRow, int nCol)
{
    QAbstractItemModel* pModel = MainListModel(dlg);
    return pModel->data(pModel->index(nRow, nCol)).toString();
}

// Sets the editor's student number edit.
inline void SetEditorNumber(QDialog* pEditor, const QString& number)
{
    FindById<QLineEdit>(pEditor, 1000)->setText(number);
}

inline void DoubleClickItem(CFoundRecordList* pList, int nItem)
{
    const QRect rect = pList->visualRect(pList->model()->index(nItem, 0));
    QTest::mouseDClick(pList->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

inline QString ItemText(CFoundRecordList* pList, int nItem, int nCol)
{
    return pList->item(nItem, nCol)->text();
}
