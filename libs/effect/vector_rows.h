// Vector forms of the effects whose pixels do not depend on their position.
// Each processes as many pixels from the start of a row as it can in whole
// vector steps, with exactly the result of the per-pixel rule, and returns
// how many it did; the caller runs the per-pixel rule over the rest. Where
// the processor lacks the instructions a form does nothing and returns 0.
#pragma once

#include <stdint.h>

namespace qelo::effect {

// Blue, green and red through a 256-entry table; alpha kept.
int MapRowLeading(const uint8_t* table, uint8_t* row, int width);
// Blue, green and red become the gray level.
int GrayRowLeading(uint8_t* row, int width);
// Blue, green and red become 255 where the gray level exceeds threshold,
// else 0.
int ThresholdRowLeading(uint8_t* row, int width, int threshold);
// Blue, green and red become 255 minus their value.
int InvertRowLeading(uint8_t* row, int width);

}  // namespace qelo::effect
