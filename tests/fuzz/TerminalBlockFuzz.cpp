// A block the terminal receives: the packed-frame check and its payload, the reply
// trimming, hexadecimal and control-character text, and the batch-data cutting.
#include "FuzzHarness.h"
#include "batchdata/BatchDataFetch.h"
#include "cmdcenter/TerminalText.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzProgramDirectory();
    const std::string block(reinterpret_cast<const char*>(data), size);
    const SDevicePacket packet = ReadDevicePacket(block);
    // A packet is its payload and six framing bytes; every text of a block keeps its size.
    if ((packet.valid && packet.payload.size() + 6 != block.size()) ||
        HexOfBytes(block).length() != (size == 0 ? 0 : 3 * size - 1) || CharactersOfBytes(block).length() != size ||
        ShownReplyBytes(block, false).size() > size)
        std::abort();
    const wxString text = FuzzText(data, size);
    ExpandControlCharacters(ShownReplyText(text, false));
    CharactersOfHex(text, true);
    std::vector<wxString> entries;
    CBatchDataFetch::CutReply(text, entries);
    wxString joined;
    for (const wxString& entry : entries)
        joined += entry;
    if (!text.StartsWith(joined))
        std::abort();
    return 0;
}
