#include "ui/IconButton.h"

#include <QApplication>
#include <QPainter>
#include <QtTest>

namespace
{
// A fixed palette and button size keep every pixel check deterministic.
const QColor FACE(192, 192, 192);
const QColor TEXT(0, 0, 0);
const QColor HIGHLIGHT(255, 255, 255); // Light
const QColor LIGHT3D(224, 224, 224);   // Midlight
const QColor SHADOW(128, 128, 128);    // Dark
const QColor DKSHADOW(40, 40, 40);     // Shadow
const QColor BLACK(0, 0, 0);
const QColor HOTBACK(255, 255, 160);
const QColor INVERTED_FACE(63, 63, 63);
constexpr int W = 80;
constexpr int H = 40;

QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// The picture as it should appear on a background of that colour.
QImage IconOn(int nIconId, const QColor& background)
{
    const QImage icon(QStringLiteral(":/icon/%1").arg(nIconId));
    QImage result(icon.size(), QImage::Format_RGB32);
    result.fill(background);
    QPainter(&result).drawImage(0, 0, icon);
    return result;
}

bool ShowsIcon(const QImage& render, QPoint pos, int nIconId, const QColor& background)
{
    const QImage expected = IconOn(nIconId, background);
    return render.copy(QRect(pos, expected.size())) == expected;
}

bool HasPixelNotOf(const QImage& image, const QColor& color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) != color)
                return true;
    return false;
}

using PixelChecks = QList<QPair<QPoint, QColor>>;
} // namespace

class TestIconButton : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultsComeFromThePalette();
    void bordersFollowTheState_data();
    void bordersFollowTheState();
    void iconIsPlacedByItsDeclaredSize_data();
    void iconIsPlacedByItsDeclaredSize();
    void captionIsCentredInTheRoomTheIconLeaves_data();
    void captionIsCentredInTheRoomTheIconLeaves();
    void pressingShiftsIconAndCaptionByOnePixel();
    void disabledButtonIsEmbossed();
    void hoverFollowsTheMouseAndEndsOnLeaveOrFocusLoss();
    void nonFlatButtonNeverBecomesHotByHovering();
    void oneIconServesBothStates();
    void unknownPlacementIsIgnoredButRepaints();
    void hoverCursorComesFromResourcesAndMinusOneRemovesIt();

  private:
    CIconButton* AddButton(const QString& strText, QSize size, QPoint pos = {10, 10});
    void Hover(CIconButton* pButton) { QTest::mouseMove(pButton, QPoint(pButton->width() / 2, pButton->height() / 2)); }
    void MoveAway() { QTest::mouseMove(m_pHost, QPoint(m_pHost->width() - 2, m_pHost->height() - 2)); }
    static QImage Render(CIconButton* pButton)
    {
        return pButton->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QWidget* m_pHost = nullptr;
    CIconButton* m_pButton = nullptr; // W x H, caption "Go", no icon
};

void TestIconButton::initTestCase()
{
    QPalette palette;
    palette.setColor(QPalette::Button, FACE);
    palette.setColor(QPalette::ButtonText, TEXT);
    palette.setColor(QPalette::Light, HIGHLIGHT);
    palette.setColor(QPalette::Midlight, LIGHT3D);
    palette.setColor(QPalette::Dark, SHADOW);
    palette.setColor(QPalette::Shadow, DKSHADOW);
    palette.setColor(QPalette::Window, FACE);
    QApplication::setPalette(palette);
}

void TestIconButton::init()
{
    m_pHost = new QWidget;
    m_pHost->resize(300, 200);
    m_pButton = AddButton(QStringLiteral("Go"), QSize(W, H));
    m_pButton->SetHotBackColor(HOTBACK);
    m_pHost->show();
    QVERIFY(QTest::qWaitForWindowActive(m_pHost));
    m_pButton->clearFocus(); // the window hands its first button the focus
    MoveAway();
}

void TestIconButton::cleanup()
{
    delete m_pHost;
    m_pHost = nullptr;
}

