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

namespace {

constexpr char hrefStart[] = "A<foil";
constexpr char hrefEnd[] = ".html> T<myfoil>\r\n";

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

// The most bytes one sample takes: a stamp of at most 33 characters (20
// digits of hours at the very most) and an HREF line with up to
// maxSlideDigits digits, each with its CR LF.
constexpr std::size_t longestSample = 128;
static_assert(33 + sizeof hrefStart + maxSlideDigits + sizeof hrefEnd <= longestSample);

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

void HrefTrackWriter::writeOpening() {
  static const char opening[] = "[00:00:00.00]\r\nA<foil0.html> T<myfoil>\r\n";
  append(trackHeader, sizeof trackHeader - 1);
  append(opening, sizeof opening - 1);
}

void HrefTrackWriter::writeSlide(const SlideEvent& event, const TimeOffset& offset) {
  // Straight into the buffer when the longest sample fits there; else into
  // a line of its own, which append splits at the buffer's edge.
  if (bufferSize - used_ >= longestSample) {
    char* const start = buffer_ + used_;
    used_ += static_cast<std::size_t>(putSample(start, event, offset) - start);
    return;
  }
  char line[longestSample];
  append(line, static_cast<std::size_t>(putSample(line, event, offset) - line));
}

void HrefTrackWriter::writeClosing(const PlayLength& length) {
  // Once a run, so the pattern itself is clearer than any speed.  The line
  // has room for four fields of any 32-bit value (51 characters), so it is
  // never cut short.
  char line[64];
  const int size = std::snprintf(line, sizeof line, "[%02d:%02d:%02d.%02d]\r\n", length.hours,
                                 length.minutes, length.seconds, length.hundredths);
  append(line, static_cast<std::size_t>(size));
}

bool HrefTrackWriter::finish() {
  drain();
  if (std::fflush(out_) != 0) failed_ = true;
  return !failed_;
}

void HrefTrackWriter::append(const char* text, std::size_t length) {
  while (length > 0) {
    if (used_ == bufferSize) drain();
    const std::size_t part = std::min(length, bufferSize - used_);
    std::memcpy(buffer_ + used_, text, part);
    used_ += part;
    text += part;
    length -= part;
  }
}

// The buffer goes out whole, so the stream sees writes of exactly
// bufferSize bytes until the last one.  A failed write still empties the
// buffer: the run goes on to its end and reports the failure there.
void HrefTrackWriter::drain() {
  if (std::fwrite(buffer_, 1, used_, out_) != used_) failed_ = true;
  used_ = 0;
}

}  // namespace hreftrack
