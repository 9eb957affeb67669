#include "ui/IconButton.h"

#include <cstdlib>

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

// The pictures live in a static library: registering them explicitly makes the linker keep them.
static void InitIconButtonResources()
{
    static const bool bDone = [] {
        Q_INIT_RESOURCE(iconbutton);
        return true;
    }();
    (void)bDone;
}

namespace
{
// The drawing below reckons with rectangles whose right and bottom edges lie just outside them.
int RightOf(const QRect& rc)
{
    return rc.x() + rc.width();
}

int BottomOf(const QRect& rc)
{
    return rc.y() + rc.height();
}

// A horizontal or vertical one-pixel line that covers its start point and not its end point.
void DrawLine(QPainter& painter, const QColor& color, QPoint from, QPoint to)
{
    Q_ASSERT(from.x() == to.x() || from.y() == to.y());
    if (from.y() == to.y())
        painter.fillRect(from.x() < to.x() ? from.x() : to.x() + 1, from.y(), std::abs(to.x() - from.x()), 1, color);
    else
        painter.fillRect(from.x(), from.y() < to.y() ? from.y() : to.y() + 1, 1, std::abs(to.y() - from.y()), color);
}

// Two joined lines a -> b -> c; the corner b belongs to the second one.
void DrawCorner(QPainter& painter, const QColor& color, QPoint a, QPoint b, QPoint c)
{
    DrawLine(painter, color, a, b);
    DrawLine(painter, color, b, c);
}

// A one-pixel frame just inside the rectangle.
void FrameRect(QPainter& painter, const QRect& rc, const QColor& color)
{
    painter.fillRect(rc.x(), rc.y(), rc.width(), 1, color);
    painter.fillRect(rc.x(), BottomOf(rc) - 1, rc.width(), 1, color);
    painter.fillRect(rc.x(), rc.y(), 1, rc.height(), color);
    painter.fillRect(RightOf(rc) - 1, rc.y(), 1, rc.height(), color);
}

// The focus rectangle inverts every other pixel of its outline, so it shows on any background.
void DrawFocusFrame(QPainter& painter, const QRect& rc)
{
    if (rc.width() <= 0 || rc.height() <= 0)
        return;
    const int nLeft = rc.x(), nTop = rc.y(), nLast = RightOf(rc) - 1, nBottom = BottomOf(rc) - 1;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    const auto invert = [&painter](int x, int y) {
        if ((x + y) % 2 == 0)
            painter.fillRect(x, y, 1, 1, Qt::white);
    };
    for (int x = nLeft; x <= nLast; ++x)
    {
        invert(x, nTop);
        if (nBottom > nTop)
            invert(x, nBottom);
    }
    for (int y = nTop + 1; y < nBottom; ++y)
    {
        invert(nLeft, y);
        if (nLast > nLeft)
            invert(nLast, y);
    }
    painter.restore();
}

// The picture's pixels that a monochrome copy keeps (opaque and not white), all in one colour.
QImage Silhouette(const QImage& picture, const QColor& color)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
        {
            const QRgb px = source.pixel(x, y);
            if (qAlpha(px) >= 128 && (px & RGB_MASK) != RGB_MASK)
                result.setPixel(x, y, color.rgba());
        }
    return result;
}

// The disabled look: the picture's silhouette in the light edge colour one pixel down and right, then in the shadow
// colour in place, as the desktop draws disabled captions and icons.
void DrawEmbossed(QPainter& painter, QPoint pos, const QImage& picture, const QPalette& palette)
{
    painter.drawImage(pos + QPoint(1, 1), Silhouette(picture, palette.color(QPalette::Active, QPalette::Light)));
    painter.drawImage(pos, Silhouette(picture, palette.color(QPalette::Active, QPalette::Dark)));
}

QString ResourcePath(const QString& strKind, int nId)
{
    return QStringLiteral(":/%1/%2").arg(strKind).arg(nId);
}

constexpr int CAPTION_FLAGS = Qt::TextSingleLine | Qt::TextShowMnemonic;
} // namespace

CIconButton::CIconButton(QWidget* pParent) : QPushButton(pParent)
{
    InitIconButtonResources();
    setMouseTracking(true);                // hover is noticed on the first movement over the button
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent covers every pixel
    ResetNormalBackColor(false);
    ResetNormalTextColor(false);
    ResetHotBackColor(false);
    ResetHotTextColor(false);
}

void CIconButton::LoadIcons(int nHotIconId, int nNormalIconId, std::uint8_t cx, std::uint8_t cy)
{
    m_pixHot = QPixmap(ResourcePath(QStringLiteral("icon"), nHotIconId));
    m_pixNormal = nNormalIconId == 0 ? m_pixHot : QPixmap(ResourcePath(QStringLiteral("icon"), nNormalIconId));
    m_nIconWidth = cx;
    m_nIconHeight = cy;
    repaint();
}

