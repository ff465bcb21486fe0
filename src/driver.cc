// SPDX-License-Identifier: MIT
#include "driver.h"

#include <array>
#include <csignal>

#include "log_scanner.h"
#include "track_writer.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace hreftrack {

namespace {

// Every line end the tool writes is CR LF, on the console as in the track.
constexpr char banner[] =
    "\r\n\r\n"
    "------------------------------------\r\n"
    "  Programmet forutsetter at filen\r\n\r\n"
    "     log.xml\r\n\r\n"
    "  ligger i samme directory som\r\n"
    "  dette programmet startes fra.\r\n"
    "  Resultatet legges i\r\n\r\n"
    "     HREFTrack.txt\r\n"
    "-------------------------------------\r\n\r\n\r\n";
constexpr char tooFewMessage[] = "For faa argumenter\r\n\r\n";
constexpr char outOfRangeMessage[] = "Ulovlig verdi i argument\r\n\r\n";
constexpr char logMissingMessage[] = "log.xml ikke funnet eller kan ikke aapnes!\r\n\r\n";
constexpr char trackUnopenedMessage[] = "HREFTrack.txt kan ikke aapnes!\r\n\r\n";
constexpr char readErrorMessage[] = "Feil ved lesing av log.xml!\r\n\r\n";
constexpr char writeErrorMessage[] = "Feil ved skriving til HREFTrack.txt!\r\n\r\n";

constexpr char logName[] = "log.xml";
constexpr char trackName[] = "HREFTrack.txt";

// A value that has grown past this bound is out of every range already;
// it stops growing so that no number of digits can overflow it.
constexpr long long saturatedValue = 10'000'000'000LL;

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Converts up to `wanted` integers the way "%d %d ..." does: each may follow
// white space and one sign, the sign must touch a digit, and conversion stops
// at the first text that is no such integer.  Returns how many it converted.
int convertAnswer(const char* text, int wanted, std::array<long long, 4>& values) {
  int converted = 0;
  while (converted < wanted) {
    while (isSpace(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (!isDigit(*text)) break;
    long long value = 0;
    for (; isDigit(*text); ++text) {
      if (value < saturatedValue) value = value * 10 + (*text - '0');
    }
    values[converted++] = negative ? -value : value;
  }
  return converted;
}

// Asks `question` until an answer is accepted.  At the end of input the
// answer line keeps what it held and is judged once more; if that is
// refused too, asking again could only repeat it, so the dialogue gives up.
bool askTime(Console& console, const TimeQuestion& question, TimeValues& values) {
  for (;;) {
    print(console, question.prompt);
    const bool gotAnswer = readAnswerLine(console) > 0;
    const AnswerVerdict verdict = judgeAnswer(console.answerLine, question, values);
    if (verdict == AnswerVerdict::Accepted) return true;
    print(console, verdict == AnswerVerdict::TooFewValues ? tooFewMessage : outOfRangeMessage);
    if (!gotAnswer) return false;
  }
}

// Opens the log, and reads one byte of it at once: a log.xml that opens but
// cannot be read, such as a directory, is reported like a missing one,
// before the track is touched.
std::FILE* openLog() {
  std::FILE* log = std::fopen(logName, "rb");
  if (log == nullptr) return nullptr;
  const int first = std::getc(log);
  if (first == EOF && std::ferror(log) != 0) {
    std::fclose(log);
    return nullptr;
  }
  if (first != EOF) std::ungetc(first, log);
  return log;
}

// All that differs between the platforms is here.  Standard input and
// output are byte streams everywhere: the tool writes its own CR LF and
// reads a CR LF as a line feed itself, so no C runtime may translate them
// (in text mode Windows would write every CR LF as CR CR LF).  Returns
// whether standard output is a terminal.
#ifdef _WIN32
bool setUpStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  return _isatty(_fileno(stdout)) != 0;
}
#else
bool setUpStandardStreams() {
  // Output to a reader that has gone away must not kill the run: the track
  // is still written, and the exit status stays 0.
  std::signal(SIGPIPE, SIG_IGN);
  return isatty(fileno(stdout)) != 0;
}
#endif

}  // namespace

const TimeQuestion offsetQuestion = {"Offset [tim min sek] = ", 3, {0, 0, 0, 0}, {99, 59, 59, 0}};
const TimeQuestion playLengthQuestion = {
    "Eksakt spilletid [tim min sek hundr] = ", 4, {0, 0, 0, 0}, {99, 59, 59, 99}};

Console openConsole() {
  Console console;
  console.flushEachPrint = setUpStandardStreams();
  return console;
}

void print(Console& console, const char* text) {
  std::fputs(text, console.out);
  if (console.flushEachPrint) std::fflush(console.out);
}

std::size_t readAnswerLine(Console& console) {
  if (console.inputEnded) return 0;
  char* const line = console.answerLine;
  std::size_t count = 0;
  while (count + 1 < sizeof console.answerLine) {
    int c = std::getc(console.in);
    if (c == '\r') {
      const int next = std::getc(console.in);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, console.in);
      }
    }
    if (c == EOF) {
      console.inputEnded = true;
      break;
    }
    line[count++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (count > 0) line[count] = '\0';
  return count;
}

AnswerVerdict judgeAnswer(const char* answer, const TimeQuestion& question, TimeValues& values) {
  std::array<long long, 4> converted = {};
  if (convertAnswer(answer, question.valueCount, converted) < question.valueCount) {
    return AnswerVerdict::TooFewValues;
  }
  for (int i = 0; i < question.valueCount; ++i) {
    if (converted[i] < question.lowest[i] || converted[i] > question.highest[i]) {
      return AnswerVerdict::ValueOutOfRange;
    }
  }
  for (int i = 0; i < question.valueCount; ++i) values[i] = static_cast<std::int32_t>(converted[i]);
  return AnswerVerdict::Accepted;
}

std::optional<TimeOffset> askTimeOffset(Console& console) {
  TimeValues values = {};
  if (!askTime(console, offsetQuestion, values)) return std::nullopt;
  return TimeOffset{values[0], values[1], values[2]};
}

std::optional<PlayLength> askPlayLength(Console& console) {
  TimeValues values = {};
  if (!askTime(console, playLengthQuestion, values)) return std::nullopt;
  return PlayLength{values[0], values[1], values[2], values[3]};
}

void convertLog(Console& console, std::FILE* log, std::FILE* track, const TimeOffset& offset,
                const PlayLength& length) {
  SlideLogScanner scanner(log);
  HrefTrackWriter writer(track);
  writer.writeOpening();
  SlideEvent event;
  ScanStatus status = ScanStatus::Event;
  while ((status = scanner.nextEvent(event)) == ScanStatus::Event) {
    writer.writeSlide(event, offset);
  }
  // A read error ends the track where it stands: a closing stamp would
  // pass off a part of the log as the whole.
  if (status == ScanStatus::ReadError) {
    print(console, readErrorMessage);
  } else {
    writer.writeClosing(length);
  }
  // A track that fails to close may have lost its tail: that is a failed
  // write too.
  bool written = writer.finish();
  if (std::fclose(track) != 0) written = false;
  if (!written) print(console, writeErrorMessage);
}

int runConverter() {
  Console console = openConsole();
  print(console, banner);
  // Both times are asked for before any file is touched.
  const std::optional<TimeOffset> offset = askTimeOffset(console);
  if (!offset) return 0;
  const std::optional<PlayLength> length = askPlayLength(console);
  if (!length) return 0;

  std::FILE* log = openLog();
  if (log == nullptr) {
    print(console, logMissingMessage);
    return 0;
  }
  // Binary mode: the tool writes its CR LF itself, and no platform may add
  // to them.
  std::FILE* track = std::fopen(trackName, "wb");
  if (track == nullptr) {
    print(console, trackUnopenedMessage);
    std::fclose(log);
    return 0;
  }
  convertLog(console, log, track, *offset, *length);
  std::fclose(log);
  return 0;
}

}  // namespace hreftrack
