#include "roomcolour.h"

#include "boardmodel.h"

namespace velto {

QColor colourFromStored(int stored)
{
    return QColor(BoardModel::red(stored), BoardModel::green(stored), BoardModel::blue(stored));
}

int storedFromColour(const QColor &colour)
{
    if (!colour.isValid())
        return -1;
    const QColor rgb = colour.toRgb();
    return BoardModel::storedColour(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace velto
