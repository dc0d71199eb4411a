// What the history view's "GENERATE BAR CODE" asks of the settings-barcode panel:
// build from the history list, which tab, whether to print at once, and where the
// listed settings come from. The panel reads it each time its page is shown.
#pragma once

#include "BarcodePayload.h"

#include <functional>
#include <memory>
#include <vector>

class CCmdNameXmlInfo;

class CBarcodeRequest {
public:
    enum { TYPE_1D = 1, TYPE_2D = 2, TYPE_ALL_IN_ONE = 3 };
    using EntrySource = std::function<std::vector<SHistoryEntry>()>;

    static CBarcodeRequest& GetInstance();
    static void ResetInstance();

    // Set by the history view before it shows the panel.
    void Ask(int barcodeType, bool printAtOnce, EntrySource source);
    // Cleared once the panel has built from the history.
    void ClearBuildFromHistory() { m_buildFromHistory = false; }

    bool IsBuildFromHistory() const { return m_buildFromHistory; }
    int GetBarcodeType() const { return m_barcodeType; }
    bool IsPrintAtOnce() const { return m_printAtOnce; }
    // The history list now: the pending changes unless the view chose otherwise.
    std::vector<SHistoryEntry> GetEntries() const;

private:
    CBarcodeRequest() = default;

    bool m_buildFromHistory = false;
    int m_barcodeType = TYPE_1D;
    bool m_printAtOnce = false;
    EntrySource m_source;

    static std::unique_ptr<CBarcodeRequest> s_instance;
};

// The history entry of a setting: its command, value and how it is shown.
SHistoryEntry HistoryEntryOf(const CCmdNameXmlInfo& definition);
// The pending changes, in the order they were made.
std::vector<SHistoryEntry> PendingChangeEntries();
// Every setting a configuration file would hold, with the value chosen now.
std::vector<SHistoryEntry> AllSavedSettingEntries();
