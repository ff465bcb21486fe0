// SPDX-License-Identifier: MIT
// The benchmark logs, made piece by piece from a fixed seed so that every
// run, on every machine, sees the same bytes.
//
//   DenseLog   slide entries back to back, as a presentation program writes
//              them, with CR LF: about 55 bytes an event; slides 1 to 250,
//              or, from a `lowest` of 100, of three digits each.
//   SparseLog  prose-like mark-up with CR LF, full of '<' and of digits that
//              look like times, and one slide entry every 100 KB or so.

#ifndef HREFTRACK_BENCH_LOG_MAKER_H
#define HREFTRACK_BENCH_LOG_MAKER_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace hreftrack::bench {

/// A small xorshift generator: the same sequence everywhere.
struct Random {
  std::uint64_t state = 0x9E3779B97F4A7C15ULL;
  std::uint32_t below(std::uint32_t bound) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint32_t>(state % bound);
  }
};

/// One entry as a presentation program logs it.
inline void appendEntry(std::string& out, unsigned slide, unsigned seconds) {
  char text[96];
  std::snprintf(text, sizeof text,
                "<entry><slide>%u</slide><time>%02u:%02u:%02u</time></entry>\r\n", slide,
                seconds / 3600 % 100, seconds / 60 % 60, seconds % 60);
  out += text;
}

/// Entries back to back: mostly the next slide, now and then back to an earlier one.
struct DenseLog {
  explicit DenseLog(unsigned first = 1) : lowest(first), slide(first) {}

  Random random;
  unsigned lowest;  // The slides run from lowest to lowest + 249.
  unsigned slide;
  unsigned seconds = 0;

  /// Appends at least `bytes` bytes of whole entries.
  void append(std::string& out, std::size_t bytes) {
    const std::size_t goal = out.size() + bytes;
    while (out.size() < goal) {
      appendEntry(out, slide, seconds);
      seconds += 1 + random.below(4);
      const unsigned place = slide - lowest + 1;  // 1 to 250
      slide = lowest + (random.below(10) == 0 ? random.below(place) : place % 250);
    }
  }
};

/// Prose with mark-up, and a slide entry after every 90 to 110 KB of it.
struct SparseLog {
  Random random;
  unsigned slide = 1;
  unsigned seconds = 0;

  /// Appends one stretch of prose and the entry that ends it.
  void append(std::string& out) {
    const std::size_t goal = out.size() + 90000 + random.below(20000);
    while (out.size() < goal) appendLine(out);
    appendEntry(out, slide++, seconds);
    seconds += 20 + random.below(100);
  }

 private:
  void appendLine(std::string& out) {
    static const char* const words[] = {"forelesningen",
                                        "tilstanden",
                                        "maskinen",
                                        "klokka",
                                        "signalet",
                                        "verdien",
                                        "og",
                                        "i",
                                        "som",
                                        "med",
                                        "en",
                                        "til",
                                        "kretsen",
                                        "neste",
                                        "figur",
                                        "viser",
                                        "at",
                                        "vi",
                                        "har",
                                        "det"};
    static const char* const openers[] = {
        "<p>",         "<em>", "<b>", "<span class=\"note\">", "<a href=\"foil12.html\">",
        "<slideshow>", "<li>"};
    static const char* const closers[] = {"</p>", "</em>",        "</b>", "</span>",
                                          "</a>", "</slideshow>", "</li>"};
    const unsigned tag = random.below(7);
    out += openers[tag];
    const unsigned length = 8 + random.below(12);
    for (unsigned i = 0; i < length; ++i) {
      const unsigned pick = random.below(24);
      char number[32];
      if (pick == 20) {
        std::snprintf(number, sizeof number, "%02u:%02u:%02u", random.below(24), random.below(60),
                      random.below(60));
        out += number;
      } else if (pick == 21) {
        std::snprintf(number, sizeof number, "%u", random.below(1000));
        out += number;
      } else if (pick == 22) {
        out += "<br/>";
      } else if (pick == 23) {
        out += "&lt;slide&gt;";
      } else {
        out += words[pick];
      }
      out += ' ';
    }
    out += closers[tag];
    out += "\r\n";
  }
};

}  // namespace hreftrack::bench

#endif  // HREFTRACK_BENCH_LOG_MAKER_H
