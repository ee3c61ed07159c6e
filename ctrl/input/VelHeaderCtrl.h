#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QHeaderView>

namespace plat {
class CDC;
}  // namespace plat

// The header of the editable list: one column can carry a sort arrow (up for
// ascending, down for descending) at the right of its label. A column once
// made the sort column is drawn by this class from then on (without an arrow
// when another column takes over); the others keep the standard look.
// Each column's format (alignment and owner-draw bits) is kept with the
// model's header data, so it follows columns as they are inserted and removed.
class QUINDLE_EXPORT CVelHeaderCtrl : public QHeaderView {
    Q_OBJECT

public:
    // Format bits of a header item.
    static constexpr int HDF_LEFT = 0x0000;
    static constexpr int HDF_RIGHT = 0x0001;
    static constexpr int HDF_CENTER = 0x0002;
    static constexpr int HDF_JUSTIFYMASK = 0x0003;
    static constexpr int HDF_STRING = 0x4000;
    static constexpr int HDF_OWNERDRAW = 0x8000;
    // Item state of a pressed header item.
    static constexpr plat::UINT ODS_SELECTED = 0x0001;
    // The header data role the format is kept under.
    static constexpr int kFormatRole = Qt::UserRole + 0x4844;

    explicit CVelHeaderCtrl(QWidget* parent = nullptr);
    ~CVelHeaderCtrl() override;

    // Makes nColumn the sort column with that direction; on the current sort
    // column it only reverses the direction, whatever bAscending says.
    void SetSortColumn(int nColumn, bool bAscending);
    int GetSortColumn() const { return m_nSortColumn; }
    plat::BOOL IsAscending() const { return m_bAscending; }

    int GetItemFormat(int nItem) const;
    void SetItemFormat(int nItem, int nFormat);

    // Draws one item as the owner: face, label, and the arrow on the sort
    // column. nState is ODS_SELECTED while the item is pressed.
    void DrawItem(plat::CDC* pDC, const plat::CRect& rcItem, int nItem, plat::UINT nState) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void DrawArrow(plat::CDC* pDC, const plat::CRect& rcItem, int o) const;

    int m_nSortColumn = -1;
    plat::BOOL m_bAscending = plat::TRUE;
};
