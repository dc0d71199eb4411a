#include "SimScanSetup.h"

#include <cstdlib>

const char kSimScanUsage[] =
    "Reads and stored data:\n"
    "  --reads FILE     reads to make, one per line: CODE<TAB>DATA (CODE from Symbologies.xml) or DATA;\n"
    "                   played once, one every --scan-every ms (1000 when not given)\n"
    "  --scan-every MS  make a read every MS ms (without --reads: built-in samples, for ever)\n"
    "  --packed codeid|aim  send reads as packed frames with the mark ';' (codeid) or '6' (aim)\n"
    "                   instead of the data and CR LF\n"
    "  --batch FILE     codes kept in batch mode, one per line, sent after WLSBAT2 and WLSSBT\n"
    "The line terminal (after CLIENA1) takes lines ending in CR: help, ver, exit.\n";

namespace {

const int kDefaultScriptPeriodMs = 1000;
const int kLongestPeriodMs = 24 * 3600 * 1000;

bool ReadPeriod(const std::string& text, int& periodMs)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value <= 0 || value > kLongestPeriodMs)
        return false;
    periodMs = static_cast<int>(value);
    return true;
}

bool ReadPacking(const std::string& text, ESimPacking& packing)
{
    if (text == "codeid")
        packing = ESimPacking::CODE_ID;
    else if (text == "aim")
        packing = ESimPacking::AIM_ID;
    else if (text == "plain")
        packing = ESimPacking::PLAIN;
    else
        return false;
    return true;
}

}  // namespace

bool SSimScanSetup::Add(const std::string& option, const std::string& value)
{
    if (option == "--reads")
        readsFile = value;
    else if (option == "--batch")
        batchFile = value;
    else if (option == "--scan-every")
        return ReadPeriod(value, periodMs);
    else if (option == "--packed")
        return ReadPacking(value, packing);
    else
        return false;
    return !value.empty();
}

bool SSimScanSetup::ReadEnvironment(std::string& error)
{
    static const struct {
        const char* variable;
        const char* option;
    } kVariables[] = {{"VOSTREL_SIM_READS", "--reads"},
                      {"VOSTREL_SIM_SCAN_MS", "--scan-every"},
                      {"VOSTREL_SIM_PACKED", "--packed"},
                      {"VOSTREL_SIM_BATCH", "--batch"}};
    for (const auto& entry : kVariables) {
        const char* value = std::getenv(entry.variable);
        if (value && *value && !Add(entry.option, value)) {
            error = std::string("bad value of ") + entry.variable + ": " + value;
            return false;
        }
    }
    return true;
}

bool SSimScanSetup::ApplyTo(CSimulatedScanner& scanner, std::string& error) const
{
    CSimScanEmitter& emitter = scanner.ScanEmitter();
    emitter.SetPacking(packing);
    if (!readsFile.empty() && !emitter.LoadScript(readsFile, error))
        return false;
    if (!batchFile.empty() && !scanner.BatchStore().LoadFile(batchFile, error))
        return false;
    const bool scripted = !readsFile.empty();
    const int period = periodMs > 0 ? periodMs : scripted ? kDefaultScriptPeriodMs : 0;
    emitter.SetPeriod(period, !scripted);
    return true;
}
