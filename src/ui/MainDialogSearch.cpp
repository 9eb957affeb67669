// The two searches of the main window.
#include "ui/MainDialog.h"

void CMainDialog::OnSearchByNumber()
{
}

void CMainDialog::OnSearchByMajor()
{
}
