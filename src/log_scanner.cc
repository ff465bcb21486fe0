// SPDX-License-Identifier: MIT
#include "log_scanner.h"

#include <cstring>

namespace hreftrack {

namespace {

constexpr int endOfLog = -1;
constexpr char slideTag[] = "<slide>";
constexpr int tagLength = 7;
constexpr int timeFieldDigits = 2;

bool isDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

// The next character of the log, 0..255, or endOfLog.  Carriage returns
// are dropped wherever they stand; a 0x1A never gets into the block.  The
// common case, a character at hand that is no CR, is kept small enough to
// be inlined wherever a character is read.
inline int SlideLogScanner::readChar() {
  if (next_ < filled_ && block_[next_] != '\r') return block_[next_++];
  return readCharSlowly();
}

int SlideLogScanner::readCharSlowly() {
  for (;;) {
    if (next_ == filled_ && !refill()) return endOfLog;
    const unsigned char c = block_[next_++];
    if (c != '\r') return c;
  }
}

ScanStatus SlideLogScanner::nextEvent(SlideEvent& event) {
  for (;;) {
    if (matched_ == 0) {
      if (!skipToTagStart()) return endStatus();
      // Compare the bytes from this "<" with the tag, up to the CR that
      // follows the block's data at the latest.  All seven alike: the tag.
      // A byte unlike the tag's that is no CR: this "<" starts no tag.  Only
      // a CR, in the log or after its block, leaves it to the character
      // reader.
      std::size_t alike = 1;
      while (alike < tagLength &&
             block_[next_ + alike] == static_cast<unsigned char>(slideTag[alike])) {
        ++alike;
      }
      if (alike == tagLength) {
        next_ += tagLength;
        return readEvent(event);
      }
      if (block_[next_ + alike] != '\r') {
        ++next_;
        continue;
      }
    }
    const int c = readChar();
    if (c == endOfLog) return endStatus();
    if (c == slideTag[matched_]) {
      ++matched_;
    } else {
      matched_ = c == '<' ? 1 : 0;
    }
    if (matched_ == tagLength) {
      // The characters of an event never count towards a tag, so the search
      // starts afresh after it and the same tag cannot match twice.
      matched_ = 0;
      return readEvent(event);
    }
  }
}

// With no part of the tag matched, nothing before the next "<" can start
// one: skips there, a block at a time.  Returns false at the end of the log.
bool SlideLogScanner::skipToTagStart() {
  for (;;) {
    const void* start = std::memchr(block_ + next_, '<', filled_ - next_);
    if (start != nullptr) {
      next_ = static_cast<std::size_t>(static_cast<const unsigned char*>(start) - block_);
      return true;
    }
    next_ = filled_;
    if (!refill()) return false;
  }
}

// Reads what follows a tag: the slide number, then anything up to the
// first digit, then hours, minutes and seconds, each ended by one character
// that is dropped.  A log that ends before the hours leaves no event.
ScanStatus SlideLogScanner::readEvent(SlideEvent& event) {
  // Most events stand whole in the block: take those straight from it.
  if (readEventInBlock(event)) return ScanStatus::Event;
  int c = readNumber(readChar(), event.slideNumber, maxSlideDigits);
  while (!isDigit(c)) {
    if (c == endOfLog) return endStatus();
    c = readChar();
  }
  readTimeField(c, event.hours);
  readTimeField(readChar(), event.minutes);
  readTimeField(readChar(), event.seconds);
  // A log that ends inside the time still yields the event; a failed read
  // does not, since the rest of the time may be lost with it.
  return failed_ ? ScanStatus::ReadError : ScanStatus::Event;
}

// readEvent's rules, applied to the bytes of the block alone.  Where a CR
// stands in or right after a run of digits (where dropping it could join
// two runs), or the event runs to the CR that follows the block's data, it
// gives up, having consumed nothing, and the character reader takes the
// event from the start.  Anywhere else a CR is one more character that is
// dropped.
bool SlideLogScanner::readEventInBlock(SlideEvent& event) {
  const unsigned char* at = block_ + next_;
  const unsigned char* const end = block_ + filled_;
  int count = 0;
  for (; isDigit(*at); ++at) {
    if (count < maxSlideDigits) event.slideNumber[count++] = static_cast<char>(*at);
  }
  if (*at == '\r') return false;
  event.slideNumber[count] = '\0';
  ++at;
  while (at < end && !isDigit(*at)) ++at;
  for (std::int32_t* field : {&event.hours, &event.minutes, &event.seconds}) {
    at = takeTimeField(at, *field);
    if (at == nullptr) return false;
  }
  next_ = static_cast<std::size_t>(at - block_);
  return true;
}

// A time field read from the block from `at` on, as readTimeField reads
// it.  Returns the place after the character that ends it, or nullptr if
// that character is a CR, in the log or after its block.
const unsigned char* SlideLogScanner::takeTimeField(const unsigned char* at, std::int32_t& value) {
  value = 0;
  int kept = 0;
  for (; isDigit(*at); ++at) {
    if (kept < timeFieldDigits) {
      value = value * 10 + (*at - '0');
      ++kept;
    }
  }
  if (*at == '\r') return nullptr;
  return at + 1;
}

// Reads the run of digits that begins with `c` (possibly empty) as a time
// field: its first two digits give `value`, 0 if there are none, and the
// rest are dropped.  The character that ends the run is read as well and
// dropped: no field ever needs it.
void SlideLogScanner::readTimeField(int c, std::int32_t& value) {
  value = 0;
  int kept = 0;
  for (; isDigit(c); c = readChar()) {
    if (kept < timeFieldDigits) {
      value = value * 10 + (c - '0');
      ++kept;
    }
  }
}

// Reads the run of digits that begins with `c` (possibly empty) as a slide
// number: keeps its first `room` digits in `kept` and drops the rest.  The
// character that ends the run is read as well and dropped; it is returned.
int SlideLogScanner::readNumber(int c, char* kept, int room) {
  int count = 0;
  while (isDigit(c)) {
    if (count < room) kept[count++] = static_cast<char>(c);
    c = readChar();
  }
  kept[count] = '\0';
  return c;
}

// Reads the next block.  A 0x1A ends the log as its end does, so the block
// is cut short before it and nothing after it is read.  A CR follows the
// block's data: the quick paths stop there as at a CR of the log, so they
// need no other bound.
bool SlideLogScanner::refill() {
  if (ended_) return false;
  next_ = 0;
  filled_ = std::fread(block_, 1, readSize_, log_);
  if (const void* stop = std::memchr(block_, 0x1A, filled_)) {
    filled_ = static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - block_);
    ended_ = true;
  } else if (filled_ == 0) {
    ended_ = true;
    failed_ = std::ferror(log_) != 0;
  }
  block_[filled_] = '\r';
  return filled_ > 0;
}

}  // namespace hreftrack
