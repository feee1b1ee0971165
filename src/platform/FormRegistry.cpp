#include "platform/FormRegistry.h"

#include "platform/ServicesContext.h"

#include <QCoreApplication>

namespace vq {

FormRegistry& FormRegistry::current() {
    if (const auto& registry = services().formRegistry) return registry();
    thread_local FormRegistry registry;
    return registry;
}

FormRegistry::~FormRegistry() {
    // Forms still loaded at thread exit go with it, unless the application is already gone
    // (widgets must not outlive it, and deleting them then would touch freed state).
    if (!QCoreApplication::instance()) return;
    for (const Loaded& loaded : m_forms) delete loaded.form.data();
}

int FormRegistry::indexOf(const QString& name) const {
    for (int i = 0; i < m_forms.size(); ++i)
        if (m_forms[i].form && m_forms[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QObject* FormRegistry::load(const QString& name, const Factory& make) {
    if (QObject* form = find(name)) return form;
    m_forms.removeIf([](const Loaded& loaded) { return loaded.form.isNull(); });
    std::unique_ptr<QObject> form = make();
    if (form->objectName().isEmpty()) form->setObjectName(name);
    m_forms.append({name, form.get()});
    return form.release();
}

QObject* FormRegistry::find(const QString& name) const {
    const int index = indexOf(name);
    return index < 0 ? nullptr : m_forms[index].form.data();
}

bool FormRegistry::unload(const QString& name) {
    const int index = indexOf(name);
    if (index < 0) return false;
    delete m_forms.takeAt(index).form.data();
    return true;
}

QStringList FormRegistry::names() const {
    QStringList out;
    for (const Loaded& loaded : m_forms)
        if (loaded.form) out.append(loaded.name);
    return out;
}

}  // namespace vq
