#pragma once

#include "platform/Volumes.h"

namespace vocell::devices {

// How many removable volumes whose disk extents the system can report are present, counting up
// to maxCount. Never fails: every problem shows only as a smaller count.
int CountRemovableVolumes(Volumes& volumes, int maxCount);

}  // namespace vocell::devices
