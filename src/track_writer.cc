// SPDX-License-Identifier: MIT
#include "track_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace hreftrack {

const char trackHeader[] =
    "{QTtext}{font:Geneva}{plain}{size:12}{textColor: 65535, 65535, 65535}"
    "{backColor: 0, 0, 0}{justify:center}{timeScale:30}{width:160}{height:48}"
    "{timeStamps:absolute}{language:0}{textEncoding:0}\r\n";
const char trackOpening[] = "[00:00:00.00]\r\nA<foil0.html> T<myfoil>\r\n";

namespace {

constexpr char hrefStart[] = "A<foil";
constexpr char hrefEnd[] = ".html> T<myfoil>\r\n";

// The longest sample there can be: the hours of three 32-bit fields and
// their offsets, carries folded in, take at most ten digits, and the slide
// number maxSlideDigits.
constexpr std::size_t longestSample = 79;
static_assert(longestSample == sizeof "[9999999999:59:59.00]\r\n" - 1 + sizeof hrefStart - 1 +
                                   maxSlideDigits + sizeof hrefEnd - 1);

// Puts `value` in decimal with at least two digits, as "%02d" prints a
// value that is not negative: 5 as 05, 100 as 100.  Returns the end.
char* putNumber(char* out, std::int64_t value) {
  if (value < 100) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
  }
  char digits[20];
  int count = 0;
  for (; value > 0; value /= 10) digits[count++] = static_cast<char>('0' + value % 10);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Puts a string literal, without its terminator.  Returns the end.
template <std::size_t size>
char* putText(char* out, const char (&text)[size]) {
  return std::copy(text, text + size - 1, out);
}

// Puts one sample, its stamp and its HREF line.  Returns the end.
char* putSample(char* out, const SlideEvent& event, const TimeOffset& offset) {
  // Carries from the offset and logged minutes or seconds above 59 fold
  // into the higher fields.  Every field is small and not negative, so the
  // total is too.
  const std::int64_t hours = std::int64_t{event.hours} + offset.hours;
  const std::int64_t minutes = std::int64_t{event.minutes} + offset.minutes;
  const std::int64_t seconds = std::int64_t{event.seconds} + offset.seconds;
  const std::int64_t total = hours * 3600 + minutes * 60 + seconds;
  *out++ = '[';
  out = putNumber(out, total / 3600);
  *out++ = ':';
  out = putNumber(out, total % 3600 / 60);
  *out++ = ':';
  out = putNumber(out, total % 60);
  out = putText(out, ".00]\r\n");
  out = putText(out, hrefStart);
  // A few digits: copied in place, cheaper than measuring them first.
  for (const char* digit = event.slideNumber; *digit != '\0'; ++digit) *out++ = *digit;
  return putText(out, hrefEnd);
}

}  // namespace

HrefTrackWriter::HrefTrackWriter(std::FILE* out) : out_(out) {
  // A second buffer in the stream would only split the writer's writes.
  std::setbuf(out_, nullptr);
}

void HrefTrackWriter::writeOpening() {
  append(trackHeader, sizeof trackHeader - 1);
  append(trackOpening, sizeof trackOpening - 1);
}

void HrefTrackWriter::writeSlide(const SlideEvent& event, const TimeOffset& offset) {
  char line[longestSample];
  const char* const end = putSample(line, event, offset);
  append(line, static_cast<std::size_t>(end - line));
}

void HrefTrackWriter::writeClosing(const PlayLength& length) {
  // Once a run, so the pattern itself is clearer than any speed.  The line
  // has room for four fields of any 32-bit value.
  char line[sizeof "[-2147483648:-2147483648:-2147483648.-2147483648]\r\n"];
  const int size = std::snprintf(line, sizeof line, "[%02d:%02d:%02d.%02d]\r\n", length.hours,
                                 length.minutes, length.seconds, length.hundredths);
  append(line, static_cast<std::size_t>(size));
}

bool HrefTrackWriter::finish() {
  drain();
  return !failed_;
}

// Fills the buffer, and writes it whenever it is full: the stream sees
// writes of exactly bufferSize bytes until the last one.
void HrefTrackWriter::append(const char* text, std::size_t length) {
  while (length > 0) {
    const std::size_t part = std::min(length, bufferSize - used_);
    std::memcpy(buffer_ + used_, text, part);
    used_ += part;
    text += part;
    length -= part;
    if (used_ == bufferSize) drain();
  }
}

// A failed write still empties the buffer: the run goes on to its end and
// reports the failure there.
void HrefTrackWriter::drain() {
  if (std::fwrite(buffer_, 1, used_, out_) != used_) failed_ = true;
  used_ = 0;
}

}  // namespace hreftrack
