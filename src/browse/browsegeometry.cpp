#include "browse/browsegeometry.h"

#include "base/fitsize.h"
#include "base/rounding.h"

namespace tessaria {

QRect PreviewPlacement(QSize panel, QSize picture)
{
    const TSize fit = FitSize(panel.width(), panel.height(), picture.width(), picture.height());
    return QRect((panel.width() - fit.Width) / 2, (panel.height() - fit.Height) / 2, fit.Width, fit.Height);
}

QRect ThumbnailPlacement(int thumbSize, QSize picture)
{
    const TSize fit = FitSize(thumbSize, thumbSize, picture.width(), picture.height());
    return QRect((thumbSize - fit.Width) / 2, thumbSize - fit.Height, fit.Width, fit.Height);
}

QSize ViewerOuterSize(QSize box, QSize picture)
{
    const TSize fit = FitSize(box.width(), box.height(), picture.width(), picture.height());
    return QSize(fit.Width, fit.Height);
}

int ThumbnailGaugePercent(int done, int count)
{
    return count > 0 ? int(Round(double(done) / double(count) * 100.0)) : 0;
}

} // namespace tessaria
