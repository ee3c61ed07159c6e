#include "input/VelHeaderCtrl.h"

#include "platform/DC.h"
#include "platform/Pen.h"
#include "platform/SysColor.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionHeader>

using namespace plat;

namespace {

// Single line, vertically centred, no prefix, no clipping, end ellipsis.
constexpr UINT kLabelFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS;
constexpr int kMaxLabel = 255;

}  // namespace

CVelHeaderCtrl::CVelHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

CVelHeaderCtrl::~CVelHeaderCtrl() = default;

int CVelHeaderCtrl::GetItemFormat(int nItem) const
{
    if (!model() || nItem < 0 || nItem >= count()) return 0;
    return model()->headerData(nItem, orientation(), kFormatRole).toInt();
}

void CVelHeaderCtrl::SetItemFormat(int nItem, int nFormat)
{
    if (!model() || nItem < 0 || nItem >= count()) return;
    model()->setHeaderData(nItem, orientation(), nFormat, kFormatRole);
    Qt::Alignment align = Qt::AlignLeft;
    if (nFormat & HDF_CENTER)
        align = Qt::AlignHCenter;
    else if (nFormat & HDF_RIGHT)
        align = Qt::AlignRight;
    model()->setHeaderData(nItem, orientation(), int(align | Qt::AlignVCenter), Qt::TextAlignmentRole);
}

void CVelHeaderCtrl::SetSortColumn(int nColumn, bool bAscending)
{
    if (nColumn != m_nSortColumn) {
        m_nSortColumn = nColumn;
        m_bAscending = bAscending ? TRUE : FALSE;
        if (nColumn >= 0 && nColumn < count()) SetItemFormat(nColumn, GetItemFormat(nColumn) | HDF_OWNERDRAW);
    } else {
        m_bAscending = !m_bAscending;
    }
    viewport()->update();
}

void CVelHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!(GetItemFormat(logicalIndex) & HDF_OWNERDRAW)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    QStyleOptionHeader opt;
    initStyleOptionForIndex(&opt, logicalIndex);
    const UINT nState = (opt.state & QStyle::State_Sunken) ? ODS_SELECTED : 0;
    // Drawn off-screen first: a DC over the header's painter draws nothing
    // when a parent that was never shown is rendered.
    QImage image(rect.size(), QImage::Format_RGB32);
    {
        CDC dc(&image);
        dc.SetWindowOrg(rect.left(), rect.top());
        DrawItem(&dc, CRect(rect), logicalIndex, nState);
    }
    painter->drawImage(rect.topLeft(), image);
}

void CVelHeaderCtrl::DrawItem(CDC* pDC, const CRect& rcItem, int nItem, UINT nState) const
{
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(rcItem);
    pDC->FillSolidRect(rcItem, GetSysColor(COLOR_BTNFACE));

    const CString strText = model() ? model()->headerData(nItem, orientation(), Qt::DisplayRole).toString().left(kMaxLabel)
                                    : CString();
    const int nFormat = GetItemFormat(nItem);
    UINT nFlags = kLabelFormat;
    if (nFormat & HDF_CENTER)
        nFlags |= DT_CENTER;
    else if (nFormat & HDF_RIGHT)
        nFlags |= DT_RIGHT;

    CRect rcLabel = rcItem;
    if (nState == ODS_SELECTED) {
        rcLabel.left += 1;
        rcLabel.top += 2;
        rcLabel.right += 1;
    }
    const int o = rcItem.Height() / 4;
    if (nItem == m_nSortColumn) rcLabel.right -= 3 * o;
    rcLabel.DeflateRect(o, 0);
    if (rcLabel.Width() > 0) {
        CFont font;
        font.CreateFromQFont(this->font());
        CFont* pOldFont = pDC->SelectObject(&font);
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(GetSysColor(COLOR_BTNTEXT));
        pDC->DrawText(strText, &rcLabel, nFlags);
        pDC->SelectObject(pOldFont);
    }
    if (nItem == m_nSortColumn) DrawArrow(pDC, rcItem, o);
    pDC->RestoreDC(nSaved);
}

void CVelHeaderCtrl::DrawArrow(CDC* pDC, const CRect& rcItem, int o) const
{
    CPen penLight(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen penShadow(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    const int r = rcItem.right, b = rcItem.bottom;
    CPen* pOldPen = pDC->SelectObject(&penLight);
    if (m_bAscending) {
        pDC->MoveTo(r - 2 * o, o);
        pDC->LineTo(r - o, b - o - 1);
        pDC->LineTo(r - 3 * o - 2, b - o - 1);
        pDC->SelectObject(&penShadow);
        pDC->MoveTo(r - 3 * o - 1, b - o - 1);
        pDC->LineTo(r - 2 * o, o - 1);
    } else {
        pDC->MoveTo(r - o - 1, o);
        pDC->LineTo(r - 2 * o - 1, b - o);
        pDC->SelectObject(&penShadow);
        pDC->MoveTo(r - 2 * o - 2, b - o);
        pDC->LineTo(r - 3 * o - 1, o);
        pDC->LineTo(r - o - 1, o);
    }
    pDC->SelectObject(pOldPen);
}
