#include "autorun/interaction.h"

#include "autorun/command_words.h"

namespace {

// Half-open containment: left <= x < right and top <= y < bottom.
bool Contains(const Rect& rect, std::int32_t x, std::int32_t y)
{
    return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

// Any position outside the list counts as none, so a stale reference can
// never index past the hotspots.
bool IsHotspot(const Hotspots& hotspots, HotspotRef ref)
{
    return ref < hotspots.size();
}

HotspotRef Normalized(const Hotspots& hotspots, HotspotRef ref)
{
    return IsHotspot(hotspots, ref) ? ref : NoHotspot;
}

bool AnyTakesFocus(const Hotspots& hotspots)
{
    for (std::size_t pos = 0; pos < hotspots.size(); ++pos) {
        if (TakesFocus(hotspots, pos)) {
            return true;
        }
    }
    return false;
}

// Steps through the positions 0 .. size, where size stands for none, so that
// a step forward from the last hotspot reaches none and one more wraps to the
// first; backwards the same way round.
HotspotRef StepFocus(const Hotspots& hotspots, HotspotRef from, bool forward)
{
    const std::size_t none = hotspots.size();
    std::size_t pos = IsHotspot(hotspots, from) ? from : none;
    do {
        if (forward) {
            pos = (pos == none) ? 0 : pos + 1;
        } else {
            pos = (pos == 0) ? none : (pos == none ? none - 1 : pos - 1);
        }
    } while (!TakesFocus(hotspots, pos));
    return pos;
}

InputResult ResultOf(InputAction action, HotspotRef hotspot = NoHotspot)
{
    InputResult result;
    result.action = action;
    result.hotspot = hotspot;
    return result;
}

}  // namespace

bool TakesFocus(const Hotspots& hotspots, HotspotRef pos)
{
    return pos < hotspots.size() && ChooseCommand(hotspots[pos].command) != CommandKind::Close;
}

HotspotRef HitTest(const Hotspots& hotspots, std::int32_t x, std::int32_t y)
{
    for (std::size_t pos = 0; pos < hotspots.size(); ++pos) {
        if (Contains(hotspots[pos], x, y)) {
            return pos;
        }
    }
    return NoHotspot;
}

void RepaintHotspotChange(const Hotspots& hotspots, HotspotRef old, HotspotRef now, std::vector<Rect>& repaints)
{
    old = Normalized(hotspots, old);
    now = Normalized(hotspots, now);
    if (old == now) {
        return;
    }
    if (old != NoHotspot) {
        repaints.push_back(hotspots[old]);
    }
    if (now != NoHotspot) {
        repaints.push_back(hotspots[now]);
    }
}

namespace {

void UpdateHoverHotspot(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y,
                        std::vector<Rect>& repaints)
{
    const HotspotRef old = state.HoverHotspot;
    if (state.ButtonPressed && !Contains(state.PressedRect, x, y)) {
        state.HoverHotspot = NoHotspot;
    } else {
        state.HoverHotspot = HitTest(hotspots, x, y);
    }
    RepaintHotspotChange(hotspots, old, state.HoverHotspot, repaints);
}

void SetFocusHotspot(InteractionState& state, const Hotspots& hotspots, HotspotRef ref, std::vector<Rect>& repaints)
{
    const HotspotRef old = state.FocusHotspot;
    state.FocusHotspot = Normalized(hotspots, ref);
    RepaintHotspotChange(hotspots, old, state.FocusHotspot, repaints);
}

void MoveFocus(InteractionState& state, const Hotspots& hotspots, bool forward, std::vector<Rect>& repaints)
{
    // Without an eligible hotspot the walk would never stop: the focus stays
    // where it is and nothing needs repainting.
    if (!AnyTakesFocus(hotspots)) {
        return;
    }
    SetFocusHotspot(state, hotspots, StepFocus(hotspots, state.FocusHotspot, forward), repaints);
}

}  // namespace

void FocusNextHotspot(InteractionState& state, const Hotspots& hotspots, std::vector<Rect>& repaints)
{
    MoveFocus(state, hotspots, true, repaints);
}

void FocusPreviousHotspot(InteractionState& state, const Hotspots& hotspots, std::vector<Rect>& repaints)
{
    MoveFocus(state, hotspots, false, repaints);
}

InputResult ButtonDown(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y)
{
    // A button that goes down was up before: a press still recorded lost its
    // release elsewhere (capture taken by another window) and must not keep
    // every other hotspot from being hit.
    state.ButtonPressed = false;
    state.PressedRect = Rect();
    InputResult result;
    UpdateHoverHotspot(state, hotspots, x, y, result.repaints);
    if (!IsHotspot(hotspots, state.HoverHotspot)) {
        result.action = InputAction::DragWindow;
        return result;
    }
    // A click follows the focus only once the keyboard has shown one.
    if (state.FocusHotspot != NoHotspot) {
        SetFocusHotspot(state, hotspots, state.HoverHotspot, result.repaints);
    }
    state.PressedRect = hotspots[state.HoverHotspot];
    state.ButtonPressed = true;
    result.action = InputAction::Press;
    result.capture = CaptureChange::Take;
    return result;
}

InputResult ButtonUp(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y)
{
    InputResult result;
    // Still with the press held, so a release outside the pressed hotspot
    // hovers nothing and activates nothing.
    UpdateHoverHotspot(state, hotspots, x, y, result.repaints);
    state.PressedRect = Rect();
    state.ButtonPressed = false;
    // Given back whatever took it: a capture held by nobody changes nothing.
    result.capture = CaptureChange::Release;
    if (IsHotspot(hotspots, state.HoverHotspot)) {
        result.action = InputAction::Activate;
        result.hotspot = state.HoverHotspot;
    }
    return result;
}

InputResult PointerMoved(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y, bool active)
{
    InputResult result;
    if (active) {
        UpdateHoverHotspot(state, hotspots, x, y, result.repaints);
    }
    return result;
}

InputResult ActivationChanged(InteractionState& state, const Hotspots& hotspots, bool active)
{
    InputResult result;
    if (!active) {
        UpdateHoverHotspot(state, hotspots, -1, -1, result.repaints);
    }
    // The focus rectangle is drawn only while the window is active.
    if (IsHotspot(hotspots, state.FocusHotspot)) {
        result.repaints.push_back(hotspots[state.FocusHotspot]);
    }
    return result;
}

InputResult KeyDown(InteractionState& state, const Hotspots& hotspots, unsigned virtualKey)
{
    InputResult result;
    switch (virtualKey) {
    case VkLeft:
    case VkUp:
        FocusPreviousHotspot(state, hotspots, result.repaints);
        break;
    case VkRight:
    case VkDown:
        FocusNextHotspot(state, hotspots, result.repaints);
        break;
    default:
        break;
    }
    return result;
}

InputResult CharTyped(InteractionState& state, const Hotspots& hotspots, unsigned character, bool shift)
{
    switch (character) {
    case CharBackspace:
        return ResultOf(InputAction::Back);
    case CharTab: {
        InputResult result;
        if (shift) {
            FocusPreviousHotspot(state, hotspots, result.repaints);
        } else {
            FocusNextHotspot(state, hotspots, result.repaints);
        }
        return result;
    }
    case CharEnter:
    case CharSpace:
        if (IsHotspot(hotspots, state.FocusHotspot)) {
            return ResultOf(InputAction::Activate, state.FocusHotspot);
        }
        return ResultOf(InputAction::Nothing);
    case CharEscape:
        return ResultOf(InputAction::CloseMenuWindow);
    default:
        return ResultOf(InputAction::Nothing);
    }
}

InputResult BackButtonDown(unsigned button)
{
    InputResult result;
    if (button == ExtraButton1) {
        result.capture = CaptureChange::Take;
    }
    return result;
}

InputResult BackButtonUp(unsigned button, std::int32_t x, std::int32_t y, std::int32_t clientWidth,
                         std::int32_t clientHeight)
{
    InputResult result;
    if (button != ExtraButton1) {
        return result;
    }
    result.capture = CaptureChange::Release;
    Rect client;
    client.right = clientWidth;
    client.bottom = clientHeight;
    if (Contains(client, x, y)) {
        result.action = InputAction::Back;
    }
    return result;
}

CursorChoice ChooseCursor(const InteractionState& state, bool busy)
{
    if (busy) {
        return CursorChoice::Busy;
    }
    return state.HoverHotspot != NoHotspot ? CursorChoice::Hand : CursorChoice::Arrow;
}

void ResetHotspotRefs(InteractionState& state)
{
    state.HoverHotspot = NoHotspot;
    state.FocusHotspot = NoHotspot;
}
