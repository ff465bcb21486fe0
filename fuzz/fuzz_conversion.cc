// SPDX-License-Identifier: MIT
// Any bytes as the slide log, converted by the scanner and the writer as
// the tool converts log.xml.
//
// The track must be the header, the opening sample, pairs of a stamp line
// and an HREF line, and the closing stamp; every line ends in CR LF and no
// other byte appears; there are never more samples than "<slide>" tags in
// the log once its CRs are gone.  And the scanner, reading the log in
// small pieces, finds exactly the events that the plain one-character rules
// find.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "log_scanner.h"
#include "plain_scanner.h"

namespace {

using hreftrack::PlayLength;
using hreftrack::TimeOffset;

const char header[] =
    "{QTtext}{font:Geneva}{plain}{size:12}{textColor: 65535, 65535, 65535}"
    "{backColor: 0, 0, 0}{justify:center}{timeScale:30}{width:160}{height:48}"
    "{timeStamps:absolute}{language:0}{textEncoding:0}";

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// How many digits start at `at`, at most `most`.
std::size_t digitsAt(const std::string& text, std::size_t at, std::size_t most) {
  std::size_t count = 0;
  while (at + count < text.size() && count < most && isDigit(text[at + count])) ++count;
  return count;
}

// [HH:MM:SS.00] with two or three digits of hours and minutes and seconds
// below 60.
bool isSlideStamp(const std::string& line) {
  const std::size_t hours = digitsAt(line, 1, 3);
  if (line.size() != hours + 11 || hours < 2 || line[0] != '[') return false;
  const std::string rest = line.substr(1 + hours);
  return rest[0] == ':' && digitsAt(rest, 1, 2) == 2 && rest[1] < '6' && rest[3] == ':' &&
         digitsAt(rest, 4, 2) == 2 && rest[4] < '6' && rest.compare(6, 4, ".00]") == 0;
}

// A<foil + up to 32 digits + .html> T<myfoil>
bool isHrefLine(const std::string& line) {
  static const std::string start = "A<foil";
  static const std::string end = ".html> T<myfoil>";
  if (line.compare(0, start.size(), start) != 0) return false;
  const std::size_t digits = digitsAt(line, start.size(), 33);
  return digits <= 32 && line.size() == start.size() + digits + end.size() &&
         line.compare(start.size() + digits, end.size(), end) == 0;
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

void checkTrack(const std::string& track, std::size_t tags, const std::string& closing) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < track.size()) {
    const std::size_t end = track.find("\r\n", start);
    require(end != std::string::npos, "every line ends in CR LF");
    lines.push_back(track.substr(start, end - start));
    start = end + 2;
  }
  for (const std::string& line : lines) {
    require(line.find_first_of("\r\n") == std::string::npos, "no stray CR or LF");
  }
  require(lines.size() >= 4 && lines.size() % 2 == 0, "opening, pairs and closing");
  require(lines[0] == header, "the header comes first");
  require(lines[1] == "[00:00:00.00]" && lines[2] == "A<foil0.html> T<myfoil>",
          "the opening sample follows");
  for (std::size_t i = 3; i + 1 < lines.size(); i += 2) {
    require(isSlideStamp(lines[i]), "a slide sample starts with its stamp");
    require(isHrefLine(lines[i + 1]), "a slide sample ends with its HREF line");
  }
  require(lines.back() == closing, "the closing stamp is last");
  require((lines.size() - 4) / 2 <= tags, "no more samples than tags");
}

ssize_t appendTo(void* text, const char* bytes, std::size_t size) {
  static_cast<std::string*>(text)->append(bytes, size);
  return static_cast<ssize_t>(size);
}

std::FILE* openBytes(const std::uint8_t* data, std::size_t size) {
  return size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb")
                  : std::fopen("/dev/null", "rb");
}

void checkAgainstPlainRules(const std::uint8_t* data, std::size_t size) {
  const std::size_t readSize = size > 3 ? 1 + data[3] % 64 : 1;
  std::FILE* log = openBytes(data, size);
  const std::string found = hreftrack::testing::scanText(log, readSize);
  std::fclose(log);
  log = openBytes(data, size);
  const std::string expected = hreftrack::testing::plainScan(log);
  std::fclose(log);
  require(found == expected, "the scanner finds what the plain rules find");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first bytes choose the offset, so that carries are exercised too.
  const TimeOffset offset{size > 0 ? data[0] % 100 : 0, size > 1 ? data[1] % 60 : 0,
                          size > 2 ? data[2] % 60 : 0};
  const PlayLength length{1, 2, 3, 4};

  std::FILE* log = openBytes(data, size);
  // The conversion makes the track unbuffered and closes it, which a memory
  // stream does not survive: a stream of our own keeps what is written.
  std::string written;
  cookie_io_functions_t keep = {nullptr, appendTo, nullptr, nullptr};
  std::FILE* track = fopencookie(&written, "wb", keep);
  char* said = nullptr;
  std::size_t saidSize = 0;
  hreftrack::Console console;
  console.out = open_memstream(&said, &saidSize);
  hreftrack::convertLog(console, log, track, offset, length);  // Closes the track.
  std::fclose(console.out);
  std::fclose(log);
  require(saidSize == 0, "memory never refuses a read or a write: nothing to report");
  std::free(said);
  checkTrack(written, countTags(data, size), "[01:02:03.04]");
  checkAgainstPlainRules(data, size);
  return 0;
}
