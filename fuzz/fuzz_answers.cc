// SPDX-License-Identifier: MIT
// Any bytes as an answer line, for both questions of the time dialogue.
//
// The verdict is one of the three, an accepted set lies inside its ranges,
// and wherever no number is long enough to overflow, the values and their
// count are those that sscanf reads with the same pattern.  The dialogue
// itself, fed the bytes as standard input, always comes to an end.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver.h"

namespace {

using hreftrack::AnswerVerdict;
using hreftrack::TimeQuestion;

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// sscanf's reading of a number that does not fit is undefined; numbers of
// nine digits or fewer always fit.
bool hasLongNumber(const char* text) {
  int run = 0;
  for (; *text != '\0'; ++text) {
    run = (*text >= '0' && *text <= '9') ? run + 1 : 0;
    if (run > 9) return true;
  }
  return false;
}

AnswerVerdict verdictBySscanf(const char* text, const TimeQuestion& question, int values[4]) {
  const char* pattern = question.valueCount == 3 ? "%d %d %d" : "%d %d %d %d";
  const int count = std::sscanf(text, pattern, &values[0], &values[1], &values[2], &values[3]);
  if (count < question.valueCount) return AnswerVerdict::TooFewValues;
  for (int i = 0; i < question.valueCount; ++i) {
    if (values[i] < question.lowest[i] || values[i] > question.highest[i]) {
      return AnswerVerdict::ValueOutOfRange;
    }
  }
  return AnswerVerdict::Accepted;
}

void checkJudgement(const char* answer, const TimeQuestion& question) {
  hreftrack::TimeValues values = {};
  const AnswerVerdict verdict = hreftrack::judgeAnswer(answer, question, values);
  require(verdict == AnswerVerdict::Accepted || verdict == AnswerVerdict::TooFewValues ||
              verdict == AnswerVerdict::ValueOutOfRange,
          "the verdict is one of the three");
  if (verdict == AnswerVerdict::Accepted) {
    for (int i = 0; i < question.valueCount; ++i) {
      require(values[i] >= question.lowest[i] && values[i] <= question.highest[i],
              "accepted values lie inside their ranges");
    }
  }
  if (hasLongNumber(answer)) return;
  int expected[4] = {};
  require(verdictBySscanf(answer, question, expected) == verdict, "the verdict agrees with sscanf");
  if (verdict == AnswerVerdict::Accepted) {
    for (int i = 0; i < question.valueCount; ++i) {
      require(values[i] == expected[i], "accepted values agree with sscanf");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // As in the answer line, the first NUL ends the answer.
  const std::string answer(reinterpret_cast<const char*>(data), size);
  checkJudgement(answer.c_str(), hreftrack::offsetQuestion);
  checkJudgement(answer.c_str(), hreftrack::playLengthQuestion);

  static std::FILE* const sink = std::fopen("/dev/null", "wb");
  std::FILE* input = size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb")
                              : std::fopen("/dev/null", "rb");
  hreftrack::Console console;
  console.in = input;
  console.out = sink;
  if (hreftrack::askTimeOffset(console)) hreftrack::askPlayLength(console);
  std::fclose(input);
  return 0;
}
