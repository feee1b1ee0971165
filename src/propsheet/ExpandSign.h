#pragma once

#include <QPixmap>

namespace vq {

// The 16 by 15 pixel pictures of a category row's sign: a boxed minus for an expanded category,
// a boxed plus for a collapsed one. Painted once per process.
const QPixmap& expandSignPixmap(bool collapsed);

}  // namespace vq
