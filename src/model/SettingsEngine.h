// What a setting asks of the configuration engine above the model: whether a scanner
// is connected, the scanner's answers, and the list that keeps the user's changes.
// The engine installs itself when it is linked in; without one the model works
// offline and a change is only kept in its definition.
#pragma once

#include <wx/string.h>

class CCmdNameXmlInfo;

class ISettingsEngine {
public:
    virtual ~ISettingsEngine() = default;
    virtual bool IsOnline() const = 0;
    // Once one query of a connected scanner failed, its model is not built further.
    virtual bool HasFailedQueries() const = 0;
    virtual void AddFailedQuery(const wxString& commandName) = 0;
    // Asks the scanner for `command` + `suffix`; `value` is the answer's text.
    virtual bool Query(const wxString& command, const wxString& suffix, wxString& value, const wxString& mark) = 0;
    // The definition's value now differs from the device's (`changed`) or no longer.
    virtual void ReportChange(CCmdNameXmlInfo* definition, bool changed) = 0;
    // The definition is being destroyed.
    virtual void Forget(const CCmdNameXmlInfo* definition) = 0;
};

void SetSettingsEngine(ISettingsEngine* engine);
ISettingsEngine* GetSettingsEngine();
