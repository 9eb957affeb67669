#include "ui/Support/ProgressWindow.h"

#include <utility>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressDialog>

namespace
{
constexpr int kSteps = 1000;
int g_nShowDelay = 500;
} // namespace

CProgressWindow::CProgressWindow(QWidget* pParent, const QString& label)
    : m_pDialog(new QProgressDialog(label, QString(), 0, kSteps, pParent))
{
    m_pDialog->setObjectName(QStringLiteral("progress"));
    m_pDialog->setWindowTitle(QStringLiteral("请稍候"));
    m_pDialog->setWindowModality(Qt::ApplicationModal); // no window may change the records meanwhile
    m_pDialog->setMinimumDuration(g_nShowDelay);
    m_pDialog->setAutoClose(false);
    m_pDialog->setValue(0); // starts the clock of the delay
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

CProgressWindow::~CProgressWindow()
{
    QGuiApplication::restoreOverrideCursor();
    delete m_pDialog;
}

ExchangeProgress CProgressWindow::Callback() const
{
    return [this](double fDone) {
        const bool bWasVisible = m_pDialog->isVisible();
        m_pDialog->setValue(static_cast<int>(fDone * kSteps)); // repaints a window already shown
        if (!bWasVisible && m_pDialog->isVisible())
            QCoreApplication::processEvents(); // paints it the moment it appears
    };
}

ExchangeRunner ProgressRunner(QWidget* pParent, const QString& label)
{
    return [pParent, label](const ExchangeWork& work) {
        const CProgressWindow progress(pParent, label);
        return work(progress.Callback());
    };
}

int SetProgressShowDelay(int nMilliseconds)
{
    return std::exchange(g_nShowDelay, nMilliseconds);
}
