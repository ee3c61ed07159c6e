#include "input/TarnMenuStyle.h"

#include "input/TarnMenu.h"

#include <QStyleOptionMenuItem>

CTarnMenuStyle::CTarnMenuStyle(CTarnMenu* pOwner) : m_pOwner(pOwner) {}

QSize CTarnMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                       const QWidget* widget) const
{
    if (type == CT_MenuItem)
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            const bool bSeparator = item->menuItemType == QStyleOptionMenuItem::Separator;
            return m_pOwner->ItemSize(widget, item->text, bSeparator);
        }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int CTarnMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return kPanelWidth;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return kMargin;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}
