#include "common/dates.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace vt9 {
namespace {

// 1 January 1970 as a date value; the civil-day arithmetic below counts from there.
constexpr long long kUnixEpochDate = 25569;
// 1 January of year 1 and 31 December 9999: the calendar dates a date value can name.
constexpr long long kFirstDate = -693593;
constexpr long long kLastDate = 2958465;

bool IsLeapYear(unsigned year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given proleptic Gregorian date (years 1 to 9999 only).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = y / 400;  // y >= 0 here
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& year, unsigned& month, unsigned& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<long long>(yoe) + era * 400 + (month <= 2);
}

double EncodeDate(unsigned year, unsigned month, unsigned day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return 0;
  return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDate);
}

std::string TwoDigits(unsigned n) {
  const std::string padded = "0" + std::to_string(n);
  return padded.substr(padded.size() - 2);
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct NumberReading {
  bool whole = false;  // the text was one number from its first to its last character
  std::int64_t value = 0;
  std::size_t badAt = 0;  // index of the first character that is not part of the number
};

NumberReading ReadNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  // Hexadecimal digits may fill all 64 bits (a bit pattern, as "$FFFFFFFFFFFFFFFF" for -1);
  // decimal digits stop where the signed range ends.
  const std::uint64_t base = hex ? 16 : 10;
  const std::uint64_t limit = hex        ? std::numeric_limits<std::uint64_t>::max()
                              : negative ? std::uint64_t{1} << 63
                                         : (std::uint64_t{1} << 63) - 1;
  std::uint64_t magnitude = 0;
  std::size_t digits = 0;
  for (; i < s.size(); ++i) {
    const int d = DigitValue(s[i], hex);
    if (d < 0 || magnitude > (limit - static_cast<unsigned>(d)) / base) break;
    magnitude = magnitude * base + static_cast<unsigned>(d);
    ++digits;
  }
  NumberReading r;
  r.badAt = i;
  r.whole = digits > 0 && i == s.size();
  if (r.whole) r.value = static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
  return r;
}

std::string g_fieldDelimiter = ",";

}  // namespace

std::string DateToText(double date, const std::string& separator) {
  if (!std::isfinite(date)) return "0" + separator + "00" + separator + "00";
  const double whole = std::trunc(date);
  if (whole < kFirstDate || whole > kLastDate) return "0" + separator + "00" + separator + "00";
  long long year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(static_cast<long long>(whole) - kUnixEpochDate, year, month, day);
  return std::to_string(year) + separator + TwoDigits(month) + separator + TwoDigits(day);
}

double TextToDate(const std::string& text, const std::string& separator) {
  std::int64_t year, month, day;
  if (separator.empty()) {
    if (text.size() != 8) return 0;
    year = TextToInt(text.substr(0, 4));
    month = TextToInt(text.substr(4, 2));
    day = TextToInt(text.substr(6, 2));
  } else {
    const char c = separator[0];
    year = TextToInt(GetField(text, c, 1));
    month = TextToInt(GetField(text, c, 2));
    day = TextToInt(GetField(text, c, 3));
  }
  return EncodeDate(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                    static_cast<std::uint16_t>(day));
}

double CivilDateToDate(const CivilDate& date) {
  if (date.year < 1 || date.month < 1 || date.day < 1) return 0;
  return EncodeDate(static_cast<unsigned>(date.year), static_cast<unsigned>(date.month),
                    static_cast<unsigned>(date.day));
}

std::int64_t TextToInt(const std::string& text) {
  if (text.empty() || text[0] == 'x' || text[0] == 'X') return 0;
  const NumberReading all = ReadNumber(text);
  if (all.whole) return all.value;
  if (all.badAt == 0) return 0;
  const NumberReading front = ReadNumber(std::string_view(text).substr(0, all.badAt));
  return front.whole ? front.value : 0;
}

bool SetFieldDelimiter(const std::string& delimiter) {
  if (delimiter.empty() || delimiter.size() > 2) return false;
  g_fieldDelimiter = delimiter;
  return true;
}

int FieldCount(const std::string& text) {
  if (text.empty()) return 0;
  int count = 1;
  for (std::size_t at = text.find(g_fieldDelimiter); at != std::string::npos;
       at = text.find(g_fieldDelimiter, at + g_fieldDelimiter.size()))
    ++count;
  return count;
}

std::string GetField(const std::string& text, char delimiter, int n) {
  g_fieldDelimiter.assign(1, delimiter);
  if (text.empty() || n < 1) return std::string();
  std::size_t start = 0;
  for (int passed = 1; passed < n; ++passed) {
    const std::size_t at = text.find(delimiter, start);
    if (at == std::string::npos) return std::string();
    start = at + 1;
  }
  if (start >= text.size() || text[start] == delimiter) return std::string();
  const std::size_t end = text.find(delimiter, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace vt9
