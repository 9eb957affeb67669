#include "ui/Quillmark.h"

#include <string>

#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

BOOL CQuillmarkApp::InitInstance()
{
    std::string strMessage;
    if (!LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage))
    {
        UiMessageBox(nullptr, FromGbk(strMessage), FromGbk(g_lpcszSystemErrorCaption));
        return FALSE;
    }
    CMainDialog dlg;
    dlg.exec();
    return FALSE;
}
