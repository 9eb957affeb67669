#pragma once

// Records and drivers shared by the tests of the two search dialogs.

#include "LoggedInMainDialog.h"
#include "UiSchoolFixture.h"

#include <functional>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "ui/FoundRecordList.h"
#include "ui/MainDialog.h"
#include "ui/SearchByName.h"
#include "ui/SearchInfo.h"
#include "ui/Support/SaveStudents.h"

// Appends one valid record with the given number, name (UTF-8) and major code; returns its row.
inline int AddStudent(const char* lpcszNumber, const char* lpcszName, const char* lpcszMajor = "07010100")
{
    const std::vector<std::string> values = TestKit::StudentRecord()
                                                .With(Field::XSBSH, lpcszNumber)
                                                .With(Field::XM, lpcszName)
                                                .With(Field::ZYDM, lpcszMajor)
                                                .Gbk();
    CMemTable& students = TestStudents();
    const int nRow = students.GetRowCount();
    students.AddRows(1);
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        students.SetCell(nRow, nCol, values[static_cast<std::size_t>(nCol)]);
    return nRow;
}

// The fixture of both search tests: before every test the test school's empty table and no data
// file.
class CSearchTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }

  private:
    UiSchoolFixture m_school{UiSchoolFixture::Table::Empty};
};

// Row nRow of the school's data file as it is on disk now.
inline std::string StoredCell(int nRow, int nCol)
{
    CMemTable table;
    if (!LoadSchoolDatabase(kTestCode, kTestPassword, table) || nRow >= table.GetRowCount())
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

// The search by number: types the number and presses OK; the list of what it found.
inline void Search(CSearchInfo& dlg, const QString& number)
{
    FindById<QLineEdit>(&dlg, 1026)->setText(number);
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
}
inline CFoundRecordList* List(CSearchInfo& dlg)
{
    return FindById<CFoundRecordList>(&dlg, 1028);
}

// The search by major and name: its two lists, the name typed and OK pressed, the found list.
inline QComboBox* Categories(CSearchByName& dlg)
{
    return FindById<QComboBox>(&dlg, 1028);
}
inline QComboBox* Majors(CSearchByName& dlg)
{
    return FindById<QComboBox>(&dlg, 1002);
}
inline void Search(CSearchByName& dlg, const QString& name)
{
    FindById<QLineEdit>(&dlg, 1031)->setText(name);
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
}
inline CFoundRecordList* List(CSearchByName& dlg)
{
    return FindById<CFoundRecordList>(&dlg, 1029);
}

// Picks the category as the user does (which refills the majors), then the major.
inline void Choose(CSearchByName& dlg, const QString& category, const QString& major)
{
    const int nCategory = Categories(dlg)->findText(category);
    QVERIFY(nCategory >= 0);
    Categories(dlg)->setCurrentIndex(nCategory);
    emit Categories(dlg)->activated(nCategory);
    const int nMajor = Majors(dlg)->findText(major);
    QVERIFY(nMajor >= 0);
    Majors(dlg)->setCurrentIndex(nMajor);
}
