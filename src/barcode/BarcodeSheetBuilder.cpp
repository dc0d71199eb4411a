#include "BarcodeSheetBuilder.h"

#include "BarcodeRender.h"

CBarcodeSheetBuilder::CBarcodeSheetBuilder(CBarcodeSheet& sheet, const wxString& setupCommand, CaptionLookup captions)
    : m_sheet(sheet), m_setupCommand(setupCommand), m_captions(captions ? std::move(captions) : CaptionFromPages)
{
}

bool CBarcodeSheetBuilder::AddLinear(const wxString& payload, const wxString& caption, const SLinearOptions& options)
{
    SSheetImage image;
    if (!RenderLinearBarcode(payload, options.layout, options.showText, image, m_lastError))
        return false;
    // The view draws linear codes at a quarter of the renderer's 600-dpi size.
    m_sheet.thumbWidth = image.width / 4;
    m_sheet.thumbHeight = image.height / 4;
    m_sheet.AddImage(std::move(image));
    m_sheet.AddCaption(caption);
    return true;
}

void CBarcodeSheetBuilder::AddSetupCode(bool enter, const SLinearOptions& options)
{
    if (m_setupCommand.empty())
        return;
    const SBarcodeItem item = enter ? EnterSetupItem(m_setupCommand) : ExitSetupItem(m_setupCommand);
    AddLinear(item.payload, item.caption, options);
}

wxString CBarcodeSheetBuilder::TypedCaption(const wxString& entry, const wxString& payload) const
{
    const wxString caption = m_captions(CommandNameOf(entry), CommandValueOf(entry));
    return caption.empty() ? payload : caption;
}

EBuildResult CBarcodeSheetBuilder::BuildLinearFromText(const wxString& text, const SLinearOptions& options)
{
    if (text.empty())
        return EBuildResult::Nothing;
    if (IsRefusedText(text))
        return EBuildResult::Refused;
    m_sheet.Clear();
    AddSetupCode(true, options);
    for (const wxString& entry : SplitTypedEntries(text)) {
        const wxString payload = MakePayload(entry);
        if (!AddLinear(payload, TypedCaption(entry, payload), options))
            return EBuildResult::Failed;
    }
    AddSetupCode(false, options);
    return EBuildResult::Built;
}

void CBarcodeSheetBuilder::BuildLinearFromHistory(const std::vector<SHistoryEntry>& entries,
                                                  const SLinearOptions& options)
{
    m_sheet.Clear();
    AddSetupCode(true, options);
    const int setAside = FindDataFormatEntry(entries);
    for (size_t i = 0; i < entries.size(); ++i) {
        // A setting that cannot be rendered is left out; the others still make a sheet.
        if (static_cast<int>(i) != setAside)
            AddLinear("@" + entries[i].command + entries[i].value, HistoryCaption(entries[i]), options);
    }
    if (setAside >= 0) {
        for (const wxString& payload : DataFormatDigitPayloads(entries[setAside].command, entries[setAside].value))
            AddLinear(payload, payload, options);
    }
    AddSetupCode(false, options);
}

bool CBarcodeSheetBuilder::AddBatch(const wxString& payload, int symbology, bool textFlag)
{
    SSheetImage image;
    if (!Render2DBarcode(payload, symbology, textFlag, image, m_lastError))
        return false;
    const wxString caption = image.payload;
    m_sheet.AddImage(std::move(image));
    m_sheet.AddCaption(caption);
    return true;
}

bool CBarcodeSheetBuilder::AddAllInOne(const wxString& payload, const wxString& bmpPath)
{
    SSheetImage image;
    if (!RenderAllInOneBarcode(payload, bmpPath, image, m_lastError))
        return false;
    const wxString caption = image.payload;
    m_sheet.AddImage(std::move(image));
    m_sheet.AddCaption(caption);
    return true;
}

EBuildResult CBarcodeSheetBuilder::AddSymbols(const wxString& payload, bool split, const SymbolAdder& add)
{
    m_payloadBytes = payload.length();
    m_splitCount = 0;
    const CBarcodeSheet shown = m_sheet;
    m_sheet.Clear();
    if (add(payload))
        return EBuildResult::Built;
    // Each try draws onto the sheet; only the final symbols stay.
    const std::vector<wxString> parts = SplitBatchPayload(payload, [&](const wxString& part) {
        const bool fits = add(part);
        m_sheet.Clear();
        return fits;
    });
    if (parts.size() < 2)
        return EBuildResult::Failed;
    if (!split) {
        m_sheet = shown;
        m_splitCount = parts.size();
        return EBuildResult::TooLong;
    }
    for (const wxString& part : parts) {
        if (!add(part))
            return EBuildResult::Failed;
    }
    return EBuildResult::Built;
}

EBuildResult CBarcodeSheetBuilder::BuildBatchFromText(const wxString& text, int symbology, bool textFlag, bool split)
{
    if (text.empty())
        return EBuildResult::Nothing;
    if (IsRefusedText(text))
        return EBuildResult::Refused;
    return AddSymbols(MakePayload(text), split,
                      [&](const wxString& payload) { return AddBatch(payload, symbology, textFlag); });
}

EBuildResult CBarcodeSheetBuilder::BuildBatchFromHistory(const std::vector<SHistoryEntry>& entries, int symbology,
                                                         bool textFlag, bool split)
{
    if (entries.empty()) {
        m_sheet.Clear();
        return EBuildResult::Nothing;
    }
    return AddSymbols(HistoryBatchPayload(entries), split,
                      [&](const wxString& payload) { return AddBatch(payload, symbology, textFlag); });
}

EBuildResult CBarcodeSheetBuilder::BuildAllInOneFromText(const wxString& text, const wxString& bmpPath, bool split)
{
    if (text.empty())
        return EBuildResult::Nothing;
    if (IsRefusedText(text))
        return EBuildResult::Refused;
    return AddSymbols(MakePayload(text), split, [&](const wxString& payload) { return AddAllInOne(payload, bmpPath); });
}

EBuildResult CBarcodeSheetBuilder::BuildAllInOneFromHistory(const std::vector<SHistoryEntry>& entries,
                                                            const wxString& bmpPath, bool split)
{
    if (entries.empty()) {
        m_sheet.Clear();
        return EBuildResult::Nothing;
    }
    return AddSymbols(HistoryBatchPayload(entries), split,
                      [&](const wxString& payload) { return AddAllInOne(payload, bmpPath); });
}
