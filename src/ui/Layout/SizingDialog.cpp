#include "ui/Layout/SizingDialog.h"

CSizingDialog::CSizingDialog(QWidget* pParent, SizeFreedom freedom, bool bShowGrip)
    : QDialog(pParent), m_sizeFreedom(freedom), m_bShowGrip(bShowGrip)
{
}

CSizingDialog::~CSizingDialog() = default;

int CSizingDialog::exec()
{
    if (!EnsureInitialised())
        return result();
    return QDialog::exec();
}

void CSizingDialog::setVisible(bool bVisible)
{
    if (bVisible && !EnsureInitialised())
        return;
    QDialog::setVisible(bVisible);
}

bool CSizingDialog::EnsureInitialised()
{
    if (m_initState != InitState::NotInitialised)
        return true;
    m_initState = InitState::Initialising;
    m_bEndedDuringInit = false;
    OnInitDialog();
    if (m_bEndedDuringInit)
        return false;
    m_initState = InitState::Ready;
    return true;
}

void CSizingDialog::done(int nResult)
{
    m_bEndedDuringInit = m_initState == InitState::Initialising;
    QDialog::done(nResult);
    ResetLayout();
    m_initState = InitState::NotInitialised;
}

void CSizingDialog::OnInitDialog()
{
    InitSizing(10, m_sizeFreedom, m_bShowGrip);
}

void CSizingDialog::InitSizing(int nGrowPercent, SizeFreedom freedom, bool bShowGrip)
{
    if (m_templateSize.isValid())
        resize(m_templateSize);
    else
        m_templateSize = size();
    adjustPosition(parentWidget()); // centred, like the dialog's template
    InitLayout(this, freedom, bShowGrip);
    if (nGrowPercent != 0)
        GrowWindowByPercent(nGrowPercent);
}

void CSizingDialog::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    HandleSize();
}
