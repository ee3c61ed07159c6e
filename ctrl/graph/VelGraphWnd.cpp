#include "graph/VelGraphWnd.h"

#include "display/VelButton.h"
#include "platform/DC.h"
#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceModule.h"
#include "platform/SysColor.h"
#include "render/VelMemDC.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr plat::UINT kTipProperty = 4012;
constexpr plat::UINT kTipExportImage = 4013;
constexpr plat::UINT kTipLegend = 4014;
constexpr plat::UINT kIconProperty = 4002;
constexpr plat::UINT kIconExportImage = 4003;
constexpr plat::UINT kIconLegend = 4004;
constexpr plat::UINT kTipFullRange = 4015;
constexpr plat::UINT kTipFollow = 4016;
constexpr plat::UINT kIconFullRange = 4011;
constexpr plat::UINT kIconFollow = 4012;
constexpr int kToolTipDelay = 50;  // milliseconds
constexpr int kButtonsLeft = 5;

// A tool icon at 16 x 16: the library's own resources come first, then the
// rest of the chain, so a program's icon of the same id cannot replace it.
plat::HICON LoadToolIcon(plat::UINT nId)
{
    const plat::CSize size(16, 16);
    if (plat::HICON hIcon = plat::CResourceModule::Library().LoadIcon(nId, size)) return hIcon;
    return plat::CResourceModule::FindIcon(QString::number(nId), size);
}

// Mouse-key flags as the graph's handlers take them.
plat::UINT MouseFlags(const QMouseEvent* e)
{
    plat::UINT n = 0;
    if (e->buttons() & Qt::LeftButton) n |= 0x0001;
    if (e->buttons() & Qt::RightButton) n |= 0x0002;
    if (e->modifiers() & Qt::ShiftModifier) n |= 0x0004;
    if (e->modifiers() & Qt::ControlModifier) n |= 0x0008;
    if (e->buttons() & Qt::MiddleButton) n |= 0x0010;
    return n;
}

}  // namespace

CVelGraphWnd::CVelGraphWnd(QWidget* parent)
    : QWidget(parent), m_pGraph(std::make_unique<CVelGraph>(this, GRAPH_LINE)), m_View(m_pGraph.get())
{
    // The whole client area is painted on every paint: nothing to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    if (m_ToolTip.Create(nullptr, 0)) m_ToolTip.SetDelayTime(kToolTipDelay);
    // Tips come after the control's own delay and also while the window is
    // not active: the window asks for them itself (timerEvent).
    setAttribute(Qt::WA_AlwaysShowToolTips);
    m_pGraph->SetToolTip(&m_ToolTip);
    connect(m_pGraph.get(), &CVelGraph::seriesActivated, this, &CVelGraphWnd::seriesActivated);
}

CVelGraphWnd::~CVelGraphWnd()
{
    m_pGraph.reset();
    m_arButtons.clear();
}

plat::BOOL CVelGraphWnd::Create(plat::DWORD dwStyle, const plat::CRect& rect, QWidget* pParentWnd, plat::UINT nID)
{
    setParent(pParentWnd);
    SetWindowStyle(dwStyle);
    plat::CDialogBuilder::SetDlgCtrlID(this, static_cast<int>(nID));
    setGeometry(rect.toQRect());
    setVisible((dwStyle & plat::style::WS_VISIBLE) != 0);
    return plat::TRUE;
}

void CVelGraphWnd::SetWindowStyle(plat::DWORD dwStyle)
{
    const int nBorder = (dwStyle & plat::style::WS_BORDER) ? 1 : 0;
    if (nBorder == m_nBorder) return;
    m_nBorder = nBorder;
    const plat::CRect rc = GetClientRect();
    if (!rc.IsRectEmpty()) OnSize(rc.Width(), rc.Height());
}

plat::CRect CVelGraphWnd::GetClientRect() const
{
    plat::CRect rc(0, 0, width(), height());
    rc.DeflateRect(m_nBorder, m_nBorder);
    if (rc.IsRectEmpty()) rc = plat::CRect(m_nBorder, m_nBorder, m_nBorder, m_nBorder);
    return rc;
}

// ---- layout and painting ------------------------------------------------

void CVelGraphWnd::resizeEvent(QResizeEvent*)
{
    const plat::CRect rc = GetClientRect();
    OnSize(rc.Width(), rc.Height());
}

void CVelGraphWnd::OnSize(int cx, int cy)
{
    if (cx == 0 || cy == 0) return;
    AdjustLayout();
}

