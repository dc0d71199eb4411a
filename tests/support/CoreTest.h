// A fixture base for tests of the core: every singleton the core keeps is dropped
// after each test, so that no test sees what an earlier one left behind.
#pragma once

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/LanguageXmlInfo.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "hbds/hbds.h"
#include "model/CmdGetRangeLenMnt.h"
#include "model/ControlFactory.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include "LinkFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

// The link goes first so that no exchange outlives the state it reports into; the
// pages go before the change list their settings unregister from.
inline void ResetCoreState()
{
    CHBDataStreamMnt::ResetInstance();
    CPageMntXmlInfo::ResetInstance();
    CPendingChangeList::ResetInstance();
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    CCmdGetRangeLenMnt::ResetInstance();
    CSaveCfg::ResetInstance();
    CDeviceMnt::ResetInstance();
    CLanguageXmlInfo::ResetInstance();
    CAppSettings::ResetInstance();
    CAppContext::ResetInstance();
    SetControlFactory(nullptr);
    hbds_clear_serial_paths();
}

class CCoreTest : public ::testing::Test {
protected:
    void TearDown() override { ResetCoreState(); }

    // Makes the scanner on `path` the open device and the engine online.
    static void GoOnline(const std::string& path)
    {
        ASSERT_NE(nullptr, OpenTestDevice(path, 115200, 150));
        CSaveCfg::GetInstance().SetOnline(true);
    }
};

using Clock = std::chrono::steady_clock;

inline long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
