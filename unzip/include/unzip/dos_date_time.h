// The DOS date-time of zip headers.
#pragma once

#include <cstdint>

namespace kq {

// Repairs a DOS date-time whose fields are out of range (see the .cpp file); a valid value is
// returned bit for bit.
uint32_t FixDosDateTime(uint32_t dosDateTime);

} // namespace kq
