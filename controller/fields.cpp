#include "controller/fields.h"

#include "controller/conversions.h"

namespace velta {

int IntervalDays(const ControllerImage& image, LongField f) { return DaysFromTicks(Get(image, f)); }

void SetIntervalDays(ControllerImage& image, LongField f, int days) {
  Set(image, f, TicksFromDays(days));
}

}  // namespace velta
