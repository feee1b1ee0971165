#pragma once

#include <QtCore/qcompilerdetection.h>

/// Marks a class or function of the table layer that its shared library exports; a shared build hides
/// every other symbol. On ELF the same attribute exports from the library and imports into a user.
#define VQ_TABLE_EXPORT Q_DECL_EXPORT
