// SPDX-License-Identifier: MIT
// The conversion driver: the console dialogue that asks for the two times,
// and the run that ties the log scanner to the track writer.

#ifndef HREFTRACK_DRIVER_H
#define HREFTRACK_DRIVER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "records.h"

namespace hreftrack {

/// Room for one answer: 49 characters of a line and the terminator.
constexpr std::size_t answerLineSize = 50;

/// The console the dialogue talks to, with the answer line both questions share.
struct Console {
  std::FILE* in = stdin;
  std::FILE* out = stdout;
  bool flushEachPrint = false;  ///< Set when `out` is a terminal: a prompt must show before a read.
  bool inputEnded = false;      ///< `in` has reached its end; reads return 0 at once.
  char answerLine[answerLineSize] = {};
};

/// A console on standard input and output, flushing after every print on a terminal.
Console openConsole();

/// Writes `text` to the console; the tool has nowhere to report a failed print.
void print(Console& console, const char* text);

/// Reads one line, or its next 49 characters, into the console's answer line, with CR LF read
/// as a line feed.  Returns how many characters it stored; 0, leaving the answer line as it
/// was, at the end of input.
std::size_t readAnswerLine(Console& console);

/// One question of the time dialogue: its prompt and the values it asks for.
struct TimeQuestion {
  const char* prompt;
  int valueCount;           ///< 3 or 4.
  std::int32_t lowest[4];   ///< Each value's smallest accepted value.
  std::int32_t highest[4];  ///< Each value's largest accepted value.
};

/// "Offset [tim min sek] = ": hours, minutes, seconds.
extern const TimeQuestion offsetQuestion;
/// "Eksakt spilletid [tim min sek hundr] = ": hours, minutes, seconds, hundredths.
extern const TimeQuestion playLengthQuestion;

/// The values of one answer, as many as the question asks for.
using TimeValues = std::array<std::int32_t, 4>;

/// What becomes of one answer line.
enum class AnswerVerdict { Accepted, TooFewValues, ValueOutOfRange };

/// Reads the question's values from `answer` (up to its first NUL), as scanf's "%d %d %d"
/// would but without wrapping, and checks each against its range; fills `values` if accepted.
AnswerVerdict judgeAnswer(const char* answer, const TimeQuestion& question, TimeValues& values);

/// Asks until an offset is accepted; nothing if the input ends on a refused answer.
std::optional<TimeOffset> askTimeOffset(Console& console);

/// Asks until a play length is accepted; nothing if the input ends on a refused answer.
std::optional<PlayLength> askPlayLength(Console& console);

/// Writes the whole track from the log and closes the track; says on the console if the
/// log could not be read or the track not written.  Leaves the log open.
void convertLog(Console& console, std::FILE* log, std::FILE* track, const TimeOffset& offset,
                const PlayLength& length);

/// Asks on the console for the two times, then converts "log.xml" into
/// "HREFTrack.txt" in the current directory.  Returns the exit status: always 0.
int runConverter();

}  // namespace hreftrack

#endif  // HREFTRACK_DRIVER_H
