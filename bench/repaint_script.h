// The scripted input of the repaint measurement: pointer moves over the
// shipped menu (two document buttons and the close box) and focus keys. Both
// the measurement on the interaction logic and the one on the real window
// play this same list.
#pragma once

#include "autorun/interaction.h"

#include <cstddef>

enum class ScriptStep { Move, Key, Char };

struct ScriptEvent {
    ScriptStep step;
    int x;  // Move: client point; Key: virtual key; Char: character
    int y;
};

constexpr ScriptEvent RepaintScript[] = {
    {ScriptStep::Move, 10, 10},    // background
    {ScriptStep::Move, 100, 180},  // onto the first document button
    {ScriptStep::Move, 120, 190},  // within it
    {ScriptStep::Move, 100, 230},  // straight onto the second one
    {ScriptStep::Move, 300, 300},  // background
    {ScriptStep::Move, 590, 10},   // close box
    {ScriptStep::Move, 300, 300},
    {ScriptStep::Key, static_cast<int>(VkRight), 0},
    {ScriptStep::Key, static_cast<int>(VkRight), 0},
    {ScriptStep::Char, static_cast<int>(CharTab), 0},
    {ScriptStep::Key, static_cast<int>(VkLeft), 0},
    {ScriptStep::Move, 100, 230},  // hover where the focus is
    {ScriptStep::Key, static_cast<int>(VkDown), 0},
    {ScriptStep::Char, 'x', 0},  // no focus key
    {ScriptStep::Key, 0x41, 0},  // the A key: nothing
    {ScriptStep::Move, 100, 180},
    {ScriptStep::Move, 101, 181},
    {ScriptStep::Key, static_cast<int>(VkUp), 0},
    {ScriptStep::Move, 599, 449},  // last client pixel, background
    {ScriptStep::Move, 584, 5},    // first pixel of the close box
    {ScriptStep::Move, 595, 16},   // just outside it
};

constexpr std::size_t RepaintScriptLength = sizeof(RepaintScript) / sizeof(RepaintScript[0]);
