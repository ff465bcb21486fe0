// SPDX-License-Identifier: MIT
// The QuickTime text track that makes a player load each slide's page.

#ifndef HREFTRACK_TRACK_WRITER_H
#define HREFTRACK_TRACK_WRITER_H

#include <cstddef>
#include <cstdio>

#include "records.h"

namespace hreftrack {

/// The first line of every track: a QuickTime "{QTtext}" description, CR LF ended.
extern const char trackHeader[];
/// The sample every track opens with, after its header: slide 0 at time zero.
extern const char trackOpening[];

/// Writes the track: the opening sample, one sample per slide, the closing stamp.
/// Lines go out through a buffer of its own, and every line ends in CR LF.
class HrefTrackWriter {
 public:
  /// How many bytes the writer collects before it hands them to the stream.
  static constexpr std::size_t bufferSize = 16384;

  /// Writes to `out`, which the caller has just opened in binary mode and
  /// keeps open.  The writer buffers the track itself, so it makes `out`
  /// unbuffered: the stream passes on each full buffer as one write.
  explicit HrefTrackWriter(std::FILE* out);
  HrefTrackWriter(const HrefTrackWriter&) = delete;
  HrefTrackWriter& operator=(const HrefTrackWriter&) = delete;

  /// Writes the header and the sample of slide 0 at time zero.
  void writeOpening();
  /// Writes the stamp (logged time plus offset) and the HREF line of one slide.
  void writeSlide(const SlideEvent& event, const TimeOffset& offset);
  /// Writes the play length, unchanged, as the last stamp.
  void writeClosing(const PlayLength& length);
  /// Hands every buffered byte to the stream; false if any write of the track failed.
  bool finish();

 private:
  void append(const char* text, std::size_t length);
  void drain();

  std::FILE* out_;
  std::size_t used_ = 0;
  bool failed_ = false;
  char buffer_[bufferSize] = {};
};

}  // namespace hreftrack

#endif  // HREFTRACK_TRACK_WRITER_H
