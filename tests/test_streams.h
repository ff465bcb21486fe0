// SPDX-License-Identifier: MIT
// Streams that stand in for the console, the log and the track in tests.

#ifndef HREFTRACK_TESTS_TEST_STREAMS_H
#define HREFTRACK_TESTS_TEST_STREAMS_H

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace hreftrack::testing {

/// An anonymous temporary file, removed when it goes out of scope.
class TempFile {
 public:
  /// A file that holds `bytes`, positioned at its start.
  explicit TempFile(const std::string& bytes = "") : file_(std::tmpfile()) {
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
    std::rewind(file_);
  }
  ~TempFile() { std::fclose(file_); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  std::FILE* get() const { return file_; }

  /// Everything the file holds, read from its start.
  std::string contents() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string bytes;
    char block[4096];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file_)) > 0) bytes.append(block, got);
    return bytes;
  }

 private:
  std::FILE* file_;
};

#ifdef __GLIBC__
#define HREFTRACK_HAVE_COOKIE_STREAMS 1

/// A stream that yields `bytes` and then fails, as a disk error would,
/// instead of reaching its end.
class FailingStream {
 public:
  explicit FailingStream(std::string bytes) : bytes_(std::move(bytes)) {
    cookie_io_functions_t functions = {readThenFail, nullptr, nullptr, nullptr};
    file_ = fopencookie(this, "rb", functions);
  }
  ~FailingStream() { std::fclose(file_); }
  FailingStream(const FailingStream&) = delete;
  FailingStream& operator=(const FailingStream&) = delete;

  std::FILE* get() const { return file_; }

 private:
  static ssize_t readThenFail(void* cookie, char* buffer, std::size_t size) {
    auto* self = static_cast<FailingStream*>(cookie);
    if (self->next_ == self->bytes_.size()) return -1;
    const std::size_t count = std::min(size, self->bytes_.size() - self->next_);
    self->bytes_.copy(buffer, count, self->next_);
    self->next_ += count;
    return static_cast<ssize_t>(count);
  }

  std::string bytes_;
  std::size_t next_ = 0;
  std::FILE* file_;
};

/// A stream that keeps every write that reaches it, for code that closes
/// the stream itself; its close can be made to fail, as a disk that reports
/// a lost write only then does.
class RecordingStream {
 public:
  enum Close { closesWell, closeFails };
  explicit RecordingStream(Close close = closesWell) : closeFails_(close == closeFails) {
    cookie_io_functions_t functions = {nullptr, record, nullptr, finish};
    file_ = fopencookie(this, "wb", functions);
  }
  ~RecordingStream() {
    if (!closed_) std::fclose(file_);
  }
  RecordingStream(const RecordingStream&) = delete;
  RecordingStream& operator=(const RecordingStream&) = delete;

  std::FILE* get() const { return file_; }
  bool closed() const { return closed_; }
  /// Every byte that reached the stream's write function.
  std::string bytes() const {
    std::string all;
    for (const std::string& write : writes_) all += write;
    return all;
  }
  /// The size of every write, in order.
  std::vector<std::size_t> writeSizes() const {
    std::vector<std::size_t> sizes;
    for (const std::string& write : writes_) sizes.push_back(write.size());
    return sizes;
  }

 private:
  static ssize_t record(void* cookie, const char* buffer, std::size_t size) {
    static_cast<RecordingStream*>(cookie)->writes_.emplace_back(buffer, size);
    return static_cast<ssize_t>(size);
  }
  static int finish(void* cookie) {
    auto* self = static_cast<RecordingStream*>(cookie);
    self->closed_ = true;
    return self->closeFails_ ? -1 : 0;
  }

  std::vector<std::string> writes_;
  bool closeFails_;
  bool closed_ = false;
  std::FILE* file_;
};
#endif

}  // namespace hreftrack::testing

#endif  // HREFTRACK_TESTS_TEST_STREAMS_H
