#pragma once

#include "property_bag.h"

/// The custom controls' stored properties in the window's design, as the design keeps them:
/// lower-case names, only the values that differ from the control's defaults.
namespace StoredDesign {
PropertyBag Mo();
PropertyBag ucHistogram1();
} // namespace StoredDesign
