#include "platform/AlphaBlend.h"

#include "platform/DC.h"

#include <QPainter>

namespace plat {

BOOL AlphaBlendImage(CDC* pDC, int x, int y, const QImage& image, const QRect& rcSource)
{
    QPainter* painter = pDC ? pDC->GetPainter() : nullptr;
    if (!painter || image.isNull()) return FALSE;
    const QRect source = rcSource.intersected(image.rect());
    if (source.isEmpty()) return TRUE;
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(QPoint(x, y), image, source);
    painter->restore();
    return TRUE;
}

}  // namespace plat
