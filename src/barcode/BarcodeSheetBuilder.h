// Fills a barcode sheet from typed text or from the history list, the way each of
// the three pages builds: linear codes framed by the setup codes, one batch code, or
// one all-in-one Data Matrix. Messages are left to the caller.
#pragma once

#include "BarcodePayload.h"
#include "BarCodeSettingsXmlInfo.h"
#include "BarcodeSheet.h"

#include <wx/string.h>

#include <functional>
#include <vector>

enum class EBuildResult {
    Nothing,  // empty text: the sheet is unchanged
    Refused,  // the text names FOBSET: the sheet is unchanged
    Failed,   // a barcode could not be rendered; what was made so far stays
    TooLong,  // the settings do not fit one symbol: the sheet is unchanged, and
              // GetSplitCount tells how many symbols would hold them
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
    // `split`: settings that do not fit one symbol go into several, cut between
    // settings; otherwise such a build gives TooLong.
    EBuildResult BuildBatchFromText(const wxString& text, int symbology, bool textFlag, bool split = false);
    EBuildResult BuildBatchFromHistory(const std::vector<SHistoryEntry>& entries, int symbology, bool textFlag,
                                       bool split = false);
    // `bmpPath` is where zint writes the symbol before it is read back.
    EBuildResult BuildAllInOneFromText(const wxString& text, const wxString& bmpPath, bool split = false);
    EBuildResult BuildAllInOneFromHistory(const std::vector<SHistoryEntry>& entries, const wxString& bmpPath,
                                          bool split = false);

    // After TooLong: the payload's size in bytes and how many symbols would hold it.
    size_t GetPayloadBytes() const { return m_payloadBytes; }
    size_t GetSplitCount() const { return m_splitCount; }

    // The renderer's reason for the last failed barcode.
    const wxString& GetLastError() const { return m_lastError; }

private:
    bool AddLinear(const wxString& payload, const wxString& caption, const SLinearOptions& options);
    void AddSetupCode(bool enter, const SLinearOptions& options);
    wxString TypedCaption(const wxString& entry, const wxString& payload) const;
    bool AddBatch(const wxString& payload, int symbology, bool textFlag);
    bool AddAllInOne(const wxString& payload, const wxString& bmpPath);
    using SymbolAdder = std::function<bool(const wxString& payload)>;
    // One symbol of the payload, or, when it does not fit, its settings cut into as
    // few symbols as hold them (all of them added with `split`, none without).
    EBuildResult AddSymbols(const wxString& payload, bool split, const SymbolAdder& add);

    CBarcodeSheet& m_sheet;
    wxString m_setupCommand;
    CaptionLookup m_captions;
    wxString m_lastError;
    size_t m_payloadBytes = 0;
    size_t m_splitCount = 0;
};
