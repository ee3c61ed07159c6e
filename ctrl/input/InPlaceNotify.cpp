#include "input/InPlaceNotify.h"

#include "platform/DialogBuilder.h"

#include <QWidget>

using namespace plat;

sInPlaceNotify MakeEndEditNotify(const QWidget* editor, bool bTree, int nItem, int nSubItem, HTREEITEM hItem,
                                 const CString& strText)
{
    sInPlaceNotify info;
    info.hwndFrom = editor->parentWidget();
    info.idFrom = CDialogBuilder::GetDlgCtrlID(editor);
    info.code = bTree ? TVN_ENDLABELEDITA : LVN_ENDLABELEDITA;
    info.mask = LVIF_TEXT;
    if (bTree) {
        info.hItem = hItem;
        info.lParam = nSubItem;
    } else {
        info.iItem = nItem;
        info.iSubItem = nSubItem;
    }
    info.strText = strText;
    info.cchTextMax = static_cast<int>(strText.size());
    return info;
}
