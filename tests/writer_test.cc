// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_streams.h"
#include "track_writer.h"

namespace hreftrack {
namespace {

using testing::TempFile;

const std::string header =
    "{QTtext}{font:Geneva}{plain}{size:12}{textColor: 65535, 65535, 65535}"
    "{backColor: 0, 0, 0}{justify:center}{timeScale:30}{width:160}{height:48}"
    "{timeStamps:absolute}{language:0}{textEncoding:0}\r\n";
const std::string opening = header + "[00:00:00.00]\r\nA<foil0.html> T<myfoil>\r\n";

SlideEvent event(const char* number, int hours, int minutes, int seconds) {
  SlideEvent result;
  std::strcpy(result.slideNumber, number);
  result.hours = hours;
  result.minutes = minutes;
  result.seconds = seconds;
  return result;
}

class WriterTest : public ::testing::Test {
 protected:
  // The lines that writeSlide adds for one event.
  std::string sample(const SlideEvent& slide, const TimeOffset& offset) {
    TempFile file;
    HrefTrackWriter writer(file.get());
    writer.writeSlide(slide, offset);
    EXPECT_TRUE(writer.finish());
    return file.contents();
  }
  std::string closing(const PlayLength& length) {
    TempFile file;
    HrefTrackWriter writer(file.get());
    writer.writeClosing(length);
    EXPECT_TRUE(writer.finish());
    return file.contents();
  }
};

TEST_F(WriterTest, HeaderIsOneLineOf192Bytes) {
  EXPECT_EQ(header.size(), 192u);
  EXPECT_EQ(std::string(trackHeader), header);
}

TEST_F(WriterTest, WorkedExampleGivesEightLines) {
  TempFile file;
  HrefTrackWriter writer(file.get());
  const TimeOffset offset{0, 0, 5};
  writer.writeOpening();
  writer.writeSlide(event("1", 0, 0, 10), offset);
  writer.writeSlide(event("2", 0, 1, 58), offset);
  writer.writeClosing(PlayLength{0, 2, 10, 50});
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(file.contents(), opening +
                                 "[00:00:15.00]\r\nA<foil1.html> T<myfoil>\r\n"
                                 "[00:02:03.00]\r\nA<foil2.html> T<myfoil>\r\n"
                                 "[00:02:10.50]\r\n");
}

TEST_F(WriterTest, TrackWithoutSlidesHasFourLines) {
  TempFile file;
  HrefTrackWriter writer(file.get());
  writer.writeOpening();
  writer.writeClosing(PlayLength{1, 2, 3, 4});
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(file.contents(), opening + "[01:02:03.04]\r\n");
}

TEST_F(WriterTest, SlideNumberTextIsWrittenAsRead) {
  const TimeOffset zero;
  EXPECT_EQ(sample(event("", 0, 0, 1), zero), "[00:00:01.00]\r\nA<foil.html> T<myfoil>\r\n");
  EXPECT_EQ(sample(event("007", 0, 0, 1), zero), "[00:00:01.00]\r\nA<foil007.html> T<myfoil>\r\n");
  const std::string longest(maxSlideDigits, '9');
  EXPECT_EQ(sample(event(longest.c_str(), 0, 0, 1), zero),
            "[00:00:01.00]\r\nA<foil" + longest + ".html> T<myfoil>\r\n");
}

TEST_F(WriterTest, StampsFoldCarriesIntoHigherFields) {
  EXPECT_EQ(sample(event("1", 0, 59, 30), TimeOffset{0, 0, 45}).substr(0, 15), "[01:00:15.00]\r\n");
  EXPECT_EQ(sample(event("1", 0, 75, 80), TimeOffset{}).substr(0, 15), "[01:16:20.00]\r\n");
  EXPECT_EQ(sample(event("1", 0, 0, 0), TimeOffset{}).substr(0, 15), "[00:00:00.00]\r\n");
  // Three digits of hours, from the least to the largest stamp there can be.
  EXPECT_EQ(sample(event("1", 1, 0, 0), TimeOffset{99, 0, 0}).substr(0, 16), "[100:00:00.00]\r\n");
  EXPECT_EQ(sample(event("1", 99, 99, 99), TimeOffset{99, 59, 59}).substr(0, 16),
            "[200:40:38.00]\r\n");
}

TEST_F(WriterTest, ClosingStampIsThePlayLengthUnchanged) {
  EXPECT_EQ(closing(PlayLength{0, 0, 0, 0}), "[00:00:00.00]\r\n");
  EXPECT_EQ(closing(PlayLength{99, 59, 59, 99}), "[99:59:59.99]\r\n");
  EXPECT_EQ(closing(PlayLength{0, 2, 10, 50}), "[00:02:10.50]\r\n");
}

// Thousands of samples pass the buffer's edge many times over, at every
// position within a line.
TEST_F(WriterTest, LongTrackCrossesTheBufferIntact) {
  TempFile file;
  HrefTrackWriter writer(file.get());
  std::string expected = opening;
  writer.writeOpening();
  for (int i = 0; i < 5000; ++i) {
    const std::string number = std::to_string(i);
    writer.writeSlide(event(number.c_str(), 0, i / 60 % 60, i % 60), TimeOffset{});
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[00:%02d:%02d.00]\r\n", i / 60 % 60, i % 60);
    expected += stamp + ("A<foil" + number + ".html> T<myfoil>\r\n");
  }
  writer.writeClosing(PlayLength{1, 0, 0, 0});
  expected += "[01:00:00.00]\r\n";
  ASSERT_TRUE(writer.finish());
  EXPECT_GT(expected.size(), 8 * HrefTrackWriter::bufferSize);
  EXPECT_EQ(file.contents(), expected);
}

#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
// The samples, each of one stamp and one HREF line, that fill exactly
// `bytes` (at least 117) with slide numbers of 0 to 32 digits.
std::vector<std::string> slideNumbersFilling(std::size_t bytes) {
  const std::size_t shortest = 39;  // "[00:00:01.00]\r\nA<foil.html> T<myfoil>\r\n"
  const std::size_t count = (bytes + shortest + 31) / (shortest + 32);
  std::size_t extra = bytes - count * shortest;
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t digits = std::min<std::size_t>(extra, 32);
    numbers.emplace_back(digits, '7');
    extra -= digits;
  }
  return numbers;
}

// A line end at every place around the edge of the buffer: before it, on
// it, between a CR and its LF, and just after it.  Nothing is lost, and the
// stream sees whole buffers, as the disk should.
TEST_F(WriterTest, BufferEdgesLoseNoByteAndWritesStayWhole) {
  const std::size_t edge = 16384;  // The disk sees whole writes of 16 KiB.
  ASSERT_EQ(HrefTrackWriter::bufferSize, edge);
  for (std::size_t end = edge - 20; end <= edge + 20; ++end) {
    testing::RecordingStream track;
    std::setvbuf(track.get(), nullptr, _IONBF, 0);
    HrefTrackWriter writer(track.get());
    writer.writeOpening();
    std::string expected = opening;
    for (const std::string& number : slideNumbersFilling(end - opening.size())) {
      writer.writeSlide(event(number.c_str(), 0, 0, 1), TimeOffset{});
      expected += "[00:00:01.00]\r\nA<foil" + number + ".html> T<myfoil>\r\n";
    }
    ASSERT_EQ(expected.size(), end);
    writer.writeClosing(PlayLength{1, 2, 3, 4});
    expected += "[01:02:03.04]\r\n";
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(track.bytes(), expected) << "last sample ends at " << end;
    std::vector<std::size_t> wholeWrites(expected.size() / edge, edge);
    if (expected.size() % edge != 0) wholeWrites.push_back(expected.size() % edge);
    EXPECT_EQ(track.writeSizes(), wholeWrites) << "last sample ends at " << end;
  }
}
#endif

TEST_F(WriterTest, FailedWritesAreReportedByFinish) {
  // A stream opened for reading refuses every write.
  std::FILE* readOnly = std::fopen("/dev/null", "rb");
  ASSERT_NE(readOnly, nullptr);
  HrefTrackWriter refused(readOnly);
  refused.writeOpening();
  EXPECT_FALSE(refused.finish());
  std::fclose(readOnly);

  // A full device accepts the buffer and fails on the flush.
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  HrefTrackWriter unwritten(full);
  unwritten.writeOpening();
  unwritten.writeClosing(PlayLength{});
  EXPECT_FALSE(unwritten.finish());
  // Unbuffered, as the tool writes the track: whole buffers fail as they go
  // out, and the writer still comes to its end.
  std::setvbuf(full, nullptr, _IONBF, 0);
  HrefTrackWriter failing(full);
  for (int i = 0; i < 2000; ++i) failing.writeSlide(event("1", 0, 0, 1), TimeOffset{});
  EXPECT_FALSE(failing.finish());
  std::fclose(full);
}

}  // namespace
}  // namespace hreftrack
