#pragma once

#include <QString>
#include <QWidget>

#include <utility>

namespace vq {

// Makes a child widget under the object name that hosts and tests find it by
// (`findChild<QPushButton*>("cmdSearch")`); the constructor's own arguments come first.
template <typename Widget, typename... Args>
Widget* named(QWidget* parent, const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace vq
