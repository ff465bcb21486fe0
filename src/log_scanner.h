// SPDX-License-Identifier: MIT
// Finds the slide events in a slide log without parsing it as mark-up.

#ifndef HREFTRACK_LOG_SCANNER_H
#define HREFTRACK_LOG_SCANNER_H

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "records.h"

namespace hreftrack {

/// What one call of nextEvent found.
enum class ScanStatus {
  Event,      ///< A slide tag with its number and time.
  End,        ///< The end of the log, or a 0x1A byte; nothing more follows.
  ReadError,  ///< Reading the log failed; nothing more follows.
};

/// Reads a log once, front to back, and yields each "<slide>" tag it meets
/// together with the slide number and the time that follow the tag.
///
/// One state machine reads the log a block at a time.  Its state is the step
/// of the scan it is in, and it carries over the end of a block, so an event
/// may be cut by a block's end anywhere and still reads as a whole.  A tag
/// and its event that lie whole in a block are read by one quick path in
/// straight-line code, with the very same result (see readWholeEvent).
class SlideLogScanner {
 public:
  /// The most bytes of the log read from the stream at a time.
  static constexpr std::size_t blockSize = 65536;

  /// Reads from `log`, which the caller opened in binary mode and keeps open,
  /// `readSize` (1..blockSize) bytes at a time.
  explicit SlideLogScanner(std::FILE* log, std::size_t readSize = blockSize)
      : log_(log), readSize_(std::clamp<std::size_t>(readSize, 1, blockSize)) {}
  SlideLogScanner(const SlideLogScanner&) = delete;
  SlideLogScanner& operator=(const SlideLogScanner&) = delete;

  /// Scans on to the next slide tag and reads its event into `event`.  The
  /// event is filled in as it is read, so `event` holds a whole event only
  /// when the call returns ScanStatus::Event.
  ScanStatus nextEvent(SlideEvent& event);

  /// How many of the events found so far the quick path read; the steps of
  /// the state machine read the others, alike.
  std::size_t quickEvents() const { return quickEvents_; }

 private:
  /// The steps of the scan, in the order one event passes through them.
  enum class Step {
    Tag,      // Looking for "<slide>"; matched_ says how much of it is seen.
    Number,   // The slide number's digits, right after the tag.
    Gap,      // Anything up to the first digit of the time.
    Hours,    // A run of digits, then one character that is dropped;
    Minutes,  // likewise,
    Seconds,  // likewise, and the event is whole.
  };

  bool scanBlock(SlideEvent& event);
  bool refill();

  std::FILE* log_;
  std::size_t readSize_;
  std::size_t next_ = 0;    // The next unread byte of the block.
  std::size_t filled_ = 0;  // How many bytes of the block hold log data.
  bool ended_ = false;      // The end, a 0x1A or a read error has been met.
  bool failed_ = false;     // A read of the stream failed.
  Step step_ = Step::Tag;
  // How many characters of "<slide>" the last characters read spell, 0 to 6.
  // This is all that matters of a window over the last seven: no tail of the
  // tag is also its head, so only the run of tag characters after the latest
  // "<" can still grow into a match.
  int matched_ = 0;
  // How many digits the number or field being read has kept; 0 whenever a
  // run of digits is yet to come.
  int digits_ = 0;
  std::size_t quickEvents_ = 0;
  unsigned char block_[blockSize] = {};
};

}  // namespace hreftrack

#endif  // HREFTRACK_LOG_SCANNER_H
