#include "ui/RecordUpdate.h"

#include "core/DataFunc.h"
#include "ui/EditDialog.h"

namespace
{
// Writes the editor's values into row nRow: each converted to its stored form, except a coded
// field whose list still shows the stored value, which keeps its code byte for byte.
void WriteRow(const CEditDialog& dlg, int nRow)
{
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        if (dlg.IsFieldKept(nCol))
            continue;
        g_memStudents.SetCell(nRow, nCol, LookupFieldCode(dlg.m_strFields[nCol], g_studentFields[nCol].lpcszName));
    }
}

// Loads the record at row nRow into the editor: codes as names, the two filters, the dates.
void LoadRow(CEditDialog& dlg, int nRow)
{
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        dlg.m_strFields[nCol] = LookupCodeName(g_memStudents.GetCell(nRow, nCol), g_studentFields[nCol].pTable);
    dlg.m_strYXGZSF = DeriveWorkProvince(g_memStudents.GetCell(nRow, Field::YXGZDQDM));
    dlg.m_strZYDLDM = DeriveMajorCategory(g_memStudents.GetCell(nRow, Field::ZYDM));
    dlg.m_timeCSNY = ParseDateText(g_memStudents.GetCell(nRow, Field::CSNY));
    dlg.m_timeBYSJ = ParseDateText(g_memStudents.GetCell(nRow, Field::BYSJ));
}
} // namespace

bool AddStudentRow(QWidget* parent, const SchoolKey& key)
{
    CEditDialog dlg(key.strCode, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    g_memStudents.AddRows(1);
    WriteRow(dlg, g_memStudents.GetRowCount() - 1);
    SaveStudentsOrReport(parent, key, QStringLiteral("新增记录前"));
    return true;
}

bool ModifyStudentRow(QWidget* parent, int nRow, const SchoolKey& key)
{
    CEditDialog dlg(key.strCode, parent);
    dlg.m_bAddMode = FALSE;
    LoadRow(dlg, nRow);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    WriteRow(dlg, nRow);
    SaveStudentsOrReport(parent, key, QStringLiteral("修改记录前"));
    return true;
}
