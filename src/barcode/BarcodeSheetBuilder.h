// Fills a barcode sheet from typed text or from the history list, the way each of
// the three pages builds: linear codes framed by the setup codes, one batch code, or
// one all-in-one Data Matrix. Messages are left to the caller.
#pragma once

#include "BarCodeSettingsXmlInfo.h"
#include "BarcodePayload.h"
#include "BarcodeSheet.h"

#include <wx/string.h>

#include <vector>

enum class EBuildResult {
    Nothing,  // empty text: the sheet is unchanged
    Refused,  // the text names FOBSET: the sheet is unchanged
    Failed,   // a barcode could not be rendered; what was made so far stays
    Built
};

struct SLinearOptions {
    CBarCodeSettingsXmlInfo layout;
    bool showText = true;
};

class CBarcodeSheetBuilder {
public:
    // `setupCommand` empty: no enter- and exit-setup codes. `captions` null: captions
    // come from the settings pages.
    CBarcodeSheetBuilder(CBarcodeSheet& sheet, const wxString& setupCommand, CaptionLookup captions = nullptr);

    EBuildResult BuildLinearFromText(const wxString& text, const SLinearOptions& options);
    void BuildLinearFromHistory(const std::vector<SHistoryEntry>& entries, const SLinearOptions& options);
    EBuildResult BuildBatchFromText(const wxString& text, int symbology, bool textFlag);
    void BuildBatchFromHistory(const std::vector<SHistoryEntry>& entries, int symbology, bool textFlag);
    // `bmpPath` is where zint writes the symbol before it is read back.
    EBuildResult BuildAllInOneFromText(const wxString& text, const wxString& bmpPath);
    void BuildAllInOneFromHistory(const std::vector<SHistoryEntry>& entries, const wxString& bmpPath);

    // The renderer's reason for the last failed barcode.
    const wxString& GetLastError() const { return m_lastError; }

private:
    bool AddLinear(const wxString& payload, const wxString& caption, const SLinearOptions& options);
    void AddSetupCode(bool enter, const SLinearOptions& options);
    wxString TypedCaption(const wxString& entry, const wxString& payload) const;
    bool AddBatch(const wxString& payload, int symbology, bool textFlag);
    bool AddAllInOne(const wxString& payload, const wxString& bmpPath);

    CBarcodeSheet& m_sheet;
    wxString m_setupCommand;
    CaptionLookup m_captions;
    wxString m_lastError;
};
