// File -> wire -> report, tried on generated configuration files: random settings of
// a shipped model with valid and invalid values, mutated the way people and attackers
// write files (separators and blanks in names and values, names of the wrong length or
// case, DFM names, queries, repeats, another model or none). Against the simulated
// scanner, the requests that reach the wire are taken apart as the scanner takes them
// apart, and every setting in them must be one the plan shows, with its value; a second
// plan after the run settles. VOSTREL_PLAN_FILES and VOSTREL_PLAN_SEED choose a longer
// or another run.
#include "device/DeviceInfo.h"
#include "simulator/InProcessScanner.h"
#include "simulator/SimFaultPlan.h"
#include "simulator/SimRequest.h"
#include "simulator/SimulatedScanner.h"

#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Fast enough for a few hundred files per run; the rate changes nothing else.
const uint32_t kBaud = 921600;
const char* const kProduct = "HBS-HI880";
using Values = std::map<wxString, wxString>;

unsigned EnvironmentNumber(const char* name, unsigned fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

std::string XmlAttribute(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '"')
            escaped += "&quot;";
        else if (byte < 0x20)
            escaped += "&#x" + std::to_string(byte / 16) + "0123456789ABCDEF"[byte % 16] + ";";
        else
            escaped += c;
    }
    return escaped;
}

struct SSetting {
    std::string name;
    std::string value;
};

// Makes files from the scanner's own settings and mutates them.
class CFileMaker {
public:
    CFileMaker(unsigned seed, const Values& scanner) : m_random(seed)
    {
        for (const auto& [name, value] : scanner) {
            // The line terminal and the link settings would end the conversation, not
            // test the file: the first is a mode, the others are never sent anyway.
            if (name != "CLIENA" && !name.StartsWith("232") && name != "INTERF" && name != "KBWPOR")
                m_names.push_back({name.utf8_string(), value.utf8_string()});
        }
    }

    std::string Make()
    {
        std::vector<SSetting> settings;
        const size_t count = 1 + Pick(12);
        // Half the files are plain, so that runs that send something are as common as
        // refusals.
        const bool hostile = Pick(2) == 0;
        for (size_t i = 0; i < count; ++i)
            Mutate(settings, m_names[Pick(m_names.size())], hostile);
        std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vostrel";
        const size_t model = Pick(10);
        if (model < 8)
            text += " DeviceType=\"HBS-HI880\"";
        else if (model == 8)
            text += " DeviceType=\"HBS-FM300\"";
        text += ">\n";
        for (const SSetting& setting : settings)
            text += " <Command CommandName=\"" + XmlAttribute(setting.name) + "\" Value=\"" + XmlAttribute(setting.value) +
                    "\"/>\n";
        return text + "</Vostrel>\n";
    }

private:
    size_t Pick(size_t below) { return std::uniform_int_distribution<size_t>(0, below - 1)(m_random); }

    std::string OtherValue(const std::string& held)
    {
        if (!held.empty() && held.find_first_not_of("0123456789") == std::string::npos)
            return std::to_string(Pick(held.size() > 1 ? 100 : 10));
        return held;
    }

    const SSetting& Another() { return m_names[Pick(m_names.size())]; }

    void Mutate(std::vector<SSetting>& settings, const SSetting& base, bool hostile)
    {
        SSetting setting{base.name, Pick(3) == 0 ? base.value : OtherValue(base.value)};
        static const char* const kInserts[] = {";", "\r", "\n", "\r\n", "\t", " "};
        const char* insert = kInserts[Pick(6)];
        switch (hostile ? Pick(16) : 15) {
        case 0:  // a second setting hidden behind the name
            setting.name += insert + Another().name;
            break;
        case 1:  // ... or behind the value
            setting.value += insert + Another().name + OtherValue(Another().value);
            break;
        case 2:
            setting.name = setting.name.substr(0, 5);
            break;
        case 3:
            setting.name += "X";
            break;
        case 4:
            for (char& c : setting.name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            break;
        case 5:
            setting.name = std::string("DFM") + "ZQX"[Pick(3)] + "ZQX"[Pick(3)] + "ZQX"[Pick(3)];
            setting.value = "1;" + Another().name + OtherValue(Another().value);
            break;
        case 6:
            setting.value = std::string(1, "*&^"[Pick(3)]);
            break;
        case 7:  // the same setting twice
            settings.push_back(setting);
            break;
        case 8:  // twice, contradicting itself
            settings.push_back(setting);
            setting.value = OtherValue(setting.value) + "1";
            break;
        case 9:
            setting.value.clear();
            break;
        case 10:
            setting.name = std::string(1, insert[0]) + setting.name.substr(1);
            break;
        default:  // left as made: most settings of a file are plain
            break;
        }
        settings.push_back(setting);
    }

    std::mt19937 m_random;
    std::vector<SSetting> m_names;
};

class FilePlanPropertyTest : public CCoreTest {
protected:
    void SetUp() override
    {
        m_dir.CopyShippedData();
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        SSimScannerProfile profile;
        profile.productName = kProduct;
        profile.baudRate = kBaud;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(std::string(m_dir.File("Config/HI880.xml").utf8_str()), profile, error);
        ASSERT_TRUE(scanner) << error;
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
        ASSERT_NE(0u, m_scanner->Start());
        m_entry = OpenTestDevice(m_scanner->Port(), kBaud, 500);
        ASSERT_NE(nullptr, m_entry);
        m_model.m_key = kProduct;
    }

