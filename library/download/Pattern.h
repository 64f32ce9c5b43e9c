#pragma once

#include "library/download/TokenInfo.h"

#include <string>
#include <string_view>
#include <vector>

// A small matcher for HTTP response header text, with a pattern language of the program's own:
//   {text} caseless literal, [text] exact literal, &class run, ~class run of other characters,
//   ` optional white space, (a | b | c) one of single items, # capture mark.
// Class runs are greedy and never backtrack. Works on bytes: letter case folds for ASCII only, so the
// result does not depend on the locale.
class Pattern {
public:
    Pattern();

    // Replaces the tokens; true when the text is valid and yields at least one token.
    bool Compile(std::string_view pattern);

    // Compiles the pattern and searches the subject; on a match, out (when given) receives the text
    // between the two capture marks. Without a match out is left as it was.
    bool Match(std::string_view subject, std::string_view pattern, std::string* out);

    // One token at the cursor; the cursor advances on success only.
    bool MatchClass(const TokenInfo& token, std::string_view subject);
    bool MatchLiteral(const TokenInfo& token, std::string_view subject);

    // The class whose name starts the text (the first in table order), or -1.
    int FindClass(std::string_view text) const;

    std::vector<TokenInfo> tokens;
    std::vector<std::string> classNames;
    std::vector<std::string> classChars;
    int cursor = 0;
    int captureStartToken = -1;
    int captureEndToken = -1;

private:
    bool WalkFrom(std::string_view subject, size_t firstToken, int& startPosition, int& endPosition);
};
