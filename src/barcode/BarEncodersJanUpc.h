// JAN (EAN-13, EAN-8) and UPC (UPC-A, UPC-E) encoders, and the conversions between UPC-A and UPC-E.
// Their patterns use only '0' (one-module space) and '1' (one-module bar). The code never carries the
// check digit: the encoders always compute and append it.
#pragma once

#include <string>
#include <string_view>

namespace barcode {

// 12 digits give a JAN-13 symbol, 7 digits a JAN-8 symbol; symbolText becomes the digits with their
// check digit.
std::string EncodeJAN(std::string_view code, std::string& symbolText);

// 11 digits give a UPC-A symbol; 7 digits (number system 0 and six digits) a UPC-E symbol, whose check
// digit is that of its UPC-A form. symbolText becomes the digits with their check digit.
std::string EncodeUPC(std::string_view code, std::string& symbolText);

// An 11-digit UPC-A code (number system 0) in its 7-digit UPC-E form; empty when it has none.
std::string CompressUPCA(std::string_view upca);

// A 7-digit UPC-E code (number system 0) in its 11-digit UPC-A form; empty when it is not valid.
std::string ExpandUPCE(std::string_view upce);

}  // namespace barcode
