#pragma once
// The tokens of a dealer script: words (keywords, names, shapes such as
// "5xxx", cards such as "9S" and holdings such as "SAQ5"), numbers, strings,
// the "\n" of printes and the operators, each with where it starts.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

struct SourcePos {
    int Line = 1;
    int Column = 1;
};

// A fault in a script: where it is and what is wrong there.
class ScriptError : public std::runtime_error {
  public:
    ScriptError(SourcePos pos, const std::string& message) : std::runtime_error(message), Pos(pos) {}
    SourcePos Pos;
};

enum class TokenKind : std::uint8_t {
    End,
    Number,
    Word,
    String,
    NewlineMark, // the bare \n of printes
    LParen,
    RParen,
    Comma,
    Plus,
    Minus,
    Star,
    Slash,
    Percent,
    Question,
    Colon,
    Bang,
    AndAnd,
    OrOr,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Assign
};

struct Token {
    TokenKind Kind = TokenKind::End;
    std::string Text;       // as written; a string's contents without quotes
    std::int64_t Value = 0; // of a number
    SourcePos Pos;
};

// The largest number a script may write.
inline constexpr std::int64_t LargestNumber = 2147483647;

// Splits a whole script into tokens, the last one End. Throws ScriptError
// on a character no token starts with, an unclosed string or comment, or a
// number past LargestNumber.
std::vector<Token> Tokenize(std::string_view text);

// How a token kind is named in messages: "')'", "a number", "the end of the script".
std::string DescribeKind(TokenKind kind);
// How a token found is named in messages: "'foo'", "the number 12", ...
std::string DescribeToken(const Token& token);

} // namespace zelv
