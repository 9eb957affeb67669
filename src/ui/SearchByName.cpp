#include "ui/SearchByName.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "ui/FoundRecordList.h"
#include "ui/Support/ComboFill.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
// A label naming the control beside it (also for screen readers).
void AddLabel(QWidget* pDialog, const QString& text, const QRect& rect, QWidget* pBuddy)
{
    auto* pLabel = new QLabel(text, pDialog);
    pLabel->setGeometry(rect);
    pLabel->setBuddy(pBuddy);
    pBuddy->setAccessibleName(QString(text).remove(u':'));
}
} // namespace

CSearchByName::CSearchByName(COpenSchool& school, QWidget* parent)
    : CSearchDialog(school, parent), m_cboCategory(new QComboBox(this)), m_cboMajor(new QComboBox(this)),
      m_editName(new QLineEdit(this))
{
    // The caption is "确认(&)" as the registrars know it, without a mnemonic letter: do not "fix" it.
    CreateSearchControls(false, QStringLiteral("确认(&)"), QStringLiteral("退出(&C)"));
    setWindowTitle(QStringLiteral("按专业与姓名查询"));
    resize(736, 592);
    m_btnOK->setGeometry(516, 548, 100, 30);
    m_btnExit->setGeometry(622, 548, 100, 30);

    m_lstFound->setObjectName(QStringLiteral("id1029"));
    m_lstFound->setShowGrid(false);
    m_lstFound->setGeometry(14, 92, 708, 444);

    AddLabel(this, QStringLiteral("请输入专业名称:"), QRect(14, 20, 124, 20), m_cboCategory);
    m_cboCategory->setObjectName(QStringLiteral("id1028"));
    m_cboCategory->setGeometry(140, 16, 220, 28);
    connect(m_cboCategory, &QComboBox::activated, this, &CSearchByName::OnSelendokCategory);
    m_cboMajor->setObjectName(QStringLiteral("id1002"));
    m_cboMajor->setAccessibleName(QStringLiteral("专业"));
    m_cboMajor->setGeometry(372, 16, 300, 28);

    AddLabel(this, QStringLiteral("请输入姓名:"), QRect(14, 56, 124, 20), m_editName);
    m_editName->setObjectName(QStringLiteral("id1031"));
    m_editName->setGeometry(140, 52, 220, 28);
}

CSearchByName::~CSearchByName() = default;

void CSearchByName::OnInitDialog()
{
    InitSizing(0, sfBoth, false);
    AddControl(m_lstFound, lmStretch, lmStretch);
    AddControl(m_btnOK, lmMove, lmMove);
    AddControl(m_btnExit, lmMove, lmMove);

    // Filling the lists keeps the category and major chosen before (none at the first opening:
    // then the first category and its own row are chosen).
    const std::string strCategory = GbkLiteral(m_cboCategory->currentText());
    const std::string strMajor = GbkLiteral(m_cboMajor->currentText());
    FillComboFromTable(m_cboCategory, MajorCategories());
    FillComboFromTable(m_cboMajor, g_codeMajors);
    SelectComboText(m_cboCategory, strCategory);
    OnSelendokCategory();
    SelectComboText(m_cboMajor, strMajor);

    setWindowState(windowState() | Qt::WindowMaximized);
}

void CSearchByName::OnSelendokCategory()
{
    FillComboByFilter(m_cboCategory, MajorCategories(), m_cboMajor, g_codeMajors, 4);
}

void CSearchByName::OnOK()
{
    const QString name = m_editName->text();
    const QString major = m_cboMajor->currentText();
    const QString category = m_cboCategory->currentText();
    if (major.isEmpty())
    {
        UiMessageBox(
            this, QStringLiteral("请选择正确的专业，如果觉得可选项多，可输关键字进行快选，比如：“数学类”的输入“数”。"),
            QStringLiteral("帮助信息"));
        return;
    }
    if (name.isEmpty())
    {
        UiMessageBox(this, QStringLiteral("您输入的姓名为空!"), QStringLiteral("输入提示!"));
        return;
    }
    if (category.isEmpty())
    {
        UiMessageBox(this, QStringLiteral("您输入的专业为空!"), QStringLiteral("输入提示!"));
        return;
    }
    if (m_school.Students().GetRowCount() == 0)
    {
        UiMessageBox(this, QStringLiteral("没有您要查询的学生资料!可能是您的输入学生号码有误,请查对!"),
                     QStringLiteral("查询提示"));
        return;
    }
    const std::optional<std::string> strName = ToGbk(name);
    if (!strName)
    {
        m_lstFound->setRowCount(0); // no stored name holds a character GBK cannot represent
        return;
    }
    SearchByMajorAndName(LookupFieldCode(GbkLiteral(major), "ZYDM"), *strName);
}

void CSearchByName::SearchByMajorAndName(const std::string& strMajorCode, const std::string& strName)
{
    m_lstFound->setRowCount(0);
    for (int nRow = 0; nRow < m_school.Students().GetRowCount(); ++nRow)
    {
        if (strName == m_school.Students().GetCell(nRow, Field::XM) &&
            strMajorCode == m_school.Students().GetCell(nRow, Field::ZYDM))
            m_lstFound->AddRecord(m_school.Students(), nRow);
    }
}
