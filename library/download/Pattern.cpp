#include "library/download/Pattern.h"

#include "library/download/AsciiCase.h"

#include <climits>

namespace {

constexpr char WhiteChars[] = " \t\n\v\f\r";

enum class ClassIndex { Begin, Str, Sth, Num, White };

bool IsWhite(char c)
{
    return c != '\0' && std::string_view(WhiteChars).find(c) != std::string_view::npos;
}

} // namespace

Pattern::Pattern()
{
    classNames = {"begin", "str", "sth", "num", "white"};
    classChars = {
        "",
        "_$0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
        "_-$.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
        "0123456789",
        WhiteChars,
    };
}

int Pattern::FindClass(std::string_view text) const
{
    for (size_t i = 0; i < classNames.size(); ++i) {
        if (text.substr(0, classNames[i].size()) == classNames[i])
            return static_cast<int>(i);
    }
    return -1;
}

bool Pattern::Compile(std::string_view text)
{
    tokens.clear();
    captureStartToken = -1;
    captureEndToken = -1;
    bool inGroup = false;
    bool expectingAlternative = false;  // right after "(" or "|": one item may follow

    while (!text.empty()) {
        while (!text.empty() && IsWhite(text.front()))
            text.remove_prefix(1);
        if (text.empty())
            return false;  // a pattern that ends in white space
        const char c = text.front();
        const bool itemAllowed = !inGroup || expectingAlternative;
        TokenInfo token;
        token.inGroup = inGroup ? 1 : 0;
        switch (c) {
        case '#':
            if (inGroup)
                return false;
            captureEndToken = static_cast<int>(tokens.size());
            if (captureStartToken == -1)
                captureStartToken = captureEndToken;
            text.remove_prefix(1);
            continue;
        case '(':
            if (inGroup)
                return false;
            inGroup = true;
            expectingAlternative = true;
            text.remove_prefix(1);
            continue;
        case ')':
            if (!inGroup || tokens.empty())
                return false;
            inGroup = false;
            tokens.back().groupEnd = 1;
            text.remove_prefix(1);
            continue;
        case '|':
            if (!inGroup)
                return false;
            expectingAlternative = true;
            text.remove_prefix(1);
            continue;
        case '&':
        case '~': {
            if (!itemAllowed)
                return false;
            const int classIndex = FindClass(text.substr(1));
            if (classIndex < 0)
                return false;
            text.remove_prefix(1 + classNames[classIndex].size());
            token.modifier = c == '~' ? 1 : 0;
            token.minCount = 1;
            token.maxCount = 1;
            token.text = classChars[classIndex];
            // Whatever follows the name is its repetition mark; "*" also allows none.
            if (!text.empty()) {
                if (text.front() == '*')
                    token.minCount = 0;
                token.maxCount = RepeatUnbounded;
                text.remove_prefix(1);
            }
            break;
        }
        case '[':
        case '{': {
            if (!itemAllowed)
                return false;
            const size_t close = text.find(c == '[' ? ']' : '}');
            if (close == std::string_view::npos)
                return false;
            token.modifier = c == '{' ? 1 : 0;
            token.isLiteral = 1;
            token.text = std::string(text.substr(1, close - 1));
            text.remove_prefix(close + 1);
            break;
        }
        case '`':
            if (!itemAllowed)
                return false;
            token.minCount = 0;
            token.maxCount = RepeatUnbounded;
            token.text = classChars[static_cast<int>(ClassIndex::White)];
            text.remove_prefix(1);
            break;
        default:
            return false;
        }
        tokens.push_back(std::move(token));
        expectingAlternative = false;
    }
    return !tokens.empty();
}

bool Pattern::MatchClass(const TokenInfo& token, std::string_view subject)
{
    int count = 0;
    size_t position = static_cast<size_t>(cursor);
    while (count < token.maxCount && position < subject.size()) {
        const bool inSet = token.text.find(subject[position]) != std::string::npos;
        if (inSet == (token.modifier != 0))
            break;
        ++count;
        ++position;
    }
    if (count < token.minCount)
        return false;
    cursor += count;
    return true;
}

bool Pattern::MatchLiteral(const TokenInfo& token, std::string_view subject)
{
    const std::string_view here = subject.substr(static_cast<size_t>(cursor), token.text.size());
    const bool equal = token.modifier ? EqualsIgnoringAsciiCase(here, token.text) : here == token.text;
    if (!equal)
        return false;
    cursor += static_cast<int>(token.text.size());
    return true;
}

bool Pattern::WalkFrom(std::string_view subject, size_t firstToken, int& startPosition, int& endPosition)
{
    size_t k = firstToken;
    while (k < tokens.size()) {
        const TokenInfo& token = tokens[k];
        if (static_cast<int>(k) == captureStartToken)
            startPosition = cursor;
        else if (static_cast<int>(k) == captureEndToken)
            endPosition = cursor;
        const bool matched = token.isLiteral ? MatchLiteral(token, subject) : MatchClass(token, subject);
        const bool openAlternative = token.inGroup && !token.groupEnd;
        if (matched) {
            if (openAlternative) {
                while (k < tokens.size() && !tokens[k].groupEnd)
                    ++k;
                if (k == tokens.size())
                    break;  // a group that was never closed: the walk ends here, matched
            }
            ++k;
            continue;
        }
        if (!openAlternative)
            return false;
        ++k;
        if (k == tokens.size())
            return false;  // the last alternative of a group that was never closed failed
    }
    if (captureEndToken == static_cast<int>(tokens.size()))
        endPosition = cursor;
    return true;
}

bool Pattern::Match(std::string_view subject, std::string_view pattern, std::string* out)
{
    if (!Compile(pattern))
        return false;
    // Positions are ints; header text is capped far below that, and longer subjects are cut.
    if (subject.size() > static_cast<size_t>(INT_MAX))
        subject = subject.substr(0, static_cast<size_t>(INT_MAX));
    const TokenInfo& first = tokens.front();
    const bool anchored = !first.isLiteral && first.text.empty();
    const size_t lastStart = anchored ? 1 : subject.size();
    for (size_t start = 0; start < lastStart && start < subject.size(); ++start) {
        cursor = static_cast<int>(start);
        int startPosition = 0;
        int endPosition = 0;
        if (!WalkFrom(subject, anchored ? 1 : 0, startPosition, endPosition))
            continue;
        if (out) {
            if (endPosition <= startPosition)
                out->clear();
            else
                *out = std::string(subject.substr(static_cast<size_t>(startPosition),
                                                  static_cast<size_t>(endPosition - startPosition)));
        }
        return true;
    }
    return false;
}