bool CIconButton::LoadHoverCursor(int nCursorId)
{
    unsetCursor();
    if (nCursorId == -1)
        return true;
    const QImage image(ResourcePath(QStringLiteral("cursor"), nCursorId));
    if (image.isNull())
        return false;
    // A cursor picture names its hot spot in two PNG texts; without them it is the top-left pixel.
    setCursor(QCursor(QPixmap::fromImage(image), image.text(QStringLiteral("HotSpotX")).toInt(),
                      image.text(QStringLiteral("HotSpotY")).toInt()));
    return true;
}

void CIconButton::SetFlatStyle(bool bFlat)
{
    m_bFlat = bFlat;
    update();
}

void CIconButton::SetIconPlacement(IconPlacement placement)
{
    if (placement == ipLeft || placement == ipTop)
        m_placement = placement;
    update();
}

void CIconButton::SetTextShown(bool bShown)
{
    m_bTextShown = bShown;
    update();
}

void CIconButton::SetFlatFocus(bool bFlatFocus, bool bRepaint)
{
    m_bFlatFocus = bFlatFocus;
    if (bRepaint)
        update();
}

void CIconButton::SetColor(QColor& member, const QColor& color, bool bRepaint)
{
    member = color;
    if (bRepaint)
        update();
}

void CIconButton::SetNormalBackColor(const QColor& color, bool bRepaint)
{
    SetColor(m_clrNormalBack, color, bRepaint);
}

void CIconButton::SetNormalTextColor(const QColor& color, bool bRepaint)
{
    SetColor(m_clrNormalText, color, bRepaint);
}

void CIconButton::SetHotBackColor(const QColor& color, bool bRepaint)
{
    SetColor(m_clrHotBack, color, bRepaint);
}

void CIconButton::SetHotTextColor(const QColor& color, bool bRepaint)
{
    SetColor(m_clrHotText, color, bRepaint);
}

void CIconButton::ResetNormalBackColor(bool bRepaint)
{
    SetColor(m_clrNormalBack, SystemColor(QPalette::Button), bRepaint);
}

void CIconButton::ResetNormalTextColor(bool bRepaint)
{
    SetColor(m_clrNormalText, SystemColor(QPalette::ButtonText), bRepaint);
}

void CIconButton::ResetHotBackColor(bool bRepaint)
{
    SetColor(m_clrHotBack, SystemColor(QPalette::Button), bRepaint);
}

void CIconButton::ResetHotTextColor(bool bRepaint)
{
    SetColor(m_clrHotText, SystemColor(QPalette::ButtonText), bRepaint);
}

void CIconButton::SetTipText(const QString& strText)
{
    setToolTip(strText);
}

// The desktop's colours do not depend on whether the window is active or the button enabled.
QColor CIconButton::SystemColor(QPalette::ColorRole role) const
{
    return palette().color(QPalette::Active, role);
}

void CIconButton::SetMouseOver(bool bMouseOver)
{
    if (m_bMouseOver == bMouseOver)
        return;
    m_bMouseOver = bMouseOver;
    update();
}

void CIconButton::mouseMoveEvent(QMouseEvent* pEvent)
{
    QPushButton::mouseMoveEvent(pEvent);
    // A press that began while the button was not hot does not make it hot; non-flat buttons never are.
    if ((pEvent->buttons() & Qt::LeftButton) && !m_bMouseOver)
        return;
    if (!m_bFlat)
        return;
    // While the left button is held the button keeps receiving moves outside itself.
    SetMouseOver(rect().contains(pEvent->position().toPoint()));
}

void CIconButton::leaveEvent(QEvent* pEvent)
{
    QPushButton::leaveEvent(pEvent);
    SetMouseOver(false);
}

void CIconButton::focusOutEvent(QFocusEvent* pEvent)
{
    QPushButton::focusOutEvent(pEvent);
    if (m_bFlat)
        SetMouseOver(false);
}

