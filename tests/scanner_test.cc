// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "log_scanner.h"
#include "plain_scanner.h"
#include "test_streams.h"

namespace hreftrack {
namespace {

using testing::TempFile;

std::string scan(const std::string& log, std::size_t readSize = SlideLogScanner::blockSize) {
  TempFile file(log);
  return testing::scanText(file.get(), readSize);
}

std::string plainScan(const std::string& log) {
  TempFile file(log);
  return testing::plainScan(file.get());
}

TEST(ScannerTest, FindsEntriesAsAPresentationWritesThem) {
  EXPECT_EQ(scan("<entry><slide>1</slide><time>00:00:10</time></entry>\r\n"
                 "<entry><slide>2</slide><time>00:01:58</time></entry>\r\n"),
            "1@0:0:10 2@0:1:58 end");
  // The example of the scan rules: the end tag's "<" is the dropped character.
  EXPECT_EQ(scan("<slide>3</slide><time>00:01:05</time>"), "3@0:1:5 end");
  // Times may go back or repeat; nothing is sorted.
  EXPECT_EQ(scan("<slide>5 00:10:00 <slide>4 00:09:00 <slide>4 00:09:00 "),
            "5@0:10:0 4@0:9:0 4@0:9:0 end");
}

TEST(ScannerTest, TagMatchesFromTheSeventhByteOn) {
  EXPECT_EQ(scan("<slide>1 00:00:01"), "1@0:0:1 end");
  EXPECT_EQ(scan(""), "end");
  EXPECT_EQ(scan("no tags in here 12:34:56\n"), "end");
  EXPECT_EQ(scan("<slide"), "end");
  // NUL bytes and bytes above 0x7F are ordinary characters: before a tag,
  // right after one, and where the character reader meets them.
  EXPECT_EQ(scan(std::string("\0\xff<slide>1 2:3:4", 16)), "1@2:3:4 end");
  EXPECT_EQ(scan(std::string("<slide>\0 1:2:3 ", 15)), "@1:2:3 end");
  EXPECT_EQ(scan(std::string("<slide>1\r \0 0:0:5 ", 18)), "1@0:0:5 end");
}

TEST(ScannerTest, TagMustBeSpelledExactly) {
  EXPECT_EQ(scan("<SLIDE>1 00:00:01"), "end");
  EXPECT_EQ(scan("<slide n=\"1\">1 00:00:01"), "end");
  EXPECT_EQ(scan("<slide >1 00:00:01"), "end");
  EXPECT_EQ(scan("<sli\nde>1 00:00:01"), "end");
}

TEST(ScannerTest, CarriageReturnsAreDroppedEverywhere) {
  EXPECT_EQ(scan("<sli\rde>1 00:00:01"), "1@0:0:1 end");
  EXPECT_EQ(scan("<slide>1\r2\r 0\r0:\r05:1\r0"), "12@0:5:10 end");
  EXPECT_EQ(scan("\r\r\r\r\r\r<slide>9 1:1:1"), "9@1:1:1 end");
  // Each CR joins the digits around it: one field of hours, 1234.
  EXPECT_EQ(scan("<slide>1 1\r2\r3\r4 "), "1@12:0:0 end");
}

TEST(ScannerTest, ByteOneAEndsTheLog) {
  EXPECT_EQ(scan("<slide>1 0:0:1 \x1a<slide>2 0:0:2"), "1@0:0:1 end");
  EXPECT_EQ(scan("<slide>1 0:3\x1a:4"), "1@0:3:0 end");
  EXPECT_EQ(scan("<sli\x1a"
                 "de>1 0:0:1"),
            "end");
}

TEST(ScannerTest, SlideNumberIsTheDigitsRightAfterTheTag) {
  EXPECT_EQ(scan("<slide> 3 00:01:02"), "@3:0:1 end");
  EXPECT_EQ(scan("<slide>007 0:0:1"), "007@0:0:1 end");
  EXPECT_EQ(scan("<slide>1234 0:0:1"), "1234@0:0:1 end");
  // Digits past the 32nd are read and dropped.
  const std::string digits = "1234567890123456789012345678901234567890";
  EXPECT_EQ(scan("<slide>" + digits + " 0:0:1"), digits.substr(0, 32) + "@0:0:1 end");
}

TEST(ScannerTest, TimeFieldsAreDigitRunsEachEndedByOneCharacter) {
  EXPECT_EQ(scan("<slide>1 5:7:9 "), "1@5:7:9 end");
  EXPECT_EQ(scan("<slide>1 00::07 "), "1@0:0:7 end");
  EXPECT_EQ(scan("<slide>1 00:01</time>"), "1@0:1:0 end");
  EXPECT_EQ(scan("<slide>1 00:00:05.23 "), "1@0:0:5 end");
  // Minutes and seconds above 59 are kept; the writer folds them.
  EXPECT_EQ(scan("<slide>1 00:75:80 "), "1@0:75:80 end");
  // A field keeps two digits, drops the rest of its run and the character after it.
  EXPECT_EQ(scan("<slide>1 123:4567:89012x"), "1@12:45:89 end");
  // A digit in the mark-up between number and time starts the hours.
  EXPECT_EQ(scan("<slide>4</slide><time t1=\"x\">00:00:10</time>"), "4@1:0:0 end");
}

TEST(ScannerTest, TagsInsideAnEventAreNotFound) {
  // Right after the seconds: the "<" ends the seconds and is dropped.
  EXPECT_EQ(scan("<slide>1 0:0:1<slide>2 0:0:2 "), "1@0:0:1 end");
  // Between a number and the next digit: the search swallows the tag and
  // reads the next slide's number as the hours.
  EXPECT_EQ(scan("<slide>1</slide><slide>2</slide><time>00:00:10</time>"), "1@2:0:0 end");
  // One character after the seconds is enough to leave the next tag whole.
  EXPECT_EQ(scan("<slide>1 0:0:1 <slide>2 0:0:2 "), "1@0:0:1 2@0:0:2 end");
}

TEST(ScannerTest, EndInsideAnEvent) {
  // Inside the time: the event is kept, the missing fields are 0.
  EXPECT_EQ(scan("<slide>1 0"), "1@0:0:0 end");
  EXPECT_EQ(scan("<slide>1 01:"), "1@1:0:0 end");
  EXPECT_EQ(scan("<slide>1 01:2"), "1@1:2:0 end");
  EXPECT_EQ(scan("<slide>1 01:02:"), "1@1:2:0 end");
  EXPECT_EQ(scan("<slide>1 01:02:3"), "1@1:2:3 end");
  // Before the first digit of the time: the unfinished event is left out.
  EXPECT_EQ(scan("<slide>"), "end");
  EXPECT_EQ(scan("<slide>12"), "end");
  EXPECT_EQ(scan("<slide>12</slide>"), "end");
  EXPECT_EQ(scan("<slide>1 0:0:1 <slide>2</slide>"), "1@0:0:1 end");
}

TEST(ScannerTest, EventsSurviveTheEdgeOfARead) {
  // Put the edge of a read at every place inside one event: in the tag,
  // at a CR, in the slide number and in each time field.
  const std::string entry = "<sli\rde>12\r3</slide><time>01:\r23:45</time>";
  for (const std::size_t readSize :
       {std::size_t{16}, std::size_t{61}, SlideLogScanner::blockSize}) {
    for (std::size_t cut = 0; cut <= entry.size(); ++cut) {
      const std::string padding(readSize - cut % readSize, 'x');
      EXPECT_EQ(scan(padding + entry + " <slide>4 5:6:7 ", readSize), "123@1:23:45 4@5:6:7 end")
          << "reads of " << readSize << " bytes, edge " << cut << " bytes into the entry";
    }
  }
}

TEST(ScannerTest, FullBlockStaysInsideTheScanner) {
  // A read that fills the whole block, with the CR put after it, writes
  // nothing past the scanner: the bytes that follow it keep their values.
  struct Guarded {
    explicit Guarded(std::FILE* log) : scanner(log) {}
    SlideLogScanner scanner;
    unsigned char after[16] = {0x5a, 0x5a, 0x5a, 0x5a, 0x5a, 0x5a, 0x5a, 0x5a,
                               0x5a, 0x5a, 0x5a, 0x5a, 0x5a, 0x5a, 0x5a, 0x5a};
  };
  TempFile file(std::string(SlideLogScanner::blockSize, 'x') + "<slide>1 0:0:1 ");
  const auto guarded = std::make_unique<Guarded>(file.get());
  SlideEvent event;
  EXPECT_EQ(guarded->scanner.nextEvent(event), ScanStatus::Event);
  EXPECT_EQ(guarded->scanner.nextEvent(event), ScanStatus::End);
  EXPECT_EQ(std::string(guarded->after, guarded->after + 16), std::string(16, '\x5a'));
}

TEST(ScannerTest, TagIsTakenWholeOnlyFromBytesOfTheCurrentRead) {
  // The last, short read ends in "<sli"; the rest of its block still holds
  // the first read's "de>", which must not complete the tag.
  EXPECT_EQ(scan("xxxx<slide>1 0:0:1 x<sli", 16), "1@0:0:1 end");
}

// Logs made of the pieces that matter to the rules, in random order: tags
// whole and broken, CRs, digits, separators and 0x1A now and then.
std::string randomLog(unsigned seed, std::size_t pieces) {
  static const char* const parts[] = {"<slide>",
                                      "<slide>",
                                      "<sli\rde>",
                                      "<sl\nide>",
                                      "<",
                                      "slide>",
                                      "<entry>",
                                      "</slide>",
                                      "<time>",
                                      "\r\n",
                                      "\r",
                                      ":",
                                      "::",
                                      ".",
                                      " ",
                                      "x",
                                      "0",
                                      "7",
                                      "12",
                                      "345",
                                      "00:01:05",
                                      "99:99:99",
                                      "1234567890123456789012345678901234"};
  std::string log;
  unsigned state = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < pieces; ++i) {
    state = state * 1103515245u + 12345u;
    const unsigned pick = (state >> 16) % (sizeof parts / sizeof parts[0] + 1);
    if (pick == sizeof parts / sizeof parts[0]) {
      if ((state >> 8) % 50 == 0) log += '\x1a';  // Rarely: the rest is never read.
      continue;
    }
    log += parts[pick];
  }
  return log;
}

TEST(ScannerTest, AgreesWithThePlainRulesForEveryReadSize) {
  for (unsigned seed = 0; seed < 40; ++seed) {
    const std::string log = randomLog(seed, 300);
    const std::string expected = plainScan(log);
    for (const std::size_t readSize : {1, 2, 3, 7, 8, 13, 64, 4096, 65536}) {
      ASSERT_EQ(scan(log, readSize), expected) << "seed " << seed << ", reads of " << readSize;
    }
  }
}

TEST(ScannerTest, PlainRulesAreThoseTheCasesAbovePin) {
  // The reference must itself follow the rules, or agreeing with it shows nothing.
  EXPECT_EQ(plainScan("<slide>1</slide><slide>2</slide><time>00:00:10</time>"), "1@2:0:0 end");
  EXPECT_EQ(plainScan("<sli\rde>1 0:3\x1a:4"), "1@0:3:0 end");
  EXPECT_EQ(plainScan("<slide>1 123:4567:89012x<slide>2 0:0:1 <slide>3"), "1@12:45:89 2@0:0:1 end");
}

TEST(ScannerTest, FailedReadIsToldApartFromTheEnd) {
  // A directory opens as a stream on this platform, but every read fails.
  std::FILE* directory = std::fopen(".", "rb");
  if (directory == nullptr) GTEST_SKIP() << "directories do not open as streams here";
  EXPECT_EQ(testing::scanText(directory), "read error");
  std::fclose(directory);
}

#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
std::string scanThenFail(const std::string& bytes) {
  testing::FailingStream stream(bytes);
  return testing::scanText(stream.get());
}

TEST(ScannerTest, ReadErrorInTheMiddleEndsTheScan) {
  EXPECT_EQ(scanThenFail("<slide>1 0:0:1 <slide>2 0:0:2 "), "1@0:0:1 2@0:0:2 read error");
  // The error comes inside a time: that event may have lost digits, so it is not kept.
  EXPECT_EQ(scanThenFail("<slide>1 0:0:1 <slide>2 0:0"), "1@0:0:1 read error");
  EXPECT_EQ(scanThenFail("<slide>1 0:0:1 <slide>2"), "1@0:0:1 read error");
}
#endif

}  // namespace
}  // namespace hreftrack
