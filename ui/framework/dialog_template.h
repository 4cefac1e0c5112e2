// Dialog templates: a dialog's controls as data, laid out in dialog units of the dialog's font.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <span>
#include <vector>

#include "ui/framework/dialog_units.h"

class QDialog;

namespace tarnwick {

enum class ControlKind {
    PushButton,
    GroupBox,
    StaticText,
    Edit,
    ComboBox,
    ReportList,
    Browser,
    LinkLabel,   // a static text that opens its target when clicked
    StaticIcon,  // the icon the dialog is created with, at the icon's own size
};

// Style bits beyond "visible child".
enum ControlStyle : unsigned {
    kNoStyle = 0,
    kTabStop = 1u << 0,
    kDefaultButton = 1u << 1,
    kSingleSelection = 1u << 2,  // report lists: one row at most, else several
    kFlat = 1u << 3,             // push buttons: a flat face
};

// The standard buttons' IDs, which are also the results of a modal run.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int kStaticId = -1;
inline constexpr int kNoLabel = -1;
// The dynamic property that holds a control's ID as an int; its objectName holds it as text.
inline constexpr char kControlIdProperty[] = "controlId";

struct ControlTemplate {
    int id;  // kStaticId for items no code addresses
    ControlKind kind;
    DluRect rect;         // for a combo box, the height includes its drop-down list
    const char* caption;  // UTF-8
    unsigned style;
    int labelFor;  // the ID of the control this caption names, or kNoLabel
};

struct DialogTemplate {
    int id;
    const char* caption;  // UTF-8
    int width;            // client size, dialog units
    int height;
    const char* fontFamily;  // UTF-8
    int pointSize;
    std::span<const ControlTemplate> controls;
};

// The template's font. Families missing here fall back to installed CJK fonts whose Latin letters
// are half-width, as the templates' Song faces have them, so the layout keeps its proportions.
QFont TemplateFont(const DialogTemplate& dialogTemplate);

// The controls of one dialog, in template order.
struct DialogControls {
    DialogBaseUnits units;
    std::vector<QWidget*> widgets;  // owned by the dialog as its children

    QWidget* Find(int id) const;
    template <typename Widget>
    Widget& Get(int id) const;
};

// Sets the dialog's font, caption and fixed client size, then creates the controls in template
// order (which is their tab order), each at its place, named by its ID and by the caption that
// labels it. Icon controls show the icon.
DialogControls CreateDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate,
                                    const QPixmap& icon = QPixmap());

template <typename Widget>
Widget& DialogControls::Get(int id) const {
    // The templates are fixed data: a missing or mistyped control is a programming error.
    auto* widget = qobject_cast<Widget*>(Find(id));
    Q_ASSERT(widget != nullptr);
    return *widget;
}

}  // namespace tarnwick
