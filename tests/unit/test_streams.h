// SPDX-License-Identifier: MIT
// Streams that stand in for the console, the log and the track in tests.

#ifndef HREFTRACK_TESTS_TEST_STREAMS_H
#define HREFTRACK_TESTS_TEST_STREAMS_H

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace hreftrack::testing {

/// An anonymous temporary file that holds `bytes`, removed when it goes out of scope.
class TempFile {
 public:
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
    for (int c = std::getc(file_); c != EOF; c = std::getc(file_)) bytes += static_cast<char>(c);
    return bytes;
  }

 private:
  std::FILE* file_;
};

#ifdef __GLIBC__
#define HREFTRACK_HAVE_COOKIE_STREAMS 1

/// A stream that yields `bytes` and then fails, as a disk error would, instead of ending;
/// or, written to, keeps every write that reaches it, and fails its close if told to, as a
/// disk that reports a lost write only then does.
class CookieStream {
 public:
  static CookieStream reading(std::string bytes) { return CookieStream(std::move(bytes)); }
  static CookieStream writing(bool closeFails = false) { return CookieStream(closeFails); }
  ~CookieStream() {
    if (!closed_) std::fclose(file_);
  }
  CookieStream(const CookieStream&) = delete;
  CookieStream& operator=(const CookieStream&) = delete;

  std::FILE* get() const { return file_; }
  bool closed() const { return closed_; }
  /// Every byte that reached the stream's write function, and the size of each write.
  std::string bytes() const {
    std::string all;
    for (const std::string& write : writes_) all += write;
    return all;
  }
  std::vector<std::size_t> writeSizes() const {
    std::vector<std::size_t> sizes;
    for (const std::string& write : writes_) sizes.push_back(write.size());
    return sizes;
  }

 private:
  explicit CookieStream(std::string bytes) : bytes_(std::move(bytes)) {
    file_ = fopencookie(this, "rb", {readThenFail, nullptr, nullptr, nullptr});
  }
  explicit CookieStream(bool closeFails) : closeFails_(closeFails) {
    file_ = fopencookie(this, "wb", {nullptr, record, nullptr, finish});
  }
  static ssize_t readThenFail(void* cookie, char* buffer, std::size_t size) {
    auto* self = static_cast<CookieStream*>(cookie);
    if (self->next_ == self->bytes_.size()) return -1;
    const std::size_t count = std::min(size, self->bytes_.size() - self->next_);
    self->next_ += self->bytes_.copy(buffer, count, self->next_);
    return static_cast<ssize_t>(count);
  }
  static ssize_t record(void* cookie, const char* buffer, std::size_t size) {
    static_cast<CookieStream*>(cookie)->writes_.emplace_back(buffer, size);
    return static_cast<ssize_t>(size);
  }
  static int finish(void* cookie) {
    auto* self = static_cast<CookieStream*>(cookie);
    self->closed_ = true;
    return self->closeFails_ ? -1 : 0;
  }

  std::string bytes_;
  std::size_t next_ = 0;
  std::vector<std::string> writes_;
  bool closeFails_ = false;
  bool closed_ = false;
  std::FILE* file_ = nullptr;
};
#endif

}  // namespace hreftrack::testing

#endif  // HREFTRACK_TESTS_TEST_STREAMS_H
