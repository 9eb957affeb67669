// CSV export and import from the main window.
#include "ui/MainDialog.h"

void CMainDialog::OnExportCsv()
{
}

void CMainDialog::OnImportCsv()
{
}
