#include "ControlFactory.h"

namespace {

IControlFactory* g_factory = nullptr;

}  // namespace

void SetControlFactory(IControlFactory* factory)
{
    g_factory = factory;
}

IControlFactory* GetControlFactory()
{
    return g_factory;
}
