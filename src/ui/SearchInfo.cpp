#include "ui/SearchInfo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "ui/FoundRecordList.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

CSearchInfo::CSearchInfo(COpenSchool& school, QWidget* parent)
    : CSearchDialog(school, parent), m_editNumber(new QLineEdit(this))
{
    // The caption is "退出&C)" as the registrars know it, missing bracket included: do not "fix" it.
    CreateSearchControls(true, QStringLiteral("确认(&O)"), QStringLiteral("退出&C)"));
    setWindowTitle(QStringLiteral("查询学生资料"));
    resize(580, 560);
    m_btnOK->setGeometry(372, 14, 90, 30);
    m_btnExit->setGeometry(476, 14, 90, 30);

    auto* pLabel = new QLabel(QStringLiteral("请输入查询的学号："), this);
    pLabel->setGeometry(14, 20, 144, 20);
    pLabel->setBuddy(m_editNumber);
    m_editNumber->setObjectName(QStringLiteral("id1026"));
    m_editNumber->setAccessibleName(QStringLiteral("请输入查询的学号"));
    m_editNumber->setGeometry(160, 16, 200, 28);

    m_lstFound->setObjectName(QStringLiteral("id1028"));
    m_lstFound->setShowGrid(true);
    m_lstFound->setGeometry(14, 60, 552, 486);
}

CSearchInfo::~CSearchInfo() = default;

void CSearchInfo::OnInitDialog()
{
    InitSizing(0, sfBoth, false);
    AddControl(m_lstFound, lmStretch, lmStretch);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void CSearchInfo::OnOK()
{
    const QString number = m_editNumber->text();
    if (number.isEmpty())
    {
        UiMessageBox(this, QStringLiteral("您输入的学号为空!"), QStringLiteral("输入提示!"));
        return;
    }
    if (m_school.Students().GetRowCount() == 0)
    {
        UiMessageBox(this, QStringLiteral("没有您要查询的学生资料!"), QStringLiteral("查询提示"));
        return;
    }
    const std::optional<std::string> strNumber = ToGbk(number);
    if (strNumber)
        SearchByNumber(*strNumber);
    else
        m_lstFound->setRowCount(0); // no stored number holds a character GBK cannot represent
}

void CSearchInfo::SearchByNumber(const std::string& strNumber)
{
    m_lstFound->setRowCount(0);
    for (int nRow = 0; nRow < m_school.Students().GetRowCount(); ++nRow)
    {
        if (strNumber != m_school.Students().GetCell(nRow, Field::XSBSH))
            continue;
        // A second stored record with the same number: the first one stays listed.
        if (m_lstFound->ContainsNumber(strNumber))
        {
            UiMessageBox(this, QStringLiteral("您查询的学生资料已经在列表里存在了！请点击查看学生资料~"),
                         QStringLiteral("查询提示"));
            return;
        }
        m_lstFound->AddRecord(m_school.Students(), nRow);
    }
}
