#include "LicenseCode.h"

#include <wx/datetime.h>

#include <algorithm>
#include <map>

namespace {

// Marker bytes of the stream; data element codes all lie below them.
const uint8_t kAdvancedMarker = 0x5D;
const uint8_t kExtractionMarker = 0x5E;
const uint8_t kSeparatorMarker = 0x5A;
const uint8_t kExtraTextMarker = 0x5C;
const uint8_t kDateMarker = 0x5B;

struct SNamedCode {
    const char* nameUtf8;
    uint8_t code;
};

// The names carry U+2013 dashes, so the table is UTF-8.
const SNamedCode kDataFields[] = {
    {"(DAC)Customer First Name", 7},
    {"(DAD)Customer Middle Name(s)", 8},
    {"(DAG)Address \u2013 Street1", 10},
    {"(DAH)Address \u2013 Street2", 11},
    {"(DAI)Address \u2013 City", 12},
    {"(DAJ)Address \u2013 Jurisdiction Code", 13},
    {"(DAK)Address \u2013 Postal Code", 14},
    {"(DAQ)Customer ID Number", 20},
    {"(DAU)Physical Description \u2013 Height", 24},
    {"(DAW)Weight (pounds)", 26},
    {"(DAY)Physical Description \u2013 Eye Color", 27},
    {"(DAZ)Hair color", 28},
    {"(DBA)Document Expiration Date", 29},
    {"(DBB)Date of Birth", 30},
    {"(DBC)Physical Description \u2013 Sex", 31},
    {"(DBD)Document Issue Date", 32},
    {"(DBG)Alias / AKA Given Name", 35},
    {"(DCA)Jurisdiction-specific vehicle class", 40},
    {"(DCB)Jurisdiction-specific restriction codes", 41},
    {"(DCD)Jurisdiction-specific endorsement codes", 42},
    {"(DCE)Physical Description \u2013 Weight Range", 43},
    {"(DCF)Document Discriminator", 44},
    {"(DCG)Country Identification", 45},
    {"(DCJ)Audit information", 47},
    {"(DCK)Inventory control number", 48},
    {"(DCS)Customer Family Name", 49},
    {"(DCU)Name Suffix", 51},
    {"(DDA)Compliance Type", 52},
    {"(DDB)Card Revision Date", 53},
    {"(DDC)HAZMAT Endorsement Expiration Date", 54},
    {"(DDD)Limited Duration Document Indicator", 55},
    {"(DDE)Family name truncation", 56},
    {"(DDF)First name truncation", 57},
    {"(DDG)Middle name truncation", 58},
};

const SNamedCode kDataFields2[] = {
    {"(DAA)Driver License Name", 5},
    {"(DAB)Driver Last Name", 6},
    {"(DAE)Driver Name Suffix", 9},
    {"(DAL)Driver Residence Street Address 1", 15},
    {"(DAM)Driver Residence Street Address 2", 16},
    {"(DAN)Driver Residence City", 17},
    {"(DAO)Driver Residence Jurisdiction Code", 18},
    {"(DAP)Driver Residence Postal Code", 19},
    {"(DAR)Driver License Classification Code", 21},
    {"(DAS)Driver License Restriction Code", 22},
    {"(DAT)Driver License Endorsements Code", 23},
    {"(DAV)Height (CM)", 25},
    {"(DBE)Issue Timestamp", 33},
    {"(DBF)Number of Duplicates", 34},
    {"(DBH)Organ Donor", 36},
    {"(DBI)Non-Resident Indicator", 37},
    {"(DBJ)Unique Customer Identifier", 38},
    {"(DBK)Social Security Number", 39},
    {"(DCH)Federal Commercial Vehicle Codes", 46},
    {"(DCT)Customer Given Names", 50},
};

// Names of the control bytes and the space, in byte order.
const char* const kControlNames[] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "S0",  "SI",  "DLE",
    "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SPACE",
};

template <size_t N>
std::vector<SLicenseEntry> MakeList(const SNamedCode (&table)[N], int kind)
{
    std::vector<SLicenseEntry> list;
    for (const SNamedCode& row : table)
        list.push_back({kind, wxString::FromUTF8(row.nameUtf8), row.code});
    return list;
}

wxString SeparatorName(int byte)
{
    if (byte <= 0x20)
        return wxString::Format("[%02X %s]", byte, kControlNames[byte]);
    if (byte <= 0x7E)
        return wxString::Format("[%2x  %c]", byte, static_cast<wxChar>(byte));
    return wxString::Format("[%2x   ]", byte);
}

std::vector<SLicenseEntry> MakeSeparators()
{
    std::vector<SLicenseEntry> list;
    for (int byte = 0; byte <= 0xFF; ++byte)
        list.push_back({LICENSE_SEPARATOR, SeparatorName(byte), static_cast<uint8_t>(byte)});
    return list;
}

