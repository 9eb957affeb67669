// The two searches of the main window.
#include "ui/MainDialog.h"
#include "ui/SearchByName.h"
#include "ui/SearchInfo.h"

// A record changed in a search dialog shows its new values in the student list at once and is
// one undo step of the main window.

void CMainDialog::OnSearchByNumber()
{
    CSearchInfo dlg(m_school);
    dlg.SetRecordModifier(StepModifier());
    dlg.exec();
}

void CMainDialog::OnSearchByMajor()
{
    CSearchByName dlg(m_school);
    dlg.SetRecordModifier(StepModifier());
    dlg.exec();
}
