#pragma once

#include "platform/WinDef.h"

#include <cstdint>

class QWidget;

namespace plat {

// The handle of a tree item, for the editors' tree form; the editors only
// carry it back in their notification.
struct TreeItemTag;
using HTREEITEM = TreeItemTag*;
using LPARAM = std::intptr_t;

// Notification codes of an ended and a committed in-place edit.
inline constexpr int LVN_ENDLABELEDITA = -106;
inline constexpr int LVN_SETDISPINFOA = -151;
inline constexpr int TVN_ENDLABELEDITA = -411;

// Item mask bit: the text is valid.
inline constexpr UINT LVIF_TEXT = 0x0001;

}  // namespace plat

// What an in-place editor reports when it ends: the sender, the code and the
// edited item (row and column in list form; handle and value in tree form)
// with its final text.
struct sInPlaceNotify {
    QWidget* hwndFrom = nullptr;  // the editor's parent; not owned
    int idFrom = 0;               // the editor's control identifier
    int code = 0;
    plat::UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    plat::HTREEITEM hItem = nullptr;
    plat::LPARAM lParam = 0;
    plat::CString strText;
    int cchTextMax = 0;  // length of strText
};

// The end-of-edit notification of an editor: sent by its parent, with the
// editor's control identifier, in list form (row and column) or tree form
// (item handle and the value given to the editor).
sInPlaceNotify MakeEndEditNotify(const QWidget* editor, bool bTree, int nItem, int nSubItem,
                                 plat::HTREEITEM hItem, const plat::CString& strText);
