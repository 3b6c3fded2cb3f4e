// Date texts, lenient whole numbers and the field splitter.
//
// The suite keeps every date in the settings key as a date text: the year without padding,
// the separator, two-digit month, the separator, two-digit day ("2026/03/07"). With four-digit
// years two such texts compare byte by byte in calendar order, which the reminder check relies
// on. A date value is a day count from 30 December 1899 (day 0); 0 also means "no valid date".
// None of these helpers reports an error: bad dates and numbers read as 0, missing fields as "".
#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"

namespace vt9 {

// The date text of a date value. Values outside the years 1 to 9999 (or not a number) have
// no calendar date and give "0/00/00"; a fraction of a day is ignored.
std::string DateToText(double date, const std::string& separator);

// The date value of a date text, or 0 when the text is not a valid Gregorian date. With an
// empty separator the text must be the eight-character compact form (20260307); otherwise
// only the separator's first character counts and it becomes the field delimiter. Each part
// is read leniently (TextToInt) and its low 16 bits are taken as an unsigned number.
double TextToDate(const std::string& text, const std::string& separator);

// The date value of a calendar date, or 0 when it is not a valid date.
double CivilDateToDate(const CivilDate& date);

// Reads a whole number the way the suite's settings are read: leading blanks, an optional
// sign, decimal digits or "$"/"0x" followed by hexadecimal digits. A text that is not a number
// as a whole gives the number in front of the first bad character ("12 days" is 12), else 0.
// A text starting with "x" or "X" is 0. Digits beyond the 64-bit range end the number.
std::int64_t TextToInt(const std::string& text);

// The program-wide field delimiter, initially ",". A text of one character (or a two-byte
// character of the ANSI code page) becomes the delimiter; anything else is refused.
bool SetFieldDelimiter(const std::string& delimiter);

// 0 for an empty text, otherwise the number of delimiters in it plus one.
int FieldCount(const std::string& text);

// Makes the character the field delimiter, then returns field n (counted from 1) of the
// text, or "" when the text has no such field.
std::string GetField(const std::string& text, char delimiter, int n);

}  // namespace vt9