CIconButton* TestIconButton::AddButton(const QString& strText, QSize size, QPoint pos)
{
    auto* pButton = new CIconButton(m_pHost);
    pButton->setText(strText);
    pButton->setGeometry(QRect(pos, size));
    pButton->show();
    return pButton;
}

void TestIconButton::defaultsComeFromThePalette()
{
    CIconButton& button = *m_pButton;
    QCOMPARE(CIconButton::VersionNumber(), std::int16_t(23));
    QCOMPARE(CIconButton::VersionText(), u"2.3");
    QVERIFY(button.IsFlatStyle());
    QVERIFY(button.IsTextShown());
    QVERIFY(!button.IsFlatFocus());
    QCOMPARE(button.GetIconPlacement(), CIconButton::ipLeft);
    QCOMPARE(button.GetNormalBackColor(), FACE);
    QCOMPARE(button.GetNormalTextColor(), TEXT);
    QCOMPARE(button.GetHotTextColor(), TEXT);
    QVERIFY(button.toolTip().isEmpty());

    button.SetNormalTextColor(Qt::red);
    button.ResetNormalTextColor();
    button.ResetHotBackColor();
    QCOMPARE(button.GetNormalTextColor(), TEXT);
    QCOMPARE(button.GetHotBackColor(), FACE);

    button.SetTipText(QStringLiteral("Opens the file"));
    QCOMPARE(button.toolTip(), u"Opens the file");
}

void TestIconButton::bordersFollowTheState_data()
{
    QTest::addColumn<bool>("flat");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("flatFocus");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("hotBorder");
    QTest::addColumn<PixelChecks>("checks");

    const QPoint tl(0, 0), tr(W - 1, 0), bl(0, H - 1), br(W - 1, H - 1);
    QTest::newRow("flat, idle: background only")
        << true << false << false << false << false << true << PixelChecks{{tl, FACE}, {br, FACE}, {{1, 1}, FACE}};
    // Highlight along the left and top, shadow along the bottom and right; the shadow takes both far corners.
    QTest::newRow("flat, hovered: thin raised border")
        << true << false << false << true << false << true
        << PixelChecks{{tl, HIGHLIGHT}, {{W - 2, 0}, HIGHLIGHT}, {{0, H - 2}, HIGHLIGHT}, {tr, SHADOW}, {bl, SHADOW},
                       {br, SHADOW},    {{1, 1}, HOTBACK}};
    QTest::newRow("flat, hovered, no hot border")
        << true << false << false << true << false << false << PixelChecks{{tl, HOTBACK}, {br, HOTBACK}};
    // Shadow along the left and top, highlight along the bottom and right; the highlight takes both far corners.
    QTest::newRow("flat, pressed: thin sunken border")
        << true << false << false << true << true << true
        << PixelChecks{{tl, SHADOW},    {{W - 2, 0}, SHADOW}, {{0, H - 2}, SHADOW}, {tr, HIGHLIGHT},
                       {bl, HIGHLIGHT}, {br, HIGHLIGHT},      {{1, 1}, HOTBACK}};
    QTest::newRow("flat, pressed, no hot border")
        << true << false << false << true << true << false << PixelChecks{{tl, HOTBACK}, {br, HOTBACK}};
    QTest::newRow("flat, focused: no focus rectangle")
        << true << true << false << false << false << true << PixelChecks{{tl, FACE}, {{3, 3}, FACE}};
    QTest::newRow("flat, focused, flat focus: focus rectangle 3 pixels in")
        << true << true << true << false << false << true
        << PixelChecks{
               {tl, FACE}, {{3, 3}, INVERTED_FACE}, {{4, 3}, FACE}, {{3, 4}, FACE}, {{W - 4, H - 4}, INVERTED_FACE}};
    QTest::newRow("raised 3D frame") << false << false << false << false << false << true
                                     << PixelChecks{{tl, HIGHLIGHT},        {{1, 1}, LIGHT3D},
                                                    {tr, DKSHADOW},         {bl, DKSHADOW},
                                                    {br, DKSHADOW},         {{W - 2, H - 2}, SHADOW},
                                                    {{W - 2, 1}, SHADOW},   {{1, H - 2}, SHADOW},
                                                    {{1, H - 1}, DKSHADOW}, {{2, 2}, FACE}};
    // The black frame takes the outer pixel, the 3D frame lies one further in (its lines stop short of their end
    // points, so none reaches the black frame), the focus rectangle 3 inside that.
    QTest::newRow("raised 3D frame, focused") << false << true << false << false << false << true
                                              << PixelChecks{{tl, BLACK},
                                                             {br, BLACK},
                                                             {tr, BLACK},
                                                             {{W - 1, 1}, BLACK},
                                                             {{W - 1, 2}, BLACK},
                                                             {{W - 2, 0}, BLACK},
                                                             {{1, 1}, HIGHLIGHT},
                                                             {{2, 2}, LIGHT3D},
                                                             {{W - 2, H - 2}, DKSHADOW},
                                                             {{W - 3, H - 3}, SHADOW},
                                                             {{3, 3}, FACE},
                                                             {{4, 4}, INVERTED_FACE},
                                                             {{5, 4}, FACE},
                                                             {{W - 5, H - 5}, INVERTED_FACE}};
    QTest::newRow("3D, pressed: shadow frame")
        << false << false << false << false << true << true
        << PixelChecks{{tl, SHADOW}, {br, SHADOW}, {{1, 1}, HOTBACK}, {{W - 2, H - 2}, HOTBACK}};
}

