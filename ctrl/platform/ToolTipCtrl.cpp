#include "platform/ToolTipCtrl.h"

#include <QHelpEvent>
#include <QToolTip>
#include <algorithm>

namespace plat {

CToolTipCtrl::~CToolTipCtrl()
{
    for (const auto& w : m_watched)
        if (w) w->removeEventFilter(this);
}

BOOL CToolTipCtrl::Create(QWidget*, DWORD)
{
    m_created = true;
    return TRUE;
}

void CToolTipCtrl::Watch(QWidget* wnd)
{
    if (std::any_of(m_watched.begin(), m_watched.end(), [&](const auto& w) { return w == wnd; })) return;
    wnd->installEventFilter(this);
    m_watched.emplace_back(wnd);
}

BOOL CToolTipCtrl::AddTool(QWidget* wnd, const CString& text, const CRect& rect, UINT id)
{
    if (!wnd) return FALSE;
    std::erase_if(m_tools, [](const Tool& t) { return !t.wnd; });
    Watch(wnd);
    m_tools.push_back({wnd, id, rect, text});
    return TRUE;
}

void CToolTipCtrl::DelTool(QWidget* wnd, UINT id)
{
    auto it = std::find_if(m_tools.begin(), m_tools.end(), [&](const Tool& t) { return t.wnd == wnd && t.id == id; });
    if (it != m_tools.end()) m_tools.erase(it);
}

void CToolTipCtrl::UpdateTipText(const CString& text, QWidget* wnd, UINT id)
{
    for (Tool& t : m_tools)
        if (t.wnd == wnd && t.id == id) t.text = text;
}

CString CToolTipCtrl::TextAt(const QWidget* wnd, QPoint p) const
{
    for (const Tool& t : m_tools) {
        if (t.wnd != wnd) continue;
        const CRect area = t.rect.IsRectEmpty() ? CRect(t.wnd->rect()) : t.rect;
        if (area.PtInRect(CPoint(p))) return t.text;
    }
    return {};
}

bool CToolTipCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip || !m_active) return false;
    auto* wnd = qobject_cast<QWidget*>(watched);
    auto* help = static_cast<QHelpEvent*>(event);
    const CString text = wnd ? TextAt(wnd, help->pos()) : CString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(help->globalPos(), text, wnd);
    return true;
}

}  // namespace plat
