#pragma once
// Text to number conversions with the program's error messages.

#include <string>

namespace tessaria {

// Decimal (optionally signed, leading blanks allowed) or "$" hexadecimal text;
// anything else raises EConvertError "'%s' is not a valid integer value".
int StrToInt(const std::string& text);
// The same rule; false instead of raising.
bool TryStrToInt(const std::string& text, int& value);

// A floating-point number with "." as the decimal separator; raises
// EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& text);
bool TryStrToFloat(const std::string& text, double& value);

} // namespace tessaria
