#include "SimBatchStore.h"

#include <fstream>

bool CSimBatchStore::LoadFile(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the batch file " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            m_codes.push_back(line);
    }
    return true;
}

std::vector<std::string> CSimBatchStore::Blocks() const
{
    std::vector<std::string> blocks;
    for (size_t i = 0; i < m_codes.size(); ++i) {
        if (i % kCodesPerBlock == 0)
            blocks.emplace_back();
        blocks.back() += m_codes[i] + "\r\n";
    }
    return blocks;
}
