#pragma once

#include <cstdint>

// The wizard's states (Document::step). The odd states from 5 on are entries: going forward they run
// their entry actions and the following even state is stored.
inline constexpr int32_t StepStart = 0;
inline constexpr int32_t StepChooseScene = 1;
inline constexpr int32_t StepSceneChosen = 2;
inline constexpr int32_t StepChooseFace = 3;
inline constexpr int32_t StepFaceChosen = 4;
inline constexpr int32_t StepSelectFace = 6;
inline constexpr int32_t StepOutlineFace = 8;
inline constexpr int32_t StepPlaceFace = 10;
inline constexpr int32_t StepAccessories = 12;
inline constexpr int32_t StepBubble = 14;
inline constexpr int32_t StepFinish = 15;
// Accepted like the finish; nothing moves the wizard there.
inline constexpr int32_t StepLastAccepted = 16;

// The entry states lie between these, odd.
inline constexpr int32_t StepFirstEntry = 5;
inline constexpr int32_t StepLastEntry = 13;

inline constexpr bool IsEntryState(int32_t state)
{
    return state >= StepFirstEntry && state <= StepLastEntry && state % 2 == 1;
}
