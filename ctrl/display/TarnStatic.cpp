#include "display/TarnStatic.h"

#include "platform/DC.h"
#include "platform/Font.h"

#include <QFontMetrics>

using namespace plat;

CTarnStatic::CTarnStatic(QWidget* parent) : QLabel(parent)
{
    Initialize();
}

CTarnStatic::CTarnStatic(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    Initialize();
}

CTarnStatic::~CTarnStatic() = default;

void CTarnStatic::Initialize()
{
    // Left unfilled, the parent's own painting shows through under the text.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CTarnStatic::SetFont(CFont* pFont)
{
    if (pFont != m_pFont.get())
        m_pFont.reset(pFont);
}

QFont CTarnStatic::EffectiveFont() const
{
    if (m_pFont)
        return m_pFont->GetQFont();
    return parentWidget() ? parentWidget()->font() : font();
}

QSize CTarnStatic::sizeHint() const
{
    const QFontMetrics fm(EffectiveFont());
    return {fm.horizontalAdvance(text()), fm.height()};
}

QSize CTarnStatic::minimumSizeHint() const
{
    return sizeHint();
}

void CTarnStatic::paintEvent(QPaintEvent*)
{
    CDC dc(this);
    DrawItem(&dc, CRect(rect()));
}

void CTarnStatic::DrawItem(CDC* pDC, const CRect& rcItem)
{
    CFont parentFont;
    CFont* pFont = m_pFont.get();
    if (!pFont) {
        parentFont.CreateFromQFont(EffectiveFont());
        pFont = &parentFont;
    }
    CFont* pOldFont = pDC->SelectObject(pFont);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOld = pDC->SetTextColor(m_crText);
    CRect rc = rcItem;
    pDC->DrawText(text(), &rc, DT_CENTER);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOldFont);
}
