// SPDX-License-Identifier: MIT
// The scan rules in their plainest form, for tests to hold the tool's
// scanner against: one getc at a time, a literal seven-character window
// shifted by every character, and the fields filled as the rules say.
// Both scanners report in the same text, so they compare as strings.

#ifndef HREFTRACK_TESTS_PLAIN_SCANNER_H
#define HREFTRACK_TESTS_PLAIN_SCANNER_H

#include <cstdio>
#include <cstring>
#include <string>

#include "log_scanner.h"

namespace hreftrack::testing {

/// Every event the tool's scanner finds, "number@h:m:s " each, then "end" or "read error".
inline std::string scanText(std::FILE* log, std::size_t readSize = SlideLogScanner::blockSize) {
  SlideLogScanner scanner(log, readSize);
  SlideEvent event;
  std::string found;
  for (;;) {
    switch (scanner.nextEvent(event)) {
      case ScanStatus::Event:
        found += std::string(event.slideNumber) + "@" + std::to_string(event.hours) + ":" +
                 std::to_string(event.minutes) + ":" + std::to_string(event.seconds) + " ";
        break;
      case ScanStatus::End:
        return found + "end";
      case ScanStatus::ReadError:
        return found + "read error";
    }
  }
}

/// Every event of the log by the plain rules, in the text of scanText.
inline std::string plainScan(std::FILE* log) {
  bool ended = false;
  auto next = [&]() -> int {
    while (!ended) {
      const int c = std::getc(log);
      if (c == '\r') continue;
      if (c == EOF || c == 0x1A) break;
      return c;
    }
    ended = true;
    return -1;
  };
  auto digit = [](int c) { return c >= '0' && c <= '9'; };
  // Reads a digit run starting with c, keeping `room` digits; returns the
  // character after the run, which is dropped.
  auto run = [&](int c, std::string& kept, std::size_t room) {
    kept.clear();
    for (; digit(c); c = next()) {
      if (kept.size() < room) kept += static_cast<char>(c);
    }
    return c;
  };
  auto value = [](const std::string& digits) { return digits.empty() ? 0 : std::stoi(digits); };
  auto finish = [&](const std::string& found) {
    return found + (std::ferror(log) != 0 ? "read error" : "end");
  };

  char window[8] = {};
  std::string found;
  for (int c = next(); c != -1; c = next()) {
    window[6] = static_cast<char>(c);
    const bool tag = std::memcmp(window, "<slide>", 7) == 0;
    std::memmove(window, window + 1, 6);
    if (!tag) continue;
    std::string number, hours, minutes, seconds;
    int after = run(next(), number, 32);
    while (!digit(after)) {
      if (after == -1) return finish(found);
      after = next();
    }
    run(after, hours, 2);
    run(next(), minutes, 2);
    run(next(), seconds, 2);
    if (std::ferror(log) != 0) return finish(found);
    found += number + "@" + std::to_string(value(hours)) + ":" + std::to_string(value(minutes)) +
             ":" + std::to_string(value(seconds)) + " ";
  }
  return finish(found);
}

}  // namespace hreftrack::testing

#endif  // HREFTRACK_TESTS_PLAIN_SCANNER_H
