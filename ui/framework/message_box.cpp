// The modal message box every failure is shown in: OK button only, the program's name as caption.
#include "ui/framework/message_box.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace tarnwick {

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void ShowMessageBox(QWidget* parent, const QString& text) {
    // Texts may break their lines with CR LF; a label breaks them at the LF alone.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Warning, ApplicationName(), shown, QMessageBox::Ok, parent);
    // A text may quote what a device answered: shown as rich text, its tags would be obeyed.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace tarnwick
