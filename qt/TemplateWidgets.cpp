#include "qt/TemplateWidgets.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "app/DialogLayout.h"
#include "qt/GroupFrame.h"

namespace vocell::qt {
namespace {

// An icon control shows the large icon: 32 pixels at 96 dots per inch.
constexpr int kIconPixels = 32;

QString ControlName(int id) { return QStringLiteral("control%1").arg(id); }

int IconPixels(const QWidget& dialog) { return ScaleForDpi(kIconPixels, dialog.logicalDpiY()); }

QWidget* CreateControl(QDialog& dialog, const TemplateControl& control, const QIcon& icon) {
    const QString text = ToQString(control.text);
    switch (control.kind) {
        case ControlKind::GroupBox: return new GroupFrame(text, &dialog);
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(text, &dialog);
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::DefaultPushButton);
            return button;
        }
        case ControlKind::Label:
        case ControlKind::WrappingLabel: {
            auto* label = new QLabel(text, &dialog);
            label->setWordWrap(control.kind == ControlKind::WrappingLabel);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::ReadOnlyEdit:
        case ControlKind::CentredReadOnlyEdit: {
            auto* edit = new QLineEdit(&dialog);
            edit->setReadOnly(true);
            if (control.kind == ControlKind::CentredReadOnlyEdit) edit->setAlignment(Qt::AlignCenter);
            return edit;
        }
        case ControlKind::DropDownList: return new QComboBox(&dialog);
        case ControlKind::Icon: {
            auto* label = new QLabel(&dialog);
            const int side = IconPixels(dialog);
            label->setPixmap(icon.pixmap(QSize(side, side), dialog.devicePixelRatioF()));
            return label;
        }
    }
    return nullptr;
}

// A drop-down list's template height includes its open list; closed it is as high as Qt draws it.
QRect PlaceOf(const TemplateControl& control, const DialogUnits& units, QWidget& widget) {
    QRect place = units.ToPixels(control.x, control.y, control.width, control.height);
    if (control.kind == ControlKind::DropDownList) place.setHeight(widget.sizeHint().height());
    if (control.kind == ControlKind::Icon) place.setSize({IconPixels(widget), IconPixels(widget)});
    return place;
}

bool IsField(ControlKind kind) {
    return kind == ControlKind::ReadOnlyEdit || kind == ControlKind::CentredReadOnlyEdit ||
           kind == ControlKind::DropDownList;
}

// A one-line label straight before a field names it, as a screen reader on Windows names a field
// by the static text before it: the label is the field's buddy and its text the field's name.
void NameField(QLabel& label, QWidget& field) {
    label.setBuddy(&field);
    field.setAccessibleName(label.text());
}

// How much wider the horizontal units grow at each step while a wrapping label's text does not
// fit its lines, and how many steps at most: a label lower than a line of the font never fits.
constexpr double kWideningStep = 1.02;
constexpr int kMostWideningSteps = 25;

bool WrappedTextFits(const TemplateControl& control, const DialogUnits& units, const QFontMetrics& metrics) {
    const QRect place = units.ToPixels(control.x, control.y, control.width, control.height);
    const QRect needed = metrics.boundingRect(QRect(0, 0, place.width(), QWIDGETSIZE_MAX),
                                              Qt::AlignLeft | Qt::TextWordWrap, ToQString(control.text));
    return needed.width() <= place.width() && needed.height() <= place.height();
}

bool EveryWrappedTextFits(const DialogTemplate& dialogTemplate, const DialogUnits& units,
                          const QFontMetrics& metrics) {
    return std::ranges::all_of(dialogTemplate.controls, [&](const TemplateControl& control) {
        return control.kind != ControlKind::WrappingLabel || WrappedTextFits(control, units, metrics);
    });
}

}  // namespace

DialogUnits TemplateUnits(const QWidget& dialog, const DialogTemplate& dialogTemplate) {
    const DialogUnits font(dialog);
    const QFontMetricsF exact(dialog.font(), &dialog);
    double widening = 1.0;
    for (const TemplateControl& control : dialogTemplate.controls) {
        if (control.kind != ControlKind::Label || control.width <= 0) continue;
        // A whole pixel more than the text, which the rounding of the label's place may take.
        const double needed = (std::ceil(exact.horizontalAdvance(ToQString(control.text))) + 1) *
                              DialogUnits::kUnitsPerCharWidth / control.width;
        widening = std::max(widening, needed / font.averageCharWidth());
    }
    const QFontMetrics metrics(dialog.font(), &dialog);
    for (int step = 0;
         step < kMostWideningSteps && !EveryWrappedTextFits(dialogTemplate, font.Widened(widening), metrics);
         ++step) {
        widening *= kWideningStep;
    }
    return font.Widened(widening);
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::map<int, QWidget*> BuildFromTemplate(QDialog& dialog, const DialogTemplate& dialogTemplate,
                                          const QIcon& icon) {
    // The desktop's font, whatever its size: the units follow it, so the template keeps its shape.
    const DialogUnits units = TemplateUnits(dialog, dialogTemplate);
    dialog.setWindowTitle(ToQString(dialogTemplate.caption));
    dialog.setFixedSize(units.ToPixelsX(dialogTemplate.width), units.ToPixelsY(dialogTemplate.height));
    std::map<int, QWidget*> controls;
    QLabel* label = nullptr;  // the one-line label just made, until the next control
    for (const TemplateControl& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(dialog, control, icon);
        widget->setGeometry(PlaceOf(control, units, *widget));
        widget->setVisible(!control.hidden);
        if (label != nullptr && IsField(control.kind)) NameField(*label, *widget);
        label = control.kind == ControlKind::Label ? qobject_cast<QLabel*>(widget) : nullptr;
        if (control.id != kStaticId) {
            widget->setObjectName(ControlName(control.id));
            controls[control.id] = widget;
        }
    }
    return controls;
}

QWidget* FindControl(const QWidget& dialog, int id) {
    return dialog.findChild<QWidget*>(ControlName(id), Qt::FindDirectChildrenOnly);
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/vocell-utility-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace vocell::qt
