// SPDX-License-Identifier: MIT
#include "driver.h"

#include <gtest/gtest.h>

#include <string>

#include "test_streams.h"
#include "track_writer.h"

namespace hreftrack {
namespace {

// The verdict on one answer: "accepted 1 2 3", "too few" or "out of range".
std::string judge(const std::string& answer, const TimeQuestion& question) {
  TimeValues values = {};
  switch (judgeAnswer(answer.c_str(), question, values)) {
    case AnswerVerdict::Accepted: {
      std::string result = "accepted";
      for (int i = 0; i < question.valueCount; ++i) result += " " + std::to_string(values[i]);
      return result;
    }
    case AnswerVerdict::TooFewValues:
      return "too few";
    case AnswerVerdict::ValueOutOfRange:
      return "out of range";
  }
  return "no verdict";
}

std::string offset(const std::string& answer) { return judge(answer, offsetQuestion); }
std::string playLength(const std::string& answer) { return judge(answer, playLengthQuestion); }

TEST(AnswerTest, ValuesAreReadAsScanfReadsIntegers) {
  EXPECT_EQ(offset("1 2 3 4\n"), "accepted 1 2 3");
  EXPECT_EQ(offset("+5 0 0\n"), "accepted 5 0 0");
  EXPECT_EQ(offset("1+2+3\n"), "accepted 1 2 3");
  EXPECT_EQ(offset("5-0-0\n"), "accepted 5 0 0");
  EXPECT_EQ(offset("00 08 09\n"), "accepted 0 8 9");
  EXPECT_EQ(offset(" \t1\n\v2\f\r3 and more"), "accepted 1 2 3");
  EXPECT_EQ(offset("1 2 3:\n"), "accepted 1 2 3");  // ':' follows the digit 9.
  EXPECT_EQ(offset("-0 -0 -0\n"), "accepted 0 0 0");
}

TEST(AnswerTest, TooFewValuesWhereTextStandsForANumber) {
  for (const char* answer : {"", "\n", "   \t \n", "1 2\n", "1 2 x\n", "x 1 2 3\n", "- 5 0 0\n",
                             "1 2 +\n", "1 2 --3\n"}) {
    EXPECT_EQ(offset(answer), "too few") << answer;
  }
  EXPECT_EQ(offset(std::string("1 2\0 3\n", 7)), "too few");  // The answer ends at a NUL.
  // Counting comes first: a short answer is too few even with a value out of range.
  EXPECT_EQ(offset("100 0\n"), "too few");
  EXPECT_EQ(playLength("0 2 10\n"), "too few");
}

TEST(AnswerTest, EachValueHasItsOwnRange) {
  EXPECT_EQ(offset("99 59 59\n"), "accepted 99 59 59");
  for (const char* answer : {"100 0 0", "0 60 0", "0 0 60", "-1 0 0", "0 -1 0", "0 0 -1"}) {
    EXPECT_EQ(offset(answer), "out of range") << answer;
  }
  EXPECT_EQ(playLength("99 59 59 99\n"), "accepted 99 59 59 99");
  EXPECT_EQ(playLength("0 0 0 0 5\n"), "accepted 0 0 0 0");
  for (const char* answer : {"0 0 0 100", "100 0 0 0", "0 60 0 0", "0 0 60 0", "0 0 0 -1"}) {
    EXPECT_EQ(playLength(answer), "out of range") << answer;
  }
  // Numbers beyond 32 bits never wrap round into a range.
  EXPECT_EQ(offset("4294967301 0 0\n"), "out of range");  // 2^32 + 5
  EXPECT_EQ(offset("-4294967296 0 0\n"), "out of range");
  EXPECT_EQ(offset("0 0 " + std::string(400, '9') + "\n"), "out of range");
  EXPECT_EQ(playLength("0 0 0 4294967395\n"), "out of range");  // 2^32 + 99
}

// The answer line as readAnswerLine leaves it after each read.
class AnswerLineTest : public ::testing::Test {
 protected:
  explicit AnswerLineTest() { console.in = input.get(); }
  void type(const std::string& bytes) {
    std::fputs(bytes.c_str(), input.get());
    std::rewind(input.get());
  }
  std::string next() {
    const std::size_t count = readAnswerLine(console);
    return count == 0 ? "(end) " + std::string(console.answerLine)
                      : std::string(console.answerLine, count);
  }
  testing::TempFile input;
  Console console;
};

TEST_F(AnswerLineTest, CarriageReturnIsDroppedOnlyBeforeALineFeed) {
  type("1 2 3\r\n4\r5\r\r\n\r");
  EXPECT_EQ(next(), "1 2 3\n");
  EXPECT_EQ(next(), "4\r5\r\n");
  EXPECT_EQ(next(), "\r");
  EXPECT_EQ(next(), "(end) \r");
}

TEST_F(AnswerLineTest, LongLinesArriveIn49CharacterPieces) {
  const std::string fits(48, 'a');
  const std::string exact(49, 'b');
  type(fits + "\n" + exact + "\n" + exact + "cc\r\n");
  EXPECT_EQ(next(), fits + "\n");
  EXPECT_EQ(next(), exact);
  EXPECT_EQ(next(), "\n");
  EXPECT_EQ(next(), exact);
  EXPECT_EQ(next(), "cc\n");
}

TEST_F(AnswerLineTest, EndOfInputKeepsTheLastAnswerAndIsFinal) {
  type("1 2 3");
  EXPECT_EQ(next(), "1 2 3");
  EXPECT_EQ(next(), "(end) 1 2 3");
  // Input that arrives after the end, as on a terminal after Ctrl-D, is not read.
  type("0 0 5\n");
  EXPECT_EQ(next(), "(end) 1 2 3");
}

#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
// The conversion on streams whose reads and writes fail where a disk's can.
class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() { console.out = said.get(); }
  void convert(std::FILE* log, std::FILE* track) {
    convertLog(console, log, track, TimeOffset{0, 0, 5}, PlayLength{0, 2, 10, 50});
  }
  testing::TempFile said;
  Console console;
};

TEST_F(ConversionTest, ReadErrorKeepsTheTrackSoFarWithoutClosingStamp) {
  auto log = testing::CookieStream::reading("<slide>1 00:00:10 <slide>2 00:01");
  auto track = testing::CookieStream::writing();
  convert(log.get(), track.get());
  EXPECT_TRUE(track.closed());
  EXPECT_EQ(track.bytes(), std::string(trackHeader) + trackOpening +
                               "[00:00:15.00]\r\nA<foil1.html> T<myfoil>\r\n");
  EXPECT_EQ(said.contents(), "Feil ved lesing av log.xml!\r\n\r\n");
}

TEST_F(ConversionTest, FailedCloseOfTheTrackIsReported) {
  testing::TempFile log("<slide>1 00:00:10 ");
  auto track = testing::CookieStream::writing(true);
  convert(log.get(), track.get());
  EXPECT_EQ(said.contents(), "Feil ved skriving til HREFTrack.txt!\r\n\r\n");
}
#endif

}  // namespace
}  // namespace hreftrack
