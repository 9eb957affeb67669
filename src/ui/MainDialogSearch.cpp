// The two searches of the main window.
#include "ui/MainDialog.h"
#include "ui/SearchByName.h"
#include "ui/SearchInfo.h"
#include "ui/Support/StudentListModel.h"

// A record changed in a search dialog shows its new values in the student list at once.

void CMainDialog::OnSearchByNumber()
{
    CSearchInfo dlg(GetSchoolKey());
    connect(&dlg, &CSearchInfo::RecordModified, m_pModel, &CStudentListModel::NotifyRowChanged);
    dlg.exec();
}

void CMainDialog::OnSearchByMajor()
{
    CSearchByName dlg(GetSchoolKey());
    connect(&dlg, &CSearchByName::RecordModified, m_pModel, &CStudentListModel::NotifyRowChanged);
    dlg.exec();
}
