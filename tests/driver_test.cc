// SPDX-License-Identifier: MIT
#include "driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "test_streams.h"

namespace hreftrack {
namespace {

using testing::TempFile;

// The verdict on one answer, with the values when it is accepted:
// "accepted 1 2 3", "too few" or "out of range".
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

TEST(AnswerTest, IntegersAsScanfReadsThem) {
  EXPECT_EQ(offset("0 0 5\n"), "accepted 0 0 5");
  EXPECT_EQ(offset("1 2 3 4\n"), "accepted 1 2 3");
  EXPECT_EQ(offset("+5 0 0\n"), "accepted 5 0 0");
  EXPECT_EQ(offset("1+2+3\n"), "accepted 1 2 3");
  EXPECT_EQ(offset("5-0-0\n"), "accepted 5 0 0");
  EXPECT_EQ(offset("00 08 09\n"), "accepted 0 8 9");
  EXPECT_EQ(offset(" \t1\n\v2\f\r3 and more"), "accepted 1 2 3");
  EXPECT_EQ(offset("0000000000007 0 0\n"), "accepted 7 0 0");
  EXPECT_EQ(offset("1 2 3:\n"), "accepted 1 2 3");  // The character after the digit 9.
}

TEST(AnswerTest, TooFewValues) {
  EXPECT_EQ(offset(""), "too few");
  EXPECT_EQ(offset("\n"), "too few");
  EXPECT_EQ(offset("   \t \n"), "too few");
  EXPECT_EQ(offset("1 2\n"), "too few");
  EXPECT_EQ(offset("1 2 x\n"), "too few");
  EXPECT_EQ(offset("x 1 2 3\n"), "too few");
  EXPECT_EQ(offset("- 5 0 0\n"), "too few");
  EXPECT_EQ(offset("1 2 +\n"), "too few");
  EXPECT_EQ(offset("1 2 --3\n"), "too few");
  // The answer ends at its first NUL.
  EXPECT_EQ(offset(std::string("1 2\0 3\n", 7)), "too few");
  // Counting comes first: a short answer is too few even with a value out of range.
  EXPECT_EQ(offset("100 0\n"), "too few");
  EXPECT_EQ(playLength("0 2 10\n"), "too few");
}

TEST(AnswerTest, EachValueHasItsOwnRange) {
  EXPECT_EQ(offset("0 0 0\n"), "accepted 0 0 0");
  EXPECT_EQ(offset("99 59 59\n"), "accepted 99 59 59");
  EXPECT_EQ(offset("-0 -0 -0\n"), "accepted 0 0 0");
  EXPECT_EQ(offset("100 0 0\n"), "out of range");
  EXPECT_EQ(offset("0 60 0\n"), "out of range");
  EXPECT_EQ(offset("0 0 60\n"), "out of range");
  EXPECT_EQ(offset("-1 0 0\n"), "out of range");
  EXPECT_EQ(offset("0 0 -1\n"), "out of range");
  EXPECT_EQ(playLength("0 0 0 0\n"), "accepted 0 0 0 0");
  EXPECT_EQ(playLength("99 59 59 99\n"), "accepted 99 59 59 99");
  EXPECT_EQ(playLength("1 2 3 4 5\n"), "accepted 1 2 3 4");
  EXPECT_EQ(playLength("0 0 0 100\n"), "out of range");
  EXPECT_EQ(playLength("100 0 0 0\n"), "out of range");
  EXPECT_EQ(playLength("0 60 0 0\n"), "out of range");
  EXPECT_EQ(playLength("0 0 60 0\n"), "out of range");
  EXPECT_EQ(playLength("0 0 0 -1\n"), "out of range");
}

TEST(AnswerTest, NumbersBeyond32BitsNeverWrapIntoRange) {
  EXPECT_EQ(offset("4294967301 0 0\n"), "out of range");  // 2^32 + 5
  EXPECT_EQ(offset("99999999999999999999 0 0\n"), "out of range");
  EXPECT_EQ(offset("-4294967296 0 0\n"), "out of range");
  EXPECT_EQ(offset("0 0 " + std::string(400, '9') + "\n"), "out of range");
  EXPECT_EQ(playLength("0 0 0 4294967395\n"), "out of range");  // 2^32 + 99
}

// Console input as readAnswerLine sees it.
class AnswerLineTest : public ::testing::Test {
 protected:
  void type(const std::string& bytes) {
    input = std::make_unique<TempFile>(bytes);
    console.in = input->get();
  }
  std::string next() {
    const std::size_t count = readAnswerLine(console);
    return count == 0 ? "(end) " + std::string(console.answerLine)
                      : std::string(console.answerLine, count);
  }
  std::unique_ptr<TempFile> input;
  Console console = [] {
    Console untouched;
    std::strcpy(untouched.answerLine, "untouched");
    return untouched;
  }();
};

TEST_F(AnswerLineTest, LinesArriveWithTheirLineEnd) {
  type("0 0 5\n\n1 2 3");
  EXPECT_EQ(next(), "0 0 5\n");
  EXPECT_EQ(next(), "\n");
  EXPECT_EQ(next(), "1 2 3");
  EXPECT_EQ(next(), "(end) 1 2 3");
  EXPECT_EQ(next(), "(end) 1 2 3");
}

TEST_F(AnswerLineTest, CarriageReturnBeforeLineFeedIsDropped) {
  type("1 2 3\r\n4\r5\r\r\n\r");
  EXPECT_EQ(next(), "1 2 3\n");
  EXPECT_EQ(next(), "4\r5\r\n");
  EXPECT_EQ(next(), "\r");
  EXPECT_EQ(next(), "(end) \r");
}

TEST_F(AnswerLineTest, LongLinesArriveIn49CharacterPieces) {
  const std::string fits(48, 'a');
  const std::string exact(49, 'b');
  type(fits + "\n" + exact + "\n" + exact + "cc\r\n" + fits + "\r\n");
  EXPECT_EQ(next(), fits + "\n");
  EXPECT_EQ(next(), exact);
  EXPECT_EQ(next(), "\n");
  EXPECT_EQ(next(), exact);
  EXPECT_EQ(next(), "cc\n");
  EXPECT_EQ(next(), fits + "\n");  // Its CR LF counts as the one line feed.
}

TEST_F(AnswerLineTest, EndOfInputLeavesTheLineAndIsFinal) {
  type("");
  EXPECT_EQ(next(), "(end) untouched");
  // Input that arrives later is not read: the end is final.
  std::fputs("0 0 5\n", input->get());
  std::rewind(input->get());
  EXPECT_EQ(next(), "(end) untouched");
}

#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
TEST(PrintTest, OnATerminalEveryPrintReachesTheScreenAtOnce) {
  testing::RecordingStream screen;
  Console console;
  console.out = screen.get();
  console.flushEachPrint = true;
  print(console, "Offset [tim min sek] = ");
  EXPECT_EQ(screen.bytes(), "Offset [tim min sek] = ");
  // Redirected, output goes out in blocks, not print by print.
  console.flushEachPrint = false;
  print(console, "For faa argumenter\r\n\r\n");
  EXPECT_EQ(screen.bytes(), "Offset [tim min sek] = ");
}
#endif

// The dialogue as a user sees it: prompts and messages, every line end CR LF.
class DialogueTest : public ::testing::Test {
 protected:
  void answer(const std::string& bytes) {
    input = std::make_unique<TempFile>(bytes);
    console = Console{};
    console.in = input->get();
    console.out = output.get();
  }
  std::unique_ptr<TempFile> input;
  TempFile output;
  Console console;
};

TEST_F(DialogueTest, RefusedAnswersAreAskedAgain) {
  answer("x\n100 0 0\n1 2 3\n");
  const std::optional<TimeOffset> offset = askTimeOffset(console);
  ASSERT_TRUE(offset);
  EXPECT_EQ(offset->hours, 1);
  EXPECT_EQ(offset->minutes, 2);
  EXPECT_EQ(offset->seconds, 3);
  EXPECT_EQ(output.contents(),
            "Offset [tim min sek] = For faa argumenter\r\n\r\n"
            "Offset [tim min sek] = Ulovlig verdi i argument\r\n\r\n"
            "Offset [tim min sek] = ");
}

TEST_F(DialogueTest, LastAnswerServesBothQuestionsAtTheEndOfInput) {
  answer("1 2 3 4\n");
  ASSERT_TRUE(askTimeOffset(console));
  const std::optional<PlayLength> length = askPlayLength(console);
  ASSERT_TRUE(length);
  EXPECT_EQ(length->hours, 1);
  EXPECT_EQ(length->hundredths, 4);
  EXPECT_EQ(output.contents(), "Offset [tim min sek] = Eksakt spilletid [tim min sek hundr] = ");
}

TEST_F(DialogueTest, RefusedAnswerAtTheEndOfInputEndsTheDialogue) {
  answer("");
  EXPECT_FALSE(askTimeOffset(console));
  EXPECT_EQ(output.contents(), "Offset [tim min sek] = For faa argumenter\r\n\r\n");

  answer("0 0 5\n0 0 0 100");
  ASSERT_TRUE(askTimeOffset(console));
  EXPECT_FALSE(askPlayLength(console));
  EXPECT_EQ(output.contents(),
            "Offset [tim min sek] = For faa argumenter\r\n\r\n"
            "Offset [tim min sek] = "
            "Eksakt spilletid [tim min sek hundr] = Ulovlig verdi i argument\r\n\r\n"
            "Eksakt spilletid [tim min sek hundr] = Ulovlig verdi i argument\r\n\r\n");
}

}  // namespace
}  // namespace hreftrack