void CVelGraphWnd::AdjustLayout()
{
    plat::CDC dc;
    AdjustLayout(GetClientRect(), &dc);
}

void CVelGraphWnd::AdjustLayout(plat::CRect rc, plat::CDC* pDC)
{
    if (rc.IsRectEmpty()) return;
    if (m_arButtons.empty() && m_bShowButtons) InitButtons();
    m_View.Apply();
    m_pGraph->AdjustLayout(rc, pDC);

    // The buttons lie over the graph's top margin; the graph makes no room.
    int k = 0;
    for (const auto& pRecord : m_arButtons) {
        if (!pRecord->bShow) continue;
        const int x = m_nBorder + kButtonsLeft + k * m_nButtonWidth;
        pRecord->pButton->setGeometry(x, rc.top + 1, m_nButtonWidth, m_nButtonHeight);
        ++k;
    }
    PlaceBrowseButtons(rc.top);
    update();
}

void CVelGraphWnd::paintEvent(QPaintEvent*)
{
    plat::CDC dc(this);
    if (m_nBorder) {
        const plat::COLORREF crFrame = plat::GetSysColor(plat::COLOR_WINDOWFRAME);
        dc.Draw3dRect(0, 0, width(), height(), crFrame, crFrame);
    }
    const plat::CRect rc = GetClientRect();
    if (rc.IsRectEmpty()) return;
    if (m_pGraph->GetBound().IsRectEmpty()) AdjustLayout(rc, &dc);

    CVelMemDC dcMem(&dc, rc, plat::GetSysColor(plat::COLOR_BTNFACE), &m_bmpPaintBuffer);
    // Drawing keeps the window's coordinates, the ones layout and mouse use.
    dcMem.SetWindowOrg(rc.left, rc.top);
    OnDraw(&dcMem, rc);
    PaintBand(&dcMem);
}

void CVelGraphWnd::OnDraw(plat::CDC* pDC, plat::CRect rc)
{
    pDC->FillSolidRect(rc, m_crBkg);
    m_View.Apply();
    m_pGraph->OnDraw(pDC, rc);
}

// ---- mouse and tooltips ---------------------------------------------------

void CVelGraphWnd::mouseMoveEvent(QMouseEvent* e)
{
    m_pGraph->OnMouseMove(MouseFlags(e), plat::CPoint(e->position().toPoint()));
    if (m_eGesture != eGesture::None) MoveGesture(e->position().toPoint());
    if (e->buttons() == Qt::NoButton && m_ToolTip.IsCreated()) {
        m_ptTip = e->position().toPoint();
        m_tipTimer.start(static_cast<int>(m_ToolTip.GetDelayTime()), this);
    }
    QWidget::mouseMoveEvent(e);
}

void CVelGraphWnd::leaveEvent(QEvent* e)
{
    m_tipTimer.stop();
    QWidget::leaveEvent(e);
}

void CVelGraphWnd::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_tipTimer.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    m_tipTimer.stop();
    if (!rect().contains(m_ptTip)) return;
    QHelpEvent help(QEvent::ToolTip, m_ptTip, mapToGlobal(m_ptTip));
    QCoreApplication::sendEvent(this, &help);
}

void CVelGraphWnd::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        if (!m_pGraph->OnLButtonDown(MouseFlags(e), plat::CPoint(e->position().toPoint()))) StartGesture(e);
    }
    QWidget::mousePressEvent(e);
}

void CVelGraphWnd::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The base would turn the double click into a second press.
    if (e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    if (m_bBrowse && (e->modifiers() & Qt::ControlModifier)) ResetView();
    else OnLButtonDblClk(plat::CPoint(e->position().toPoint()));
    e->accept();
}

void CVelGraphWnd::OnLButtonDblClk(plat::CPoint pt)
{
    // Hidden tool buttons mean the host wants no dialogs from the chart.
    if (!m_arButtons.empty()) {
        const tagGraphButton* pProperty = FindButton(kIdProperty);
        if (pProperty && !pProperty->bShow) return;
    }
    // A label edited in the legend dialog may need a wider legend.
    if (m_pGraph->OnLButtonDblClk(0x0001, pt)) AdjustLayout();
    else OnProperty();
}

bool CVelGraphWnd::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    // Tools registered on the tooltip control answer first, then the point
    // markers of the last paint.
    auto* pHelp = static_cast<QHelpEvent*>(e);
    plat::CString strText = m_ToolTip.TextAt(this, pHelp->pos());
    plat::CRect rcTool;
    if (strText.isEmpty() && m_pGraph->GetDrawer())
        m_pGraph->GetDrawer()->GetToolTip(plat::CPoint(pHelp->pos()), strText, rcTool);
    if (strText.isEmpty()) {
        QToolTip::hideText();
        e->ignore();
    } else {
        QToolTip::showText(pHelp->globalPos(), strText, this, rcTool.toQRect());
    }
    return true;
}

