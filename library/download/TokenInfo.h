#pragma once

#include <cstdint>
#include <string>

// The most characters a repeated class token may take.
inline constexpr int32_t RepeatUnbounded = 9999999;

// One compiled token of a header pattern: a literal, or a run of characters of a class.
struct TokenInfo {
    // Class token: 1 when the class is negated ("~"). Literal: 1 when compared without regard to case ("{...}").
    uint8_t modifier = 0;
    uint8_t isLiteral = 0;
    uint8_t groupEnd = 0;  // the last alternative of a group
    uint8_t inGroup = 0;   // every alternative of a group
    int32_t minCount = 0;  // class token: fewest characters (0 or 1); literal: 0
    int32_t maxCount = 0;  // class token: 1 or RepeatUnbounded; literal: 0
    std::string text;      // the literal's text, or the class's character set
};