int HexDigit(wxChar c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool DecodeHexPairs(const wxString& text, std::vector<uint8_t>& bytes)
{
    if (text.empty() || text.length() % 2 != 0)
        return false;
    for (size_t i = 0; i < text.length(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

bool AreDigits(const std::vector<uint8_t>& bytes, size_t from, size_t count)
{
    if (from + count > bytes.size())
        return false;
    return std::all_of(bytes.begin() + from, bytes.begin() + from + count, [](uint8_t b) { return b >= '0' && b <= '9'; });
}

int DigitsValue(const std::vector<uint8_t>& bytes, size_t from, size_t count)
{
    int value = 0;
    for (size_t i = from; i < from + count; ++i)
        value = value * 10 + (bytes[i] - '0');
    return value;
}

// The bytes that open an item of their own and so can never be a data element.
bool IsMarker(uint8_t byte)
{
    return byte >= kSeparatorMarker && byte <= kExtractionMarker;
}

// Month, day and year as eight ASCII digits, forming a real calendar day.
bool IsValidDateItem(const std::vector<uint8_t>& bytes, size_t from)
{
    if (!AreDigits(bytes, from, 8))
        return false;
    const int month = DigitsValue(bytes, from, 2);
    const int day = DigitsValue(bytes, from + 2, 2);
    const int year = DigitsValue(bytes, from + 4, 4);
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1900)
        return false;
    return day <= wxDateTime::GetNumberOfDays(static_cast<wxDateTime::Month>(month - 1), year);
}

// A separator as the scanner's output would show it in one line.
wxString PreviewOfSeparator(uint8_t byte)
{
    if (byte > 0x20 && byte < 0x7F)
        return wxString(static_cast<wxChar>(byte));
    if (byte == 0x20)
        return " ";
    if (byte < 0x20)
        return wxString::Format("<%s>", kControlNames[byte]);
    return wxString::Format("<%02x>", byte);
}

}  // namespace

bool operator==(const SLicenseEntry& a, const SLicenseEntry& b)
{
    return a.kind == b.kind && a.code == b.code && a.name == b.name;
}

const std::vector<SLicenseEntry>& CLicenseCode::ListOf(int kind)
{
    static const std::vector<SLicenseEntry> fields = MakeList(kDataFields, LICENSE_DATA_FIELDS);
    static const std::vector<SLicenseEntry> fields2 = MakeList(kDataFields2, LICENSE_DATA_FIELDS2);
    static const std::vector<SLicenseEntry> separators = MakeSeparators();
    switch (kind) {
    case LICENSE_DATA_FIELDS:
        return fields;
    case LICENSE_DATA_FIELDS2:
        return fields2;
    default:
        return separators;
    }
}

const SLicenseEntry* CLicenseCode::FindDataElement(uint8_t code)
{
    for (int kind : {LICENSE_DATA_FIELDS, LICENSE_DATA_FIELDS2}) {
        for (const SLicenseEntry& entry : ListOf(kind)) {
            if (entry.code == code)
                return &entry;
        }
    }
    return nullptr;
}

SLicenseEntry CLicenseCode::DataElementOf(uint8_t code)
{
    if (const SLicenseEntry* element = FindDataElement(code))
        return *element;
    return {LICENSE_DATA_FIELDS, wxString::Format("(0x%02x)", code), code};
}

const SLicenseEntry& CLicenseCode::Separator(uint8_t byte)
{
    return ListOf(LICENSE_SEPARATOR)[byte];
}

std::vector<uint8_t> CLicenseCode::ByteStream() const
{
    std::vector<uint8_t> bytes = {kAdvancedMarker, uint8_t(advancedFormatting ? 1 : 0), kExtractionMarker,
                                  uint8_t(elementExtraction ? 1 : 0)};
    for (const SLicenseEntry& entry : entries) {
        if (entry.kind == LICENSE_SEPARATOR)
            bytes.push_back(kSeparatorMarker);
        bytes.push_back(entry.code);
    }
    if (!extraText.empty()) {
        bytes.push_back(kExtraTextMarker);
        const wxString length = wxString::Format("%02d", static_cast<int>(extraText.length()));
        for (wxUniChar c : length)
            bytes.push_back(static_cast<uint8_t>(c.GetValue()));
        for (wxUniChar c : extraText)
            bytes.push_back(static_cast<uint8_t>(c.GetValue()));
    }
    return bytes;
}

wxString CLicenseCode::ValueText() const
{
    const std::vector<uint8_t> bytes = ByteStream();
    wxString text = wxString::Format("%c%03d", advancedFormatting ? '1' : '0', static_cast<int>(bytes.size()));
    for (uint8_t byte : bytes)
        text += wxString::Format("%02x", byte);
    return text;
}

void CLicenseCode::Clear()
{
    advancedFormatting = false;
    elementExtraction = false;
    entries.clear();
    extraText.clear();
}

ELicenseAddOutcome CLicenseCode::AddEntries(const std::vector<SLicenseEntry>& added)
{
    size_t bytes = ByteStream().size();
    for (const SLicenseEntry& entry : added) {
        if (entries.size() >= kMaxEntries)
            return LICENSE_TOO_MANY_ENTRIES;
        const size_t entryBytes = entry.kind == LICENSE_SEPARATOR ? 2 : 1;
        if (bytes + entryBytes > kMaxStreamBytes)
            return LICENSE_TOO_MANY_BYTES;
        entries.push_back(entry);
        bytes += entryBytes;
    }
    return LICENSE_ADDED_ALL;
}

bool CLicenseCode::ReadValue(const wxString& value)
{
    Clear();
    if (value.empty() || value == "0000" || value == ValueText())
        return true;
    std::vector<uint8_t> bytes;
    if (value.length() < 4 || !DecodeHexPairs(value.Mid(4), bytes) || !ReadByteStream(bytes)) {
        Clear();
        return false;
    }
    return true;
}

bool CLicenseCode::ReadByteStream(const std::vector<uint8_t>& bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t byte = bytes[i++];
        const bool hasNext = i < bytes.size();
        if ((byte == kAdvancedMarker || byte == kExtractionMarker) && hasNext && bytes[i] <= 1) {
            (byte == kAdvancedMarker ? advancedFormatting : elementExtraction) = bytes[i++] == 1;
        } else if (byte == kSeparatorMarker && hasNext) {
            entries.push_back(Separator(bytes[i++]));
        } else if (byte == kExtraTextMarker && AreDigits(bytes, i, 2)) {
            const size_t length = static_cast<size_t>(DigitsValue(bytes, i, 2));
            if (i + 2 + length > bytes.size())
                return false;
            extraText = wxString(reinterpret_cast<const char*>(bytes.data() + i + 2), wxConvISO8859_1, length);
            i += 2 + length;
        } else if (byte == kDateMarker && IsValidDateItem(bytes, i)) {
            // A dated item is taken as valid but the panel has nothing to show it with.
            i += 8;
        } else if (IsMarker(byte)) {
            return false;
        } else {
            // A scanner may know elements our lists lack; they travel on unchanged.
            entries.push_back(DataElementOf(byte));
        }
        if (entries.size() > kMaxEntries)
            return false;
    }
    return true;
}

wxString SampleCardText(uint8_t code)
{
    // A made-up card of ours: every element has a plausible text, none a real person's.
    static const std::map<uint8_t, const char*> kSample = {
        {5, "SAMPLE,JANE,QUINN"}, {6, "SAMPLE"},        {7, "JANE"},           {8, "QUINN"},
        {9, "JR"},                {10, "1 MAIN STREET"}, {11, "APT 4"},         {12, "SPRINGFIELD"},
        {13, "IL"},               {14, "627010000"},     {15, "1 MAIN STREET"}, {16, "APT 4"},
        {17, "SPRINGFIELD"},      {18, "IL"},            {19, "627010000"},     {20, "S00000000001"},
        {21, "D"},                {22, "NONE"},          {23, "NONE"},          {24, "068 IN"},
        {25, "173"},              {26, "150"},           {27, "BRO"},           {28, "BRO"},
        {29, "01152030"},         {30, "01151990"},      {31, "2"},             {32, "01152022"},
        {33, "20220115"},         {34, "0"},             {35, "JJ"},            {36, "Y"},
        {37, "N"},                {38, "000000001"},     {39, "000000000"},     {40, "D"},
        {41, "NONE"},             {42, "NONE"},          {43, "3"},             {44, "0115202200001"},
        {45, "USA"},              {46, "NONE"},          {47, "SAMPLE01"},      {48, "00000000001"},
        {49, "SAMPLE"},           {50, "JANE QUINN"},    {51, "JR"},            {52, "F"},
        {53, "01152020"},         {54, "01152030"},      {55, "N"},             {56, "N"},
        {57, "N"},                {58, "N"},
    };
    const auto it = kSample.find(code);
    return it == kSample.end() ? wxString() : wxString(it->second);
}

wxString LicensePreview(const CLicenseCode& code)
{
    wxString preview;
    for (const SLicenseEntry& entry : code.entries)
        preview += entry.kind == LICENSE_SEPARATOR ? PreviewOfSeparator(entry.code) : SampleCardText(entry.code);
    return preview;
}
