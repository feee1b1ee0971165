#pragma once

#include "platform/PlatformExport.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace vq {

// The library's own forms are loaded once per thread on first use and unloaded when the control
// that loaded them ends. Each thread has its own registry; names compare without regard to case.
// The registry owns the forms it loaded.
class VQ_PLATFORM_EXPORT FormRegistry {
public:
    using Factory = std::function<std::unique_ptr<QObject>()>;

    // The services context's registry; by default the calling thread's own.
    static FormRegistry& current();

    FormRegistry() = default;
    ~FormRegistry();
    FormRegistry(const FormRegistry&) = delete;
    FormRegistry& operator=(const FormRegistry&) = delete;

    // The loaded form of that name, made by `make` when there is none yet.
    QObject* load(const QString& name, const Factory& make);
    template <class Form>
    Form* load(const QString& name) {
        return static_cast<Form*>(load(name, [] { return std::make_unique<Form>(); }));
    }

    // The loaded form, or nullptr. A form deleted by someone else counts as unloaded.
    QObject* find(const QString& name) const;
    // Deletes the form; false when it was not loaded.
    bool unload(const QString& name);

    QStringList names() const;  // loaded forms, in loading order

private:
    struct Loaded {
        QString name;
        QPointer<QObject> form;
    };
    int indexOf(const QString& name) const;
    QList<Loaded> m_forms;
};

}  // namespace vq
