// Forced into every program of the documentation: its event loop ends by itself once the
// first windows are shown and painted, so the test sees the program start, show and end.
#pragma once

#include <QCoreApplication>
#include <QTimer>

static void vqSnippetQuitSoon() {
    QTimer::singleShot(500, QCoreApplication::instance(), &QCoreApplication::quit);
}
Q_COREAPP_STARTUP_FUNCTION(vqSnippetQuitSoon)
