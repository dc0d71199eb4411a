#include "SettingsEngine.h"

namespace {

ISettingsEngine* g_engine = nullptr;

}  // namespace

void SetSettingsEngine(ISettingsEngine* engine)
{
    g_engine = engine;
}

ISettingsEngine* GetSettingsEngine()
{
    return g_engine;
}
