#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QSizeGrip>
#include <QString>

#include "core/LayoutMath.h"

class QWidget;

// One registered control: its base rectangle (where it stands at the initial client size) and
// the share of the size change each of its edges follows.
class CLayoutEntry
{
  public:
    CLayoutEntry(QWidget* pControl, const LayoutMath::Shares& shares);

    // Places the control, and every attached window, for the client size change (dx, dy).
    // Windows that no longer exist are skipped.
    void Reposition(int dx, int dy);
    // Moves a further window together with the control, starting on the base rectangle now.
    void AttachWindow(QWidget* pWindow);

    QWidget* GetControl() const { return m_pControl; }
    const LayoutMath::Shares& GetShares() const { return m_shares; }
    const LayoutMath::Rect& GetBaseRect() const { return m_rcBase; }

  private:
    QPointer<QWidget> m_pControl;
    std::vector<QPointer<QWidget>> m_attached;
    LayoutMath::Shares m_shares;
    LayoutMath::Rect m_rcBase;
};

// Keeps the controls of one window in place when the window is resized. Controls are positioned
// absolutely from their base rectangles and the difference between the current client size and
// the client size at InitLayout, so repeated resizing never drifts. The window cannot be made
// smaller than it was at InitLayout. "Window size" is the widget's geometry (menu bar included),
// "client" its contents rectangle.
class CLayoutManager
{
  public:
    CLayoutManager();
    virtual ~CLayoutManager();
    CLayoutManager(const CLayoutManager&) = delete;
    CLayoutManager& operator=(const CLayoutManager&) = delete;

    static constexpr int kSizeGripId = 77772;

    // Attaches to the window: the initial client size is pClientSize or the current one, the minimum
    // size the window size that goes with it; an optional size grip in the bottom-right corner.
    // REQUIRES: detached; pWindow not null; pClientSize, if given, at least 1 x 1.
    void InitLayout(QWidget* pWindow, SizeFreedom freedom, bool bShowGrip, const QSize* pClientSize = nullptr);

    // Registers a control by one mode per axis. REQUIRES: ready; the control is a child of the window
    // and stands where it belongs at the initial client size.
    CLayoutEntry* AddControl(QWidget* pControl, LayoutMode horizontal, LayoutMode vertical);
    // Registers a control by edge shares in percent. REQUIRES: right >= left, bottom >= top.
    virtual CLayoutEntry* AddControlPercent(QWidget* pControl, std::uint8_t nLeft, std::uint8_t nRight,
                                            std::uint8_t nTop, std::uint8_t nBottom);

    // Attached to a window that still exists.
    bool IsLayoutReady() const;

    // The window was resized: lays the controls out again, unless it is minimised.
    void HandleSize();
    // Lays out for the window's current size.
    void ArrangeControls(bool bRedraw);
    // Lays out for the given window size and client rectangle (a window below its minimum counts as
    // being at its minimum).
    void ArrangeControlsFor(const QSize& windowSize, const QRect& rcClient, bool bRedraw);

    // Sets the tracking limits; false (and nothing changes) when the minimum exceeds the maximum or
    // a maximum is 0. With bApplyNow the window is fitted into them at once.
    bool SetMinMaxSize(const QSize& minimum, const QSize& maximum, bool bApplyNow);
    // Resizes the window around its centre into the limits; true when it had to change.
    bool FitSizeToLimits();
    // Enlarges the window by nPercent of its size around its centre.
    bool GrowWindowByPercent(int nPercent);

    void ShowSizeGrip();
    void HideSizeGrip();
    QSizeGrip* GetSizeGrip() const { return m_pGrip; }

    // Puts every control back on its base rectangle, forgets them, removes the grip and detaches,
    // so that the window can be initialised and shown again as the first time.
    void ResetLayout();

    QSize GetInitialClientSize() const { return m_initialClient; }
    QSize GetMinimumSize() const { return m_minimum; }
    QSize GetMaximumSize() const { return m_maximum; }
    SizeFreedom GetSizeFreedom() const { return m_freedom; }

    // Changes the window's normal rectangle by (cx, cy) around its centre, the odd pixel going right
    // and down; false (nothing applied) when the result would be empty or the window is maximised.
    static bool GrowWindow(QWidget* pWindow, const QSize& change);
    static QSize GetWindowSize(const QWidget* pWindow);

    enum RestoreFlags : unsigned
    {
        rpState = 1,
        rpVisibility = 2
    };
    // Writes the window's placement to the application profile under the section, "(valid)" cleared
    // first and set last so that an interrupted save is ignored when restoring.
    static bool SaveWindowPosition(QWidget* pWindow, const QString& section);
    // Reads it back; false (window untouched) unless the section's "(valid)" is 1.
    static bool RestoreWindowPosition(QWidget* pWindow, const QString& section, unsigned flags);

  private:
    // Gives the window its tracking limits (a direction without freedom is fixed at the minimum).
    void ApplyTrackingLimits();
    void CreateSizeGrip();

    std::vector<std::unique_ptr<CLayoutEntry>> m_entries;
    QPointer<QWidget> m_pWindow;
    QSize m_initialClient;
    QSize m_minimum;
    QSize m_maximum;
    SizeFreedom m_freedom = sfBoth;
    QPointer<QSizeGrip> m_pGrip;
};
