// SPDX-License-Identifier: MIT
// The plain records that the dialogue, the scanner and the writer hand to
// each other.  They own nothing and allocate nothing.

#ifndef HREFTRACK_RECORDS_H
#define HREFTRACK_RECORDS_H

#include <cstdint>

namespace hreftrack {

/// Hours 0..99, minutes 0..59, seconds 0..59, as typed; added to every logged time.
struct TimeOffset {
  std::int32_t hours = 0;
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
};

/// Hours 0..99, minutes 0..59, seconds 0..59, hundredths 0..99, as typed; the closing stamp.
struct PlayLength {
  std::int32_t hours = 0;
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
  std::int32_t hundredths = 0;
};

/// The most digits a slide number keeps; further digits of the same run are dropped.
constexpr int maxSlideDigits = 32;

/// One slide tag found in the log: the number as text and the logged time, each field 0..99.
struct SlideEvent {
  char slideNumber[maxSlideDigits + 1] = {};  ///< Digits only, leading zeros kept; may be empty.
  std::int32_t hours = 0;
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
};

}  // namespace hreftrack

#endif  // HREFTRACK_RECORDS_H
