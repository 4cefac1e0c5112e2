// Qt's own texts in Simplified Chinese, loaded from Qt's translations directory.
#include "ui/framework/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarnwick {

bool InstallQtChineseTexts(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

}  // namespace tarnwick
