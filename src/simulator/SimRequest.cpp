#include "SimRequest.h"

namespace {

const std::string kHeader = std::string("~\x01") + "0000";

bool IsWholeListQuery(const std::string& token)
{
    return token == "*" || token == "&" || token == "^";
}

// Upper-case letters and digits with at least one letter: the look of a command name
// (or of its item), which a value such as "1,2,300" does not have.
bool LooksLikeName(const std::string& text)
{
    bool letter = false;
    for (char c : text) {
        const bool upper = c >= 'A' && c <= 'Z';
        if (!upper && !(c >= '0' && c <= '9'))
            return false;
        letter = letter || upper;
    }
    return letter;
}

// Splits at `separator`; empty pieces stay, so that a value keeps its text.
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

bool StartsCommand(const std::string& name, const std::function<bool(const std::string&)>& isKnown)
{
    return name.size() == 6 && (isKnown(name) || LooksLikeName(name));
}

}  // namespace

bool CSimRequest::Parse(const std::string& frame, const std::function<bool(const std::string&)>& isKnown)
{
    m_commands.clear();
    if (frame.size() < 9 || frame.compare(0, 6, kHeader) != 0 || frame.compare(frame.size() - 2, 2, ";\x03") != 0)
        return false;
    m_mark = frame[6];
    if (m_mark != '@' && m_mark != '#')
        return false;
    std::vector<std::string> tokens;
    for (const std::string& token : Split(frame.substr(7, frame.size() - 9), ';')) {
        if (tokens.empty() && token.empty())
            continue;
        if (tokens.empty() || IsWholeListQuery(token) || StartsCommand(token.substr(0, 6), isKnown))
            tokens.push_back(token);
        else
            tokens.back() += ";" + token;  // a value holding ";"
    }
    for (const std::string& token : tokens)
        SplitGroupToken(token, isKnown);
    return true;
}

void CSimRequest::SplitGroupToken(const std::string& token, const std::function<bool(const std::string&)>& isKnown)
{
    const std::string group = token.substr(0, 3);
    bool firstPiece = true;
    for (const std::string& piece : Split(token, ',')) {
        const std::string item = piece.substr(0, 3);
        const bool isItem = item.size() == 3 && (isKnown(group + item) || LooksLikeName(item));
        if (firstPiece)
            m_commands.push_back(piece);
        else if (isItem)
            m_commands.push_back(group + piece);
        else
            m_commands.back() += "," + piece;  // a value holding ","
        firstPiece = false;
    }
}
