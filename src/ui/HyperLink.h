#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QLabel>

// A label shown as a link: link colour on a transparent background, optionally underlined, the
// pointing-hand cursor, its target as tooltip, sized to its text. A click (or Space while it has
// the focus) only emits clicked(); the dialog decides what follows. OpenTarget opens the target
// with the desktop, which no dialog of the program needs today.
class CHyperLink : public QLabel
{
    Q_OBJECT
  public:
    // The text is also the target. REQUIRES: a non-empty text.
    explicit CHyperLink(const QString& text, QWidget* parent = nullptr);

    // Stores the target (also the tooltip) and fits the label to its text.
    void SetTarget(const QString& target);
    QString GetTarget() const { return m_target; }
    void SetLinkColors(const QColor& link, const QColor& visited);
    void MarkVisited(bool bVisited);
    bool IsVisited() const { return m_bVisited; }
    void SetUnderlined(bool bUnderlined);
    void SetFitToText(bool bFit);

    // Sizes the label to its text's extent (when fitting is on) by the rules of FitLinkRect.
    void FitToText();

    // Opens the target; marks the link visited, or beeps and shows ShowOpenError.
    void OpenTarget();
    // Opens the target with the desktop, falling back to its web browser. Above 32 is success;
    // otherwise 2 (nothing to open it with or not found) or 31 (the desktop refused).
    static int ShellOpen(const QString& target);
    // "Unable to open hyperlink:" and the text for the result code, with the exclamation icon.
    void ShowOpenError(int nCode);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    const QFont& UnderlineFont();

    QColor m_linkColor{0, 0, 238};
    QColor m_visitedColor{85, 26, 139};
    bool m_bVisited = false;
    bool m_bUnderlined = false;
    bool m_bFitToText = true;
    bool m_bPressed = false;
    QString m_target;
    std::optional<QFont> m_underlineFont; // made from the label's font at the first underlined paint
};

// The rectangle a label takes when fitted to a text extent: vertically centred in the old
// rectangle with Qt::AlignVCenter (shrunk by half the difference at top and bottom), else keeping
// its top; horizontally keeping its centre with Qt::AlignHCenter, its right edge with
// Qt::AlignRight, else its left edge.
QRect FitLinkRect(const QRect& rect, const QSize& extent, Qt::Alignment alignment);
