#include "DataFormatControlDlg.h"

#include "DataFormatTitleDlg.h"
#include "app/AppContext.h"
#include "RuleBytes.h"
#include "app/UiText.h"
#include "model/PageMntXmlInfo.h"
#include "model/SymbologiesXmlInfo.h"

#include <algorithm>

namespace {

constexpr int kFormatCount = 4;
constexpr int kRowStep = 26;
constexpr int kExtraHeight = 106;
constexpr int kLineStep = 28;

}  // namespace

CDataFormatControlDlg::CDataFormatControlDlg(wxWindow* parent, const wxString& command, long limit,
                                             ValueHandler onValue)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxHSCROLL | wxBORDER_THEME),
      m_listMode(command == "DFMADD"),
      m_limit(limit),
      m_onValue(std::move(onValue)),
      m_symbologies(LoadSymbologies())
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new CDataFormatTitleDlg(this, CDataFormatUnitDlg::kColumns), 0, wxALL, 4);
    m_rows = new wxBoxSizer(wxVERTICAL);
    top->Add(m_rows, 0, wxLEFT | wxRIGHT, 4);
    SetSizer(top);
    if (m_listMode) {
        AddUnit();
    } else {
        for (int number = 0; number < kFormatCount; ++number)
            AddUnit()->SetNumber(number);
    }
    SetScrollRate(kLineStep, kLineStep);
    Layout();
}

std::vector<SSymbologyChoice> CDataFormatControlDlg::LoadSymbologies()
{
    std::vector<SSymbologyChoice> choices{{GetUiText("ID_DATAFORMAT_ALL_SYMBOLOGIES", "All Symbologies"), "999"}};
    CSymbologiesXmlInfo table;
    if (!table.Load(CAppContext::GetInstance().GetFilePath("Config", "Symbologies.xml"), "DataFormatControlDlg"))
        return choices;
    const CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    for (const SSymbologyEntry& entry : table.GetEntries()) {
        if (entry.cmd.empty() || pages.FindCommand(entry.cmd))
            choices.push_back({entry.name, entry.value});
    }
    return choices;
}

CDataFormatUnitDlg* CDataFormatControlDlg::AddUnit()
{
    // A "DFMADD" setting's rows all carry the number their text gives; the choice
    // shows that one number.
    const std::vector<int> numbers = m_listMode ? std::vector<int>{m_listNumber} : std::vector<int>{0, 1, 2, 3};
    auto* unit = new CDataFormatUnitDlg(this, numbers, m_symbologies, m_limit,
                                        [this](CDataFormatUnitDlg* changed) { OnUnitChanged(changed); });
    m_units.push_back(unit);
    m_rows->Add(unit, 0, wxBOTTOM, 2);
    Layout();
    return unit;
}

void CDataFormatControlDlg::RemoveUnit(CDataFormatUnitDlg* unit)
{
    m_units.erase(std::find(m_units.begin(), m_units.end(), unit));
    m_rows->Detach(unit);
    // The row may be the one whose event is running: it goes once the event is done.
    unit->Hide();
    CallAfter([unit] { unit->Destroy(); });
    Layout();
}

void CDataFormatControlDlg::LoadValue(const wxString& value)
{
    // A new value replaces every row: a row the value leaves empty must not keep the
    // rules of the old one, which would be written back as a change.
    if (m_listMode)
        RemoveAllUnits();
    for (size_t position = 0; position < m_units.size(); ++position) {
        m_units[position]->Clear();
        if (!m_listMode)
            m_units[position]->SetNumber(static_cast<int>(position));
    }
    for (const auto& [number, text] : SplitDataFormatValue(Narrow(value), m_listMode)) {
        if (m_listMode)
            LoadListUnit(text);
        else if (CDataFormatUnitDlg* unit = UnitNumbered(number))
            unit->Load(text, false);
    }
    Layout();
    if (m_onValue)
        m_onValue(ComputeValue());
}

void CDataFormatControlDlg::RemoveAllUnits()
{
    while (!m_units.empty()) {
        CDataFormatUnitDlg* unit = m_units.back();
        m_units.pop_back();
        m_rows->Detach(unit);
        unit->Destroy();
    }
    m_listNumber = 0;
    AddUnit();
}

// The new row goes before the empty one that waits at the end; the rows added later
// carry the number of the formats the value holds.
void CDataFormatControlDlg::LoadListUnit(const std::string& text)
{
    CDataFormatUnitDlg* unit = m_units.back();
    if (!unit->Load(text, true))
        return;
    m_listNumber = unit->GetUnit().number;
    AddUnit();
}

CDataFormatUnitDlg* CDataFormatControlDlg::UnitNumbered(int number) const
{
    for (CDataFormatUnitDlg* unit : m_units) {
        if (unit->GetUnit().number == number)
            return unit;
    }
    return nullptr;
}

wxString CDataFormatControlDlg::ComputeValue() const
{
    std::vector<SDataFormatUnit> units;
    for (const CDataFormatUnitDlg* unit : m_units)
        units.push_back(unit->GetUnit());
    const std::string value = ComposeDataFormatValue(units);
    return Wide(value);
}

void CDataFormatControlDlg::OnUnitChanged(CDataFormatUnitDlg* unit)
{
    if (m_listMode)
        GrowOrShrink(unit);
    if (m_onValue)
        m_onValue(ComputeValue());
}

void CDataFormatControlDlg::GrowOrShrink(CDataFormatUnitDlg* unit)
{
    const bool last = unit == m_units.back();
    if (last && !unit->GetRules().empty())
        AddUnit();
    else if (!last && unit->GetRules().empty())
        RemoveUnit(unit);
}

// The scrolled area follows the rows each time, since a row may have grown (a
// caption that got its shortcut letter) without a row coming or going.
bool CDataFormatControlDlg::Layout()
{
    // Setting the area lays the window out again: that inner call only lays out.
    if (!GetSizer() || m_sizingArea)
        return wxScrolledWindow::Layout();
    m_sizingArea = true;
    const int height = std::max(static_cast<int>(m_units.size()) * kRowStep + kExtraHeight, GetSizer()->GetMinSize().y);
    SetVirtualSize(GetSizer()->GetMinSize().x, height);
    m_sizingArea = false;
    return wxScrolledWindow::Layout();
}
