#include "display/VelButton.h"

#include <QCursor>
#include <QMouseEvent>
#include <QTimerEvent>

using namespace plat;

namespace {

// Period of the hover tracking timer, in milliseconds.
constexpr int kHoverPeriodMs = 10;

}  // namespace

CVelButton::CVelButton(QWidget* parent) : QPushButton(parent)
{
    Initialize();
}

CVelButton::CVelButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    Initialize();
}

CVelButton::~CVelButton() = default;

void CVelButton::Initialize()
{
    // Windows reports every pointer move to a button; Qt only with tracking on.
    setMouseTracking(true);
}

void CVelButton::SetFrameStyle(int nStyle, BOOL bRepaint)
{
    m_nStyle = nStyle;
    RepaintIf(bRepaint);
}

void CVelButton::RepaintIf(BOOL bRepaint)
{
    if (bRepaint)
        update();
}

void CVelButton::SetButtonDefault(BOOL bRepaint)
{
    m_bDefault = TRUE;
    RepaintIf(bRepaint);
}

void CVelButton::SetButtonChecked(BOOL bChecked, BOOL bRepaint)
{
    m_bChecked = bChecked;
    RepaintIf(bRepaint);
}

void CVelButton::SetIconVert(BOOL bRepaint)
{
    m_nIconPlacement = IconVert;
    RepaintIf(bRepaint);
}

void CVelButton::SetIconRight(BOOL bRepaint)
{
    m_nIconPlacement = IconRight;
    RepaintIf(bRepaint);
}

void CVelButton::SetTextColor(COLORREF crIn, COLORREF crOut, COLORREF crFocus)
{
    m_crTextIn = crIn;
    m_crTextOut = crOut ? crOut : crIn;
    m_crTextFocus = crFocus ? crFocus : crIn;
}

void CVelButton::SetToolTip(const CString& strText)
{
    setToolTip(strText);
}

int CVelButton::GrayValue(int r, int g, int b)
{
    // Integer weights keep white at exactly 255.
    return (g * 587 + b * 114 + r * 299) / 1000;
}

QImage CVelButton::GrayscaleImage(const QImage& image)
{
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb c = line[x];
            if ((c & 0x00FFFFFF) == 0)
                continue;
            const int g = GrayValue(qRed(c), qGreen(c), qBlue(c));
            line[x] = qRgba(g, g, g, qAlpha(c));
        }
    }
    return grey;
}

CString CVelButton::GetButtonText(BOOL bStripMnemonics) const
{
    CString str = text();
    if (bStripMnemonics)
        StripMnemonics(str);
    return str;
}

void CVelButton::StripMnemonics(CString& str)
{
    if (str.contains(QLatin1String("&&"))) {
        str.replace(QLatin1String("&&"), QLatin1String("^^"));
        str.remove(QLatin1Char('&'));
        str.replace(QLatin1String("^^"), QLatin1String("&&"));
    } else {
        str.remove(QLatin1Char('&'));
    }
}

void CVelButton::GetLineText(const CString& str, QStringList& lines, int& nCount)
{
    lines = str.split(QLatin1Char('\n'));
    nCount = int(lines.size());
}

void CVelButton::GetMaxLenText(const QStringList& lines, CString& strMax)
{
    strMax.clear();
    for (const QString& line : lines)
        if (line.size() > strMax.size())
            strMax = line;
}

void CVelButton::NoteButtonDepressed(BOOL bDepressed)
{
    if (m_bDepressed == bDepressed)
        return;
    m_bDepressed = bDepressed;
    update();
}

void CVelButton::mouseMoveEvent(QMouseEvent* event)
{
    m_hoverTimer.start(kHoverPeriodMs, this);
    HoverStep();
    QPushButton::mouseMoveEvent(event);
}

void CVelButton::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_hoverTimer.timerId())
        HoverStep();
    else
        QPushButton::timerEvent(event);
}

// Keeps the hover look exactly while the pointer is inside and the button is
// not held down.
void CVelButton::HoverStep()
{
    const QRect screenRect(mapToGlobal(QPoint(0, 0)), size());
    if (!m_bDepressed && screenRect.contains(QCursor::pos())) {
        if (!m_bHoverDrawn) {
            m_bHover = TRUE;
            update();
            m_bHoverDrawn = TRUE;
        }
        return;
    }
    m_hoverTimer.stop();
    m_bHover = FALSE;
    if (m_bHoverDrawn)
        update();
    m_bHoverDrawn = FALSE;
}

void CVelButton::leaveEvent(QEvent* event)
{
    // The timer would notice too; leaving ends the hover look without waiting.
    if (m_hoverTimer.isActive())
        HoverStep();
    QPushButton::leaveEvent(event);
}

void CVelButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        NoteButtonDepressed(TRUE);
    QPushButton::mousePressEvent(event);
}

void CVelButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        NoteButtonDepressed(FALSE);
    QPushButton::mouseReleaseEvent(event);
}

void CVelButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click is a press of its own.
    mousePressEvent(event);
}

void CVelButton::paintEvent(QPaintEvent*)
{
}
