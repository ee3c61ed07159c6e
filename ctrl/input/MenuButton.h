#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QPushButton>

// A push button for menu-like rows of commands: a flat face in its own
// colour without a border, a raised edge under the pointer and a sunken one
// while pressed. A menu set with setMenu() opens below it on a click.
class QUINDLE_EXPORT CMenuButton : public QPushButton {
    Q_OBJECT

public:
    // Frame styles: 3 (the one a menu button is built with) shows no border at rest.
    enum { StyleNormal = 0, StyleFlat = 1, StyleSemiflat = 2, StyleNoBorder = 3 };

    explicit CMenuButton(QWidget* parent = nullptr);
    explicit CMenuButton(const QString& text, QWidget* parent = nullptr);

    // The face colour; bRedraw repaints at once.
    void SetFaceColor(plat::COLORREF crFace, plat::BOOL bRedraw = plat::TRUE);
    plat::COLORREF GetFaceColor() const { return m_crFace; }
    int GetFlatStyle() const { return m_nFlatStyle; }

    // Item state of the next painting: ODS_SELECTED while pressed, ODS_DISABLED.
    plat::UINT ItemState() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nFlatStyle = StyleNoBorder;
    plat::COLORREF m_crFace;
};
