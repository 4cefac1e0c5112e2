// Qt's own texts (dialog buttons, edit fields' context menus) in Simplified Chinese, as the rest
// of the window is.
#pragma once

class QTranslator;

namespace tarnwick {

// Loads Qt's Simplified Chinese translations into the translator and installs it in the
// application, whatever the locale. False when they are not installed: Qt's texts stay English.
bool InstallQtChineseTexts(QTranslator& translator);

}  // namespace tarnwick
