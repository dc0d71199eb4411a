// The driver-licence field selection of a LICENSECODE setting: which AAMVA data
// elements the scanner outputs, in which order, with which separator bytes between
// them, and how that selection travels as the setting's value text.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Which list an entry comes from.
enum ELicenseEntryKind {
    LICENSE_DATA_FIELDS = 0,   // the first list of data elements
    LICENSE_DATA_FIELDS2 = 1,  // the second list of data elements
    LICENSE_SEPARATOR = 2      // one separator byte, 0 to 255
};

// What became of entries added to a selection.
enum ELicenseAddOutcome {
    LICENSE_ADDED_ALL = 0,
    LICENSE_TOO_MANY_ENTRIES,  // the selection reached 500 entries
    LICENSE_TOO_MANY_BYTES     // the value's byte count would pass 999
};

struct SLicenseEntry {
    int kind = LICENSE_DATA_FIELDS;
    wxString name;
    uint8_t code = 0;
};

bool operator==(const SLicenseEntry& a, const SLicenseEntry& b);

class CLicenseCode {
public:
    static constexpr size_t kMaxEntries = 500;
    // The value carries the byte count in three digits: a longer stream could not be
    // read back.
    static constexpr size_t kMaxStreamBytes = 999;

    // The entries of one list in the order the picker shows them.
    static const std::vector<SLicenseEntry>& ListOf(int kind);
    // The data element of either list with `code`, or null.
    static const SLicenseEntry* FindDataElement(uint8_t code);
    // The data element with `code`; one that neither list holds is named by its code.
    static SLicenseEntry DataElementOf(uint8_t code);
    static const SLicenseEntry& Separator(uint8_t byte);

    // The bytes the scanner is given: the two flags, the entries, the extra text.
    std::vector<uint8_t> ByteStream() const;
    // The setting's value: the advanced-formatting flag, the stream's length "%03d"
    // and the stream as lower-case hexadecimal pairs.
    wxString ValueText() const;

    // Takes a setting's value. An empty value, "0000" and the value of the empty
    // selection give the empty selection; a malformed value also leaves the
    // selection empty and returns false.
    bool ReadValue(const wxString& value);

    // Appends `added` in order as far as the selection keeps to 500 entries and its
    // byte stream to 999 bytes; says which limit stopped the first entry that did
    // not fit.
    ELicenseAddOutcome AddEntries(const std::vector<SLicenseEntry>& added);
    void Clear();

    bool advancedFormatting = false;
    bool elementExtraction = false;
    std::vector<SLicenseEntry> entries;
    // Given by the caller; the panel leaves it empty.
    wxString extraText;

private:
    bool ReadByteStream(const std::vector<uint8_t>& bytes);
};

// What the scanner would send for the selection after reading our sample identity
// card: each element's sample text, printable separators as themselves and the
// others by their short names in angle brackets ("<CR>").
wxString LicensePreview(const CLicenseCode& code);
// The sample card's text of one data element (empty for an unknown code).
wxString SampleCardText(uint8_t code);