    Values ReadValues()
    {
        EXPECT_TRUE(m_engine.ReadBackValues());
        return m_engine.GetValueMap();
    }

    // The settings of the frames that reached the scanner, taken apart by the scanner's
    // own rules (a ";" or "," starts a setting only before a name it knows).
    std::vector<std::string> SettingsOnTheWire(const Values& known)
    {
        std::vector<std::string> settings;
        for (const std::string& frame : m_scanner->Scanner().TakeHeardFrames()) {
            CSimRequest request;
            if (!request.Parse(frame, [&](const std::string& name) { return known.count(wxString::FromUTF8(name)) != 0; }))
                continue;
            for (const std::string& command : request.Commands()) {
                if (command != "*")
                    settings.push_back(command);
            }
        }
        return settings;
    }

    CSaveCfg::SFileComparison Plan(const Values& scanner)
    {
        const CSaveCfg::SPlanTarget target{&m_model, false};
        return m_engine.CompareFileWith(scanner, &target);
    }

    static std::set<wxString> Names(const std::vector<CSaveCfg::SFileSettingNote>& notes)
    {
        std::set<wxString> names;
        for (const auto& note : notes)
            names.insert(note.name);
        return names;
    }

    CTempDir m_dir;
    CDeviceInfo m_model;
    CSaveCfg& m_engine = CSaveCfg::GetInstance();
    std::unique_ptr<CInProcessScanner> m_scanner;
    DeviceEntry* m_entry = nullptr;
};

TEST_F(FilePlanPropertyTest, WhatReachesTheWireIsWhatThePlanShowsAndASecondRunSendsNothingNew)
{
    const unsigned seed = EnvironmentNumber("VOSTREL_PLAN_SEED", 39);
    const unsigned files = EnvironmentNumber("VOSTREL_PLAN_FILES", 200);
    Values scanner = ReadValues();
    ASSERT_GT(scanner.size(), 100u);
    CFileMaker maker(seed, scanner);
    std::map<std::string, unsigned> tally;
    for (unsigned i = 0; i < files && !HasFailure(); ++i) {
        const std::string file = maker.Make();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", file " + std::to_string(i) + ":\n" + file);
        m_dir.Write("f.xml", file);
        ASSERT_TRUE(m_engine.LoadFileForSending(m_dir.File("f.xml"))) << m_engine.GetLastFileError();
        m_scanner->Scanner().TakeHeardFrames();
        const CSaveCfg::SFileComparison plan = Plan(scanner);
        const bool executed = plan.otherModel.empty() && plan.refused.empty();
        CSaveCfg::SSendOutcome outcome;
        if (executed)
            outcome = m_engine.SendPlanned(plan.toSend);
        ++tally[!plan.otherModel.empty() ? "other model" : !executed ? "refused" : plan.toSend.empty() ? "unchanged" : "sent"];
        tally["settings acknowledged"] += static_cast<unsigned>(outcome.acknowledged);
        tally["refused by the scanner"] += static_cast<unsigned>(outcome.refused.size());
        ASSERT_FALSE(outcome.lineFailed);
        if (executed) {
            EXPECT_EQ(plan.toSend.size(), outcome.acknowledged + outcome.refused.size());
        }

        // A file refused whole sends nothing at all.
        const std::set<wxString> planned =
            executed ? std::set<wxString>(plan.toSend.begin(), plan.toSend.end()) : std::set<wxString>();
        for (const std::string& setting : SettingsOnTheWire(scanner))
            EXPECT_EQ(1u, planned.count(wxString::FromUTF8(setting))) << "sent but not planned: " << setting;
        const Values after = ReadValues();
        m_scanner->Scanner().TakeHeardFrames();
        for (const auto& [name, value] : after) {
            const auto before = scanner.find(name);
            if (before != scanner.end() && before->second != value) {
                EXPECT_EQ(1u, planned.count(name + value)) << name << " became " << value << " without a plan for it";
            }
        }
        // The second run: what is left to send is what the scanner refused, and a
        // refused file is refused again for the same settings.
        const CSaveCfg::SFileComparison second = Plan(after);
        const std::set<wxString> refusedByScanner(outcome.refused.begin(), outcome.refused.end());
        for (const wxString& text : second.toSend) {
            EXPECT_TRUE(!executed || refusedByScanner.count(text.Left(6))) << "still to send after the run: " << text;
        }
        if (!executed) {
            EXPECT_EQ(plan.toSend, second.toSend);
        }
        EXPECT_EQ(Names(plan.refused), Names(second.refused));
        EXPECT_EQ(plan.otherModel, second.otherModel);
        scanner = after;
    }
    std::string summary = std::to_string(files) + " files, seed " + std::to_string(seed);
    for (const auto& [what, count] : tally)
        summary += "; " + what + " " + std::to_string(count);
    RecordProperty("tally", summary);
    std::printf("%s\n", summary.c_str());
}

