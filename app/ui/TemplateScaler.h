#pragma once

#include "input/SizeContainer.h"

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

// Scales a window's template controls with the window, through the
// library's size container: every control keeps its share of the
// template's area, wherever that area lies in the window (below a menu
// bar, above a strip). Controls that must keep their own proportions
// (digit displays) get the largest rectangle of those proportions inside
// their scaled one, at its top left. What the controls hold (chart
// buttons, layouts) is placed again by its owner after each scaling.
class CTemplateScaler
{
public:
    // window is not owned and must outlive the scaler.
    explicit CTemplateScaler(QWidget* window);

    // The template's controls: direct children of the window placed in
    // window coordinates.
    void SetControls(const QList<QWidget*>& controls) { m_controls = controls; }
    // A control whose width / height stays that of aspect.
    void KeepAspect(QWidget* control, QSize aspect);
    // Records the area at the template's size; later calls of ScaleInto
    // scale from it. Before Arm, ScaleInto does nothing.
    void Arm(const QRect& area);
    bool IsArmed() const { return m_bArmed; }
    // Scales every control by area's size over the last area's size and
    // moves it by area's top left.
    void ScaleInto(const QRect& area);
    QRect Area() const { return m_area; }

    // The largest rectangle of aspect's proportions inside rc, at its top left.
    static QRect Fitted(const QRect& rc, QSize aspect);
    // The factor (at most 1) that brings size inside available.
    static double FitFactor(QSize size, QSize available);

private:
    void Shift(int dx, int dy);
    void PlaceChildrenAgain();

    QWidget* m_pWindow;
    CSizeContainer m_sizer;
    QList<QWidget*> m_controls;
    QList<QPair<QWidget*, QSize>> m_aspects;
    QRect m_area;
    bool m_bArmed = false;
};
