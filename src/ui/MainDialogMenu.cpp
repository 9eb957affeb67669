// The main window's menu bar and the list's context menu, built from one table of commands.
#include <initializer_list>
#include <memory>

#include <QMenu>
#include <QMenuBar>
#include <QTableView>

#include "ui/MainDialog.h"

namespace
{
struct Command
{
    int nId;
    const char16_t* lpszText; // the part after the TAB is shown as the item's key
    void (CMainDialog::*pfnHandler)();
};

const Command kCommands[] = {
    {57600, u"新增资料(&N)\tCtrl+N", &CMainDialog::OnNewRecord},
    {57601, u"修改资料(&M)\tEnter", &CMainDialog::OnModifyRecord},
    {57632, u"删除资料(&D)\tDel", &CMainDialog::OnDeleteRecord},
    {32781, u"从外部文件导入(&I)\tCtrl+I", &CMainDialog::OnImportCsv},
    {32780, u"导出Excel文件...(&E)\tCtrl+E", &CMainDialog::OnExportCsv},
    {57665, u"退出系统(&X)\tAlt+F4", nullptr}, // a close request, which asks the exit question
    {57642, u"全选(&A)\tCtrl+A", &CMainDialog::OnSelectAll},
    {32810, u"批量修改选中记录(&B)...", &CMainDialog::OnBatchModify},
    {32784, u"通过学号查询(&S)\tAlt+F3", &CMainDialog::OnSearchByNumber},
    {32788, u"通过专业查询(&S)\tAlt+F9", &CMainDialog::OnSearchByMajor},
    {32787, u"打开显示列表(&X)\tAlt+F5", &CMainDialog::OnShowList},
    {32786, u"关闭显示列表(&X)\tAlt+F6", &CMainDialog::OnHideList},
    {32789, u"检查全部记录(&K)", &CMainDialog::OnCheckAllRecords},
    {32790, u"显示代码名称(&N)", &CMainDialog::OnShowCodeNames},
    {32791, u"按存储顺序(&R)", &CMainDialog::OnStoredOrder},
    {32792, u"打印(&P)...\tCtrl+P", &CMainDialog::OnPrint},
    {32793, u"导出PDF(&F)...", &CMainDialog::OnExportPdf},
    {32794, u"统计(&T)...", &CMainDialog::OnStatistics},
    {57666, u"帮助主题(&H)", &CMainDialog::OnHelpTopics},
    {57664, u"关于(&A)...", &CMainDialog::OnAbout},
};

constexpr int kSeparator = 0;
constexpr int kModifyId = 57601;
constexpr int kDeleteId = 57632;
constexpr int kCodeNamesId = 32790;
constexpr int kBatchModifyId = 32810;

struct MenuDef
{
    const char16_t* lpszTitle;
    std::initializer_list<int> ids;
};

const MenuDef kMenuBar[] = {
    {u"文件(&F)", {57600, 57601, 57632, kSeparator, 32781, 32780, kSeparator, 32792, 32793, kSeparator, 57665}},
    {u"编辑(&E)", {57642, kBatchModifyId}},
    {u"查询(&S)", {32784, 32788, kSeparator, 32789, 32794}},
    {u"显示(&O)", {32787, 32786, kSeparator, kCodeNamesId, 32791}},
    {u"帮助(&H)", {57666, 57664}},
};

const std::initializer_list<int> kContextMenu = {57600, 57601,      57632, kSeparator,    32781,
                                                 32780, kSeparator, 57642, kBatchModifyId};

// The key named after the TAB, bound to the item. Enter is left to the window: it modifies only a
// selected record, and does nothing otherwise.
QKeySequence KeyOf(const QString& text)
{
    const qsizetype nTab = text.indexOf(u'\t');
    if (nTab < 0 || text.mid(nTab + 1) == u"Enter")
        return {};
    return QKeySequence::fromString(text.mid(nTab + 1), QKeySequence::PortableText);
}

// Appends the command's item, wired to its handler; with bBindKey its key triggers it in the window.
QAction* AddCommand(QMenu* pMenu, CMainDialog* pDialog, int nId, bool bBindKey)
{
    if (nId == kSeparator)
        return pMenu->addSeparator();
    for (const Command& command : kCommands)
    {
        if (command.nId != nId)
            continue;
        QAction* pAction = pMenu->addAction(QString::fromUtf16(command.lpszText));
        pAction->setObjectName(QStringLiteral("id%1").arg(nId));
        pAction->setCheckable(nId == kCodeNamesId);
        if (bBindKey && !KeyOf(pAction->text()).isEmpty())
        {
            pAction->setShortcut(KeyOf(pAction->text()));
            pAction->setShortcutContext(Qt::WindowShortcut);
            pDialog->addAction(pAction); // the key works while the menus are closed
        }
        if (command.pfnHandler)
            QObject::connect(pAction, &QAction::triggered, pDialog, command.pfnHandler);
        else
            QObject::connect(pAction, &QAction::triggered, pDialog, &QWidget::close);
        return pAction;
    }
    Q_ASSERT(false);
    return nullptr;
}
} // namespace

QMenuBar* CMainDialog::CreateMenuBar()
{
    auto* pMenuBar = new QMenuBar(this);
    for (const MenuDef& menu : kMenuBar)
    {
        QMenu* pMenu = pMenuBar->addMenu(QString::fromUtf16(menu.lpszTitle));
        for (int nId : menu.ids)
            AddCommand(pMenu, this, nId, true);
    }
    return pMenuBar;
}

QMenu* CMainDialog::CreateListContextMenu()
{
    auto* pMenu = new QMenu(this);
    const bool bHasMark = GetSelectionMark() >= 0;
    for (int nId : kContextMenu)
    {
        QAction* pAction = AddCommand(pMenu, this, nId, false);
        if (nId == kModifyId || nId == kDeleteId)
            pAction->setEnabled(bHasMark);
        if (nId == kBatchModifyId)
            pAction->setEnabled(!GetSelectedRows().empty());
    }
    return pMenu;
}

void CMainDialog::OnListRClick()
{
    const std::unique_ptr<QMenu> pMenu(CreateListContextMenu());
    pMenu->exec(QCursor::pos());
}