// ---- tool buttons -----------------------------------------------------------

CVelGraphWnd::tagGraphButton* CVelGraphWnd::FindButton(plat::UINT nID) const
{
    auto it = std::find_if(m_arButtons.begin(), m_arButtons.end(), [nID](const auto& p) { return p->nID == nID; });
    return it == m_arButtons.end() ? nullptr : it->get();
}

CVelButton* CVelGraphWnd::GetButton(plat::UINT nID) const
{
    if (nID == kIdFullRange) return m_pFullRangeButton.get();
    if (nID == kIdFollow) return m_pFollowButton.get();
    const tagGraphButton* pRecord = FindButton(nID);
    return pRecord ? pRecord->pButton.get() : nullptr;
}

plat::BOOL CVelGraphWnd::AddButton(plat::UINT nIcon, plat::UINT nDisabledIcon, const plat::CString& strTip,
                                   plat::UINT nID)
{
    if (FindButton(nID)) return plat::FALSE;

    auto pButton = std::make_unique<CVelButton>(this);
    plat::CDialogBuilder::SetDlgCtrlID(pButton.get(), static_cast<int>(nID));
    pButton->setGeometry(0, 0, 0, 0);
    pButton->SetIcon(plat::CSize(16, 16), LoadToolIcon(nIcon), nullptr, nullptr, plat::TRUE);
    if (nDisabledIcon) pButton->SetDisabledIcon(LoadToolIcon(nDisabledIcon), plat::FALSE);
    if (!strTip.isNull()) pButton->SetToolTip(strTip);
    pButton->SetBkgInColor(m_crBkg);
    connect(pButton.get(), &QAbstractButton::clicked, this, [this, nID] { OnClickButton(nID); });
    pButton->show();

    auto pRecord = std::make_unique<tagGraphButton>();
    pRecord->nID = nID;
    pRecord->pButton = std::move(pButton);
    pRecord->bShow = 1;
    m_arButtons.push_back(std::move(pRecord));
    AdjustLayout();
    return plat::TRUE;
}

std::unique_ptr<CVelButton> CVelGraphWnd::MakeBrowseButton(plat::UINT nIcon, plat::UINT nTip, plat::UINT nID)
{
    auto pButton = std::make_unique<CVelButton>(this);
    plat::CDialogBuilder::SetDlgCtrlID(pButton.get(), static_cast<int>(nID));
    pButton->setGeometry(0, 0, 0, 0);
    const plat::HICON hIcon = LoadToolIcon(nIcon);
    pButton->SetIcon(plat::CSize(16, 16), hIcon, nullptr, nullptr, plat::TRUE);
    pButton->SetToolTip(plat::CResourceModule::Library().LoadString(nTip));
    pButton->SetBkgInColor(m_crBkg);
    connect(pButton.get(), &QAbstractButton::clicked, this, [this, nID] { OnClickButton(nID); });
    return pButton;
}

// The browse buttons stand after the shown tool buttons, whether or not the
// host wants those: they only appear once the operator has browsed.
void CVelGraphWnd::PlaceBrowseButtons(int nTop)
{
    const bool bFullRange = IsBrowsing();
    const bool bFollow = !IsFollowing();
    if (!m_pFullRangeButton) {
        if (!bFullRange && !bFollow) return;
        m_pFullRangeButton = MakeBrowseButton(kIconFullRange, kTipFullRange, kIdFullRange);
        m_pFollowButton = MakeBrowseButton(kIconFollow, kTipFollow, kIdFollow);
    }
    int k = static_cast<int>(
        std::count_if(m_arButtons.begin(), m_arButtons.end(), [](const auto& p) { return p->bShow != 0; }));
    for (const auto& [pButton, bShow] : {std::pair{m_pFullRangeButton.get(), bFullRange},
                                         std::pair{m_pFollowButton.get(), bFollow}}) {
        if (bShow) {
            pButton->setGeometry(m_nBorder + kButtonsLeft + k * m_nButtonWidth, nTop + 1, m_nButtonWidth,
                                 m_nButtonHeight);
            ++k;
        }
        pButton->setVisible(bShow);
    }
}

