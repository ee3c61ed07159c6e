#include "input/ACMatchList.h"

#include "input/ACComboBox.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/InvalidArgException.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdlib>

using namespace plat;

namespace {

constexpr COLORREF kNavy = 0x800000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr int kFrame = 2;  // the outline's top and bottom line
constexpr int kTextIndent = 3;

}  // namespace

// A tool-tip window: above its owner's window, placed exactly, never active.
CACMatchList::CACMatchList(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_pScrollBar(new QScrollBar(Qt::Vertical, this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    m_pScrollBar->setFocusPolicy(Qt::NoFocus);
    m_pScrollBar->setSingleStep(1);
    m_pScrollBar->hide();
    connect(m_pScrollBar, &QAbstractSlider::actionTriggered, this, &CACMatchList::OnScrollAction);
}

CACMatchList::~CACMatchList() = default;

bool CACMatchList::Create(CACComboBox* pOwner)
{
    if (!pOwner) return false;
    m_pOwner = pOwner;
    if (!parentWidget()) setParent(pOwner, windowFlags());
    hide();
    setGeometry(QRect(pOwner->mapToGlobal(QPoint(0, 0)), pOwner->size()));
    return true;
}

void CACMatchList::ClearMatches()
{
    m_matches.clear();
    m_nScrollMax = 0;
    SetScrollPos(0);
}

void CACMatchList::AddMatch(int nItem, const CString& strText)
{
    m_matches.push_back({nItem, strText});
}

const CACMatchList::tagMatch& CACMatchList::GetMatch(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetMatchCount()) throw CInvalidArgException("CACMatchList: match index out of range");
    return m_matches[nIndex];
}

int CACMatchList::GetRowHeight() const
{
    const QWidget* source = m_pOwner ? (m_pOwner->parentWidget() ? m_pOwner->parentWidget() : m_pOwner) : this;
    CFont font;
    font.CreateFromQFont(source->font());
    const LOGFONT* lf = font.Log();
    // Never 0: every row position is a division by it.
    return std::max(1, lf ? std::abs(int(lf->lfHeight)) : 0);
}

QRect CACMatchList::ListRect(const QRect& rcCombo, const QRect& rcScreen, int nListHeight, int nWidth)
{
    const int comboTop = rcCombo.top(), comboBottom = rcCombo.top() + rcCombo.height();
    const int screenBottom = rcScreen.top() + rcScreen.height();
    int top, bottom;
    if (comboBottom + nListHeight > screenBottom) {
        bottom = comboTop;
        top = std::max(rcScreen.top(), comboTop - nListHeight - kFrame);
    } else {
        top = comboBottom;
        bottom = comboBottom + nListHeight + kFrame;
    }
    return {rcCombo.left(), top, nWidth, bottom - top};
}

void CACMatchList::UpdatePlacement()
{
    if (!m_pOwner) return;
    const int h = GetRowHeight();
    const int nCount = GetMatchCount();
    const int nListHeight = std::min(nCount, m_nMaxRows) * h;
    const QRect rcCombo(m_pOwner->mapToGlobal(QPoint(0, 0)), m_pOwner->size());
    const QScreen* screen = m_pOwner->screen() ? m_pOwner->screen() : QGuiApplication::primaryScreen();
    const QRect rcScreen = screen ? screen->geometry() : QRect(0, 0, 1 << 20, 1 << 20);
    // The drop-down's width: the combo's, or its item view's minimum when wider.
    const int nWidth = std::max(m_pOwner->width(), m_pOwner->view()->minimumWidth());
    const QRect rc = ListRect(rcCombo, rcScreen, nListHeight, nWidth);
    setGeometry(rc);

    if (rc.height() < nCount * h) {
        m_nScrollMax = nCount - 1;
        m_nScrollPage = rc.height() / h;
        m_bScrollBar = true;
    } else {
        m_bScrollBar = false;
    }
    SetScrollPos(m_nScrollPos);
    SyncScrollBar();
}

void CACMatchList::SetScrollPos(int nPos)
{
    // As a Windows scroll bar with a page: the last position shows the last page.
    const int nLast = std::max(0, m_nScrollMax - std::max(1, m_nScrollPage) + 1);
    m_nScrollPos = std::clamp(nPos, 0, nLast);
    SyncScrollBar();
}

void CACMatchList::SyncScrollBar()
{
    const QSignalBlocker block(m_pScrollBar);
    if (!m_bScrollBar) {
        m_pScrollBar->hide();
        return;
    }
    const int nPage = std::max(1, m_nScrollPage);
    m_pScrollBar->setRange(0, std::max(0, m_nScrollMax - nPage + 1));
    m_pScrollBar->setPageStep(nPage);
    m_pScrollBar->setValue(m_nScrollPos);
    const int w = m_pScrollBar->sizeHint().width();
    m_pScrollBar->setGeometry(width() - w, 0, w, height());
    m_pScrollBar->show();
}

void CACMatchList::OnVScroll(int nSBCode, int nPos)
{
    if (m_matches.isEmpty()) return;
    const int nVisible = height() / GetRowHeight();
    const int nCount = GetMatchCount();
    const int nCur = m_nScrollPos;
    int nNew = nCur;
    switch (nSBCode) {
    case SB_LINEUP:
        if (nCur - 1 >= 0) nNew = nCur - 1;
        break;
    case SB_LINEDOWN:
        if (nCur + 1 + nVisible <= nCount) nNew = nCur + 1;
        break;
    case SB_PAGEUP:
        if (nCur >= 1) nNew = std::max(0, nCur - nVisible);
        break;
    case SB_PAGEDOWN:
        if (nCur < nCount - nVisible) nNew = std::min(nCur + nVisible, nCount - nVisible);
        break;
    case SB_THUMBTRACK:
        nNew = nPos;
        break;
    default:
        return;
    }
    if (nNew == nCur) return;
    SetScrollPos(nNew);
    update();
}

void CACMatchList::OnScrollAction(int nAction)
{
    switch (nAction) {
    case QAbstractSlider::SliderSingleStepSub: OnVScroll(SB_LINEUP); break;
    case QAbstractSlider::SliderSingleStepAdd: OnVScroll(SB_LINEDOWN); break;
    case QAbstractSlider::SliderPageStepSub: OnVScroll(SB_PAGEUP); break;
    case QAbstractSlider::SliderPageStepAdd: OnVScroll(SB_PAGEDOWN); break;
    case QAbstractSlider::SliderMove: OnVScroll(SB_THUMBTRACK, m_pScrollBar->sliderPosition()); break;
    default: break;
    }
    // The bar shows where the list is, whatever the bar itself would have done.
    m_pScrollBar->setSliderPosition(m_nScrollPos);
}

int CACMatchList::ClientWidth() const
{
    return width() - (m_bScrollBar ? m_pScrollBar->sizeHint().width() : 0);
}

int CACMatchList::RowAt(int y) const
{
    // Rows start below the outline's top line.
    return std::max(0, y - 1) / GetRowHeight();
}

void CACMatchList::paintEvent(QPaintEvent*)
{
    if (!m_pOwner) return;
    CDC dc(this);
    const int w = ClientWidth(), nHeight = height();
    CGdiObject* pOldPen = dc.SelectStockObject(BLACK_PEN);
    CGdiObject* pOldBrush = dc.SelectStockObject(WHITE_BRUSH);
    dc.Rectangle(0, 0, w, nHeight);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);

    const QWidget* source = m_pOwner->parentWidget() ? m_pOwner->parentWidget() : m_pOwner;
    CFont font;
    font.CreateFromQFont(source->font());
    CFont* pOldFont = dc.SelectObject(&font);
    // A row's text may be taller than the row: keep it off the outline.
    dc.IntersectClipRect(1, 1, w - 1, nHeight - 1);
    const int h = GetRowHeight();
    int y = 1;
    for (int i = m_nScrollPos; i < GetMatchCount() && y < nHeight - 2; ++i, y += h) {
        const bool bHot = i == m_nHot;
        if (bHot) dc.FillSolidRect(1, y, w - 2, h, kNavy);
        dc.SetTextColor(bHot ? kWhite : kBlack);
        dc.SetBkColor(bHot ? kNavy : kWhite);
        dc.TextOut(kTextIndent, y, m_matches[i].strText);
    }
    dc.SelectObject(pOldFont);
}

void CACMatchList::mouseMoveEvent(QMouseEvent* event)
{
    unsetCursor();
    const int nHot = m_nScrollPos + RowAt(event->position().toPoint().y());
    if (nHot != m_nHot) {
        m_nHot = nHot;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void CACMatchList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int nIndex = RowAt(event->position().toPoint().y()) + m_nScrollPos;
        m_nHot = nIndex;
        if (m_pOwner && nIndex >= 0 && nIndex < GetMatchCount()) m_pOwner->setCurrentIndex(m_matches[nIndex].nItem);
        hide();
    }
    QWidget::mouseReleaseEvent(event);
}

void CACMatchList::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    const QWidget* pFocus = QApplication::focusWidget();
    const bool bOurs = pFocus && (pFocus == this || isAncestorOf(pFocus) || pFocus == m_pOwner ||
                                  (m_pOwner && m_pOwner->isAncestorOf(pFocus)));
    if (!bOurs) hide();
}

void CACMatchList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SyncScrollBar();
}
