#pragma once
// Room colours as the layout file stores them (blue * 65536 + green * 256
// + red) and as the colour chooser shows them.
#include <QColor>

namespace velto {

// Only the lowest 24 bits count; anything above them is ignored.
QColor colourFromStored(int stored);
// An invalid colour (a cancelled chooser) has no stored form: -1.
int storedFromColour(const QColor &colour);

} // namespace velto