// A scanner that goes away at some point of a run: what the report counts is true.
// Acknowledged settings were taken; the rest may or may not have been, but never more
// than were sent.
TEST_F(FilePlanPropertyTest, AScannerGoneMidRunLeavesTrueCounts)
{
    const unsigned seed = EnvironmentNumber("VOSTREL_PLAN_SEED", 39);
    std::mt19937 random(seed);
    for (int run = 0; run < 8 && !HasFailure(); ++run) {
        const Values before = ReadValues();
        std::string commands;
        size_t made = 0;
        for (const auto& [name, value] : before) {
            const std::string held = value.utf8_string();
            if (name.EndsWith("ENA") && (held == "0" || held == "1")) {
                commands += " <Command CommandName=\"" + name.utf8_string() + "\" Value=\"" + (held == "0" ? "1" : "0") + "\"/>\n";
                ++made;
            }
        }
        ASSERT_GT(made, 20u);
        m_dir.Write("f.xml", "<Vostrel DeviceType=\"HBS-HI880\">\n" + commands + "</Vostrel>\n");
        ASSERT_TRUE(m_engine.LoadFileForSending(m_dir.File("f.xml")));
        const CSaveCfg::SFileComparison plan = Plan(before);
        ASSERT_EQ(made, plan.toSend.size());

        // The first settings go out on a healthy line; then the scanner hangs up after a
        // random number of bytes of its next reply, and the rest is one run to report.
        const size_t healthy = std::uniform_int_distribution<size_t>(0, made - 1)(random);
        const std::vector<wxString> first(plan.toSend.begin(), plan.toSend.begin() + static_cast<std::ptrdiff_t>(healthy));
        const std::vector<wxString> rest(plan.toSend.begin() + static_cast<std::ptrdiff_t>(healthy), plan.toSend.end());
        const size_t acknowledgedFirst = first.empty() ? 0 : m_engine.SendPlanned(first).acknowledged;
        ASSERT_EQ(healthy, acknowledgedFirst);
        SSimFaultPlan hangUp;
        const std::string fault = "disconnect:" + std::to_string(std::uniform_int_distribution<int>(0, 60)(random));
        ASSERT_TRUE(hangUp.Add(fault));
        m_scanner->Scanner().Faults().Set(hangUp);
        const CSaveCfg::SSendOutcome outcome = m_engine.SendPlanned(rest);
        SCOPED_TRACE(fault + " after " + std::to_string(healthy) + " settings");
        EXPECT_EQ(rest.size(), outcome.acknowledged + outcome.refused.size() + outcome.notReached);
        EXPECT_TRUE(outcome.refused.empty());

        m_scanner->Scanner().Faults().Clear();
        CHBDataStreamMnt::GetInstance().CloseDevice(0);
        m_scanner->Stop();
        ASSERT_NE(0u, m_scanner->Start());
        ASSERT_TRUE(CHBDataStreamMnt::GetInstance().OpenDevice(m_entry));
        const Values after = ReadValues();
        size_t taken = 0;
        for (const auto& [name, value] : after)
            taken += before.count(name) && before.at(name) != value;
        taken -= std::min(taken, healthy);
        EXPECT_LE(outcome.acknowledged, taken);
        EXPECT_LE(taken, outcome.acknowledged + outcome.notReached);
    }
}

}  // namespace
