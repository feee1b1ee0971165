#pragma once

#include <cstdint>
#include <memory>

namespace vq {

class NameValuePair;
class SdkApplication;
class SdkServers;
class SdkServer;
class SdkServerVersion;
class SdkPoints;
class SdkPoint;
class SdkPointClasses;
class SdkPointClass;
class SdkAttributeSets;
class SdkPointAttributes;
class SdkPointList;
class SdkNamedValues;
class SdkNamedValue;
class SdkDigitalStateSets;
class SdkDigitalStateSet;
class SdkDigitalState;
class SdkConnectDialog;

/// One attribute: its name and value as loaded (for a point class, its default).
using SdkPointAttribute = NameValuePair;

/// @{
/// Server-library objects are shared; "nothing" is a null pointer.
using SdkApplicationPtr = std::shared_ptr<SdkApplication>;
using SdkServersPtr = std::shared_ptr<SdkServers>;
using SdkServerPtr = std::shared_ptr<SdkServer>;
using SdkPointsPtr = std::shared_ptr<SdkPoints>;
using SdkPointPtr = std::shared_ptr<SdkPoint>;
using SdkPointClassesPtr = std::shared_ptr<SdkPointClasses>;
using SdkPointClassPtr = std::shared_ptr<SdkPointClass>;
using SdkAttributeSetsPtr = std::shared_ptr<SdkAttributeSets>;
using SdkPointAttributesPtr = std::shared_ptr<SdkPointAttributes>;
using SdkPointAttributePtr = std::shared_ptr<SdkPointAttribute>;
using SdkPointListPtr = std::shared_ptr<SdkPointList>;
using SdkNamedValuesPtr = std::shared_ptr<SdkNamedValues>;
using SdkDigitalStateSetsPtr = std::shared_ptr<SdkDigitalStateSets>;
using SdkDigitalStateSetPtr = std::shared_ptr<SdkDigitalStateSet>;
using SdkConnectDialogPtr = std::shared_ptr<SdkConnectDialog>;
/// @}

}  // namespace vq