namespace hreftrack {
namespace {

// The conversion as the driver runs it, on streams that tests control.
class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() { console.out = output.get(); }
  TempFile output;
  Console console;
  const TimeOffset offset{0, 0, 5};
  const PlayLength length{0, 2, 10, 50};
  const std::string opening =
      "{QTtext}{font:Geneva}{plain}{size:12}{textColor: 65535, 65535, 65535}"
      "{backColor: 0, 0, 0}{justify:center}{timeScale:30}{width:160}{height:48}"
      "{timeStamps:absolute}{language:0}{textEncoding:0}\r\n"
      "[00:00:00.00]\r\nA<foil0.html> T<myfoil>\r\n";
};

#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
using testing::RecordingStream;

TEST_F(ConversionTest, WholeLogGivesTheClosedTrackAndNoMessage) {
  TempFile log("<slide>1 00:00:10 <slide>2 00:01:58 ");
  RecordingStream track;
  convertLog(console, log.get(), track.get(), offset, length);
  EXPECT_TRUE(track.closed());
  EXPECT_EQ(track.bytes(), opening +
                               "[00:00:15.00]\r\nA<foil1.html> T<myfoil>\r\n"
                               "[00:02:03.00]\r\nA<foil2.html> T<myfoil>\r\n"
                               "[00:02:10.50]\r\n");
  EXPECT_EQ(output.contents(), "");
}

TEST_F(ConversionTest, TrackLeavesInWholeWritesOf16KiB) {
  std::string entries;
  for (int i = 0; i < 1000; ++i) entries += "<slide>" + std::to_string(i) + " 0:0:1 ";
  TempFile log(entries);
  RecordingStream track;
  convertLog(console, log.get(), track.get(), offset, length);
  const std::vector<std::size_t> sizes = track.writeSizes();
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[0], 16384u);
  EXPECT_EQ(sizes[1], 16384u);
}

