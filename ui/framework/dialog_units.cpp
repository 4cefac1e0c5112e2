// Dialog units: template coordinates scaled by the base units of the dialog's font.
#include "ui/framework/dialog_units.h"

#include <QFontMetrics>
#include <QString>
#include <cmath>

namespace tarnwick {
namespace {

// Multiplies, then divides with rounding half away from zero (non-negative operands here).
int ScaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}

}  // namespace

DialogBaseUnits ComputeDialogBaseUnits(const QFont& font) {
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const double average = metrics.horizontalAdvance(kLetters) / 52.0;
    return {static_cast<int>(std::lround(average)), metrics.height()};
}

int DluToPixelsX(int dlu, DialogBaseUnits units) {
    return ScaleRounded(dlu, units.width, 4);
}

int DluToPixelsY(int dlu, DialogBaseUnits units) {
    return ScaleRounded(dlu, units.height, 8);
}

QRect DluToPixels(const DluRect& rect, DialogBaseUnits units) {
    return {DluToPixelsX(rect.x, units), DluToPixelsY(rect.y, units),
            DluToPixelsX(rect.width, units), DluToPixelsY(rect.height, units)};
}

QSize DluToPixels(QSize size, DialogBaseUnits units) {
    return {DluToPixelsX(size.width(), units), DluToPixelsY(size.height(), units)};
}

}  // namespace tarnwick
