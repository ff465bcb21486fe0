// SPDX-License-Identifier: MIT
// Writes the benchmark logs into a directory: dense.xml (about 200 MB,
// three and a half million events), declared.xml (as dense, after an XML
// declaration, its slide numbers of three digits) and sparse.xml (about
// 1 GB, an event every 100 KB).
//
//   make_logs DIR [DENSE_MB SPARSE_MB]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "log_maker.h"

namespace {

// Writes pieces from `maker` until the file holds at least `bytes` bytes.
template <typename Maker>
bool writeLog(const std::string& path, long long bytes, Maker&& appendPiece) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  std::string piece;
  bool written = true;
  for (long long total = 0; written && total < bytes;
       total += static_cast<long long>(piece.size())) {
    piece.clear();
    appendPiece(piece);
    written = std::fwrite(piece.data(), 1, piece.size(), out) == piece.size();
  }
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: make_logs DIR [DENSE_MB SPARSE_MB]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const long long denseMb = argc == 4 ? std::atoll(argv[2]) : 200;
  const long long sparseMb = argc == 4 ? std::atoll(argv[3]) : 1000;
  hreftrack::bench::DenseLog dense;
  hreftrack::bench::DenseLog declared(100);
  bool declaring = true;
  hreftrack::bench::SparseLog sparse;
  if (!writeLog(dir + "/dense.xml", denseMb * 1000000,
                [&](std::string& piece) { dense.append(piece, 1 << 16); }) ||
      !writeLog(dir + "/declared.xml", denseMb * 1000000,
                [&](std::string& piece) {
                  if (declaring) piece = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n";
                  declaring = false;
                  declared.append(piece, 1 << 16);
                }) ||
      !writeLog(dir + "/sparse.xml", sparseMb * 1000000,
                [&](std::string& piece) { sparse.append(piece); })) {
    std::perror("make_logs");
    return 1;
  }
  return 0;
}