void TestIconButton::bordersFollowTheState()
{
    QFETCH(bool, flat);
    QFETCH(bool, focused);
    QFETCH(bool, flatFocus);
    QFETCH(bool, hovered);
    QFETCH(bool, pressed);
    QFETCH(bool, hotBorder);
    QFETCH(PixelChecks, checks);

    m_pButton->setText(QString()); // no caption pixels near the edges
    m_pButton->SetFlatStyle(flat);
    m_pButton->SetFlatFocus(flatFocus);
    m_pButton->SetHotBorder(hotBorder);
    if (hovered)
        Hover(m_pButton);
    if (focused)
        m_pButton->setFocus();
    QCOMPARE(m_pButton->hasFocus(), focused);
    m_pButton->setDown(pressed);

    const QImage image = Render(m_pButton);
    for (const auto& [point, color] : checks)
    {
        const QByteArray where = QByteArray::number(point.x()) + ',' + QByteArray::number(point.y());
        QVERIFY2(At(image, point.x(), point.y()) == color, where + ": " +
                                                               At(image, point.x(), point.y()).name().toLatin1() +
                                                               " instead of " + color.name().toLatin1());
    }
}

void TestIconButton::iconIsPlacedByItsDeclaredSize_data()
{
    QTest::addColumn<int>("placement");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("textShown");
    QTest::addColumn<int>("iconId");
    QTest::addColumn<int>("size");
    QTest::addColumn<QPoint>("pos");

    const QString go = QStringLiteral("Go");
    QTest::newRow("left, no caption: centred")
        << 0 << QString() << true << int(IDI_ICONBUTTON_CHECK) << 16 << QPoint(32, 12);
    QTest::newRow("left, hidden caption: centred")
        << 0 << go << false << int(IDI_ICONBUTTON_CHECK) << 16 << QPoint(32, 12);
    QTest::newRow("left, caption: 3 from the edge")
        << 0 << go << true << int(IDI_ICONBUTTON_CHECK) << 16 << QPoint(3, 12);
    QTest::newRow("left, odd room truncates")
        << 0 << QString() << true << int(IDI_ICONBUTTON_CHECK) << 17 << QPoint(31, 11);
    QTest::newRow("top, no caption: centred")
        << 1 << QString() << true << int(IDI_ICONBUTTON_PAGE) << 32 << QPoint(24, 4);
    QTest::newRow("top, caption: at the top edge")
        << 1 << go << true << int(IDI_ICONBUTTON_CHECK) << 16 << QPoint(32, 0);
}

