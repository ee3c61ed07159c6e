#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace plat {

// Window and control style bits of dialog templates, with their Windows
// values. They live in their own namespace so that other headers may define
// style names of their own without a clash.
namespace style {
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;

inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_SHELLFONT = 0x0048;

inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_RIGHT = 0x0002;
inline constexpr DWORD SS_ICON = 0x0003;
inline constexpr DWORD SS_BLACKFRAME = 0x0007;
inline constexpr DWORD SS_TYPEMASK = 0x001F;
inline constexpr DWORD SS_NOTIFY = 0x0100;
inline constexpr DWORD SS_CENTERIMAGE = 0x0200;
inline constexpr DWORD SS_SUNKEN = 0x1000;

inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_NUMBER = 0x2000;

inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_CHECKBOX = 0x0002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_RADIOBUTTON = 0x0004;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
inline constexpr DWORD BS_TYPEMASK = 0x000F;
inline constexpr DWORD BS_LEFT = 0x0100;
inline constexpr DWORD BS_RIGHT = 0x0200;
inline constexpr DWORD BS_CENTER = 0x0300;
inline constexpr DWORD BS_TOP = 0x0400;
inline constexpr DWORD BS_BOTTOM = 0x0800;
inline constexpr DWORD BS_VCENTER = 0x0C00;

inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_TYPEMASK = 0x0003;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_SORT = 0x0100;

inline constexpr DWORD LBS_NOTIFY = 0x0001;

inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;

// The value of a style name as written in template data ("WS_CHILD",
// "SS_CENTER"...); false for a name this table does not know.
QUINDLE_EXPORT bool StyleValue(const QString& name, DWORD* value);
}  // namespace style

// The window classes a template names; anything else is kept as written.
inline constexpr const char* WC_BUTTON = "BUTTON";
inline constexpr const char* WC_STATIC = "STATIC";
inline constexpr const char* WC_EDIT = "EDIT";
inline constexpr const char* WC_COMBOBOX = "COMBOBOX";
inline constexpr const char* WC_LISTBOX = "LISTBOX";
inline constexpr const char* WC_UPDOWN = "msctls_updown32";

// One control of a dialog template; position and size in dialog units.
struct QUINDLE_EXPORT CDialogItemTemplate {
    int nId = -1;
    QString strClass;
    QString strText;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    QStringList items;  // initialisation data of a combo or list box, in order
};

// A dialog template: caption, font, size in dialog units, style and the
// controls in tab order. Read from the JSON data under app/res and ctrl/res.
struct QUINDLE_EXPORT CDialogTemplate {
    int nId = 0;  // 0: no valid template
    QString strCaption;
    QString strFaceName;
    int nPointSize = 8;
    int cx = 0;
    int cy = 0;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    std::vector<CDialogItemTemplate> items;

    bool IsValid() const { return nId != 0; }
    const CDialogItemTemplate* Find(int id) const;

    // Parses template data; an invalid template (and the reason in *error)
    // for broken data or an unknown style name.
    static CDialogTemplate FromJson(const QByteArray& data, QString* error = nullptr);
    // Reads a template from a file or a Qt resource path.
    static CDialogTemplate Load(const QString& path, QString* error = nullptr);
};

}  // namespace plat
