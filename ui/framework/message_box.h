// The modal message box every failure is shown in: OK button only, the program's name as caption.
#pragma once

#include <QString>

class QWidget;

namespace tarnwick {

// The program file's name without its extension ("Tarnwick" for the real program).
QString ApplicationName();

// Shows the text, its lines broken with CR LF or LF, and returns when the user has closed the box.
void ShowMessageBox(QWidget* parent, const QString& text);

}  // namespace tarnwick
