#include "platform/DialogTemplate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <unordered_map>

namespace plat {

namespace style {

bool StyleValue(const QString& name, DWORD* value)
{
    static const std::unordered_map<std::string, DWORD> table = {
#define PLAT_STYLE(n) {#n, n}
        PLAT_STYLE(WS_POPUP), PLAT_STYLE(WS_CHILD), PLAT_STYLE(WS_MINIMIZE), PLAT_STYLE(WS_VISIBLE),
        PLAT_STYLE(WS_DISABLED), PLAT_STYLE(WS_BORDER), PLAT_STYLE(WS_DLGFRAME), PLAT_STYLE(WS_CAPTION),
        PLAT_STYLE(WS_VSCROLL), PLAT_STYLE(WS_HSCROLL), PLAT_STYLE(WS_SYSMENU), PLAT_STYLE(WS_GROUP),
        PLAT_STYLE(WS_TABSTOP), PLAT_STYLE(WS_MINIMIZEBOX), PLAT_STYLE(WS_MAXIMIZEBOX),
        PLAT_STYLE(WS_EX_DLGMODALFRAME), PLAT_STYLE(WS_EX_CLIENTEDGE), PLAT_STYLE(WS_EX_STATICEDGE),
        PLAT_STYLE(WS_EX_APPWINDOW), PLAT_STYLE(DS_SETFONT), PLAT_STYLE(DS_MODALFRAME), PLAT_STYLE(DS_CENTER),
        PLAT_STYLE(DS_SHELLFONT), PLAT_STYLE(SS_LEFT), PLAT_STYLE(SS_CENTER), PLAT_STYLE(SS_RIGHT),
        PLAT_STYLE(SS_ICON), PLAT_STYLE(SS_BLACKFRAME), PLAT_STYLE(SS_NOTIFY), PLAT_STYLE(SS_CENTERIMAGE),
        PLAT_STYLE(SS_SUNKEN), PLAT_STYLE(ES_LEFT), PLAT_STYLE(ES_CENTER), PLAT_STYLE(ES_RIGHT),
        PLAT_STYLE(ES_PASSWORD), PLAT_STYLE(ES_AUTOHSCROLL), PLAT_STYLE(ES_READONLY), PLAT_STYLE(ES_NUMBER),
        PLAT_STYLE(BS_PUSHBUTTON), PLAT_STYLE(BS_DEFPUSHBUTTON), PLAT_STYLE(BS_CHECKBOX),
        PLAT_STYLE(BS_AUTOCHECKBOX), PLAT_STYLE(BS_RADIOBUTTON), PLAT_STYLE(BS_GROUPBOX),
        PLAT_STYLE(BS_AUTORADIOBUTTON), PLAT_STYLE(BS_LEFT), PLAT_STYLE(BS_RIGHT), PLAT_STYLE(BS_CENTER),
        PLAT_STYLE(BS_TOP), PLAT_STYLE(BS_BOTTOM), PLAT_STYLE(BS_VCENTER), PLAT_STYLE(CBS_SIMPLE), PLAT_STYLE(CBS_DROPDOWN),
        PLAT_STYLE(CBS_DROPDOWNLIST), PLAT_STYLE(CBS_AUTOHSCROLL), PLAT_STYLE(CBS_SORT),
        PLAT_STYLE(LBS_NOTIFY), PLAT_STYLE(UDS_WRAP), PLAT_STYLE(UDS_ARROWKEYS), PLAT_STYLE(UDS_HORZ),
#undef PLAT_STYLE
    };
    const auto it = table.find(name.toStdString());
    if (it == table.end()) return false;
    *value = it->second;
    return true;
}

}  // namespace style

namespace {

// A style expression as a resource script writes it: "A | B | NOT C".
bool ParseStyle(const QString& text, DWORD initial, DWORD* result, QString* error)
{
    DWORD value = initial;
    bool negate = false;
    static const QRegularExpression separators(QStringLiteral("[\\s|]+"));
    for (const QString& token : text.split(separators, Qt::SkipEmptyParts)) {
        if (token == QLatin1String("NOT")) {
            negate = true;
            continue;
        }
        DWORD bits = 0;
        bool ok = false;
        if (token.startsWith(QLatin1String("0x"))) bits = token.mid(2).toUInt(&ok, 16);
        else ok = style::StyleValue(token, &bits);
        if (!ok) {
            if (error) *error = QStringLiteral("unknown style \"%1\"").arg(token);
            return false;
        }
        value = negate ? (value & ~bits) : (value | bits);
        negate = false;
    }
    *result = value;
    return true;
}

bool ReadRect(const QJsonValue& v, int* x, int* y, int* cx, int* cy)
{
    const QJsonArray a = v.toArray();
    if (a.size() != 4) return false;
    *x = a[0].toInt();
    *y = a[1].toInt();
    *cx = a[2].toInt();
    *cy = a[3].toInt();
    return true;
}

CDialogTemplate Invalid(QString* error, const QString& reason)
{
    if (error) *error = reason;
    return {};
}

}  // namespace

const CDialogItemTemplate* CDialogTemplate::Find(int id) const
{
    for (const auto& item : items)
        if (item.nId == id) return &item;
    return nullptr;
}

CDialogTemplate CDialogTemplate::FromJson(const QByteArray& data, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (!doc.isObject()) return Invalid(error, parseError.errorString());
    const QJsonObject o = doc.object();

    CDialogTemplate t;
    t.strCaption = o.value(QLatin1String("caption")).toString();
    const QJsonArray font = o.value(QLatin1String("font")).toArray();
    if (font.size() == 2) {
        t.strFaceName = font[0].toString();
        t.nPointSize = font[1].toInt(8);
    }
    const QJsonArray size = o.value(QLatin1String("size")).toArray();
    if (size.size() != 2) return Invalid(error, QStringLiteral("dialog size missing"));
    t.cx = size[0].toInt();
    t.cy = size[1].toInt();
    QString reason;
    if (!ParseStyle(o.value(QLatin1String("style")).toString(), 0, &t.dwStyle, &reason)
        || !ParseStyle(o.value(QLatin1String("exStyle")).toString(), 0, &t.dwExStyle, &reason))
        return Invalid(error, reason);

    for (const QJsonValue& cv : o.value(QLatin1String("controls")).toArray()) {
        const QJsonObject c = cv.toObject();
        CDialogItemTemplate item;
        item.nId = c.value(QLatin1String("id")).toInt(-1);
        item.strClass = c.value(QLatin1String("class")).toString();
        item.strText = c.value(QLatin1String("text")).toString();
        if (item.strClass.isEmpty() || !ReadRect(c.value(QLatin1String("rect")), &item.x, &item.y, &item.cx, &item.cy))
            return Invalid(error, QStringLiteral("control %1: class or rect missing").arg(item.nId));
        // Controls are visible children unless the data says NOT WS_VISIBLE.
        if (!ParseStyle(c.value(QLatin1String("style")).toString(), style::WS_CHILD | style::WS_VISIBLE,
                        &item.dwStyle, &reason)
            || !ParseStyle(c.value(QLatin1String("exStyle")).toString(), 0, &item.dwExStyle, &reason))
            return Invalid(error, QStringLiteral("control %1: %2").arg(item.nId).arg(reason));
        for (const QJsonValue& s : c.value(QLatin1String("items")).toArray()) item.items << s.toString();
        t.items.push_back(item);
    }
    t.nId = o.value(QLatin1String("id")).toInt(0);
    if (!t.IsValid()) return Invalid(error, QStringLiteral("dialog id missing"));
    return t;
}

CDialogTemplate CDialogTemplate::Load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Invalid(error, file.errorString());
    return FromJson(file.readAll(), error);
}

}  // namespace plat
