// The application object: brings the process up and takes it down.
#pragma once

#include <wx/app.h>

class CVostrelApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;
};
