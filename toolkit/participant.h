// The participant code: its check digit and its display form. The code entry
// checks codes with these; the code recording, review and completion stages
// show the stored code in display form.
#pragma once

#include <QString>

namespace station {

// The EAN-13 (GTIN-13) check digit over the first 12 characters of code:
// 10 - ((3 x sum of positions 2, 4, .., 12) + sum of positions 1, 3, .., 11) mod 10,
// 0 instead of 10. Throws ConvertError when one of those characters is not a
// decimal digit "0" to "9"; code must have at least 12 characters.
int ean13CheckDigit(const QString& code);

// Value of one decimal digit "0" to "9"; throws ConvertError for anything else.
int digitValue(QChar c);

}  // namespace station

// Display form of a participant code: groups of 3, 3, 3, 2 and 2 characters
// joined by "-" ("1234567890123" -> "123-456-789-01-23"). Each group is cut to
// what the code holds, so a short code yields empty groups; the four hyphens
// are always there and characters after the 13th are never shown.
QString FormatParticipantCode(const QString& code);

namespace station {

// The eight answer files of a finished exam: the spoken code, task 1, the
// five questions of task 2, task 3.
constexpr int kAnswerFiles = 8;
// How many of the participant's answer files are in its folder, each a
// non-empty file.
int answersOnDisk(const QString& stationDir, const QString& answerKey, const QString& code);
// The line that follows the refusal of a code already answered at this
// station when that participant's exam was interrupted (fewer than the
// eight answers on disk), so that the organiser can act; empty otherwise.
QString interruptedExamNote(int answersOnDisk);

}  // namespace station
