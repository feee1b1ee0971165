#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QObject>
#include <QStringList>
#include <QWidget>

namespace vq::test {

// Walks the accessible tree under `root` as a screen reader does and lists each visible item the
// keyboard reaches that has no name, or no description, as "QLineEdit txtTag: no name". The cells
// of a table the keyboard reaches count too, selectable or not: the arrow keys move through them
// and a reader announces them one by one.
inline QStringList unnamedFocusables(QWidget* root) {
    QStringList offenders;
    const auto describe = [](QAccessibleInterface* item) {
        QObject* object = item->object();
        if (!object) {
            // A table cell: its place and the table it belongs to.
            QAccessibleInterface* table = item->parent();
            QObject* owner = table ? table->object() : nullptr;
            return QStringLiteral("cell of %1").arg(owner ? owner->objectName() : QStringLiteral("?"));
        }
        return QStringLiteral("%1 %2").arg(QString::fromLatin1(object->metaObject()->className()),
                                           object->objectName());
    };
    const auto walk = [&](const auto& self, QAccessibleInterface* item, bool inFocusable, int depth) -> void {
        if (!item || depth > 40) return;
        const QAccessible::State state = item->state();
        if (state.invisible || state.offscreen) return;
        // Header sections and the corner button are not reached with the keyboard; cells are.
        const bool reachable = state.focusable || (inFocusable && item->role() == QAccessible::Cell);
        if (reachable) {
            if (item->text(QAccessible::Name).trimmed().isEmpty())
                offenders << describe(item) + QStringLiteral(": no name");
            // Qt gives a tab bar no description of its own; each of its tabs is checked for one.
            if (item->role() != QAccessible::PageTabList &&
                item->text(QAccessible::Description).trimmed().isEmpty())
                offenders << describe(item) + QStringLiteral(": no description");
        }
        for (int i = 0; i < item->childCount(); ++i) self(self, item->child(i), state.focusable, depth + 1);
    };
    walk(walk, QAccessible::queryAccessibleInterface(root), false, 0);
    offenders.removeDuplicates();
    return offenders;
}

}  // namespace vq::test
