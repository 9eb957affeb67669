// Adding and modifying records from the main window.
#include "ui/MainDialog.h"

void CMainDialog::OnNewRecord()
{
}

void CMainDialog::OnModifyRecord()
{
}

void CMainDialog::OnListDblClk()
{
}
