#include "CliOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole decimal number within [minimum, maximum]; strtoul alone would accept "12x".
bool ParseNumber(const std::string& text, uint32_t minimum, uint32_t maximum, uint32_t& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    const unsigned long parsed = std::strtoul(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed < minimum || parsed > maximum)
        return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

ECliCommand CommandFromWord(const std::string& word)
{
    if (word == "list")
        return ECliCommand::List;
    if (word == "send")
        return ECliCommand::Send;
    if (word == "read")
        return ECliCommand::Read;
    if (word == "apply")
        return ECliCommand::Apply;
    if (word == "diff")
        return ECliCommand::Diff;
    if (word == "barcode")
        return ECliCommand::Barcode;
    if (word == "help" || word == "--help" || word == "-h")
        return ECliCommand::Help;
    return ECliCommand::None;
}

}  // namespace

const char* CliUsage()
{
    return "usage: vostrel-cli list [--port PATH] [--baud N] [--sim MODEL [--product NAME]]\n"
           "       vostrel-cli send [--port PATH] [--baud N] [--sim MODEL [--product NAME]] [--timeout MS] TEXT\n"
           "       vostrel-cli read [scanner options] FILE\n"
           "       vostrel-cli apply [scanner options] [--all] [--force] FILE\n"
           "       vostrel-cli diff [scanner options] FILE\n"
           "       vostrel-cli barcode --kind 1d|2d|all --model NAME (--commands TEXT | --file FILE [--changed])\n"
           "                   --output FILE.pdf|FILE.docx|FILE.png\n"
           "\n"
           "list  finds the scanners that answer and prints one line for each:\n"
           "      port, product name, serial number and catalogue model, separated by tabs.\n"
           "send  sends TEXT (for example \"@232BAD*\" or \"#BEPLVL2\") in one request and prints\n"
           "      each reply item: command, value and ACK, NAK or ENQ, separated by tabs.\n"
           "read  reads every setting of the first scanner found and saves them as the\n"
           "      configuration file FILE (an existing FILE is replaced only when all is read).\n"
           "apply sends the settings of the configuration file FILE to the first scanner, or\n"
           "      with --all to every scanner found, and prints one result line per scanner.\n"
           "      The link settings are never sent, so that the link stays as it is: the\n"
           "      interface (INTERF), keyboard port (KBWPOR), baud rate (232BAD), parity\n"
           "      (232PAR), stop bits (232STP) and data bits (232DAT). A scanner of another\n"
           "      model than the file's is skipped unless --force is given.\n"
           "diff  prints each setting of FILE that the first scanner holds differently:\n"
           "      command, value in the file, value in the scanner, separated by tabs.\n"
           "barcode writes a sheet of settings barcodes for the catalogue model NAME, framed by\n"
           "      its enter- and exit-setup codes: one linear code per setting (1d), one Data\n"
           "      Matrix of them all (2d), or one all-in-one Data Matrix (all). TEXT is\n"
           "      settings separated by \";\" (\"232BAD1;BEPLVL2\"); FILE is a configuration file,\n"
           "      with --changed only its settings that differ from the model's defaults.\n"
           "\n"
           "--port PATH    use only this serial port (a device file or pseudo-terminal)\n"
           "--baud N       its baud rate; without it the rate the scanner answers at is found\n"
           "--sim MODEL    plug in a simulated scanner of MODEL first: a catalogue key such as\n"
           "               HBS-HI880, a command file name in Config/, or a path to one\n"
           "--product NAME the simulated scanner's product name (default: the model's key)\n"
           "--timeout MS   read time-out of the exchange (default 2000)\n"
           "\n"
           "Exit status: 0 success, 1 bad command line, 2 no scanner or port, 3 no usable\n"
           "reply, 4 the scanner refused some commands (NAK or ENQ) or a scanner was skipped,\n"
           "5 FILE is no configuration file or cannot be written, 6 diff found differences.\n";
}

bool ParseCliOptions(const std::vector<std::string>& arguments, SCliOptions& options, std::string& error)
{
    options = SCliOptions();
    if (arguments.empty()) {
        error = "no command given";
        return false;
    }
    options.command = CommandFromWord(arguments[0]);
    if (options.command == ECliCommand::None) {
        error = "unknown command \"" + arguments[0] + "\"";
        return false;
    }
    if (options.command == ECliCommand::Help)
        return true;
    if (options.command == ECliCommand::Barcode)
        return ParseBarcodeOptions({arguments.begin() + 1, arguments.end()}, options.barcode, error);

    std::vector<std::string> free;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--port" || argument == "--baud" || argument == "--sim" ||
                                argument == "--product" || argument == "--timeout";
        if (argument == "--help" || argument == "-h") {
            options.command = ECliCommand::Help;
            return true;
        }
        if (argument == "--all" || argument == "--force") {
            if (options.command != ECliCommand::Apply) {
                error = argument + " only goes with apply";
                return false;
            }
            (argument == "--all" ? options.allScanners : options.force) = true;
            continue;
        }
        if (!takesValue) {
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
        const std::string& value = arguments[++i];
        if (argument == "--port") {
            options.port = value;
        } else if (argument == "--sim") {
            options.simModel = value;
        } else if (argument == "--product") {
            options.simProduct = value;
        } else if (argument == "--baud") {
            if (!ParseNumber(value, 300, 4000000, options.baudRate)) {
                error = "--baud needs a rate from 300 to 4000000, not \"" + value + "\"";
                return false;
            }
        } else if (!ParseNumber(value, 1, 600000, options.timeoutMs)) {
            error = "--timeout needs milliseconds from 1 to 600000, not \"" + value + "\"";
            return false;
        }
    }

    if (!options.port.empty() && !options.simModel.empty()) {
        error = "--port and --sim cannot be used together";
        return false;
    }
    if (!options.simProduct.empty() && options.simModel.empty()) {
        error = "--product only names a simulated scanner (--sim)";
        return false;
    }
    if (options.command == ECliCommand::List) {
        if (!free.empty()) {
            error = "list takes no text, but got \"" + free.front() + "\"";
            return false;
        }
        return true;
    }
    const bool isSend = options.command == ECliCommand::Send;
    const std::string word = arguments[0];
    if (free.size() != 1 || free.front().empty()) {
        if (isSend)
            error = free.empty() ? "send needs the text to send" : "send takes one text; quote it when it has spaces";
        else
            error = word + (free.empty() ? " needs a configuration file" : " takes one configuration file");
        return false;
    }
    options.text = free.front();
    return true;
}
