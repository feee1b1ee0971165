#include "platform/Hourglass.h"

#include <QCursor>
#include <QGuiApplication>

namespace vq {

namespace {
int g_depth = 0;
}

Hourglass::Hourglass() {
    // Without a GUI application (command-line use) there is no cursor to change.
    m_active = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (m_active) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++g_depth;
}

Hourglass::~Hourglass() {
    --g_depth;
    if (m_active && QCoreApplication::instance()) QGuiApplication::restoreOverrideCursor();
}

bool Hourglass::isShown() {
    return g_depth > 0;
}

}  // namespace vq
