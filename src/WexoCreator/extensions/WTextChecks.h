#pragma once

#include <QString>

namespace WexoCreator {

// The administrator login's entry checks and their relatives.

// Empty once blanks and tabs are trimmed from both ends; line breaks are not blank.
bool isBlank(const QString &text);

// Holds an address-shaped run anywhere in the text (the check is not anchored).
bool isEmail(const QString &text);

// Not empty and only ASCII letters and digits.
bool isAlphanumeric(const QString &text);

// 6 to 20 characters (as a person counts them) from the ASCII letters and digits
// and _ - , ; . : # + * ? = ! § $ % & / ( ) @
bool isValidPassword(const QString &text);

// The number of characters as a person counts them (grapheme clusters).
qsizetype graphemeCount(const QString &text);

} // namespace WexoCreator
