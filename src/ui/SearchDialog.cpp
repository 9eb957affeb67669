#include "ui/SearchDialog.h"

#include <QPushButton>

#include "ui/FoundRecordList.h"

CSearchDialog::CSearchDialog(COpenSchool& school, QWidget* parent)
    : CSizingDialog(parent, sfBoth, true), m_school(school)
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
}

CSearchDialog::~CSearchDialog() = default;

void CSearchDialog::SetRecordModifier(RecordModifier modify)
{
    m_lstFound->SetRecordModifier(std::move(modify));
}

void CSearchDialog::CreateSearchControls(bool bSorted, const QString& okText, const QString& exitText)
{
    m_lstFound = new CFoundRecordList(m_school, bSorted, this);
    m_btnOK = new QPushButton(okText, this);
    m_btnExit = new QPushButton(exitText, this);
    m_btnOK->setObjectName(QStringLiteral("id1"));
    m_btnOK->setDefault(true);
    connect(m_btnOK, &QPushButton::clicked, this, &CSearchDialog::OnOK);
    m_btnExit->setObjectName(QStringLiteral("id2"));
    m_btnExit->setAutoDefault(false);
    connect(m_btnExit, &QPushButton::clicked, this, &QDialog::reject);
    m_lstFound->setAccessibleName(QStringLiteral("查询结果"));
}
