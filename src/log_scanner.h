// SPDX-License-Identifier: MIT
// Finds the slide events in a slide log without parsing it as mark-up.

#ifndef HREFTRACK_LOG_SCANNER_H
#define HREFTRACK_LOG_SCANNER_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

  /// Scans on to the next slide tag and reads its event into `event`.
  ScanStatus nextEvent(SlideEvent& event);

 private:
  bool skipToTagStart();
  ScanStatus readEvent(SlideEvent& event);
  bool readEventInBlock(SlideEvent& event);
  static const unsigned char* takeTimeField(const unsigned char* at, std::int32_t& value);
  int readNumber(int c, char* kept, int room);
  void readTimeField(int c, std::int32_t& value);
  int readChar();
  int readCharSlowly();
  bool refill();
  ScanStatus endStatus() const { return failed_ ? ScanStatus::ReadError : ScanStatus::End; }

  std::FILE* log_;
  std::size_t readSize_;
  std::size_t next_ = 0;    // The next unread byte of the block.
  std::size_t filled_ = 0;  // How many bytes of the block hold log data.
  bool ended_ = false;      // The end, a 0x1A or a read error has been met.
  bool failed_ = false;     // A read of the stream failed.
  // How many characters of "<slide>" the last characters read by the tag
  // search spell, 0 to 6.  This is all that matters of a window over the
  // last seven: no tail of the tag is also its head, so only the run of
  // tag characters after the latest "<" can still grow into a match.
  int matched_ = 0;
  unsigned char block_[blockSize + 1] = {};  // The log's bytes, then a CR.
};

}  // namespace hreftrack

#endif  // HREFTRACK_LOG_SCANNER_H
