#include "ui/HyperLink.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProcess>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "ui/HyperLinkOpen.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/ShellOpen.h"

namespace
{
QString OpenErrorText(int nCode)
{
    switch (nCode)
    {
    case ShellResult::OutOfResources:
        return QStringLiteral("The operating system is out\nof memory or resources.");
    case ShellResult::FileNotFound:
        return QStringLiteral("The specified file was not found.");
    case ShellResult::PathNotFound:
        return QStringLiteral("The specified path was not found.");
    case ShellResult::AccessDenied:
        return QStringLiteral("The operating system denied\naccess to the specified file.");
    case ShellResult::OutOfMemory:
        return QStringLiteral("There was not enough memory to complete the operation.");
    case ShellResult::BadProgram:
        return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case ShellResult::SharingViolation:
        return QStringLiteral("A sharing violation occurred. ");
    case ShellResult::AssociationIncomplete:
        return QStringLiteral("The filename association is\nincomplete or invalid.");
    case ShellResult::DdeTimeout:
        return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case ShellResult::DdeFailed:
        return QStringLiteral("The DDE transaction failed.");
    case ShellResult::DdeBusy:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\n"
                              "were being processed.");
    case ShellResult::NoAssociation:
        return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case ShellResult::LibraryMissing:
        return QStringLiteral("The specified dynamic-link library was not found.");
    default:
        return QStringLiteral("Unknown Error (%1) occurred.").arg(nCode);
    }
}
} // namespace

QRect FitLinkRect(const QRect& rect, const QSize& extent, Qt::Alignment alignment)
{
    QRect fitted = rect;
    if (alignment & Qt::AlignVCenter)
    {
        const int nShrink = (rect.height() - extent.height()) / 2;
        fitted.adjust(0, nShrink, 0, -nShrink);
    }
    else
        fitted.setHeight(extent.height());

    if (alignment & Qt::AlignHCenter)
    {
        const int nShrink = (rect.width() - extent.width()) / 2;
        fitted.adjust(nShrink, 0, -nShrink, 0);
    }
    else if (alignment & Qt::AlignRight)
        fitted.setLeft(rect.left() + rect.width() - extent.width());
    else
        fitted.setWidth(extent.width());
    return fitted;
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent), m_target(text)
{
    Q_ASSERT(!text.isEmpty());
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_target);
    setFocusPolicy(Qt::TabFocus); // Space activates it, for keyboard and accessibility users
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    FitToText();
}

void CHyperLink::SetTarget(const QString& target)
{
    m_target = target;
    FitToText();
    setToolTip(m_target);
}

void CHyperLink::SetLinkColors(const QColor& link, const QColor& visited)
{
    m_linkColor = link;
    m_visitedColor = visited;
    update();
}

void CHyperLink::MarkVisited(bool bVisited)
{
    m_bVisited = bVisited;
    update();
}

void CHyperLink::SetUnderlined(bool bUnderlined)
{
    m_bUnderlined = bUnderlined;
    update();
}

void CHyperLink::SetFitToText(bool bFit)
{
    m_bFitToText = bFit;
    const QSizePolicy::Policy policy = bFit ? QSizePolicy::Fixed : QSizePolicy::Preferred;
    setSizePolicy(policy, policy);
    FitToText();
}

void CHyperLink::FitToText()
{
    if (!m_bFitToText)
        return;
    const QSize extent = fontMetrics().size(Qt::TextSingleLine, text());
    setGeometry(FitLinkRect(geometry(), extent, alignment()));
}

const QFont& CHyperLink::UnderlineFont()
{
    // Made once; a later change of the label's font does not renew it.
    if (!m_underlineFont)
    {
        m_underlineFont = font();
        m_underlineFont->setUnderline(true);
    }
    return *m_underlineFont;
}

void CHyperLink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_bVisited ? m_visitedColor : m_linkColor);
    painter.setFont(m_bUnderlined ? UnderlineFont() : font());
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
    if (hasFocus())
    {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CHyperLink::mousePressEvent(QMouseEvent* event)
{
    m_bPressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    const bool bClicked =
        m_bPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_bPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (bClicked)
        emit clicked();
}

void CHyperLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)
        emit clicked();
    else
        QLabel::keyPressEvent(event);
}

void CHyperLink::OpenTarget()
{
    const int nResult = ShellOpen(m_target);
    MarkVisited(ShellResult::IsOpened(nResult));
    if (ShellResult::IsOpened(nResult))
        return;
    QApplication::beep();
    ShowOpenError(nResult);
}

int CHyperLink::ShellOpen(const QString& target)
{
    const int nResult = UiShellOpen(target);
    if (ShellResult::IsOpened(nResult))
        return nResult;
    const std::optional<QString> exec = FindHtmlProgramCommand();
    if (!exec)
        return nResult;
    QStringList arguments = OpenCommandArguments(*exec, target);
    if (arguments.isEmpty())
        return nResult; // too long to run whole, or no program named
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments) ? ShellResult::Opened : ShellResult::FileNotFound;
}

void CHyperLink::ShowOpenError(int nCode)
{
    UiMessageBox(this, QStringLiteral("Unable to open hyperlink:\n\n") + OpenErrorText(nCode),
                 QApplication::applicationDisplayName(), MsgButtons::Ok, MsgIcon::Exclamation);
}
