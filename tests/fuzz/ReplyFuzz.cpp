// A scanner reply as bytes: the completion test, then the item parser. The first byte
// is the item capacity, so that replies with more items than room are tried too.
#include "FuzzHarness.h"
#include "config/SaveCfg.h"

#include <cstdlib>
#include <cwchar>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t capacity = data[0] % 40;
    CSaveCfg::IsReplyComplete(data + 1, size - 1);
    // The reply text as the link manager hands it over: one character per byte, up to the first NUL.
    std::vector<wchar_t> text(data + 1, data + size);
    text.push_back(L'\0');
    std::vector<ReplyItem> items(capacity);
    size_t count = 0;
    CSaveCfg::ParseReply(text.data(), text.size() - 1, items.data(), capacity, count);
    if (count > capacity)
        std::abort();
    for (size_t i = 0; i < count; ++i) {
        // Every item has a known status and a value inside the reply text.
        const ReplyItem& item = items[i];
        if ((item.status != REPLY_ACK && item.status != REPLY_NAK && item.status != REPLY_ENQ) ||
            item.value < text.data() || item.value + std::wcslen(item.value) >= text.data() + text.size())
            std::abort();
    }
    return 0;
}
