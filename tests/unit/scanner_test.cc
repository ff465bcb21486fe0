// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "log_scanner.h"
#include "test_streams.h"

namespace hreftrack {
namespace {

// Every event the scanner finds in `log`, "number@h:m:s " each, then "end" or "read error".
std::string scanText(std::FILE* log, std::size_t readSize = SlideLogScanner::blockSize) {
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

std::string scan(const std::string& log, std::size_t readSize = SlideLogScanner::blockSize) {
  testing::TempFile file(log);
  return scanText(file.get(), readSize);
}

struct Case {
  const char* what;  // The fault a wrong result would show.
  std::string log;
  const char* events;
};

// The scan rules, each case the smallest log that shows one of them.
const Case rules[] = {
    {"entries as a presentation writes them",
     "<entry><slide>1</slide><time>00:00:10</time></entry>\r\n"
     "<entry><slide>2</slide><time>00:01:58</time></entry>\r\n",
     "1@0:0:10 2@0:1:58 end"},
    {"the end tag's '<' is the character dropped after the seconds",
     "<slide>3</slide><time>00:01:05</time>", "3@0:1:5 end"},
    {"times that go back or repeat are kept, in log order",
     "<slide>5 00:10:00 <slide>4 00:09:00 <slide>4 00:09:00 ", "5@0:10:0 4@0:9:0 4@0:9:0 end"},
    {"a tag at the very start", "<slide>1 00:00:01", "1@0:0:1 end"},
    {"no tag before the seventh character", "slide>1 00:00:01", "end"},
    {"no tag at all", "no tags in here 12:34:56\n", "end"},
    {"half a tag at the end", "<slide", "end"},
    {"NUL and bytes above 0x7F are ordinary characters",
     std::string("\0\xff<slide>\0 1:2:3 <slide>1\r \0 0:0:5 ", 35), "@1:2:3 1@0:0:5 end"},
    {"upper case is no tag", "<SLIDE>1 00:00:01", "end"},
    {"an attribute makes no tag", "<slide n=\"1\">1 00:00:01", "end"},
    {"a blank makes no tag", "<slide >1 00:00:01", "end"},
    {"a line feed breaks a tag", "<sli\nde>1 00:00:01", "end"},
    {"a CR inside a tag is dropped", "<sli\rde>1 00:00:01", "1@0:0:1 end"},
    {"CRs are dropped inside numbers and fields, joining their digits",
     "<slide>1\r2\r 0\r0:\r05:1\r0 <slide>1 1\r2\r3\r4 ", "12@0:5:10 1@12:0:0 end"},
    {"a CR between a number's digits joins them", "<slide>1\r2 0:0:5 ", "12@0:0:5 end"},
    {"CRs before a tag", "\r\r\r\r\r\r<slide>9 1:1:1", "9@1:1:1 end"},
    {"a \"<\" cut short by a CR leaves nothing behind once a tag is read",
     "<\r<slide>1 0:0:1 slide>2 0:0:2 ", "1@0:0:1 end"},
    {"0x1A ends the log between events", "<slide>1 0:0:1 \x1a<slide>2 0:0:2", "1@0:0:1 end"},
    {"0x1A ends the log inside a time", "<slide>1 0:3\x1a:4", "1@0:3:0 end"},
    {"0x1A ends the log inside a tag",
     "<sli\x1a"
     "de>1 0:0:1",
     "end"},
    {"a blank after the tag: no number, and its digits are the hours", "<slide> 3 00:01:02",
     "@3:0:1 end"},
    {"leading zeros of a number are kept", "<slide>007 0:0:1", "007@0:0:1 end"},
    {"a number of four digits is kept whole", "<slide>1234 0:0:1", "1234@0:0:1 end"},
    {"digits past the 32nd are dropped", "<slide>1234567890123456789012345678901234567890 0:0:1 ",
     "12345678901234567890123456789012@0:0:1 end"},
    {"fields of one digit", "<slide>1 5:7:9 ", "1@5:7:9 end"},
    {"empty minutes", "<slide>1 00::07 ", "1@0:0:7 end"},
    {"empty seconds", "<slide>1 00:01</time>", "1@0:1:0 end"},
    {"a point ends the seconds", "<slide>1 00:00:05.23 ", "1@0:0:5 end"},
    {"minutes and seconds above 59 are kept", "<slide>1 00:75:80 ", "1@0:75:80 end"},
    {"a field keeps two digits and drops the rest of its run", "<slide>1 123:4567:89012x",
     "1@12:45:89 end"},
    {"a digit in the mark-up starts the hours", "<slide>4</slide><time t1=\"x\">00:00:10</time>",
     "4@1:0:0 end"},

    {"a tag right after the seconds is dropped with its '<'", "<slide>1 0:0:1<slide>2 0:0:2 ",
     "1@0:0:1 end"},
    {"a tag before the time is swallowed by the search",
     "<slide>1</slide><slide>2</slide><time>00:00:10</time>", "1@2:0:0 end"},
    {"one character after the seconds leaves the next tag whole", "<slide>1 0:0:1 <slide>2 0:0:2 ",
     "1@0:0:1 2@0:0:2 end"},
    {"the end inside the hours keeps the event", "<slide>1 0", "1@0:0:0 end"},
    {"the end after the hours", "<slide>1 01:", "1@1:0:0 end"},
    {"the end inside the minutes", "<slide>1 01:2", "1@1:2:0 end"},
    {"the end after the minutes", "<slide>1 01:02:", "1@1:2:0 end"},
    {"the end inside the seconds", "<slide>1 01:02:3", "1@1:2:3 end"},
    {"the end right after a tag leaves no event", "<slide>", "end"},
    {"the end inside the number leaves no event", "<slide>12", "end"},
    {"the end before the time leaves no event", "<slide>1 0:0:1 <slide>2</slide>", "1@0:0:1 end"},
};

TEST(ScannerTest, FollowsTheScanRules) {
  for (const Case& rule : rules) EXPECT_EQ(scan(rule.log), rule.events) << rule.what;
}

// The scan is one state machine fed a block at a time: an event, or a tag,
// cut by a block's end anywhere must read as a whole.  Reads of one byte
// put an edge between every two bytes.
TEST(ScannerTest, AnEdgeOfABlockAnywhereChangesNothing) {
  for (const Case& rule : rules) {
    for (const std::size_t readSize : {1, 2, 3, 5}) {
      EXPECT_EQ(scan(rule.log, readSize), rule.events) << rule.what << ", reads of " << readSize;
    }
  }
  // Bytes left in the block by an earlier read are no part of the log: the
  // last, short read ends in "<sli", and the "de>" after it is stale.
  EXPECT_EQ(scan("xxxx<slide>1 0:0:1 x<sli", 16), "1@0:0:1 end");
}

// The entries a presentation program writes are read by the quick path,
// each of them: a change that turns it off is a fault, if only of speed.
TEST(ScannerTest, ThePresentationsEntriesTakeTheQuickPath) {
  std::string log;
  for (int slide = 1; slide <= 100; ++slide) {
    log += "<entry><slide>" + std::to_string(slide) +
           "</slide><time>00:01:" + std::to_string(10 + slide % 50) + "</time></entry>\r\n";
  }
  testing::TempFile file(log);
  SlideLogScanner scanner(file.get());
  SlideEvent event;
  int events = 0;
  while (scanner.nextEvent(event) == ScanStatus::Event) ++events;
  EXPECT_EQ(events, 100);
  EXPECT_EQ(scanner.quickEvents(), 100u);
}

// The quick path passes the mark-up before a time eight bytes at a time:
// a digit anywhere among eight bytes, whatever the bytes around it, is the
// first digit of the time, as the steps read it.
TEST(ScannerTest, TheFirstDigitOfTheTimeIsFoundAmongAnyEightBytes) {
  for (const char filler : {'x', ':', '\0', '\xff'}) {
    for (int place = 0; place < 8; ++place) {
      for (char digit = '0'; digit <= '9'; ++digit) {
        std::string word(8, filler);
        word[static_cast<std::size_t>(place)] = digit;
        const std::string log = "<slide>1 " + word + "y5:6:7 ";
        EXPECT_EQ(scan(log), scan(log, 1))
            << "digit " << digit << " at " << place << " among " << int(filler);
      }
    }
  }
}

// The quick path reads only the log's bytes.  A short last read leaves the
// bytes of the read before it in the block after the log's data; here they
// would give the time of an event that has none.
TEST(ScannerTest, BytesAfterTheDataOfAShortReadAreNoPartOfTheLog) {
  const auto after = [](const std::string& last, const std::string& stale) {
    const std::size_t readSize = 32;
    std::string first = std::string(last.size(), 'y') + stale;
    first.resize(readSize, 'y');
    return scan(first + last, readSize);
  };
  EXPECT_EQ(after("<slide>12", "3 0:0:4 "), "end") << "the end inside the number";
  EXPECT_EQ(after("<slide>1 abcdefg", "x5:6:7 "), "end") << "the end seven bytes into the mark-up";
  EXPECT_EQ(after("<slide>1 0", "1:6:7 "), "1@0:0:0 end") << "the end inside the hours";
}

TEST(ScannerTest, FailedReadIsToldApartFromTheEnd) {
  // A directory opens as a stream on this platform, but every read fails.
  std::FILE* directory = std::fopen(".", "rb");
  if (directory == nullptr) GTEST_SKIP() << "directories do not open as streams here";
  EXPECT_EQ(scanText(directory), "read error");
  std::fclose(directory);
#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
  const auto scanThenFail = [](const std::string& bytes) {
    auto log = testing::CookieStream::reading(bytes);
    return scanText(log.get());
  };
  EXPECT_EQ(scanThenFail("<slide>1 0:0:1 <slide>2 0:0:2 "), "1@0:0:1 2@0:0:2 read error");
  // Inside a time the event may have lost digits, so it is not kept.
  EXPECT_EQ(scanThenFail("<slide>1 0:0:1 <slide>2 0:0"), "1@0:0:1 read error");
  EXPECT_EQ(scanThenFail("<slide>1 0:0:1 <slide>2"), "1@0:0:1 read error");
#endif
}

}  // namespace
}  // namespace hreftrack
