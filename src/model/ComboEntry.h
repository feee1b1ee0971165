#pragma once

#include "core/NameValuePair.h"

namespace vq {

/// One pair of a value list: the name a list editor shows and the value it stores.
using ComboEntry = NameValuePair;

}  // namespace vq
