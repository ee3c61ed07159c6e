#include "display/TarnStatic.h"
#include "DisplayFixtures.h"

#include "platform/Font.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

using namespace plat;

namespace {

// A window that paints a striped picture, like the main window's bitmap.
class StripedHost : public QWidget {
public:
    StripedHost() { resize(300, 120); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int x = 0; x < width(); x += 6)
            p.fillRect(x, 0, 3, height(), QColor(40, 90, 200));
        for (int x = 3; x < width(); x += 6)
            p.fillRect(x, 0, 3, height(), QColor(250, 220, 60));
    }
};

// A font that counts its deletions.
class CountingFont : public CFont {
public:
    explicit CountingFont(int* deleted) : m_deleted(deleted)
    {
        LOGFONT lf;
        lf.lfHeight = 18;
        lf.lfWeight = 600;
        lf.SetFaceName("宋体");
        CreateFontIndirect(&lf);
    }
    ~CountingFont() override { ++*m_deleted; }

private:
    int* m_deleted;
};

// Light text on the black hosts below.
bool IsInk(QRgb c)
{
    return qGray(c) > 128;
}

TEST(TarnStatic, TextIsCentredAtTheTopWhateverTheAlignment)
{
    SolidHost host(qRgb(0, 0, 0), {300, 120});
    auto* label = new CTarnStatic(QStringLiteral("Speed Screen(rpm):"), &host);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(20, 30, 260, 60);
    label->SetTextColor(RGB(255, 255, 255));
    const QRect ink = InkBounds(Snapshot(host), label->geometry(), IsInk);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), label->geometry().center().x(), 3);
    const int lineHeight = QFontMetrics(host.font()).height();
    EXPECT_LT(ink.top(), label->geometry().top() + lineHeight / 2);
}

TEST(TarnStatic, TheParentShowsBetweenTheLetters)
{
    StripedHost host;
    QFont big = host.font();
    big.setPixelSize(32);
    host.setFont(big);
    auto* label = new CTarnStatic(QStringLiteral("I     I"), &host);
    label->setGeometry(50, 20, 200, 60);
    label->SetTextColor(RGB(255, 255, 255));
    label->hide();
    const QImage bare = Snapshot(host);
    label->show();
    const QImage shot = Snapshot(host);

    const QRect area = label->geometry();
    const QRect ink = InkBounds(shot, area, [](QRgb c) { return c == qRgb(255, 255, 255); });
    ASSERT_FALSE(ink.isEmpty());
    int changed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            changed += shot.pixel(x, y) != bare.pixel(x, y);
    // Only the glyphs differ from the picture behind them.
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, area.width() * area.height() / 10);
    // Between the two letters the stripes are untouched.
    const int midX = ink.center().x();
    for (int y = area.top(); y <= area.bottom(); ++y)
        EXPECT_EQ(shot.pixel(midX, y), bare.pixel(midX, y)) << y;
}

TEST(TarnStatic, WithoutAFontTheDialogFontIsUsed)
{
    auto inkHeight = [](int pixelSize) {
        SolidHost host(qRgb(0, 0, 0), {300, 120});
        QFont f = host.font();
        f.setPixelSize(pixelSize);
        host.setFont(f);
        auto* label = new CTarnStatic(QStringLiteral("Hg"), &host);
        label->setGeometry(0, 0, 300, 120);
        label->SetTextColor(RGB(255, 255, 255));
        return InkBounds(Snapshot(host), label->geometry(), IsInk).height();
    };
    const int small = inkHeight(10);
    const int big = inkHeight(40);
    EXPECT_GT(small, 0);
    EXPECT_GT(big, 2 * small);
}

TEST(TarnStatic, StoredFontWins)
{
    SolidHost host(qRgb(0, 0, 0), {300, 120});
    QFont f = host.font();
    f.setPixelSize(8);
    host.setFont(f);
    auto* label = new CTarnStatic(QStringLiteral("Hg"), &host);
    label->setGeometry(0, 0, 300, 120);
    label->SetTextColor(RGB(255, 255, 255));
    const int withDialogFont = InkBounds(Snapshot(host), label->geometry(), IsInk).height();
    auto* font = new CFont;
    LOGFONT lf;
    lf.lfHeight = -40;
    font->CreateFontIndirect(&lf);
    label->SetFont(font);
    EXPECT_EQ(label->GetFont(), font);
    EXPECT_GT(InkBounds(Snapshot(host), label->geometry(), IsInk).height(), 2 * withDialogFont);
}

TEST(TarnStatic, EachLabelDeletesItsOwnFontOnce)
{
    int deleted = 0;
    {
        SolidHost host(qRgb(0, 0, 0));
        auto* speed = new CTarnStatic(QStringLiteral("Speed Screen(rpm):"), &host);
        auto* torque = new CTarnStatic(QStringLiteral("Torque Screen(Ncm):"), &host);
        speed->SetFont(new CountingFont(&deleted));
        torque->SetFont(new CountingFont(&deleted));
        Snapshot(host);
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 2);
}

TEST(TarnStatic, ReplacingTheFontDeletesTheOldOne)
{
    int deleted = 0;
    CTarnStatic label;
    auto* first = new CountingFont(&deleted);
    label.SetFont(first);
    label.SetFont(first);  // the same font again is kept, not deleted
    EXPECT_EQ(deleted, 0);
    label.SetFont(new CountingFont(&deleted));
    EXPECT_EQ(deleted, 1);
    label.SetFont(nullptr);
    EXPECT_EQ(deleted, 2);
}

TEST(TarnStatic, NewTextIsDrawnInTheSameStyle)
{
    SolidHost host(qRgb(0, 0, 0));
    auto* label = new CTarnStatic(QStringLiteral("I"), &host);
    label->setGeometry(0, 0, 240, 40);
    label->SetTextColor(RGB(255, 255, 255));
    const int narrow = InkBounds(Snapshot(host), label->geometry(), IsInk).width();
    label->setText(QStringLiteral("IIIIIIII"));
    EXPECT_GT(InkBounds(Snapshot(host), label->geometry(), IsInk).width(), 4 * narrow);
}

}  // namespace
