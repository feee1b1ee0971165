#include "ControlPlugin.h"

#include <QIcon>
#include <QWidget>

namespace vq {

ControlPlugin::ControlPlugin(const ControlDescription& control, QObject* parent)
    : QObject(parent), m_control(control) {}

QString ControlPlugin::groupName() {
    return QStringLiteral("VQ Tagwright Controls");
}

QString ControlPlugin::name() const {
    return m_control.className;
}

QString ControlPlugin::group() const {
    return groupName();
}

QString ControlPlugin::toolTip() const {
    return m_control.toolTip;
}

QString ControlPlugin::whatsThis() const {
    return m_control.whatsThis;
}

QString ControlPlugin::includeFile() const {
    return m_control.includeFile;
}

QIcon ControlPlugin::icon() const {
    return m_control.icon();
}

bool ControlPlugin::isContainer() const {
    return false;
}

// A plain construction, as the code uic writes for a form does it: Designer then shows the same
// property values a running host starts with.
QWidget* ControlPlugin::createWidget(QWidget* parent) {
    return m_control.create(parent);
}

bool ControlPlugin::isInitialized() const {
    return m_initialized;
}

void ControlPlugin::initialize(QDesignerFormEditorInterface*) {
    m_initialized = true;
}

QString ControlPlugin::domXml() const {
    const QSize size = defaultPixelSize(m_control);
    return QStringLiteral(R"(<ui language="c++">
 <widget class="%1" name="%2">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>
  </property>
 </widget>
</ui>
)")
        .arg(m_control.className, m_control.objectName)
        .arg(size.width())
        .arg(size.height());
}

}  // namespace vq
