#include "ui/Quillmark.h"

#include <string>

#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/MessageBox.h"

BOOL CQuillmarkApp::InitInstance()
{
    std::string strMessage;
    if (!LoadResourceTable(134, "TXT", g_memSchools, strMessage))
    {
        UiMessageBox(nullptr, FromGbk(strMessage), FromGbk(g_lpcszSystemErrorCaption));
        return FALSE;
    }
    BuildMajorCategories();
    CMainDialog dlg;
    dlg.exec();
    return FALSE;
}
