// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "test_streams.h"
#include "track_writer.h"

namespace hreftrack {
namespace {

SlideEvent event(const std::string& number, int hours, int minutes, int seconds) {
  SlideEvent result;
  std::strcpy(result.slideNumber, number.c_str());
  result.hours = hours;
  result.minutes = minutes;
  result.seconds = seconds;
  return result;
}

// What the writer puts in the track for one slide: its stamp and its HREF line.
std::string sample(const SlideEvent& slide, const TimeOffset& offset = {}) {
  testing::TempFile file;
  HrefTrackWriter writer(file.get());
  writer.writeSlide(slide, offset);
  EXPECT_TRUE(writer.finish());
  return file.contents();
}

std::string closing(const PlayLength& length) {
  testing::TempFile file;
  HrefTrackWriter writer(file.get());
  writer.writeClosing(length);
  EXPECT_TRUE(writer.finish());
  return file.contents();
}

TEST(WriterTest, StampIsTheLoggedTimePlusTheOffsetWithCarriesFolded) {
  EXPECT_EQ(sample(event("1", 0, 59, 30), {0, 0, 45}),
            "[01:00:15.00]\r\nA<foil1.html> T<myfoil>\r\n");
  EXPECT_EQ(sample(event("1", 0, 75, 80)).substr(0, 15), "[01:16:20.00]\r\n");
  EXPECT_EQ(sample(event("1", 5, 7, 9), {1, 2, 3}).substr(0, 15), "[06:09:12.00]\r\n");
  // Three digits of hours, from the least to the largest stamp there can be.
  EXPECT_EQ(sample(event("1", 1, 0, 0), {99, 0, 0}).substr(0, 16), "[100:00:00.00]\r\n");
  EXPECT_EQ(sample(event("1", 99, 99, 99), {99, 59, 59}).substr(0, 16), "[200:40:38.00]\r\n");
}

TEST(WriterTest, SlideNumberIsWrittenAsRead) {
  EXPECT_EQ(sample(event("", 0, 0, 1)), "[00:00:01.00]\r\nA<foil.html> T<myfoil>\r\n");
  EXPECT_EQ(sample(event("007", 0, 0, 1)).substr(15), "A<foil007.html> T<myfoil>\r\n");
  const std::string longest(maxSlideDigits, '9');
  EXPECT_EQ(sample(event(longest, 0, 0, 1)).substr(15),
            "A<foil" + longest + ".html> T<myfoil>\r\n");
}

TEST(WriterTest, ClosingStampIsThePlayLengthUnchanged) {
  EXPECT_EQ(closing({0, 0, 0, 0}), "[00:00:00.00]\r\n");
  EXPECT_EQ(closing({1, 2, 3, 4}), "[01:02:03.04]\r\n");
  EXPECT_EQ(closing({99, 59, 59, 99}), "[99:59:59.99]\r\n");
}

#ifdef HREFTRACK_HAVE_COOKIE_STREAMS
// A line end at every place around the edge of the buffer: before it, on
// it, between a CR and its LF, and just after it.  No byte is lost, and the
// disk sees whole writes of 16 KiB until the last.
TEST(WriterTest, TrackLeavesWholeAndInWritesOf16KiB) {
  const std::size_t edge = 16384;
  const std::string opening = std::string(trackHeader) + trackOpening;
  for (std::size_t end = edge - 20; end <= edge + 20; ++end) {
    auto track = testing::CookieStream::writing();
    HrefTrackWriter writer(track.get());
    writer.writeOpening();
    std::string expected = opening;
    // Samples of 39 bytes and up to 32 more, as many as fill the track to `end`.
    const std::size_t count = (end - opening.size() + 70) / 71;
    std::size_t extra = end - opening.size() - 39 * count;
    for (std::size_t i = 0; i < count; ++i) {
      const std::string number(std::min<std::size_t>(extra, 32), '7');
      extra -= number.size();
      writer.writeSlide(event(number, 0, 0, 1), {});
      expected += "[00:00:01.00]\r\nA<foil" + number + ".html> T<myfoil>\r\n";
    }
    ASSERT_EQ(expected.size(), end);
    writer.writeClosing({1, 2, 3, 4});
    expected += "[01:02:03.04]\r\n";
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(track.bytes(), expected) << "last sample ends at " << end;
    std::vector<std::size_t> whole(expected.size() / edge, edge);
    if (expected.size() % edge != 0) whole.push_back(expected.size() % edge);
    EXPECT_EQ(track.writeSizes(), whole) << "last sample ends at " << end;
  }
}
#endif

TEST(WriterTest, FailedWritesAreReportedByFinish) {
  // A stream opened for reading refuses every write.
  std::FILE* readOnly = std::fopen("/dev/null", "rb");
  ASSERT_NE(readOnly, nullptr);
  HrefTrackWriter refused(readOnly);
  refused.writeOpening();
  EXPECT_FALSE(refused.finish());
  std::fclose(readOnly);
  // A full device fails every write, the last as well as the whole buffers.
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  HrefTrackWriter failing(full);
  for (int i = 0; i < 2000; ++i) failing.writeSlide(event("1", 0, 0, 1), {});
  EXPECT_FALSE(failing.finish());
  std::fclose(full);
}

}  // namespace
}  // namespace hreftrack
