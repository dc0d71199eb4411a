// The codes a scanner in batch mode keeps: "WLSBAT2" is acknowledged, and after an
// acknowledged "WLSSBT" the stored codes follow, each ending in CR LF, in blocks as a
// scanner sends them out of its memory.
#pragma once

#include <string>
#include <vector>

class CSimBatchStore {
public:
    static constexpr size_t kCodesPerBlock = 16;
    static constexpr int kGapBetweenBlocksMs = 50;

    static bool IsBatchCommand(const std::string& name) { return name == "WLSBAT2" || name == "WLSSBT"; }
    static bool StartsUpload(const std::string& command) { return command == "WLSSBT"; }

    // One code per line; blank lines are skipped. False with `error` set when the
    // file cannot be read.
    bool LoadFile(const std::string& path, std::string& error);
    void Add(const std::string& code) { m_codes.push_back(code); }
    size_t Count() const { return m_codes.size(); }

    // The stored codes as the blocks the scanner sends; none when the store is empty.
    std::vector<std::string> Blocks() const;

private:
    std::vector<std::string> m_codes;
};
