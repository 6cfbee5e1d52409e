// Reading a whole number typed by a user (an option's value) or stored in a text file, within
// 32 bits.
#pragma once

#include <string>

namespace morvik {

// An optional sign and decimal digits, or (with allowHex) 0x/0X and hex digits; false for
// anything else, including values outside the 32-bit range.
bool ParseWholeNumber(const std::string& text, long& value, bool allowHex = true);

}  // namespace morvik
