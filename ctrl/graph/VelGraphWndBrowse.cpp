// CVelGraphWnd: browsing with the mouse and the keys, and its operations.
#include "graph/VelGraphWnd.h"

#include "platform/DC.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// One wheel notch zooms by this factor.
constexpr double kWheelStep = 1.25;
constexpr double kWheelNotch = 120.0;
// A press moved less than this (Manhattan, pixels) is a click, not a pan.
constexpr int kPanThreshold = 3;
// A band narrower or lower than this (pixels) zooms nothing.
constexpr int kMinBand = 4;

// The rectangle between two corners, the right and bottom edges at the
// corners' own pixels (so that their values bound the zoom).
plat::CRect Band(QPoint a, QPoint b)
{
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

bool IsLog(const CVelGraph& graph, eGraphAxisType eType)
{
    return graph.GetAxis(eType)->bLogarithm != 0;
}
}  // namespace

double CVelGraphWnd::ValueAt(eGraphAxisType eType, const tagViewRange& r, const plat::CRect& rc, int nPos) const
{
    const bool bX = eType == GRAPH_AXIS_X;
    const int nLength = bX ? rc.Width() : rc.Height();
    if (nLength <= 0) return r.dMin;
    const double dPart = bX ? double(nPos - rc.left) / nLength : double(rc.bottom - nPos) / nLength;
    return CViewRange::ValueAt(r, dPart, IsLog(*m_pGraph, eType));
}

// ---- operations -------------------------------------------------------------

plat::BOOL CVelGraphWnd::ZoomX(double dFactor, double dAroundValue)
{
    const bool bWasFollowing = IsFollowing();
    if (!m_View.Zoom(GRAPH_AXIS_X, dFactor, dAroundValue)) return plat::FALSE;
    ViewChanged(bWasFollowing);
    return plat::TRUE;
}

plat::BOOL CVelGraphWnd::ZoomY(double dFactor, double dAroundValue)
{
    const bool bWasFollowing = IsFollowing();
    if (!m_View.Zoom(GRAPH_AXIS_Y, dFactor, dAroundValue)) return plat::FALSE;
    ViewChanged(bWasFollowing);
    return plat::TRUE;
}

plat::BOOL CVelGraphWnd::PanBy(double dx, double dy)
{
    const bool bWasFollowing = IsFollowing();
    bool bChanged = m_View.Shift(GRAPH_AXIS_X, dx);
    bChanged = m_View.Shift(GRAPH_AXIS_Y, dy) || bChanged;
    if (!bChanged) return plat::FALSE;
    ViewChanged(bWasFollowing);
    return plat::TRUE;
}

plat::BOOL CVelGraphWnd::ZoomTo(double dXMin, double dXMax, double dYMin, double dYMax)
{
    const bool bWasFollowing = IsFollowing();
    bool bChanged = m_View.SetRange(GRAPH_AXIS_X, CViewRange::Between(dXMin, dXMax));
    bChanged = m_View.SetRange(GRAPH_AXIS_Y, CViewRange::Between(dYMin, dYMax)) || bChanged;
    if (!bChanged) return plat::FALSE;
    ViewChanged(bWasFollowing);
    return plat::TRUE;
}

void CVelGraphWnd::ResetView()
{
    CancelGesture();
    const bool bWasFollowing = IsFollowing();
    if (m_View.Reset()) ViewChanged(bWasFollowing);
}

void CVelGraphWnd::SetFollowing(bool bFollow)
{
    const bool bWasFollowing = IsFollowing();
    if (bFollow ? m_View.Follow() : m_View.Freeze()) ViewChanged(bWasFollowing);
}

void CVelGraphWnd::GetViewRange(eGraphAxisType eType, double& dMin, double& dMax) const
{
    const tagViewRange r = m_View.GetRange(eType);
    dMin = r.dMin;
    dMax = r.dMax;
}

void CVelGraphWnd::EnableBrowse(bool b)
{
    m_bBrowse = b;
    if (!b) ResetView();
}

void CVelGraphWnd::ViewChanged(bool bWasFollowing)
{
    PlaceBrowseButtons(GetClientRect().top);
    update();
    emit viewChanged();
    if (bWasFollowing != IsFollowing()) emit followingChanged(IsFollowing());
}

// ---- mouse and keys -----------------------------------------------------------

bool CVelGraphWnd::StartGesture(const QMouseEvent* e)
{
    if (!m_bBrowse) return false;
    const QPoint pt = e->position().toPoint();
    const plat::CRect rc = m_pGraph->GetInlineRect();
    if (rc.IsRectEmpty() || !rc.PtInRect(plat::CPoint(pt))) return false;
    m_ptPress = m_ptGesture = pt;
    m_rcPressData = rc;
    m_PressX = m_View.GetRange(GRAPH_AXIS_X);
    m_PressY = m_View.GetRange(GRAPH_AXIS_Y);
    m_eGesture = (e->modifiers() & Qt::ShiftModifier) ? eGesture::Band : eGesture::Pending;
    return true;
}

