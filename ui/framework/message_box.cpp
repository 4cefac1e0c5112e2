// The modal message box every failure is shown in: OK button only, the program's name as caption.
#include "ui/framework/message_box.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/framework/text_conversion.h"

namespace tarnwick {

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void QtMessageBox::Show(const std::string& text) {
    // The messages break their lines with CR LF; a label breaks them at the LF alone.
    QString shown = DisplayText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Warning, ApplicationName(), shown, QMessageBox::Ok, m_parent);
    // The texts carry what the switch answered: shown as rich text, its tags would be obeyed.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace tarnwick
