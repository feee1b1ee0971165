#include "ControlCollection.h"

#include "ControlCatalog.h"
#include "ControlPlugin.h"

namespace vq {

ControlCollection::ControlCollection(QObject* parent) : QObject(parent) {
    for (const ControlDescription& control : controlCatalog())
        m_plugins.append(new ControlPlugin(control, this));
}

QList<QDesignerCustomWidgetInterface*> ControlCollection::customWidgets() const {
    return m_plugins;
}

}  // namespace vq
