#include "CliReport.h"

#include <memory>
#include <sstream>

namespace {

// The document being built; null while no command runs under --json.
std::unique_ptr<nlohmann::json>& Document()
{
    static std::unique_ptr<nlohmann::json> document;
    return document;
}

const char kProgramPrefix[] = "vostrel-cli: ";
const char kNotePrefix[] = "note: ";

// The lines of `text` without empty ones and without the program's name before them.
nlohmann::json Lines(const std::string& text)
{
    nlohmann::json lines = nlohmann::json::array();
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (line.compare(0, sizeof kProgramPrefix - 1, kProgramPrefix) == 0)
            line.erase(0, sizeof kProgramPrefix - 1);
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

void Print(std::ostream& out, const nlohmann::json& document)
{
    // Values come from scanners and files; a byte that is no UTF-8 must not cost the
    // whole document.
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

// Every document has the list of scanners, empty when none was reached, so that a
// script that walks it needs no case for a failure.
nlohmann::json NewDocument(const std::string& command)
{
    return nlohmann::json{
        {"command", command}, {"exitCode", 0}, {"errors", nlohmann::json::array()}, {"scanners", nlohmann::json::array()}};
}

// A failed command says why in one place: the first problem, and the exit status.
void SetFailure(nlohmann::json& document, int exitCode)
{
    document["exitCode"] = exitCode;
    if (exitCode == 0)
        return;
    const nlohmann::json& errors = document["errors"];
    // A command that put its cause only in a scanner's record still says it here.
    std::string reason;
    for (const auto& scanner : document["scanners"]) {
        if (reason.empty() && scanner.contains("reason") && scanner["reason"].is_string())
            reason = scanner["reason"].get<std::string>();
    }
    const std::string message =
        !errors.empty() ? errors.front().get<std::string>()
        : !reason.empty() ? reason
                          : std::string("the command failed with exit status ") + std::to_string(exitCode);
    document["error"] = {{"message", message}, {"exitCode", exitCode}};
}

}  // namespace

bool IsJsonReport()
{
    return Document() != nullptr;
}

void EmitRecord(std::ostream& out, const char* listName, const nlohmann::json& record, const std::string& textLine)
{
    if (!IsJsonReport()) {
        out << textLine << '\n';
        return;
    }
    nlohmann::json& list = (*Document())[listName];
    if (!list.is_array())
        list = nlohmann::json::array();
    list.push_back(record);
}

void EmitField(const char* name, const nlohmann::json& value)
{
    if (IsJsonReport())
        (*Document())[name] = value;
}

int RunWithJsonReport(const std::string& command, std::ostream& out,
                      const std::function<int(std::ostream& text, std::ostream& problems)>& run)
{
    Document() = std::make_unique<nlohmann::json>(NewDocument(command));
    std::ostringstream text;
    std::ostringstream problems;
    const int exitCode = run(text, problems);
    nlohmann::json document = std::move(*Document());
    Document().reset();
    document["exitCode"] = exitCode;
    // Notes (settings of a file left out on purpose) are no errors: a run with notes
    // still succeeded.
    nlohmann::json errors = nlohmann::json::array();
    for (const nlohmann::json& entry : Lines(problems.str())) {
        const std::string line = entry.get<std::string>();
        if (line.compare(0, sizeof kNotePrefix - 1, kNotePrefix) == 0)
            document["notes"].push_back(line.substr(sizeof kNotePrefix - 1));
        else
            errors.push_back(line);
    }
    document["errors"] = errors;
    SetFailure(document, exitCode);
    // A command that has not learnt to hand over its results still gives a document.
    const nlohmann::json output = Lines(text.str());
    if (!output.empty())
        document["output"] = output;
    Print(out, document);
    return exitCode;
}

void PrintJsonUsageError(std::ostream& out, const std::string& command, int exitCode, const std::string& error)
{
    nlohmann::json document = NewDocument(command);
    document["errors"].push_back(error);
    SetFailure(document, exitCode);
    Print(out, document);
}

int FinishOutput(std::ostream& out, std::ostream& err, int exitCode)
{
    out.flush();
    if (out.good())
        return exitCode;
    err << kProgramPrefix << "the output could not be written (standard output full or closed)\n";
    // 5: the output is a file that cannot be written, as for any other file; a
    // difference found is no result when nobody could read it.
    return exitCode == 0 || exitCode == 6 ? 5 : exitCode;
}
