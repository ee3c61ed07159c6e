#include "display/VelDigit.h"

#include "platform/Bitmap.h"
#include "platform/DC.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

using namespace plat;

namespace {

constexpr int kMinPrecision = 1;
constexpr int kMaxPrecision = 10;

// Past this many decimals the exact expansion of any float is all zeros.
constexpr int kExactDecimals = 200;
// Room for the integer part of any double, its sign and the point.
constexpr int kIntegerRoom = 320;

bool ValidPrecision(int n) { return n >= kMinPrecision && n <= kMaxPrecision; }

// Fixed-point text of v with the given decimals, in the C locale whatever the
// user's locale says, since the strip only knows "." and "-". Decimals beyond
// what a float can carry are filled with zeros, but only as many as can still
// be seen after the text is cut to nKeep characters.
std::string FixedText(double v, int nDecimals, int nKeep)
{
    const int computed = std::min(nDecimals, kExactDecimals);
    std::string text(kIntegerRoom + computed, '\0');
    const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed, computed);
    if (ec != std::errc())
        return {};
    text.resize(end - text.data());
    if (std::isfinite(v) && nDecimals > computed)
        text.append(std::min(nDecimals - computed, nKeep), '0');
    return text;
}

}  // namespace

CVelDigit::CVelDigit(QWidget* parent) : QFrame(parent) {}

CVelDigit::~CVelDigit() = default;

CString CVelDigit::PrepareString(float fValue, int nPrecision, int nDotPrecision)
{
    if (nPrecision <= 0)
        return {};
    std::string text;
    if (nDotPrecision > 0) {
        text = FixedText(fValue, nDotPrecision, nPrecision);
    } else {
        // Truncation toward zero; the sum drops the sign of a negative zero.
        const double whole = std::trunc(double(fValue)) + 0.0;
        text = FixedText(whole, 0, nPrecision);
    }
    if (int(text.size()) > nPrecision)
        text.erase(0, text.size() - nPrecision);
    return QString::fromLatin1(text.data(), qsizetype(text.size())).rightJustified(nPrecision, QLatin1Char(' '));
}

CString CVelDigit::PrepareString() const
{
    return PrepareString(m_fValue, m_nPrecision, m_nDotPrecision);
}

int CVelDigit::CellForChar(QChar ch, bool bZeroPadding, float fValue)
{
    if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
        return ch.unicode() - '0';
    if (ch == QLatin1Char('.'))
        return kCellPoint;
    if (ch == QLatin1Char('-'))
        return kCellMinus;
    return bZeroPadding && fValue >= 0.0f ? kCellBlank : kCellPoint;
}

CRect CVelDigit::FittedRect(const CRect& rcWindow, int nPrecision, CSize cellSize, unsigned long ulFlags)
{
    const int width = nPrecision * cellSize.cx + 2 * kMargin;
    const int height = cellSize.cy + 2 * kMargin;
    CRect rc = rcWindow;
    if (ulFlags & kKeepLeft)
        rc.right = rc.left + width;
    else
        rc.left = rc.right - width;
    if (ulFlags & kKeepTop)
        rc.bottom = rc.top + height;
    else
        rc.top = rc.bottom - height;
    return rc;
}

void CVelDigit::SetPrecision(int nPlaces, int nResize)
{
    if (ValidPrecision(nPlaces))
        m_nPrecision = nPlaces;
    if (nResize == 1)
        Resize();
}

void CVelDigit::SetValue(float fValue, int nRepaint)
{
    m_fValue = fValue;
    Repaint(nRepaint);
}

void CVelDigit::Inc(int nRepaint)
{
    SetValue(m_fValue + 1.0f, nRepaint);
}

void CVelDigit::Dec(int nRepaint)
{
    SetValue(m_fValue - 1.0f, nRepaint);
}

void CVelDigit::SetZeroPadding(int nOn, int nRepaint)
{
    m_bZeroPadding = nOn;
    Repaint(nRepaint);
}

void CVelDigit::SetResize(unsigned long ulFlags, int nResize)
{
    m_ulResize = ulFlags;
    if (nResize == 1)
        Resize();
}

void CVelDigit::Repaint(int nRepaint)
{
    if (nRepaint == 1)
        update();
}

void CVelDigit::Resize()
{
    // Without a strip the needed size is unknown; shrinking the window to its
    // bare margins would only hide it.
    if (m_nCellWidth <= 0 || m_nCellHeight <= 0)
        return;
    update();
    const CRect rc = FittedRect(CRect(geometry()), m_nPrecision, GetCellSize(), m_ulResize);
    setGeometry(rc.toQRect());
    updateGeometry();
    update();
}

QSize CVelDigit::sizeHint() const
{
    if (m_nCellWidth <= 0)
        return QFrame::sizeHint();
    return {m_nPrecision * m_nCellWidth + 2 * kMargin, m_nCellHeight + 2 * kMargin};
}

int CVelDigit::SetStyle(UINT nBitmapId, int nPrecision)
{
    auto pStrip = std::make_unique<CBitmap>();
    if (!pStrip->LoadBitmap(nBitmapId))
        return 0;
    const CSize size = pStrip->GetSize();
    m_pStrip = std::move(pStrip);
    m_nCellWidth = size.cx / kCellCount;
    m_nCellHeight = size.cy;
    if (ValidPrecision(nPrecision))
        m_nPrecision = nPrecision;
    Resize();
    return 1;
}

void CVelDigit::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (!m_pStrip)
        return;
    const QSize native = sizeHint();
    if (m_bScaleToFit && size() != native) {
        QImage picture(native, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        {
            CDC memDC(&picture);
            Draw(&memDC);
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), picture);
        return;
    }
    CDC dc(this);
    Draw(&dc);
}

void CVelDigit::SetScaleToFit(bool bOn)
{
    if (m_bScaleToFit == bOn)
        return;
    m_bScaleToFit = bOn;
    update();
}

void CVelDigit::Draw(CDC* pDC)
{
    if (!m_pStrip)
        return;
    CDC memDC;
    memDC.CreateCompatibleDC(pDC);
    CBitmap* pOldBitmap = memDC.SelectObject(m_pStrip.get());
    const CString text = PrepareString();
    int x = kMargin;
    for (QChar ch : text) {
        const int cell = CellForChar(ch, m_bZeroPadding, m_fValue);
        pDC->BitBlt(x, kMargin, m_nCellWidth, m_nCellHeight, &memDC, cell * m_nCellWidth, 0, SRCCOPY);
        x += m_nCellWidth;
    }
    memDC.SelectObject(pOldBitmap);
}
