// While it lives, a failed wxWidgets assertion fails the running test: in the program
// the same assertion would stop the user with a dialog.
#pragma once

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/string.h>

class CFailOnWxAssert {
public:
    CFailOnWxAssert() : m_previous(wxSetAssertHandler(&Fail)) {}
    ~CFailOnWxAssert() { wxSetAssertHandler(m_previous); }
    CFailOnWxAssert(const CFailOnWxAssert&) = delete;
    CFailOnWxAssert& operator=(const CFailOnWxAssert&) = delete;

private:
    static void Fail(const wxString& file, int line, const wxString&, const wxString& condition, const wxString&)
    {
        ADD_FAILURE() << "wxWidgets assertion " << condition.utf8_string() << " at " << file.utf8_string() << ":"
                      << line;
    }

    wxAssertHandler_t m_previous;
};
