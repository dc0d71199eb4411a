// Reading rendered barcodes back with independent decoders: zbar for linear and QR
// codes, ZXing for PDF417 and Data Matrix.
#pragma once

#include "barcode/BarcodeSheet.h"

#include <string>
#include <vector>

enum class EDecoder { Zbar, ZXing };

// Every symbol found in the picture file, as its decoder reports its bytes.
std::vector<std::string> DecodeFile(const std::string& path, EDecoder decoder);
// Writes the image to `path` and decodes it; the one payload, or what went wrong.
std::string DecodeImage(const SSheetImage& image, const std::string& path, EDecoder decoder);
// Runs a command and returns its standard output.
std::string RunCommand(const std::string& command);
