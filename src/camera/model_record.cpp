#include "camera/model_record.hpp"

namespace orva::camera {

void resetModelRecord(ModelRecord& r) {
  ModelRecord fresh;
  fresh.extraOptionWord = r.extraOptionWord;
  fresh.motionTracking = r.motionTracking;
  fresh.presetGroups = r.presetGroups;
  fresh.clockSelector = r.clockSelector;
  r = fresh;
}

}  // namespace orva::camera