void CVelGraphWnd::InitButtons()
{
    const plat::CResourceModule& lib = plat::CResourceModule::Library();
    AddButton(kIconProperty, kIconProperty, lib.LoadString(kTipProperty), kIdProperty);
    AddButton(kIconExportImage, kIconExportImage, lib.LoadString(kTipExportImage), kIdExportImage);
    AddButton(kIconLegend, kIconLegend, lib.LoadString(kTipLegend), kIdLegend);
    ShowButtons(m_bShowButtons);
}

void CVelGraphWnd::ShowButtons(plat::BOOL bShow)
{
    m_bShowButtons = bShow ? 1 : 0;
    for (const auto& pRecord : m_arButtons) {
        pRecord->bShow = m_bShowButtons;
        if (pRecord->nID == kIdLegend) pRecord->bShow = m_bShowButtons && m_pGraph->CanShowLegend();
        pRecord->pButton->setVisible(pRecord->bShow != 0);
    }
    AdjustLayout();
}

void CVelGraphWnd::ShowButton(plat::UINT nID, plat::BOOL bShow)
{
    if (!m_bShowButtons) return;
    if (m_arButtons.empty()) InitButtons();
    if (tagGraphButton* pRecord = FindButton(nID)) {
        pRecord->bShow = bShow ? 1 : 0;
        pRecord->pButton->setVisible(pRecord->bShow != 0);
    }
    AdjustLayout();
}

void CVelGraphWnd::OnClickButton(plat::UINT nID)
{
    switch (nID) {
    case kIdProperty: OnProperty(); break;
    case kIdLegend:
        if (m_pGraph->OnLegendProperty()) AdjustLayout();
        break;
    case kIdExportImage: OnExportImage(); break;
    case kIdFullRange: ResetView(); break;
    case kIdFollow: SetFollowing(true); break;
    default: break;
    }
}

plat::BOOL CVelGraphWnd::OnProperty()
{
    const plat::BOOL bResult = m_pGraph->OnProperty();
    if (bResult) {
        // The ranges just confirmed are to be seen, not a view over them.
        ResetView();
        ShowButton(kIdLegend, m_pGraph->CanShowLegend());
        AdjustLayout();
    }
    return bResult;
}

// ---- forwarding -----------------------------------------------------------

void CVelGraphWnd::SetBkgColor(plat::COLORREF cr)
{
    m_crBkg = cr;
    for (const auto& pRecord : m_arButtons) pRecord->pButton->SetBkgInColor(cr);
    for (CVelButton* pButton : {m_pFullRangeButton.get(), m_pFollowButton.get()})
        if (pButton) pButton->SetBkgInColor(cr);
    update();
}

void CVelGraphWnd::SetGraphType(eGraphStyle eStyle)
{
    m_pGraph->SetGraphType(eStyle);
    m_pGraph->SetToolTip(&m_ToolTip);
    update();
}

void CVelGraphWnd::SetDrawer(std::unique_ptr<CVelGraphDrawer> pDrawer)
{
    m_pGraph->SetDrawer(std::move(pDrawer));
    // A new drawer starts without the window's tooltip control.
    m_pGraph->SetToolTip(&m_ToolTip);
}

void CVelGraphWnd::SetTitle(const plat::CString& str)
{
    m_pGraph->SetTitle(str);
    update();
}

void CVelGraphWnd::SetXTitle(const plat::CString& str)
{
    m_pGraph->SetXTitle(str);
    update();
}

void CVelGraphWnd::SetYTitle(const plat::CString& str)
{
    m_pGraph->SetYTitle(str);
    update();
}

void CVelGraphWnd::SetAxisRange(eGraphAxisType eType, double dMin, double dMax, plat::BOOL bRecalculate)
{
    m_View.SetAxisRange(eType, dMin, dMax, bRecalculate);
    update();
}

void CVelGraphWnd::SetAxisLogarithm(eGraphAxisType eType, plat::BOOL b)
{
    ResetView();
    m_pGraph->SetAxisLogarithm(eType, b);
    update();
}

int CVelGraphWnd::AddSeries(plat::UINT nCount, const double* pX, const double* pY)
{
    const int nIndex = m_pGraph->AddSeries(nCount, pX, pY);
    update();
    return nIndex;
}

void CVelGraphWnd::SetSeriesAt(int nIndex, plat::UINT nCount, const double* pX, const double* pY)
{
    m_pGraph->SetSeriesAt(nIndex, nCount, pX, pY);
    update();
}

void CVelGraphWnd::RemoveAll(plat::BOOL bSeriesOnly)
{
    ResetView();
    m_pGraph->RemoveAll(bSeriesOnly);
    update();
}
