#include "render/PlotComposer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <bit>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 70;
constexpr int kHeight = 130;  // three words a column, the last one partly used
constexpr int kWords = (kHeight + 63) / 64;
constexpr std::uint32_t kRed = 0xFFC00000;
constexpr std::uint32_t kBlue = 0xFF0000C0;

using Mask = std::vector<std::uint64_t>;

Mask RandomMask(std::mt19937& rng, int nPercent)
{
    Mask mask(static_cast<std::size_t>(kWidth) * kWords, 0);
    std::uniform_int_distribution<int> d(0, 99);
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            if (d(rng) < nPercent) mask[static_cast<std::size_t>(x) * kWords + y / 64] |= std::uint64_t(1) << (y % 64);
    return mask;
}

bool Bit(const Mask& mask, int x, int y)
{
    return (mask[static_cast<std::size_t>(x) * kWords + y / 64] >> (y % 64)) & 1;
}

// A background with one grid row and one grid column.
void DrawBase(QImage& image, int nGridX)
{
    image.fill(0xFF203040);
    for (int y = 0; y < kHeight; ++y) image.setPixel(nGridX, y, 0xFFD4D0C8);
    for (int x = 0; x < kWidth; ++x) image.setPixel(x, 40, 0xFFD4D0C8);
}

struct Layer {
    std::uint32_t argb;
    Mask mask;
};

QImage Expected(int nGridX, const std::vector<Layer>& arLayers)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    DrawBase(image, nGridX);
    for (const Layer& layer : arLayers)
        for (int x = 0; x < kWidth; ++x)
            for (int y = 0; y < kHeight; ++y)
                if (Bit(layer.mask, x, y)) image.setPixel(x, y, layer.argb);
    return image;
}

// The plot as the drawer keeps it: one image, painted paint after paint.
struct Plot {
    CPlotComposer composer;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    bool bWhole = false;

    void Paint(int nGridX, std::vector<Layer> arLayers)
    {
        CPlotComposer::tagBaseKey key;
        key.nWidth = kWidth;
        key.nHeight = kHeight;
        key.arXGrid = {nGridX};
        key.arYGrid = {40};
        bWhole = composer.Begin(key);
        if (bWhole) {
            DrawBase(image, nGridX);
        } else if (composer.NeedsBase()) {
            DrawBase(composer.BaseImage(), nGridX);
            composer.SetBaseDrawn();
        }
        for (Layer& layer : arLayers) composer.AddMask(layer.argb, layer.mask.data(), kWords, 0, kWidth - 1);
        composer.Finish(reinterpret_cast<std::uint32_t*>(image.bits()), static_cast<int>(image.bytesPerLine() / 4));
    }
};

long Popcount(const Mask& a)
{
    long n = 0;
    for (std::uint64_t w : a) n += std::popcount(w);
    return n;
}

Mask Xor(const Mask& a, const Mask& b)
{
    Mask m(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) m[i] = a[i] ^ b[i];
    return m;
}

Mask Or(const Mask& a, const Mask& b)
{
    Mask m(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) m[i] = a[i] | b[i];
    return m;
}

}  // namespace