void TestIconButton::iconIsPlacedByItsDeclaredSize()
{
    QFETCH(int, placement);
    QFETCH(QString, caption);
    QFETCH(bool, textShown);
    QFETCH(int, iconId);
    QFETCH(int, size);
    QFETCH(QPoint, pos);

    m_pButton->setText(caption);
    m_pButton->SetTextShown(textShown);
    m_pButton->SetIconPlacement(static_cast<CIconButton::IconPlacement>(placement));
    m_pButton->LoadIcons(iconId, 0, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size));
    const QImage image = Render(m_pButton);
    QVERIFY(ShowsIcon(image, pos, iconId, FACE));
    QCOMPARE(At(image, pos.x() - 1, pos.y()), FACE);
}

void TestIconButton::captionIsCentredInTheRoomTheIconLeaves_data()
{
    QTest::addColumn<int>("placement");
    QTest::addColumn<int>("iconId");
    QTest::addColumn<QRect>("captionArea");

    // Left: the icon takes its width and 3 pixels. Top: the icon takes its height.
    QTest::newRow("icon left") << 0 << int(IDI_ICONBUTTON_CHECK) << QRect(19, 0, W - 19, H);
    QTest::newRow("icon on top") << 1 << int(IDI_ICONBUTTON_CHECK) << QRect(0, 16, W, H - 16);
}

// The caption beside or below an icon looks exactly like the caption of an icon-less button of the remaining size.
void TestIconButton::captionIsCentredInTheRoomTheIconLeaves()
{
    QFETCH(int, placement);
    QFETCH(int, iconId);
    QFETCH(QRect, captionArea);

    m_pButton->SetIconPlacement(static_cast<CIconButton::IconPlacement>(placement));
    m_pButton->LoadIcons(iconId, 0, 16, 16);
    CIconButton* pPlain = AddButton(m_pButton->text(), captionArea.size(), {10, 100});

    const QImage plain = Render(pPlain);
    QVERIFY2(HasPixelNotOf(plain, FACE), "the caption must show");
    QCOMPARE(Render(m_pButton).copy(captionArea), plain);
}

void TestIconButton::pressingShiftsIconAndCaptionByOnePixel()
{
    m_pButton->SetHotBorder(false); // nothing but the content differs
    m_pButton->SetHotBackColor(FACE);
    m_pButton->LoadIcons(IDI_ICONBUTTON_CHECK, 0, 16, 16);
    const QImage released = Render(m_pButton);
    m_pButton->setDown(true);
    const QImage pressed = Render(m_pButton);

    QVERIFY(ShowsIcon(pressed, {4, 13}, IDI_ICONBUTTON_CHECK, FACE));
    QCOMPARE(pressed.copy(1, 1, W - 1, H - 1), released.copy(0, 0, W - 1, H - 1));
}

void TestIconButton::disabledButtonIsEmbossed()
{
    m_pButton->LoadIcons(IDI_ICONBUTTON_CHECK, 0, 16, 16);
    m_pButton->setEnabled(false);
    const QImage image = Render(m_pButton);

    // Only the light and the shadow edge colours appear on the face: no icon colour, no text colour.
    bool bLight = false, bShadow = false;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
        {
            const QColor color = At(image, x, y);
            QVERIFY2(color == FACE || color == HIGHLIGHT || color == SHADOW, qPrintable(color.name()));
            bLight |= x > 19 && color == HIGHLIGHT;
            bShadow |= x > 19 && color == SHADOW;
        }
    QVERIFY2(bLight && bShadow, "the caption must show embossed");
    // The icon's frame (dark) is in the shadow colour with its light copy one pixel down and right; its white
    // inside does not show.
    QCOMPARE(At(image, 3, 12), SHADOW);
    QCOMPARE(At(image, 4, 13), HIGHLIGHT);
    QCOMPARE(At(image, 3 + 16, 12 + 16), HIGHLIGHT);
    QCOMPARE(At(image, 6, 14), FACE);
}

