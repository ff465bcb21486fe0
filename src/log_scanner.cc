#include "log_scanner.h"

#include <cstring>

namespace hreftrack {

namespace {

constexpr int endOfLog = -1;
constexpr char slideTag[] = "<slide>";
constexpr int tagLength = 7;
constexpr int timeFieldDigits = 2;

bool isDigit(int c) { return c >= '0' && c <= '9'; }

// The decimal value of a run of at most two digits; no digits give 0.
std::int32_t fieldValue(const char* digits) {
  std::int32_t value = 0;
  for (; *digits != '\0'; ++digits) value = value * 10 + (*digits - '0');
  return value;
}

}  // namespace

ScanStatus SlideLogScanner::nextEvent(SlideEvent& event) {
  for (;;) {
    const int c = readChar();
    if (c == endOfLog) return endStatus();
    window_[tagLength - 1] = static_cast<char>(c);
    const bool found = std::memcmp(window_, slideTag, tagLength) == 0;
    // Only characters read here enter the window, never those of an event,
    // so after an event the window holds "slide>" and the tag cannot match
    // twice.
    std::memmove(window_, window_ + 1, tagLength - 1);
    if (found) return readEvent(event);
  }
}

// Reads what follows a tag: the slide number, then anything up to the
// first digit, then hours, minutes and seconds, each ended by one character
// that is dropped.  A log that ends before the hours leaves no event.
ScanStatus SlideLogScanner::readEvent(SlideEvent& event) {
  int c = readRun(readChar(), event.slideNumber, maxSlideDigits);
  while (!isDigit(c)) {
    if (c == endOfLog) return endStatus();
    c = readChar();
  }
  char hours[timeFieldDigits + 1];
  char minutes[timeFieldDigits + 1];
  char seconds[timeFieldDigits + 1];
  readRun(c, hours, timeFieldDigits);
  readRun(readChar(), minutes, timeFieldDigits);
  readRun(readChar(), seconds, timeFieldDigits);
  // A log that ends inside the time still yields the event; a failed read
  // does not, since the rest of the time may be lost with it.
  if (failed_) return ScanStatus::ReadError;
  event.hours = fieldValue(hours);
  event.minutes = fieldValue(minutes);
  event.seconds = fieldValue(seconds);
  return ScanStatus::Event;
}

// Reads the run of digits that begins with `c` (possibly empty), keeps its
// first `room` digits in `kept` and drops the rest.  The character that
// ends the run is read as well and dropped; it is returned.
int SlideLogScanner::readRun(int c, char* kept, int room) {
  int count = 0;
  while (isDigit(c)) {
    if (count < room) kept[count++] = static_cast<char>(c);
    c = readChar();
  }
  kept[count] = '\0';
  return c;
}

// The next character of the log, 0..255, or endOfLog.  Carriage returns
// are dropped wherever they stand, and 0x1A ends the log as its end does.
int SlideLogScanner::readChar() {
  for (;;) {
    if (next_ == filled_ && !refill()) return endOfLog;
    const unsigned char c = block_[next_++];
    if (c == '\r') continue;
    if (c == 0x1A) {
      ended_ = true;
      next_ = filled_;
      return endOfLog;
    }
    return c;
  }
}

bool SlideLogScanner::refill() {
  if (ended_) return false;
  next_ = 0;
  filled_ = std::fread(block_, 1, blockSize, log_);
  if (filled_ > 0) return true;
  ended_ = true;
  failed_ = std::ferror(log_) != 0;
  return false;
}

}  // namespace hreftrack