// Paint after paint the kept plot equals the plot drawn whole; a paint
// that keeps its base and colours writes just the pixels whose masks
// changed, the others every pixel any mask covered.
TEST(PlotComposerTest, KeptPlotEqualsThePlotDrawnWholeAndWritesOnlyChanges)
{
    std::mt19937 rng(3);
    Plot plot;
    const Mask a = RandomMask(rng, 20);
    plot.Paint(10, {{kRed, a}});
    EXPECT_TRUE(plot.bWhole);
    EXPECT_EQ(plot.image, Expected(10, {{kRed, a}}));

    // A few pixels come and go.
    Mask b = a;
    b[3] ^= 0x0F0F;
    b[static_cast<std::size_t>(kWidth) * kWords - 1] ^= 0x3;  // in the last column's partial word
    plot.Paint(10, {{kRed, b}});
    EXPECT_FALSE(plot.bWhole);
    EXPECT_EQ(plot.image, Expected(10, {{kRed, b}}));
    EXPECT_EQ(plot.composer.GetWrittenCount(), Popcount(Xor(a, b)));

    // Nothing changed: nothing written.
    plot.Paint(10, {{kRed, b}});
    EXPECT_EQ(plot.composer.GetWrittenCount(), 0);
    EXPECT_EQ(plot.image, Expected(10, {{kRed, b}}));

    // Another colour: every pixel either mask covers.
    plot.Paint(10, {{kBlue, b}});
    EXPECT_EQ(plot.image, Expected(10, {{kBlue, b}}));
    EXPECT_EQ(plot.composer.GetWrittenCount(), Popcount(b));

    // A second mask over the first: the later one shows where both are.
    const Mask c = RandomMask(rng, 10);
    plot.Paint(10, {{kBlue, b}, {kRed, c}});
    EXPECT_EQ(plot.image, Expected(10, {{kBlue, b}, {kRed, c}}));
    EXPECT_EQ(plot.composer.GetWrittenCount(), Popcount(Or(b, c)));
    const Mask d = RandomMask(rng, 10);
    plot.Paint(10, {{kBlue, b}, {kRed, d}});
    EXPECT_EQ(plot.image, Expected(10, {{kBlue, b}, {kRed, d}}));
    EXPECT_EQ(plot.composer.GetWrittenCount(), Popcount(Xor(c, d)));

    // The grid moves: the base goes into the plot again, whole.
    plot.Paint(11, {{kBlue, b}, {kRed, d}});
    EXPECT_TRUE(plot.bWhole);
    EXPECT_EQ(plot.image, Expected(11, {{kBlue, b}, {kRed, d}}));
    // The next paint restores uncovered pixels from the new base.
    plot.Paint(11, {{kBlue, a}});
    EXPECT_FALSE(plot.bWhole);
    EXPECT_EQ(plot.image, Expected(11, {{kBlue, a}}));

    // Forgotten: whole again.
    plot.composer.Forget();
    plot.Paint(11, {});
    EXPECT_TRUE(plot.bWhole);
    EXPECT_EQ(plot.image, Expected(11, {}));
}

// A paint whose base was not drawn cannot restore pixels: it leaves the
// plot alone, and the next paint is whole.
TEST(PlotComposerTest, APaintWithoutItsBaseLeavesThePlotAndTheNextIsWhole)
{
    std::mt19937 rng(7);
    Plot plot;
    const Mask a = RandomMask(rng, 20);
    plot.Paint(10, {{kRed, a}});
    const QImage before = plot.image.copy();
    CPlotComposer::tagBaseKey key;
    key.nWidth = kWidth;
    key.nHeight = kHeight;
    key.arXGrid = {10};
    key.arYGrid = {40};
    ASSERT_FALSE(plot.composer.Begin(key));
    ASSERT_TRUE(plot.composer.NeedsBase());
    Mask b = RandomMask(rng, 20);
    plot.composer.AddMask(kRed, b.data(), kWords, 0, kWidth - 1);
    plot.composer.Finish(reinterpret_cast<std::uint32_t*>(plot.image.bits()),
                         static_cast<int>(plot.image.bytesPerLine() / 4));
    EXPECT_EQ(plot.image, before);
    plot.Paint(10, {{kRed, b}});
    EXPECT_TRUE(plot.bWhole);
    EXPECT_EQ(plot.image, Expected(10, {{kRed, b}}));
}

// Masks are taken and their columns cleared, so a layer can go on with
// an empty mask.
TEST(PlotComposerTest, AddMaskClearsTheColumnsItTakes)
{
    std::mt19937 rng(5);
    Mask mask = RandomMask(rng, 30);
    const Mask copy = mask;
    Plot plot;
    CPlotComposer::tagBaseKey key;
    key.nWidth = kWidth;
    key.nHeight = kHeight;
    ASSERT_TRUE(plot.composer.Begin(key));
    plot.composer.AddMask(kRed, mask.data(), kWords, 5, 20);
    for (int x = 0; x < kWidth; ++x)
        for (int w = 0; w < kWords; ++w) {
            const std::size_t i = static_cast<std::size_t>(x) * kWords + w;
            EXPECT_EQ(mask[i], x >= 5 && x <= 20 ? 0 : copy[i]) << x;
        }
}