void TestIconButton::hoverFollowsTheMouseAndEndsOnLeaveOrFocusLoss()
{
    m_pButton->setText(QString());
    m_pButton->LoadIcons(IDI_ICONBUTTON_CHECK_HOT, IDI_ICONBUTTON_CHECK, 16, 16);
    const QPoint iconPos(32, 12);
    const auto isIdle = [&] {
        const QImage image = Render(m_pButton);
        return At(image, 0, 0) == FACE && ShowsIcon(image, iconPos, IDI_ICONBUTTON_CHECK, FACE);
    };
    const auto isHot = [&] {
        const QImage image = Render(m_pButton);
        return At(image, 0, 0) == HIGHLIGHT && At(image, 1, 1) == HOTBACK &&
               ShowsIcon(image, iconPos, IDI_ICONBUTTON_CHECK_HOT, HOTBACK);
    };
    QVERIFY(isIdle());
    Hover(m_pButton);
    QVERIFY(isHot());
    MoveAway();
    QVERIFY(isIdle());

    m_pButton->setFocus();
    Hover(m_pButton);
    QVERIFY(isHot());
    m_pButton->clearFocus();
    QVERIFY(isIdle());
}

void TestIconButton::nonFlatButtonNeverBecomesHotByHovering()
{
    m_pButton->SetFlatStyle(false);
    Hover(m_pButton);
    QCOMPARE(At(Render(m_pButton), 2, 2), FACE);
}

void TestIconButton::oneIconServesBothStates()
{
    m_pButton->setText(QString());
    m_pButton->LoadIcons(IDI_ICONBUTTON_CHECK_HOT, 0, 16, 16);
    QVERIFY(ShowsIcon(Render(m_pButton), {32, 12}, IDI_ICONBUTTON_CHECK_HOT, FACE));
    Hover(m_pButton);
    QVERIFY(ShowsIcon(Render(m_pButton), {32, 12}, IDI_ICONBUTTON_CHECK_HOT, HOTBACK));
}

void TestIconButton::unknownPlacementIsIgnoredButRepaints()
{
    m_pButton->SetIconPlacement(CIconButton::ipTop);
    QTest::qWait(50);
    int nPaints = 0;
    struct PaintCounter : QObject
    {
        int& m_nCount;
        explicit PaintCounter(int& nCount) : m_nCount(nCount) {}
        bool eventFilter(QObject*, QEvent* pEvent) override
        {
            m_nCount += pEvent->type() == QEvent::Paint;
            return false;
        }
    } counter(nPaints);
    m_pButton->installEventFilter(&counter);

    m_pButton->SetIconPlacement(static_cast<CIconButton::IconPlacement>(2));
    QCOMPARE(m_pButton->GetIconPlacement(), CIconButton::ipTop);
    QTRY_VERIFY(nPaints > 0);
    m_pButton->removeEventFilter(&counter);
}

void TestIconButton::hoverCursorComesFromResourcesAndMinusOneRemovesIt()
{
    QVERIFY(m_pButton->LoadHoverCursor(IDC_ICONBUTTON_HAND));
    QVERIFY(m_pButton->testAttribute(Qt::WA_SetCursor));
    QCOMPARE(m_pButton->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(m_pButton->cursor().hotSpot(), QPoint(5, 0));

    QVERIFY(m_pButton->LoadHoverCursor(-1));
    QVERIFY(!m_pButton->testAttribute(Qt::WA_SetCursor));
    QCOMPARE(m_pButton->cursor().shape(), m_pHost->cursor().shape());

    m_pButton->LoadHoverCursor(IDC_ICONBUTTON_HAND);
    QVERIFY(!m_pButton->LoadHoverCursor(999));
    QVERIFY(!m_pButton->testAttribute(Qt::WA_SetCursor));
}

QTEST_MAIN(TestIconButton)
#include "IconButtonTest.moc"