void CVelGraphWnd::MoveGesture(QPoint pt)
{
    m_ptGesture = pt;
    if (m_eGesture == eGesture::Band) {
        update();
        return;
    }
    if (m_eGesture == eGesture::Pending) {
        if ((pt - m_ptPress).manhattanLength() < kPanThreshold) return;
        m_eGesture = eGesture::Pan;
        setCursor(Qt::ClosedHandCursor);
    }
    // The value under the press point follows the pointer; measured on the
    // ranges of the press, so the steps of one drag add up exactly.
    const bool bWasFollowing = IsFollowing();
    const double dx = double(pt.x() - m_ptPress.x()) / m_rcPressData.Width();
    const double dy = double(pt.y() - m_ptPress.y()) / m_rcPressData.Height();
    bool bChanged = m_View.SetRange(GRAPH_AXIS_X, CViewRange::Shift(m_PressX, -dx, IsLog(*m_pGraph, GRAPH_AXIS_X)));
    bChanged = m_View.SetRange(GRAPH_AXIS_Y, CViewRange::Shift(m_PressY, dy, IsLog(*m_pGraph, GRAPH_AXIS_Y)))
               || bChanged;
    if (bChanged) ViewChanged(bWasFollowing);
}

void CVelGraphWnd::EndGesture(QPoint pt)
{
    const eGesture eDone = m_eGesture;
    CancelGesture();
    if (eDone != eGesture::Band) return;
    plat::CRect rcBand = Band(m_ptPress, pt);
    rcBand.IntersectRect(rcBand, m_rcPressData);
    if (rcBand.Width() < kMinBand || rcBand.Height() < kMinBand) return;
    ZoomTo(ValueAt(GRAPH_AXIS_X, m_PressX, m_rcPressData, rcBand.left),
           ValueAt(GRAPH_AXIS_X, m_PressX, m_rcPressData, rcBand.right),
           ValueAt(GRAPH_AXIS_Y, m_PressY, m_rcPressData, rcBand.bottom),
           ValueAt(GRAPH_AXIS_Y, m_PressY, m_rcPressData, rcBand.top));
}

void CVelGraphWnd::CancelGesture()
{
    if (m_eGesture == eGesture::None) return;
    if (m_eGesture == eGesture::Band) update();
    if (m_eGesture == eGesture::Pan) unsetCursor();
    m_eGesture = eGesture::None;
}

void CVelGraphWnd::PaintBand(plat::CDC* pDC) const
{
    if (m_eGesture != eGesture::Band) return;
    plat::CRect rcBand = Band(m_ptPress, m_ptGesture);
    rcBand.IntersectRect(rcBand, m_rcPressData);
    if (!rcBand.IsRectEmpty()) pDC->DrawFocusRect(rcBand);
}

void CVelGraphWnd::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && m_eGesture != eGesture::None) EndGesture(e->position().toPoint());
    QWidget::mouseReleaseEvent(e);
}

void CVelGraphWnd::wheelEvent(QWheelEvent* e)
{
    const QPoint pt = e->position().toPoint();
    const plat::CRect rc = m_pGraph->GetInlineRect();
    int nDelta = e->angleDelta().y();
    if (nDelta == 0) nDelta = e->angleDelta().x();
    if (!m_bBrowse || nDelta == 0 || rc.IsRectEmpty() || !rc.PtInRect(plat::CPoint(pt))) {
        QWidget::wheelEvent(e);
        return;
    }
    // End and Home then apply to the chart just zoomed.
    setFocus(Qt::MouseFocusReason);
    const double dFactor = std::pow(kWheelStep, nDelta / kWheelNotch);
    if (e->modifiers() & Qt::ControlModifier)
        ZoomY(dFactor, ValueAt(GRAPH_AXIS_Y, m_View.GetRange(GRAPH_AXIS_Y), rc, pt.y()));
    else
        ZoomX(dFactor, ValueAt(GRAPH_AXIS_X, m_View.GetRange(GRAPH_AXIS_X), rc, pt.x()));
    e->accept();
}

void CVelGraphWnd::keyPressEvent(QKeyEvent* e)
{
    if (!m_bBrowse) {
        QWidget::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_End: SetFollowing(true); break;
    case Qt::Key_Home: ResetView(); break;
    case Qt::Key_Escape:
        if (m_eGesture == eGesture::None) {
            QWidget::keyPressEvent(e);
            return;
        }
        CancelGesture();
        break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}
