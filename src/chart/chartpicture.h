#pragma once
// The chart as a picture for other programs: drawn on white at the chart's own size, as SVG
// (a scalable drawing that documents take) and as PNG, ready for the clipboard.

#include <QString>

class QMimeData;

namespace zarvik {

class Chart;

// The chart's background is white only while the picture is drawn; its colour on the screen
// stays as it was, also when drawing fails. The caller owns the result.
QMimeData* chartPictureOnWhite(Chart& chart, const QString& title);

} // namespace zarvik
