#include "SimFaultPlan.h"

#include "SimNumber.h"

namespace {

bool ReadCount(const std::string& text, long limit, long& value)
{
    return ParseDecimal(text, value) && value >= 0 && value <= limit;
}

bool AddSlow(SSimFaultPlan& plan, const std::string& argument)
{
    const size_t colon = argument.find(':');
    long delay = 0;
    long gap = 0;
    if (!ReadCount(argument.substr(0, colon), 600000, delay))
        return false;
    if (colon != std::string::npos && !ReadCount(argument.substr(colon + 1), 10000, gap))
        return false;
    plan.delayMs = static_cast<int>(delay);
    plan.byteGapMs = static_cast<int>(gap);
    return true;
}

bool AddDisconnect(SSimFaultPlan& plan, const std::string& argument)
{
    const size_t colon = argument.find(':');
    long after = 0;
    long whole = 0;
    if (!ReadCount(argument.substr(0, colon), 1L << 30, after))
        return false;
    if (colon != std::string::npos && !ReadCount(argument.substr(colon + 1), 1L << 30, whole))
        return false;
    plan.disconnectAfter = after;
    plan.repliesBeforeDisconnect = whole;
    return true;
}

}  // namespace

bool SSimFaultPlan::Add(const std::string& option)
{
    const size_t colon = option.find(':');
    const std::string kind = option.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : option.substr(colon + 1);
    const bool hasArgument = colon != std::string::npos;
    if (kind == "silence" && !hasArgument)
        silence = true;
    else if (kind == "garbage" && (!hasArgument || argument == "instead"))
        garbage = hasArgument ? ESimGarbage::InsteadOfReply : ESimGarbage::BeforeReply;
    else if (kind == "cut")
        return ReadCount(argument, 1L << 30, cutAfter);
    else if (kind == "disconnect")
        return AddDisconnect(*this, argument);
    else if (kind == "slow")
        return AddSlow(*this, argument);
    else if ((kind == "nak" || kind == "enq") && argument.size() == 6)
        (kind == "nak" ? nakCommands : enqCommands).insert(argument);
    else
        return false;
    return true;
}
