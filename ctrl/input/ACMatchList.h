#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QRect>
#include <QVector>
#include <QWidget>

class CACComboBox;
class QScrollBar;

// The pop-up list of an auto-complete combo box: the items that begin with
// the typed text, below the combo box (above it when there is no room
// below), at most eight rows high with a scroll bar beyond. A click picks
// a row. The list never takes the focus, so typing goes on in the combo box.
class QUINDLE_EXPORT CACMatchList : public QWidget {
    Q_OBJECT

public:
    struct tagMatch {
        int nItem = -1;  // index of the item in the combo box
        plat::CString strText;
    };

    // Scroll codes of OnVScroll, with their Windows values.
    enum { SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBTRACK = 5 };

    explicit CACMatchList(QWidget* parent = nullptr);
    ~CACMatchList() override;

    // Serves pOwner from now on; the list is a window of its own above
    // pOwner's window. Returns false without an owner.
    virtual bool Create(CACComboBox* pOwner);
    CACComboBox* GetOwner() const { return m_pOwner; }

    // Empties the list and sets the scroll range back to 0..0.
    void ClearMatches();
    void AddMatch(int nItem, const plat::CString& strText);
    int GetMatchCount() const { return int(m_matches.size()); }
    const tagMatch& GetMatch(int nIndex) const;

    int GetMaxVisibleRows() const { return m_nMaxRows; }
    // Height of one row: the character height of the owner's parent's font.
    int GetRowHeight() const;
    int GetHotIndex() const { return m_nHot; }

    // The vertical scroll bar: position (the first row shown), range
    // 0..GetScrollMax() and page (rows in view) as a Windows scroll bar has them.
    int GetScrollPos() const { return m_nScrollPos; }
    int GetScrollMax() const { return m_nScrollMax; }
    int GetScrollPage() const { return m_nScrollPage; }
    bool IsScrollBarShown() const { return m_bScrollBar; }
    void OnVScroll(int nSBCode, int nPos = 0);

    // Places the list at its owner and sets up the scroll bar for the
    // current matches; runs before the list is shown and on WindowMove.
    void UpdatePlacement();
    // Where a list of nListHeight pixels goes for a combo box at rcCombo
    // (screen coordinates) on a screen rcScreen, nWidth wide.
    static QRect ListRect(const QRect& rcCombo, const QRect& rcScreen, int nListHeight, int nWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetScrollPos(int nPos);
    void SyncScrollBar();
    void OnScrollAction(int nAction);
    // The row under y (client coordinates), counted from the first match.
    int RowAt(int y) const;
    int ClientWidth() const;

    CACComboBox* m_pOwner = nullptr;  // not owned
    int m_nMaxRows = 8;
    QVector<tagMatch> m_matches;
    int m_nHot = -1;
    int m_nScrollPos = 0;
    int m_nScrollMax = 0;
    int m_nScrollPage = 0;
    bool m_bScrollBar = false;
    QScrollBar* m_pScrollBar;  // child
};
