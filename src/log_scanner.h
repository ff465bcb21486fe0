// Finds the slide events in a slide log without parsing it as mark-up.

#ifndef HREFTRACK_LOG_SCANNER_H
#define HREFTRACK_LOG_SCANNER_H

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
class SlideLogScanner {
 public:
  /// How many bytes of the log are read from the stream at a time.
  static constexpr std::size_t blockSize = 65536;

  /// Reads from `log`, which the caller opened in binary mode and keeps open.
  explicit SlideLogScanner(std::FILE* log) : log_(log) {}
  SlideLogScanner(const SlideLogScanner&) = delete;
  SlideLogScanner& operator=(const SlideLogScanner&) = delete;

  /// Scans on to the next slide tag and reads its event into `event`.
  ScanStatus nextEvent(SlideEvent& event);

 private:
  ScanStatus readEvent(SlideEvent& event);
  int readRun(int c, char* kept, int room);
  int readChar();
  bool refill();
  ScanStatus endStatus() const { return failed_ ? ScanStatus::ReadError : ScanStatus::End; }

  std::FILE* log_;
  std::size_t next_ = 0;    // The next unread byte of the block.
  std::size_t filled_ = 0;  // How many bytes of the block hold log data.
  bool ended_ = false;      // The end, a 0x1A or a read error has been met.
  bool failed_ = false;     // A read of the stream failed.
  // The last seven characters the tag search has read, oldest first.
  // Seven NULs at the start, so no tag can match before the seventh byte.
  char window_[7] = {};
  unsigned char block_[blockSize] = {};
};

}  // namespace hreftrack

#endif  // HREFTRACK_LOG_SCANNER_H
