#pragma once
// Patterns as a planner writes them: letter case does not count, `*` stands for any run of
// characters (none too), `?` for exactly one; every other character for itself. Texts are in the
// module's 8-bit code page (Windows-1250), one byte a character, so the pattern is compared byte
// by byte after both sides are folded to lower case.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lower-case form of a Windows-1250 character (Á -> á, Ő -> ő, Ž -> ž; others unchanged).
uint8_t FoldCp1250(uint8_t c);
std::string FoldedCp1250(std::string_view text);

class WildcardPattern {
public:
    // Matches the empty text only.
    WildcardPattern() = default;
    explicit WildcardPattern(std::string_view pattern) { AppendPattern(pattern); }

    // `*` and `?` in `pattern` are wildcards; in `literal` they stand for themselves.
    void AppendPattern(std::string_view pattern);
    void AppendLiteral(std::string_view literal);

    bool Matches(std::string_view text) const;
    // For a text already folded (FoldedCp1250): no second fold.
    bool MatchesFolded(std::string_view folded) const;
    // Without wildcards the pattern matches one folded text only, this one.
    bool IsLiteral() const { return wildcards_ == 0; }
    const std::string& Folded() const { return units_; }

private:
    enum Unit : uint8_t { Char = 0, Any = 1, Run = 2 };
    template <typename Fold> bool Match(std::string_view text, Fold fold) const;

    std::string units_;          // folded characters; for wildcards the `*` or `?` itself
    std::vector<uint8_t> kinds_; // Unit per position
    size_t wildcards_ = 0;
};
