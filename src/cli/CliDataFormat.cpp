// "vostrel-cli dataformat check": a data-format rule text checked, told in words and
// tried on a sample read, without a scanner.
#include "CliCommands.h"
#include "app/AppContext.h"
#include "dataformat/RuleCodec.h"
#include "dataformat/RulePreview.h"
#include "model/SymbologiesXmlInfo.h"

namespace {

struct SDataFormatCheck {
    std::vector<std::string> rules;
    bool hasPreview = false;
    SPreviewResult preview;
};

// The one place the check is printed, so another output form can stand beside it.
void PrintDataFormatCheck(const SDataFormatCheck& check, std::ostream& out)
{
    for (const std::string& rule : check.rules)
        out << rule << '\t' << DescribeRule(rule) << '\n';
    if (!check.hasPreview)
        return;
    if (check.preview.ok)
        out << "preview\t" << check.preview.shown << '\n';
    else
        out << "preview\tdoes not apply (rule " << check.preview.failedRule + 1 << ": " << check.preview.reason
            << "); the read is sent as it is\n";
}

// The symbology's name as the table writes it; false for a name it does not have.
bool FindSymbology(const std::string& name, std::string& found)
{
    CSymbologiesXmlInfo table;
    if (!table.Load(CAppContext::GetInstance().GetFilePath("Config", "Symbologies.xml"), "CliDataFormat.cpp"))
        return false;
    for (const SSymbologyEntry& entry : table.GetEntries()) {
        if (entry.name.CmpNoCase(wxString::FromUTF8(name)) == 0) {
            found = entry.name.utf8_string();
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseDataFormatOptions(const std::vector<std::string>& arguments, SCliOptions& options, std::string& error)
{
    if (arguments.size() < 2 || arguments[1] != "check") {
        error = "dataformat needs the word check";
        return false;
    }
    std::vector<std::string> free;
    for (size_t i = 2; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument != "--sample" && argument != "--symbology") {
            if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
                error = "unknown option " + argument;
                return false;
            }
            free.push_back(argument);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return false;
        }
        if (argument == "--sample") {
            options.sample = arguments[++i];
            options.hasSample = true;
        } else {
            options.symbology = arguments[++i];
        }
    }
    if (free.size() != 1) {
        error = "dataformat check takes one rule text";
        return false;
    }
    if (!options.symbology.empty() && !options.hasSample) {
        error = "--symbology only goes with --sample";
        return false;
    }
    options.text = free.front();
    return true;
}

int RunDataFormatCheck(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    SDataFormatCheck check;
    SRuleFault fault;
    if (!SplitRules(options.text, check.rules, fault)) {
        err << "vostrel-cli: \"" << options.text << "\" is no valid rule text: " << DescribeRuleFault(options.text, fault)
            << "\n";
        return CLI_USAGE;
    }
    if (options.hasSample) {
        std::string symbology;
        if (!options.symbology.empty() && !FindSymbology(options.symbology, symbology)) {
            err << "vostrel-cli: unknown symbology \"" << options.symbology << "\" (see Config/Symbologies.xml)\n";
            return CLI_USAGE;
        }
        check.hasPreview = true;
        check.preview = RunRules(options.text, {options.sample, symbology});
    }
    PrintDataFormatCheck(check, out);
    return CLI_OK;
}
