// A fixture base for tests of the core: every singleton the core keeps is dropped
// after each test, so that no test sees what an earlier one left behind.
#pragma once

#include "AppContext.h"
#include "AppSettings.h"
#include "CmdGetRangeLenMnt.h"
#include "ControlFactory.h"
#include "DeviceCmdNameMntXmlInfo.h"
#include "DeviceMnt.h"
#include "HBDataStreamMnt.h"
#include "LanguageXmlInfo.h"
#include "PageMntXmlInfo.h"
#include "PendingChangeList.h"
#include "SaveCfg.h"
#include "hbds.h"

#include <gtest/gtest.h>

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
};
