#pragma once

#include <cstdint>

#include <QColor>
#include <QPixmap>
#include <QPushButton>

// IDs of the pictures in res/iconbutton.qrc. An icon ID names the resource ":/icon/<ID>", a cursor ID
// ":/cursor/<ID>"; any resource file of the program may add pictures under these two prefixes.
enum : int
{
    IDI_ICONBUTTON_CHECK = 301,     // 16 x 16 framed tick
    IDI_ICONBUTTON_CHECK_HOT = 302, // 16 x 16 framed tick in brighter colours, for the hot state
    IDI_ICONBUTTON_PAGE = 303,      // 32 x 32 sheet of paper
    IDC_ICONBUTTON_HAND = 311       // pointing hand, hot spot at the fingertip
};

// A push button that paints itself: an icon left of or above its caption, drawn flat (no frame until the mouse is
// over it) or with a 3D frame, in hot colours and with its hot icon while the mouse is over it or it is pressed,
// with its own cursor and tooltip. Colours are QColor values; the edge colours come from the palette's Light,
// Midlight, Dark and Shadow roles, read at every paint.
class CIconButton : public QPushButton
{
    Q_OBJECT

  public:
    enum IconPlacement : int
    {
        ipLeft = 0, // icon left of the caption
        ipTop = 1   // icon above the caption
    };

    // Flat, caption shown, hot border on, flat focus off, icon left, no icons, no cursor, empty tooltip; the four
    // colours are the palette's button face and button text.
    explicit CIconButton(QWidget* pParent = nullptr);

    // Loads the hot icon and the normal icon (0: the hot icon serves both) and repaints at once. cx and cy are the
    // icon size the layout reckons with; the pictures are drawn at their own size. An ID that names no picture
    // leaves that icon empty; without a hot icon no icon is drawn.
    void LoadIcons(int nHotIconId, int nNormalIconId, std::uint8_t cx, std::uint8_t cy);
    // Shows the cursor with that ID over the button; -1 removes the button's cursor and returns true. Returns false
    // (and leaves no cursor) when the ID names no picture.
    bool LoadHoverCursor(int nCursorId);

    void SetFlatStyle(bool bFlat);
    bool IsFlatStyle() const { return m_bFlat; }
    // Values other than ipLeft and ipTop leave the placement as it is; the button repaints in every case.
    void SetIconPlacement(IconPlacement placement);
    IconPlacement GetIconPlacement() const { return m_placement; }
    void SetTextShown(bool bShown);
    bool IsTextShown() const { return m_bTextShown; }
    // A flat button draws a thin border while the mouse is over it (raised) or while pressed (sunken). No repaint.
    void SetHotBorder(bool bHotBorder) { m_bHotBorder = bHotBorder; }
    // A flat button draws the focus rectangle too.
    void SetFlatFocus(bool bFlatFocus, bool bRepaint = true);
    bool IsFlatFocus() const { return m_bFlatFocus; }

    void SetNormalBackColor(const QColor& color, bool bRepaint = true);
    void SetNormalTextColor(const QColor& color, bool bRepaint = true);
    void SetHotBackColor(const QColor& color, bool bRepaint = true);
    void SetHotTextColor(const QColor& color, bool bRepaint = true);
    void ResetNormalBackColor(bool bRepaint = true); // the palette's button face
    void ResetNormalTextColor(bool bRepaint = true); // the palette's button text
    void ResetHotBackColor(bool bRepaint = true);
    void ResetHotTextColor(bool bRepaint = true);
    QColor GetNormalBackColor() const { return m_clrNormalBack; }
    QColor GetNormalTextColor() const { return m_clrNormalText; }
    QColor GetHotBackColor() const { return m_clrHotBack; }
    QColor GetHotTextColor() const { return m_clrHotText; }

    void SetTipText(const QString& strText);

    static std::int16_t VersionNumber() { return 23; }
    static QString VersionText() { return QStringLiteral("2.3"); }

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;

  private:
    bool IsHot() const { return m_bMouseOver || isDown(); }
    void SetMouseOver(bool bMouseOver);
    void SetColor(QColor& member, const QColor& color, bool bRepaint);
    QColor SystemColor(QPalette::ColorRole role) const;

    void DrawBorder(QPainter& painter, const QRect& rc, bool bPressed) const;
    void PaintIcon(QPainter& painter, bool bHasTitle, QRect& rcCaption, bool bPressed, bool bDisabled) const;
    void DrawCaption(QPainter& painter, const QString& strTitle, const QRect& rcCaption, bool bDisabled) const;

    IconPlacement m_placement = ipLeft;
    bool m_bTextShown = true;
    bool m_bHotBorder = true;
    bool m_bFlat = true;
    bool m_bMouseOver = false;
    bool m_bFlatFocus = false;
    QPixmap m_pixHot;    // drawn while hot
    QPixmap m_pixNormal; // drawn otherwise; shares the hot picture when only one was loaded
    std::uint8_t m_nIconHeight = 0;
    std::uint8_t m_nIconWidth = 0;
    QColor m_clrNormalBack;
    QColor m_clrNormalText;
    QColor m_clrHotBack;
    QColor m_clrHotText;
};
