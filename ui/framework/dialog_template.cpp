// Dialog templates: a dialog's controls as data, laid out in dialog units of the dialog's font.
#include "ui/framework/dialog_template.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/framework/hyper_link.h"
#include "ui/framework/report_list.h"
#include "ui/framework/text_conversion.h"
#include "ui/framework/web_browser.h"

namespace tarnwick {
namespace {

// Installed stand-ins for the Windows Song faces, closest first. AR PL UMing is a Song face with
// SimSun's metrics at 9 points (12 pixels high, 6 wide on average), so every dialog keeps its
// template's proportions; the Noto mono face has the half-width Latin letters but is taller.
const QStringList& CjkFallbackFamilies() {
    static const QStringList families = {
        QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"),
        QStringLiteral("AR PL UMing CN"),
        QStringLiteral("Noto Sans Mono CJK SC"),
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Noto Serif CJK SC"),
        QStringLiteral("WenQuanYi Zen Hei Mono"),
        QStringLiteral("Droid Sans Fallback"),
    };
    return families;
}

QString Caption(const ControlTemplate& control) {
    return control.caption ? Utf8Text(control.caption) : QString();
}

QWidget* CreateControl(const ControlTemplate& control, QDialog& dialog, const QPixmap& icon) {
    const QString caption = Caption(control);
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, &dialog);
            button->setDefault((control.style & kDefaultButton) != 0);
            button->setFlat((control.style & kFlat) != 0);
            return button;
        }
        case ControlKind::GroupBox: {
            // A frame only: clicks inside it reach the controls it frames, above or below it.
            auto* group = new QGroupBox(caption, &dialog);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            return group;
        }
        case ControlKind::StaticText: {
            auto* label = new QLabel(caption, &dialog);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::Edit:
            return new QLineEdit(caption, &dialog);
        case ControlKind::ComboBox:
            return new QComboBox(&dialog);
        case ControlKind::ReportList:
            return new ReportListView((control.style & kSingleSelection) != 0
                                          ? QAbstractItemView::SingleSelection
                                          : QAbstractItemView::ExtendedSelection,
                                      &dialog);
        case ControlKind::Browser:
            return new CWebBrowser2(&dialog);
        case ControlKind::LinkLabel:
            return new CXTHyperLink(caption, &dialog);
        case ControlKind::StaticIcon: {
            auto* label = new QLabel(&dialog);
            label->setPixmap(icon);
            return label;
        }
    }
    return nullptr;
}

QRect ControlGeometry(const ControlTemplate& control, QWidget& widget, DialogBaseUnits units,
                      const QPixmap& icon) {
    QRect geometry = DluToPixels(control.rect, units);
    if (control.kind == ControlKind::ComboBox) {
        // The template's height is that of the open drop-down; the closed box takes its own.
        geometry.setHeight(widget.sizeHint().height());
    } else if (control.kind == ControlKind::StaticIcon) {
        // As an icon control does, it takes the icon's size, whatever the template's.
        geometry.setSize(icon.deviceIndependentSize().toSize());
    }
    return geometry;
}

void SetIdentity(const ControlTemplate& control, QWidget& widget) {
    widget.setObjectName(QString::number(control.id));
    widget.setProperty(kControlIdProperty, control.id);
    if ((control.style & kTabStop) == 0) {
        widget.setFocusPolicy(Qt::NoFocus);
    } else if (widget.focusPolicy() == Qt::NoFocus) {
        widget.setFocusPolicy(Qt::TabFocus);
    }
}

}  // namespace

QFont TemplateFont(const DialogTemplate& dialogTemplate) {
    const QString family = Utf8Text(dialogTemplate.fontFamily);
    if (QFont::substitutes(family).isEmpty()) {
        QFont::insertSubstitutions(family, CjkFallbackFamilies());
    }
    return QFont(family, dialogTemplate.pointSize);
}

QWidget* DialogControls::Find(int id) const {
    for (QWidget* widget : widgets) {
        if (widget->property(kControlIdProperty).toInt() == id) {
            return widget;
        }
    }
    return nullptr;
}

DialogControls CreateDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate,
                                    const QPixmap& icon) {
    const QFont font = TemplateFont(dialogTemplate);
    dialog.setFont(font);
    dialog.setWindowTitle(Utf8Text(dialogTemplate.caption));
    DialogControls created{ComputeDialogBaseUnits(font), {}};
    dialog.setFixedSize(
        DluToPixels(QSize(dialogTemplate.width, dialogTemplate.height), created.units));

    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, dialog, icon);
        SetIdentity(control, *widget);
        widget->setGeometry(ControlGeometry(control, *widget, created.units, icon));
        if ((control.style & kTabStop) != 0) {
            if (previousTabStop) {
                QWidget::setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        }
        created.widgets.push_back(widget);
    }
    // A label may come before or after the control it names.
    for (const ControlTemplate& control : dialogTemplate.controls) {
        if (control.labelFor != kNoLabel) {
            created.Get<QWidget>(control.labelFor).setAccessibleName(Caption(control));
        }
    }
    // Earlier controls lie above later ones (a list above the group box that frames it).
    for (auto it = created.widgets.rbegin(); it != created.widgets.rend(); ++it) {
        (*it)->raise();
    }
    return created;
}

}  // namespace tarnwick
