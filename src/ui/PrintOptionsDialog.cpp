#include "ui/PrintOptionsDialog.h"

#include <utility>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/Support/DialogButtons.h"

namespace
{
std::function<bool(PrintChoice&)>& Hook()
{
    static std::function<bool(PrintChoice&)> hook;
    return hook;
}

// A group of two exclusive choices, the first one checked.
QGroupBox* ChoiceGroup(const QString& title, QRadioButton* pFirst, QRadioButton* pSecond)
{
    auto* pGroup = new QGroupBox(title);
    auto* pLayout = new QVBoxLayout(pGroup);
    pLayout->addWidget(pFirst);
    pLayout->addWidget(pSecond);
    pFirst->setChecked(true);
    return pGroup;
}
} // namespace

CPrintOptionsDialog::CPrintOptionsDialog(QWidget* pParent, const QString& caption, int nAll, int nSelected)
    : QDialog(pParent), m_pList(new QRadioButton(QStringLiteral("学生名单(&L)"))),
      m_pSheets(new QRadioButton(QStringLiteral("学生信息核对表(&V)"))),
      m_pAll(new QRadioButton(QStringLiteral("全部记录（%1条）(&A)").arg(nAll))),
      m_pSelected(new QRadioButton(QStringLiteral("选中的记录（%1条）(&S)").arg(nSelected))),
      m_pTwoPerPage(new QCheckBox(QStringLiteral("核对表每页两份(&T)")))
{
    setWindowTitle(caption);
    m_pList->setObjectName(QStringLiteral("list"));
    m_pSheets->setObjectName(QStringLiteral("sheets"));
    m_pAll->setObjectName(QStringLiteral("all"));
    m_pSelected->setObjectName(QStringLiteral("selected"));
    m_pTwoPerPage->setObjectName(QStringLiteral("twoPerPage"));
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(ChoiceGroup(QStringLiteral("内容"), m_pList, m_pSheets));
    pLayout->addWidget(m_pTwoPerPage);
    pLayout->addWidget(ChoiceGroup(QStringLiteral("范围"), m_pAll, m_pSelected));
    pLayout->addWidget(CreateOkCancelButtons(this));
    // Sheets are for the students who check them: the selected ones when there are any.
    m_pSelected->setEnabled(nSelected > 0);
    m_pTwoPerPage->setEnabled(false);
    connect(m_pSheets, &QRadioButton::toggled, this, [this, nSelected](bool bSheets) {
        m_pTwoPerPage->setEnabled(bSheets);
        if (nSelected > 0)
            (bSheets ? m_pSelected : m_pAll)->setChecked(true);
    });
}

PrintChoice CPrintOptionsDialog::Choice() const
{
    return {m_pSheets->isChecked(), m_pSelected->isChecked(), m_pSheets->isChecked() && m_pTwoPerPage->isChecked()};
}

bool ChoosePrint(QWidget* pParent, const QString& caption, int nAll, int nSelected, PrintChoice& choice)
{
    if (Hook())
        return Hook()(choice);
    CPrintOptionsDialog dialog(pParent, caption, nAll, nSelected);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}

void SetPrintChoiceHook(std::function<bool(PrintChoice&)> hook)
{
    Hook() = std::move(hook);
}
