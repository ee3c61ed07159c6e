#include "ui/TemplateScaler.h"

#include <QCoreApplication>
#include <QLayout>
#include <QResizeEvent>
#include <QWidget>
#include <algorithm>

CTemplateScaler::CTemplateScaler(QWidget* window) : m_pWindow(window) {}

void CTemplateScaler::KeepAspect(QWidget* control, QSize aspect)
{
    if (control && aspect.width() > 0 && aspect.height() > 0) m_aspects.append({control, aspect});
}

void CTemplateScaler::Arm(const QRect& area)
{
    if (area.isEmpty()) return;
    m_area = area;
    m_sizer.SetNewSize(m_pWindow, area.width(), area.height());
    m_bArmed = true;
}

void CTemplateScaler::ScaleInto(const QRect& area)
{
    if (!m_bArmed || area.isEmpty() || area == m_area) return;
    // The container scales from the window's origin; the controls are taken
    // to the area's origin for it and brought back to the new area after.
    Shift(-m_area.left(), -m_area.top());
    m_sizer.SetNewSize(m_pWindow, area.width(), area.height());
    Shift(area.left(), area.top());
    m_area = area;
    for (const auto& [control, aspect] : std::as_const(m_aspects)) {
        tagWndSize rec;
        if (!m_sizer.FindWndSize(control, rec)) continue;
        const QRect scaled(QPoint(int(rec.left + 0.5f), int(rec.top + 0.5f)),
                           QPoint(int(rec.right + 0.5f) - 1, int(rec.bottom + 0.5f) - 1));
        control->setGeometry(Fitted(scaled.translated(area.topLeft()), aspect));
    }
    PlaceChildrenAgain();
}

void CTemplateScaler::Shift(int dx, int dy)
{
    if (dx == 0 && dy == 0) return;
    for (QWidget* control : std::as_const(m_controls)) control->move(control->pos() + QPoint(dx, dy));
}

// The container scaled the children of every widget as well; the widgets
// that place their own children (a chart's buttons, a spin's arrows, a
// layout) put them back where they belong.
void CTemplateScaler::PlaceChildrenAgain()
{
    const QList<QWidget*> all = m_pWindow->findChildren<QWidget*>();
    for (QWidget* widget : all) {
        if (widget->isWindow() || widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty()) continue;
        // A layout whose widget kept its size would not move a thing.
        if (QLayout* layout = widget->layout()) layout->invalidate();
        QResizeEvent event(widget->size(), widget->size());
        QCoreApplication::sendEvent(widget, &event);
    }
}

QRect CTemplateScaler::Fitted(const QRect& rc, QSize aspect)
{
    if (rc.isEmpty() || aspect.isEmpty()) return rc;
    QSize size = aspect.scaled(rc.size(), Qt::KeepAspectRatio);
    return {rc.topLeft(), size};
}

double CTemplateScaler::FitFactor(QSize size, QSize available)
{
    if (size.isEmpty() || available.isEmpty()) return 1.0;
    return std::min({1.0, double(available.width()) / size.width(), double(available.height()) / size.height()});
}
