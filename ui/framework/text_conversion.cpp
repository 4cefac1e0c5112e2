// The UTF-8 bytes of a Qt text.
#include "ui/framework/text_conversion.h"

namespace tarnwick {

std::string LogicText(const QString& text) {
    return text.toStdString();
}

}  // namespace tarnwick
