#include "ui/RecordUpdate.h"

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "core/RecordCheck.h"
#include "ui/EditDialog.h"
#include "ui/Support/SaveStudents.h"

namespace
{
// Writes the editor's values into row nRow: each converted to its stored form, except a coded
// field whose list still shows the stored value, which keeps its code byte for byte.
void WriteRow(const CEditDialog& dlg, CMemTable& students, int nRow)
{
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        if (dlg.IsFieldKept(nCol))
            continue;
        students.SetCell(nRow, nCol, LookupFieldCode(dlg.m_strFields[nCol], g_studentFields[nCol].lpcszName));
    }
}

// Loads the record at row nRow into the editor: codes as names, the two filters, the dates.
void LoadRow(CEditDialog& dlg, const CMemTable& students, int nRow)
{
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        dlg.m_strFields[nCol] = LookupCodeName(students.GetCell(nRow, nCol), g_studentFields[nCol].pTable);
    dlg.m_strYXGZSF = DeriveWorkProvince(students.GetCell(nRow, Field::YXGZDQDM));
    dlg.m_strZYDLDM = DeriveMajorCategory(students.GetCell(nRow, Field::ZYDM));
    dlg.m_timeCSNY = ParseDateText(students.GetCell(nRow, Field::CSNY));
    dlg.m_timeBYSJ = ParseDateText(students.GetCell(nRow, Field::BYSJ));
}
} // namespace

bool AddStudentRow(QWidget* parent, COpenSchool& school)
{
    CMemTable& students = school.Students();
    CEditDialog dlg(school.Code(), parent);
    dlg.m_isStudentNumberFree = [&students](const std::string& strNumber) {
        return IsStudentNumberFree(students, strNumber) != FALSE;
    };
    if (dlg.exec() != QDialog::Accepted)
        return false;
    students.AddRows(1);
    WriteRow(dlg, students, students.GetRowCount() - 1);
    SaveStudentsOrReport(parent, school, QStringLiteral("新增记录前"));
    return true;
}

bool ModifyStudentRow(QWidget* parent, int nRow, COpenSchool& school)
{
    CEditDialog dlg(school.Code(), parent);
    dlg.m_bAddMode = FALSE;
    LoadRow(dlg, school.Students(), nRow);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    WriteRow(dlg, school.Students(), nRow);
    SaveStudentsOrReport(parent, school, QStringLiteral("修改记录前"));
    return true;
}
