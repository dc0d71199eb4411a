// The frame the group controls lay their buttons out in, and the value each button
// stands for.
#pragma once

#include <wx/window.h>

#include <cstdint>

// Inside the frame's client area, which already leaves room for its border.
constexpr int32_t kGroupFrameTop = 4;
constexpr int32_t kGroupFrameMargin = 10;

// Each button keeps the value it sends as its client data.
inline int32_t GroupButtonValue(const wxWindow& button)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(button.GetClientData()));
}
