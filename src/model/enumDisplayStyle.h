#pragma once

#include <cstdint>

namespace vq {

/// Which editor shows an entry.
enum enumDisplayStyle : int32_t {
    styletext = 1,             ///< a plain text box
    stylecombo = 2,            ///< a drop-down list of the value list
    styleonoffswitch = 3,      ///< on and off: option buttons or a drop-down list
    styletagsearch = 4,        ///< a text box with a button that finds a tag
    styledigsetsearch = 5,     ///< a text box with a button that finds a digital state set
    styletxtcombofortwin = 6,  ///< a text box with a unit list: engineering units or per cent of span
    stylesecuritycontrol = 7,  ///< an access-string editor
    styleCustom = 8,           ///< none of the built-in editors; never given by the rules
};

}  // namespace vq
