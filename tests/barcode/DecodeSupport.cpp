#include "DecodeSupport.h"

#include <cstdio>
#include <sstream>

std::string RunCommand(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}

std::vector<std::string> DecodeFile(const std::string& path, EDecoder decoder)
{
    // zbar prints one symbol a line; ZXing with -bytes prints the bytes of the one symbol.
    const std::string command = decoder == EDecoder::Zbar ? "zbarimg -q --raw '" + path + "' 2>/dev/null"
                                                          : "ZXingReader -bytes '" + path + "' 2>/dev/null";
    const std::string output = RunCommand(command);
    std::vector<std::string> symbols;
    if (decoder == EDecoder::ZXing) {
        if (!output.empty())
            symbols.push_back(output);
        return symbols;
    }
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line))
        symbols.push_back(line);
    return symbols;
}

std::string DecodeImage(const SSheetImage& image, const std::string& path, EDecoder decoder)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return "cannot write " + path;
    std::fwrite(image.bmp.data(), 1, image.bmp.size(), file);
    std::fclose(file);
    const std::vector<std::string> symbols = DecodeFile(path, decoder);
    return symbols.size() == 1 ? symbols[0] : "found " + std::to_string(symbols.size()) + " symbols";
}
