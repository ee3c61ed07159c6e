#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace plat {

// A tooltip control: a list of tools, each a rectangle of a window with a
// text, answered when Qt asks the window for a tooltip (QEvent::ToolTip).
// Tools registered by one paint and removed by the next, as the chart does,
// are cheap: nothing is shown until the pointer rests on one.
class QUINDLE_EXPORT CToolTipCtrl : public QObject {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() override;

    // The owner may be null; tools name their own windows.
    BOOL Create(QWidget* owner = nullptr, DWORD style = 0);
    BOOL IsCreated() const { return m_created; }

    // rect in wnd's client coordinates; an empty rect is the whole window.
    BOOL AddTool(QWidget* wnd, const CString& text, const CRect& rect = CRect(), UINT id = 0);
    // Removes the first tool of wnd with id.
    void DelTool(QWidget* wnd, UINT id = 0);
    int GetToolCount() const { return int(m_tools.size()); }
    void UpdateTipText(const CString& text, QWidget* wnd, UINT id = 0);

    void Activate(BOOL active) { m_active = active != 0; }
    // How long the pointer rests before a tip; windows that ask for their
    // tips themselves (the graph window) wait this long.
    void SetDelayTime(UINT milliseconds) { m_delay = milliseconds; }
    UINT GetDelayTime() const { return m_delay; }

    // The text of the first tool of wnd containing p, or empty.
    CString TextAt(const QWidget* wnd, QPoint p) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tool {
        QPointer<QWidget> wnd;
        UINT id = 0;
        CRect rect;
        CString text;
    };
    void Watch(QWidget* wnd);

    std::vector<Tool> m_tools;
    std::vector<QPointer<QWidget>> m_watched;
    bool m_created = false;
    bool m_active = true;
    UINT m_delay = 0;
};

}  // namespace plat
