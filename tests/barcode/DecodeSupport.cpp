#include "DecodeSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

std::vector<std::string> DecodeFile(const std::string& path, EDecoder decoder)
{
    // ZXing with -bytes prints the bytes of the one symbol; zbar prints one symbol a line.
    if (decoder == EDecoder::ZXing) {
        const std::string bytes = RunCommand("ZXingReader -bytes '" + path + "' 2>/dev/null");
        return bytes.empty() ? std::vector<std::string>() : std::vector<std::string>{bytes};
    }
    std::istringstream lines(RunCommand("zbarimg -q --raw '" + path + "' 2>/dev/null"));
    std::vector<std::string> symbols;
    for (std::string line; std::getline(lines, line);)
        symbols.push_back(line);
    return symbols;
}

std::string DecodeImage(const SSheetImage& image, const std::string& path, EDecoder decoder)
{
    if (!std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.bmp.data()), image.bmp.size()))
        return "cannot write " + path;
    const std::vector<std::string> symbols = DecodeFile(path, decoder);
    return symbols.size() == 1 ? symbols[0] : "found " + std::to_string(symbols.size()) + " symbols";
}
