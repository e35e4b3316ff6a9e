#pragma once
// Numbers and dates as text, the way the program writes them into files, lists and labels.

#include <string>

namespace zarvik {

// The general floating-point form: up to 15 significant digits, trailing zeros dropped,
// fixed notation for 1e-5 <= |x| < 1e15, otherwise mantissa, "E", exponent ("1E-6",
// "2.5E20", "-1,5E-7" with a comma separator). `decimalSeparator` is the locale's.
std::string formatGeneral(double x, char decimalSeparator);

// printf-style "%0.<decimals>f" with the given separator (labels such as "Fвыборки,Гц=%0.3f").
std::string formatFixed(double x, int decimals, char decimalSeparator);

// Reads a decimal number written with the given separator (leading/trailing blanks allowed).
// Returns false, leaving `out` alone, when the text is not such a number in full.
bool parseDecimal(const std::string& text, char decimalSeparator, double& out);

} // namespace zarvik
