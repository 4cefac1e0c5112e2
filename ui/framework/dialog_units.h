// Dialog units: template coordinates scaled by the base units of the dialog's font.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace tarnwick {

// A rectangle in dialog units, as a template gives it.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Horizontal units are a quarter of the base width, vertical units an eighth of the base height.
struct DialogBaseUnits {
    int width = 0;
    int height = 0;
};

// Base width: average advance of "A".."Z" and "a".."z", rounded; base height: the font's height.
DialogBaseUnits ComputeDialogBaseUnits(const QFont& font);

// Each coordinate scaled on its own and rounded to the nearest pixel, as the dialog manager does.
int DluToPixelsX(int dlu, DialogBaseUnits units);
int DluToPixelsY(int dlu, DialogBaseUnits units);
QRect DluToPixels(const DluRect& rect, DialogBaseUnits units);
QSize DluToPixels(QSize size, DialogBaseUnits units);

}  // namespace tarnwick
