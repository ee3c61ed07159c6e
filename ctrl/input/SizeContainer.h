#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QPointer>
#include <QWidget>
#include <list>

// One remembered child: its rectangle in its parent's client coordinates as
// last computed, before rounding, so repeated scaling does not drift.
struct tagWndSize {
    QWidget* hWnd = nullptr;  // not owned
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// Grows and shrinks every child of a window in proportion to the window.
// The owner calls SetNewSize from its resize handling with the new client
// size; the first call only records it, later ones scale every descendant
// by new size / previous size and move it there, e.g. in a window placed
// by hand (a dialog template):
//
//   void MainWindow::resizeEvent(QResizeEvent* e) { m_sizer.SetNewSize(this, width(), height()); }
//
// Children arranged by a layout are moved by their layout too: use it for
// windows whose children have fixed places. Windows of their own (dialogs,
// pop-ups) that have the window as parent are not children and stay put.
// Records of children that were destroyed are dropped at the next scaling,
// so a new child at a reused address starts afresh from its own rectangle.
class QUINDLE_EXPORT CSizeContainer {
public:
    CSizeContainer() = default;
    virtual ~CSizeContainer() = default;

    // Does nothing when cx or cy is 0 (or less): a minimised window.
    void SetNewSize(QWidget* pWnd, int cx, int cy);

    plat::BOOL FindWndSize(const QWidget* hWnd, tagWndSize& wndSize) const;
    // Overwrites the first record of hWnd; nothing when there is none.
    void SetWndSize(const QWidget* hWnd, const tagWndSize& wndSize);

    int GetPreviousWidth() const { return m_nPrevWidth; }
    int GetPreviousHeight() const { return m_nPrevHeight; }
    int GetRecordCount() const { return int(m_records.size()); }

private:
    struct Record {
        tagWndSize size;
        QPointer<QWidget> guard;  // null once the child is gone
    };

    void ScaleChild(QWidget* pChild, int cx, int cy);

    std::list<Record> m_records;
    int m_nPrevWidth = 0;
    int m_nPrevHeight = 0;
};
