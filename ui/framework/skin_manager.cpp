// The window skin: one process-wide manager that applies a Qt style sheet file to every window.
#include "ui/framework/skin_manager.h"

#include <QApplication>
#include <QFile>

#include "ui/framework/text_conversion.h"

namespace tarnwick {

bool CXTPSkinManager::LoadSkin(const QString& skinPath, const QString* /*settingsFileName*/) {
    QFile file(skinPath);
    // Fails on a directory too, so a folder in the file's place counts as unreadable.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    const QByteArray sheet = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    qApp->setStyleSheet(Utf8Text(sheet));
    return true;
}

QString SkinFolder(const QString& programFilePath) {
    const qsizetype lastSlash = programFilePath.lastIndexOf(u'/');
    const QString folder = lastSlash > 0 ? programFilePath.left(lastSlash) : QString();
    return folder + QStringLiteral("/Styles/");
}

void LoadProgramSkin(CXTPSkinManager& skins, const QString& skinFolder) {
    skins.SetApplyOptions(skins.GetApplyOptions() | kSkinApplyMetrics);
    skins.LoadSkin(skinFolder + Utf8Text(kSkinFileName), nullptr);
}

}  // namespace tarnwick
