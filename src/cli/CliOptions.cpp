#include "CliOptions.h"

#include <cerrno>
#include <cstdlib>
#include <set>
#include <utility>

#include <unistd.h>

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
    if (word == "upgrade")
        return ECliCommand::Upgrade;
    if (word == "inventory")
        return ECliCommand::Inventory;
    if (word == "dataformat")
        return ECliCommand::DataFormat;
    if (word == "barcode")
        return ECliCommand::Barcode;
    if (word == "help" || word == "--help" || word == "-h")
        return ECliCommand::Help;
    return ECliCommand::None;
}

}  // namespace

const char* CliCommandWord(ECliCommand command)
{
    switch (command) {
    case ECliCommand::List:
        return "list";
    case ECliCommand::Send:
        return "send";
    case ECliCommand::Read:
        return "read";
    case ECliCommand::Apply:
        return "apply";
    case ECliCommand::Diff:
        return "diff";
    case ECliCommand::Upgrade:
        return "upgrade";
    case ECliCommand::Inventory:
        return "inventory";
    case ECliCommand::DataFormat:
        return "dataformat";
    case ECliCommand::Barcode:
        return "barcode";
    case ECliCommand::Help:
        return "help";
    case ECliCommand::None:
        break;
    }
    return "";
}

const char* CliUsage()
{
    return "usage: vostrel-cli list [--port PATH] [--baud N] [--sim MODEL [--product NAME]]\n"
           "       vostrel-cli send [--port PATH] [--baud N] [--sim MODEL [--product NAME]] [--timeout MS] TEXT\n"
           "       vostrel-cli read [scanner options] FILE\n"
           "       vostrel-cli apply [scanner options] [--all] [--force] FILE\n"
           "       vostrel-cli diff [scanner options] [--force] FILE\n"
           "       vostrel-cli upgrade [scanner options] [--all] [--force] [--check] FIRMWARE\n"
           "       vostrel-cli inventory [scanner options] [--csv] [--against FILE [--force]]\n"
           "       vostrel-cli dataformat check TEXT [--sample DATA [--symbology NAME]]\n"
           "       vostrel-cli barcode --kind 1d|2d|all --model NAME (--commands TEXT | --file FILE [--changed] [--force])\n"
           "                   [--split] --output FILE.pdf|FILE.docx|FILE.png\n"
           "Every command also takes --json: one JSON document on standard output instead,\n"
           "and --lang CN|EN: the language of captions, sheet headers and messages (default:\n"
           "lang of hbs.ini, else the locale of the environment).\n"
           "\n"
           "list  finds the scanners that answer and prints one line for each:\n"
           "      port, product name, serial number and catalogue model, separated by tabs.\n"
           "send  sends TEXT (for example \"@232BAD*\" or \"#BEPLVL2\") in one request and prints\n"
           "      each reply item: command, value and ACK, NAK or ENQ, separated by tabs.\n"
           "read  reads every setting of the first scanner found and saves them as the\n"
           "      configuration file FILE (an existing FILE is replaced only when all is read).\n"
           "apply sends the settings of the configuration file FILE to the first scanner, or\n"
           "      with --all to every scanner found, and prints one result line per scanner:\n"
           "      \"changed\", or \"unchanged\" when the scanner held every value already\n"
           "      (it is then not written to), \"skipped\" or \"failed\".\n"
           "      The link settings are never sent, so that the link stays as it is: the\n"
           "      interface (INTERF), keyboard port (KBWPOR), baud rate (232BAD), parity\n"
           "      (232PAR), stop bits (232STP) and data bits (232DAT). A scanner of another\n"
           "      model than the file's is skipped unless --force is given.\n"
           "diff  prints each setting of FILE that the first scanner holds differently:\n"
           "      command, value in the file, value in the scanner, separated by tabs: what\n"
           "      apply would send. A FILE for another model is refused unless --force.\n"
           "upgrade downloads the firmware file FIRMWARE into the first scanner found, or with\n"
           "      --all into every scanner found at once. A progress line per scanner whenever\n"
           "      it moves on, then one result line per scanner and a summary. A file made for\n"
           "      another product name is not sent unless --force is given. With --check\n"
           "      nothing is sent: one line per scanner says whether its firmware version\n"
           "      differs from the file's (exit status 6 when one does).\n"
           "inventory lists every scanner that answers with port, product name, serial\n"
           "      number, firmware, hardware and kernel versions and model; with --against\n"
           "      FILE also whether the scanner holds settings that differ from FILE.\n"
           "dataformat check  checks the data-format rule text TEXT and prints its rules one\n"
           "      a line, code and meaning separated by a tab; with --sample, also what the\n"
           "      scanner would send for that read (--symbology: a name of Symbologies.xml).\n"
           "barcode writes a sheet of settings barcodes for the catalogue model NAME: one\n"
           "      linear code per setting (1d) or one Data Matrix of them all (2d), both framed\n"
           "      by the model's enter- and exit-setup codes, or one all-in-one Data Matrix\n"
           "      (all), a reader-initialisation symbol that needs no setup codes. Settings\n"
           "      too long for one Data Matrix are refused unless --split is given, which cuts\n"
           "      them between settings into several. Linear codes follow Config/barcode.xml.\n"
           "      TEXT is settings separated by \";\" (\"232BAD1;BEPLVL2\"); FILE is a\n"
           "      configuration file, with --changed only its settings that differ from the\n"
           "      model's defaults; a FILE for another model is refused unless --force is given.\n"
           "      A PDF or PNG page is what the program prints: header lines, barcodes and\n"
           "      their captions; the pages of a PNG after the first go to NAME-2.png, ...\n"
           "      Set SOURCE_DATE_EPOCH to date the sheet at that time instead of now.\n"
           "\n"
           "--port PATH    use only this serial port: a device file, a pseudo-terminal, or a\n"
           "               port served over the network, rfc2217://HOST:PORT or tcp://HOST:PORT,\n"
           "               or the same under TLS: rfc2217+tls://HOST:PORT, tcp+tls://HOST:PORT\n"
           "--ca FILE      TLS ports: the authority that signed the server's certificate (default:\n"
           "               TlsCaFile= in hbs.ini, else the system's); the certificate must name\n"
           "               the HOST; one that does not verify is refused (exit status 2)\n"
           "--cert FILE    TLS ports: our certificate, for a server that checks its clients\n"
           "--key FILE     its private key (default: in the --cert file)\n"
           "--baud N       its baud rate; without it the rate the scanner answers at is found\n"
           "--sim MODEL    plug in a simulated scanner of MODEL first: a catalogue key such as\n"
           "               HBS-HI880, a command file name in Config/, or a path to one\n"
           "--product NAME the simulated scanner's product name (default: the model's key)\n"
           "--timeout MS   read time-out of the exchange (default 2000)\n"
           "--json         print one JSON document (see the README for its schema)\n"
           "\n"
           "Exit status: 0 success, 1 bad command line, 2 no scanner or port, 3 no usable\n"
           "reply, 4 the scanner refused some commands (NAK or ENQ) or a scanner was skipped\n"
           "(or an upgrade failed, or FILE holds settings no scanner takes), 5 FILE is no\n"
           "configuration or firmware file or cannot be written (nor can the output), 6 diff\n"
           "found differences.\n";
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
    // --json goes with every command, also with those that read their own options.
    std::vector<std::string> own{arguments[0]};
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--json")
            options.json = true;
        else
            own.push_back(arguments[i]);
    }
    if (options.command == ECliCommand::DataFormat)
        return ParseDataFormatOptions(own, options, error);
    if (options.command == ECliCommand::Barcode)
        return ParseBarcodeOptions({own.begin() + 1, own.end()}, options.barcode, error);

    std::vector<std::string> free;
    std::set<std::string> given;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--port" || argument == "--baud" || argument == "--sim" ||
                                argument == "--product" || argument == "--timeout" || argument == "--against" ||
                                argument == "--ca" || argument == "--cert" || argument == "--key";
        if (argument == "--help" || argument == "-h") {
            options.command = ECliCommand::Help;
            return true;
        }
        if (argument == "--all" || argument == "--force") {
            // --force also goes with diff and inventory, so that they plan as apply would.
            const bool forceToo = argument == "--force" &&
                                  (options.command == ECliCommand::Diff || options.command == ECliCommand::Inventory);
            if (options.command != ECliCommand::Apply && options.command != ECliCommand::Upgrade && !forceToo) {
                error = argument + " only goes with apply or upgrade" +
                        (argument == "--force" ? std::string(" (and diff, inventory)") : std::string());
                return false;
            }
            (argument == "--all" ? options.allScanners : options.force) = true;
            continue;
        }
        if (argument == "--json") {
            options.json = true;
            continue;
        }
        if (argument == "--check") {
            if (options.command != ECliCommand::Upgrade) {
                error = "--check only goes with upgrade";
                return false;
            }
            options.checkOnly = true;
            continue;
        }
        if (argument == "--csv") {
            if (options.command != ECliCommand::Inventory) {
                error = "--csv only goes with inventory";
                return false;
            }
            options.csv = true;
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
        // A repeated or empty option is a slip (a variable left unset in a script),
        // never a wish: it is named rather than taken.
        if (!given.insert(argument).second) {
            error = argument + " is given twice";
            return false;
        }
        if (value.empty()) {
            error = argument + " needs a value that is not empty";
            return false;
        }
        if (argument == "--against") {
            if (options.command != ECliCommand::Inventory) {
                error = "--against only goes with inventory";
                return false;
            }
            options.against = value;
        } else if (argument == "--port") {
            options.port = value;
        } else if (argument == "--ca") {
            options.caFile = value;
        } else if (argument == "--cert") {
            options.certFile = value;
        } else if (argument == "--key") {
            options.keyFile = value;
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
    if (!options.keyFile.empty() && options.certFile.empty()) {
        error = "--key goes with --cert, the certificate it belongs to";
        return false;
    }
    // A TLS file that cannot be read is a slip on the command line, not a port that
    // cannot be reached: said before any scanner is looked for.
    for (const auto& [option, path] : {std::make_pair("--ca", &options.caFile), std::make_pair("--cert", &options.certFile),
                                       std::make_pair("--key", &options.keyFile)}) {
        if (!path->empty() && access(path->c_str(), R_OK) != 0) {
            error = std::string(option) + " names " + *path + ", which cannot be read";
            return false;
        }
    }
    if (options.json && options.csv) {
        error = "--json and --csv cannot be used together";
        return false;
    }
    if (options.command == ECliCommand::List || options.command == ECliCommand::Inventory) {
        if (!free.empty()) {
            error = arguments[0] + " takes no text, but got \"" + free.front() + "\"";
            return false;
        }
        return true;
    }
    const bool isSend = options.command == ECliCommand::Send;
    const std::string word = arguments[0];
    if (free.size() == 1 && free.front().empty()) {
        error = word + (isSend ? " needs a text that is not empty" : " needs a file name that is not empty");
        return false;
    }
    if (free.size() != 1) {
        if (isSend)
            error = free.empty() ? "send needs the text to send" : "send takes one text; quote it when it has spaces";
        else
            error = word + (free.empty() ? " needs a " : " takes one ") +
                    (options.command == ECliCommand::Upgrade ? "firmware file" : "configuration file");
        return false;
    }
    options.text = free.front();
    return true;
}
