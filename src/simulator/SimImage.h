// The simulated imager: answers image requests ("IMGGET…", "IMGBGT…") with pictures
// of a scene it renders — a settings barcode on a grey, slightly noisy background —
// as raw grey pixels or as a BMP, JPEG or TIFF file, in the reply layout a scanner uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SSimPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> grey;  // top row first
};

class CSimImage {
public:
    // True when `frame` (a whole request frame) asks for an image.
    static bool IsImageRequest(const std::string& frame);

    // The reply to an image request for a scanner whose full picture is `fullSize`
    // ("%dW%dH"). The barcode shows `text`. An option the imager lacks gets a NAK item.
    std::string Answer(const std::string& frame, const std::string& fullSize, const std::string& text);

    // The scene at `width` × `height`: the barcode of `text` centred on a noisy
    // background. Empty when the barcode cannot be made.
    static SSimPicture RenderScene(int width, int height, const std::string& text, uint32_t noiseSeed);
    // `picture` as a file of format 1 (BMP), 2 (JPEG, quality 0–3) or 3 (TIFF); empty
    // for any other format or when encoding fails.
    static std::vector<uint8_t> Encode(const SSimPicture& picture, int format, int quality);

private:
    uint32_t m_shots = 0;
};
