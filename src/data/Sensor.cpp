#include "data/Sensor.h"

namespace kvq {

// Out of line so that the class has one home for its virtual table.
TSensor::~TSensor() = default;

}  // namespace kvq
