#pragma once

#include "core/ErrorContexts.h"

namespace vq {

// Every text the point search reports its errors under, the query building's included. The four
// propagating procedures have always reported under "VQTagsearch:".
inline const ErrorContexts kTagSearchContext(
    "VQTagSearch", {
                       {"SetFocusToDefaultField", "VQTagsearch:SetFocusToDefaultField"},
                       {"SetSelectedServer", "VQTagsearch:SetSelectedServer"},
                       {"LetVQServerPickListEnabled", "VQTagsearch:LetVQServerPickListEnabled"},
                       {"LetPointClassMask", "VQTagsearch:LetPointClassMask"},
                   });

}  // namespace vq