TEST_F(ConversionTest, ReadErrorKeepsTheTrackSoFarWithoutClosingStamp) {
  testing::FailingStream log("<slide>1 00:00:10 <slide>2 00:01");
  RecordingStream track;
  convertLog(console, log.get(), track.get(), offset, length);
  EXPECT_EQ(track.bytes(), opening + "[00:00:15.00]\r\nA<foil1.html> T<myfoil>\r\n");
  EXPECT_EQ(output.contents(), "Feil ved lesing av log.xml!\r\n\r\n");
}

TEST_F(ConversionTest, FailedWriteOrCloseOfTheTrackIsReported) {
  TempFile log("<slide>1 00:00:10 ");
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  convertLog(console, log.get(), full, offset, length);
  EXPECT_EQ(output.contents(), "Feil ved skriving til HREFTrack.txt!\r\n\r\n");

  // Every write went through; only the close fails.
  std::rewind(log.get());
  RecordingStream track(RecordingStream::closeFails);
  convertLog(console, log.get(), track.get(), offset, length);
  EXPECT_EQ(output.contents(),
            "Feil ved skriving til HREFTrack.txt!\r\n\r\n"
            "Feil ved skriving til HREFTrack.txt!\r\n\r\n");
}
#endif

}  // namespace
}  // namespace hreftrack
