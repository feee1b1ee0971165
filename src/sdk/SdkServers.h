#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QObject>
#include <QString>

#include <vector>

namespace vq {

/// The servers the library knows, and the source of the server-list events.
class VQ_SDK_EXPORT SdkServers : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// The number of known servers.
    virtual int Count() const = 0;
    /// A name the list does not hold raises.
    virtual SdkServerPtr Item(const QString& name) const = 0;
    /// Positions count from 1.
    virtual SdkServerPtr Item(int position) const = 0;
    /// True when the list holds a server of that name, without regard to case.
    virtual bool Contains(const QString& name) const = 0;
    /// The default server; null when the list is empty.
    virtual SdkServerPtr DefaultServer() const = 0;
    /// Every known server, in the list's order.
    virtual std::vector<SdkServerPtr> All() const = 0;

    /// Adds a known server (its archive at `location`) and returns it.
    virtual SdkServerPtr Add(const QString& name, const QString& location, bool isDefault) = 0;
    /// Forgets a known server; its archive stays where it is.
    virtual void Remove(const QString& name) = 0;
    /// Makes the named server the default one, for this list and the next reader of the registry.
    /// A list that cannot change its default raises (the default does).
    virtual void SetDefault(const QString& name);

Q_SIGNALS:
    /// A connection to the named server was opened (a user logged on).
    void OnOpen(const QString& serverName);
    /// The named server was removed from the list.
    void OnRemove(const QString& serverName);
    /// The list changed: a server added or removed, or another default, here or by another program.
    void listChanged();
};

}  // namespace vq
