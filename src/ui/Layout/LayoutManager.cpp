#include "ui/Layout/LayoutManager.h"

#include <algorithm>

#include <QSizeGrip>
#include <QWidget>

namespace
{
LayoutMath::Rect ToLayoutRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQRect(const LayoutMath::Rect& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

LayoutMath::Size ToLayoutSize(const QSize& size)
{
    return {size.width(), size.height()};
}

// Qt cannot store sizes beyond QWIDGETSIZE_MAX; "no maximum" is kept as the larger value here.
int ToWidgetExtent(int nExtent)
{
    return std::min(nExtent, QWIDGETSIZE_MAX);
}

constexpr int kNoMaximum = 2147483647;
} // namespace

CLayoutEntry::CLayoutEntry(QWidget* pControl, const LayoutMath::Shares& shares)
    : m_pControl(pControl), m_shares(shares), m_rcBase(ToLayoutRect(pControl->geometry()))
{
}

void CLayoutEntry::Reposition(int dx, int dy)
{
    const QRect rect = ToQRect(LayoutMath::Reposition(m_rcBase, m_shares, dx, dy));
    if (m_pControl)
        m_pControl->setGeometry(rect);
    for (const QPointer<QWidget>& pWindow : m_attached)
    {
        if (pWindow)
            pWindow->setGeometry(rect);
    }
}

void CLayoutEntry::AttachWindow(QWidget* pWindow)
{
    m_attached.emplace_back(pWindow);
    pWindow->setGeometry(ToQRect(m_rcBase));
}

CLayoutManager::CLayoutManager() = default;

CLayoutManager::~CLayoutManager()
{
    ResetLayout();
}

void CLayoutManager::InitLayout(QWidget* pWindow, SizeFreedom freedom, bool bShowGrip, const QSize* pClientSize)
{
    Q_ASSERT(!IsLayoutReady() && pWindow);
    Q_ASSERT(!pClientSize || (pClientSize->width() >= 1 && pClientSize->height() >= 1));
    m_pWindow = pWindow;
    m_freedom = freedom;
    const QSize window = pWindow->size();
    const QSize client = pWindow->contentsRect().size();
    m_initialClient = pClientSize ? *pClientSize : client;
    m_minimum = pClientSize ? *pClientSize + (window - client) : window;
    m_maximum = QSize(kNoMaximum, kNoMaximum);
    ApplyTrackingLimits();
    if (bShowGrip)
        CreateSizeGrip();
    // No arrangement here: every control stands on its base rectangle, the layout for no change.
}

void CLayoutManager::CreateSizeGrip()
{
    m_pGrip = new QSizeGrip(m_pWindow);
    m_pGrip->setObjectName(QStringLiteral("id%1").arg(kSizeGripId));
    const QRect rcClient = m_pWindow->contentsRect();
    const QSize size = m_pGrip->sizeHint();
    m_pGrip->setGeometry(rcClient.left() + rcClient.width() - size.width(),
                         rcClient.top() + rcClient.height() - size.height(), size.width(), size.height());
    AddControl(m_pGrip, lmMove, lmMove);
    m_pGrip->show();
}

CLayoutEntry* CLayoutManager::AddControl(QWidget* pControl, LayoutMode horizontal, LayoutMode vertical)
{
    Q_ASSERT(horizontal >= lmFixed && horizontal <= lmMoveHalf && vertical >= lmFixed && vertical <= lmMoveHalf);
    const LayoutMath::Shares shares = LayoutMath::SharesForModes(horizontal, vertical);
    return AddControlPercent(pControl, shares.left, shares.right, shares.top, shares.bottom);
}

CLayoutEntry* CLayoutManager::AddControlPercent(QWidget* pControl, std::uint8_t nLeft, std::uint8_t nRight,
                                                std::uint8_t nTop, std::uint8_t nBottom)
{
    const LayoutMath::Shares shares{nLeft, nRight, nTop, nBottom};
    Q_ASSERT(IsLayoutReady() && pControl && LayoutMath::AreSharesOrdered(shares));
    m_entries.push_back(std::make_unique<CLayoutEntry>(pControl, shares));
    return m_entries.back().get();
}

bool CLayoutManager::IsLayoutReady() const
{
    return !m_pWindow.isNull();
}

void CLayoutManager::HandleSize()
{
    if (IsLayoutReady() && !m_pWindow->isMinimized())
        ArrangeControls(true);
}

void CLayoutManager::ArrangeControls(bool bRedraw)
{
    ArrangeControlsFor(m_pWindow->size(), m_pWindow->contentsRect(), bRedraw);
}

void CLayoutManager::ArrangeControlsFor(const QSize& windowSize, const QRect& rcClient, bool bRedraw)
{
    Q_ASSERT(IsLayoutReady());
    const LayoutMath::Size delta = LayoutMath::ClientDelta(ToLayoutSize(windowSize), ToLayoutSize(rcClient.size()),
                                                           ToLayoutSize(m_minimum), ToLayoutSize(m_initialClient));
    for (const std::unique_ptr<CLayoutEntry>& pEntry : m_entries)
        pEntry->Reposition(delta.cx, delta.cy);
    if (bRedraw && m_pWindow->isVisible())
        m_pWindow->update();
}

void CLayoutManager::ApplyTrackingLimits()
{
    const LayoutMath::TrackingLimits limits =
        LayoutMath::ComputeTrackingLimits(ToLayoutSize(m_minimum), ToLayoutSize(m_maximum), m_freedom);
    m_pWindow->setMinimumSize(ToWidgetExtent(limits.minimum.cx), ToWidgetExtent(limits.minimum.cy));
    m_pWindow->setMaximumSize(ToWidgetExtent(limits.maximum.cx), ToWidgetExtent(limits.maximum.cy));
}

bool CLayoutManager::SetMinMaxSize(const QSize& minimum, const QSize& maximum, bool bApplyNow)
{
    Q_ASSERT(IsLayoutReady());
    if (!LayoutMath::AreLimitsValid(ToLayoutSize(minimum), ToLayoutSize(maximum)))
        return false;
    m_minimum = minimum;
    m_maximum = maximum;
    if (bApplyNow)
        FitSizeToLimits();
    ApplyTrackingLimits();
    return true;
}

bool CLayoutManager::FitSizeToLimits()
{
    const LayoutMath::Size change = LayoutMath::ChangeToFitLimits(ToLayoutSize(GetWindowSize(m_pWindow)),
                                                                  ToLayoutSize(m_minimum), ToLayoutSize(m_maximum));
    if (change.cx == 0 && change.cy == 0)
        return false;
    GrowWindow(m_pWindow, QSize(change.cx, change.cy));
    return true;
}

bool CLayoutManager::GrowWindowByPercent(int nPercent)
{
    Q_ASSERT(IsLayoutReady());
    const LayoutMath::Size change = LayoutMath::PercentOf(ToLayoutSize(GetWindowSize(m_pWindow)), nPercent);
    return GrowWindow(m_pWindow, QSize(change.cx, change.cy));
}

void CLayoutManager::ShowSizeGrip()
{
    if (m_pGrip)
        m_pGrip->show();
}

void CLayoutManager::HideSizeGrip()
{
    if (m_pGrip)
        m_pGrip->hide();
}

void CLayoutManager::ResetLayout()
{
    for (const std::unique_ptr<CLayoutEntry>& pEntry : m_entries)
        pEntry->Reposition(0, 0);
    m_entries.clear();
    delete m_pGrip.data();
    if (m_pWindow)
    {
        m_pWindow->setMinimumSize(0, 0);
        m_pWindow->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    m_pWindow = nullptr;
}

QSize CLayoutManager::GetWindowSize(const QWidget* pWindow)
{
    return pWindow->size();
}

bool CLayoutManager::GrowWindow(QWidget* pWindow, const QSize& change)
{
    // Qt offers no way to change the normal rectangle of a maximised window without restoring it.
    if (pWindow->isMaximized() || pWindow->isFullScreen())
        return false;
    const std::optional<LayoutMath::Rect> grown =
        LayoutMath::GrowAroundCentre(ToLayoutRect(pWindow->geometry()), ToLayoutSize(change));
    if (!grown)
        return false;
    pWindow->setGeometry(ToQRect(*grown));
    return true;
}
