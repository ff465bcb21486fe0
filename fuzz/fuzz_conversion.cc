// SPDX-License-Identifier: MIT
// Any bytes as the slide log, converted by the scanner and the writer as
// the tool converts log.xml.
//
// The track must be the header, the opening sample, pairs of a stamp line
// and an HREF line, and the closing stamp; every line ends in CR LF and no
// other byte appears; there are never more samples than "<slide>" tags in
// the log once its CRs are gone.  And the scanner finds the same events
// whatever the size of its reads: an edge of a block changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver.h"
#include "log_scanner.h"
#include "track_writer.h"

namespace {

using hreftrack::PlayLength;
using hreftrack::TimeOffset;

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The line that starts at `at`, without its CR LF; `at` moves past it.
std::string takeLine(const std::string& track, std::size_t& at) {
  const std::size_t end = track.find("\r\n", at);
  require(end != std::string::npos, "every line ends in CR LF");
  std::string line = track.substr(at, end - at);
  require(line.find_first_of("\r\n") == std::string::npos, "no stray CR or LF");
  at = end + 2;
  return line;
}

// Whether `line` fits `pattern`, where 'd' stands for a digit, '5' for a
// digit up to 5, and every other character for itself.
bool fits(const std::string& line, const std::string& pattern) {
  if (line.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    const bool ok = pattern[i] == 'd'   ? isDigit(c)
                    : pattern[i] == '5' ? c >= '0' && c <= '5'
                                        : c == pattern[i];
    if (!ok) return false;
  }
  return true;
}

// [HH:MM:SS.00], with two or three digits of hours and minutes and seconds below 60.
bool isSlideStamp(const std::string& line) {
  return fits(line, "[dd:5d:5d.00]") || fits(line, "[ddd:5d:5d.00]");
}

// A<foil + up to 32 digits + .html> T<myfoil>
bool isHrefLine(const std::string& line) {
  static const std::string start = "A<foil";
  static const std::string end = ".html> T<myfoil>";
  if (line.size() < start.size() + end.size() || line.size() > start.size() + end.size() + 32 ||
      line.compare(0, start.size(), start) != 0 ||
      line.compare(line.size() - end.size(), end.size(), end) != 0) {
    return false;
  }
  for (std::size_t i = start.size(); i < line.size() - end.size(); ++i) {
    if (!isDigit(line[i])) return false;
  }
  return true;
}

std::size_t countTags(const std::uint8_t* data, std::size_t size) {
  std::string log;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != '\r') log += static_cast<char>(data[i]);
  }
  std::size_t tags = 0;
  for (std::size_t at = log.find("<slide>"); at != std::string::npos;
       at = log.find("<slide>", at + 1)) {
    ++tags;
  }
  return tags;
}

void checkTrack(const std::string& track, std::size_t tags) {
  const std::string opening = std::string(hreftrack::trackHeader) + hreftrack::trackOpening;
  require(track.compare(0, opening.size(), opening) == 0, "the header and opening sample first");
  std::size_t at = opening.size();
  std::size_t samples = 0;
  for (std::string line = takeLine(track, at); at < track.size(); line = takeLine(track, at)) {
    require(isSlideStamp(line), "a slide sample starts with its stamp");
    require(isHrefLine(takeLine(track, at)), "a slide sample ends with its HREF line");
    ++samples;
  }
  require(track.compare(track.size() - 15, 15, "[01:02:03.04]\r\n") == 0,
          "the closing stamp is last");
  require(samples <= tags, "no more samples than tags");
}

std::FILE* openBytes(const std::uint8_t* data, std::size_t size) {
  return size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb")
                  : std::fopen("/dev/null", "rb");
}

// Every event the scanner finds, read `readSize` bytes at a time.
std::string scanAll(const std::uint8_t* data, std::size_t size, std::size_t readSize) {
  std::FILE* log = openBytes(data, size);
  hreftrack::SlideLogScanner scanner(log, readSize);
  hreftrack::SlideEvent event;
  std::string found;
  while (scanner.nextEvent(event) == hreftrack::ScanStatus::Event) {
    found += std::string(event.slideNumber) + "@" + std::to_string(event.hours) + ":" +
             std::to_string(event.minutes) + ":" + std::to_string(event.seconds) + " ";
  }
  std::fclose(log);
  return found;
}

ssize_t appendTo(void* text, const char* bytes, std::size_t size) {
  static_cast<std::string*>(text)->append(bytes, size);
  return static_cast<ssize_t>(size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first bytes choose the offset, so that carries are exercised too.
  const TimeOffset offset{size > 0 ? data[0] % 100 : 0, size > 1 ? data[1] % 60 : 0,
                          size > 2 ? data[2] % 60 : 0};
  std::FILE* log = openBytes(data, size);
  // The conversion closes the track, which a memory stream does not
  // survive: a stream of our own keeps what is written.
  std::string written;
  std::FILE* track = fopencookie(&written, "wb", {nullptr, appendTo, nullptr, nullptr});
  char* said = nullptr;
  std::size_t saidSize = 0;
  hreftrack::Console console;
  console.out = open_memstream(&said, &saidSize);
  hreftrack::convertLog(console, log, track, offset, PlayLength{1, 2, 3, 4});
  std::fclose(console.out);
  std::fclose(log);
  require(saidSize == 0, "memory never refuses a read or a write: nothing to report");
  std::free(said);
  checkTrack(written, countTags(data, size));

  const std::size_t readSize = size > 3 ? 1 + data[3] % 64 : 1;
  require(
      scanAll(data, size, readSize) == scanAll(data, size, hreftrack::SlideLogScanner::blockSize),
      "the scanner finds the same events whatever the size of its reads");
  return 0;
}
