#pragma once

#include <QProxyStyle>

class CTarnMenu;

// The style of a converted menu: item sizes come from the owning
// CTarnMenu's MeasureItem; the painting itself is done by the CTarnMenu.
class CTarnMenuStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit CTarnMenuStyle(CTarnMenu* pOwner);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

    // Space between the menu's edge and its items, in pixels.
    static constexpr int kPanelWidth = 1;
    static constexpr int kMargin = 1;

private:
    CTarnMenu* m_pOwner;  // not owned; owns this style
};
