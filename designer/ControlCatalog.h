#pragma once

#include <QSize>
#include <QString>

#include <span>

class QIcon;
class QWidget;

namespace vq {

// What Designer shows of each public control: one row per control, read by the plugins.
struct ControlDescription {
    QString className;    // with its namespace, as a form names it
    QString includeFile;  // as a host includes it from the installed headers
    QString objectName;   // the first instance's name on a form
    QString toolTip;
    QString whatsThis;
    QSize defaultTwips;  // the size a control gets when dropped on a form
    QWidget* (*create)(QWidget* parent);
    QIcon (*icon)();
};

std::span<const ControlDescription> controlCatalog();

// The default size in pixels at the screen's density.
QSize defaultPixelSize(const ControlDescription& control);

}  // namespace vq