// Qt paints every widget of a window into the window's back buffer (its backing store) and puts the finished picture
// on the screen in one step. Painting straight onto the button here therefore never shows a half-drawn button, and
// no off-screen bitmap of our own is needed.
void CIconButton::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter painter(this);
    const bool bPressed = isDown();
    const bool bFocused = hasFocus();
    const bool bDisabled = !isEnabled();

    QRect rc = rect();
    if (!m_bFlat && bFocused)
    {
        FrameRect(painter, rc, Qt::black);
        rc.adjust(1, 1, -1, -1);
    }
    painter.fillRect(rc, IsHot() ? m_clrHotBack : m_clrNormalBack);
    DrawBorder(painter, rc, bPressed);

    const QString strTitle = m_bTextShown ? text() : QString();
    QRect rcCaption = rect(); // the whole button, also inside the focus frame
    if (!m_pixHot.isNull())
        PaintIcon(painter, !strTitle.isEmpty(), rcCaption, bPressed, bDisabled);
    if (!strTitle.isEmpty())
        DrawCaption(painter, strTitle, bPressed ? rcCaption.translated(1, 1) : rcCaption, bDisabled);

    if (bFocused && (!m_bFlat || m_bFlatFocus))
        DrawFocusFrame(painter, rc.adjusted(3, 3, -3, -3));
}

void CIconButton::DrawBorder(QPainter& painter, const QRect& rc, bool bPressed) const
{
    const QColor clrHighlight = SystemColor(QPalette::Light);
    const QColor clrLight = SystemColor(QPalette::Midlight);
    const QColor clrShadow = SystemColor(QPalette::Dark);
    const QColor clrDarkShadow = SystemColor(QPalette::Shadow);
    const int l = rc.x(), t = rc.y(), r = RightOf(rc), b = BottomOf(rc);

    if (bPressed && m_bFlat)
    {
        if (m_bHotBorder) // thin sunken border
        {
            DrawCorner(painter, clrShadow, {l, b - 1}, {l, t}, {r, t});
            DrawCorner(painter, clrHighlight, {l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1});
        }
    }
    else if (bPressed)
    {
        FrameRect(painter, rc, clrShadow);
    }
    else if (!m_bFlat) // raised 3D frame, two pixels wide
    {
        DrawCorner(painter, clrHighlight, {l, b - 1}, {l, t}, {r, t});
        DrawCorner(painter, clrLight, {l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1});
        DrawCorner(painter, clrDarkShadow, {l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1});
        DrawCorner(painter, clrShadow, {l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t});
    }
    else if (m_bMouseOver && m_bHotBorder) // thin raised border
    {
        DrawCorner(painter, clrHighlight, {l, b - 1}, {l, t}, {r, t});
        DrawCorner(painter, clrShadow, {l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1});
    }
}

// Places the icon in the button and takes its room from the caption area: left of the caption 3 pixels from the
// edge, or at the top edge above it; centred when there is no caption.
void CIconButton::PaintIcon(QPainter& painter, bool bHasTitle, QRect& rcCaption, bool bPressed, bool bDisabled) const
{
    const QRect rcItem = rect();
    const int w = m_nIconWidth, h = m_nIconHeight;
    QPoint pos = rcItem.topLeft();
    if (m_placement == ipLeft)
    {
        if (bHasTitle)
        {
            pos.rx() += 3;
            rcCaption.setLeft(rcCaption.left() + w + 3);
        }
        else
            pos.rx() += (rcItem.width() - w) / 2;
        pos.ry() += (rcItem.height() - h) / 2;
    }
    else
    {
        pos.rx() += (rcItem.width() - w) / 2;
        if (bHasTitle)
            rcCaption.setTop(rcCaption.top() + h);
        else
            pos.ry() += (rcItem.height() - h) / 2;
    }
    if (bPressed)
        pos += QPoint(1, 1);

    const QPixmap& pixIcon = IsHot() ? m_pixHot : m_pixNormal;
    if (bDisabled)
        DrawEmbossed(painter, pos, pixIcon.toImage(), palette());
    else
        painter.drawPixmap(pos, pixIcon);
}

// Centres the one-line caption in its area; "&" underlines the next character.
void CIconButton::DrawCaption(QPainter& painter, const QString& strTitle, const QRect& rcCaption, bool bDisabled) const
{
    const QSize size = fontMetrics().size(CAPTION_FLAGS, strTitle);
    const QRect rcText(rcCaption.topLeft() +
                           QPoint((rcCaption.width() - size.width()) / 2, (rcCaption.height() - size.height()) / 2),
                       size);
    if (bDisabled)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter imagePainter(&image);
        imagePainter.setFont(font());
        imagePainter.setPen(Qt::black);
        imagePainter.drawText(image.rect(), CAPTION_FLAGS, strTitle);
        imagePainter.end();
        DrawEmbossed(painter, rcText.topLeft(), image, palette());
        return;
    }
    // The caption is drawn on its own cell of background colour, as text is drawn opaque.
    const bool bHot = IsHot();
    painter.fillRect(rcText, bHot ? m_clrHotBack : m_clrNormalBack);
    painter.setPen(bHot ? m_clrHotText : m_clrNormalText);
    painter.drawText(rcText, CAPTION_FLAGS, strTitle);
}
