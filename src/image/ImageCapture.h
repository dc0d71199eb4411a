// The scanner side of image capture, without windows: what the scanner can capture,
// fetching one picture as an image file in memory, and the aiming point.
#pragma once

#include "DecodeArea.h"
#include "ImageOptions.h"

#include <atomic>
#include <cstdint>
#include <vector>

class CHBDataStreamMnt;

struct SImageChoice {
    int type = IMAGE_TYPE_REALTIME;
    int ratio = 0;
    int format = IMAGE_FORMAT_RAW;
    int quality = 0;
};

// One picture as the scanner sent it, raw pixels already made a BMP file.
struct SImageFile {
    std::vector<uint8_t> bytes;
    int format = IMAGE_FORMAT_BMP;  // what `bytes` hold: BMP, JPEG or TIFF
    int width = 0;                  // known for raw pictures and barcode-area images
    int height = 0;
};

class CImageCapture {
public:
    // Asks the scanner for its full size, its options, the barcode-area image and
    // the pixel depth. True when the options hold a type, a ratio and a format
    // range; otherwise no capture is possible.
    bool Discover();

    bool IsReady() const { return m_ready; }
    const SImageCapability& Capability() const { return m_capability; }
    int FullWidth() const { return m_fullWidth; }
    int FullHeight() const { return m_fullHeight; }
    bool HasBarcodeArea() const { return m_barcodeArea; }

    // Fetches one picture. False when the request or the reply fails its checks, or a
    // raw picture's length does not match its size (it is then dropped), or when
    // `stop` was set from another thread while the picture arrived.
    bool Capture(const SImageChoice& choice, SImageFile& file, const std::atomic<bool>* stop = nullptr) const;

    // "AMLQRY" and its "AMLADJ" correction. False when the scanner gives no point.
    static bool ReadAimPoint(SAimPoint& aim);

    // Test access: facts as discovery would leave them.
    void SetFacts(const SImageCapability& capability, int fullWidth, int fullHeight);

private:
    // The pause discovery begins with, spent reading the line.
    static void WaitBeforeDiscovery(CHBDataStreamMnt& link);
    bool ReadFullSizeAndOptions();
    void ReadBarcodeAreaOption();

    SImageCapability m_capability;
    int m_fullWidth = 0;
    int m_fullHeight = 0;
    bool m_barcodeArea = false;
    bool m_ready = false;
};
