#pragma once

#include <QWidget>

class CTarnMenu;

// A menu's items drawn in place, as CTarnMenu paints them when the menu is
// open: a command, a separator, a selected and a disabled command. Open
// menus are windows of their own, so a picture of the gallery shows this.
class MenuPreview : public QWidget {
    Q_OBJECT

public:
    explicit MenuPreview(CTarnMenu* pMenu, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CTarnMenu* m_pMenu;  // not owned; draws the items
};
