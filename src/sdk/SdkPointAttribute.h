#pragma once

#include "SdkFwd.h"
#include "core/NameValuePair.h"
