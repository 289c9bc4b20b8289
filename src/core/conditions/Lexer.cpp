#include "core/conditions/Lexer.h"

#include <cctype>

namespace zelv {

namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::vector<Token> Run() {
        std::vector<Token> out;
        for (;;) {
            SkipBlanks();
            Token t;
            t.Pos = pos_;
            if (at_ >= text_.size()) {
                out.push_back(t);
                return out;
            }
            ReadToken(t);
            out.push_back(std::move(t));
        }
    }

  private:
    char Peek(std::size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
    void Advance() {
        if (text_[at_] == '\n') {
            ++pos_.Line;
            pos_.Column = 1;
        } else {
            ++pos_.Column;
        }
        ++at_;
    }
    void SkipLine() {
        while (at_ < text_.size() && text_[at_] != '\n') Advance();
    }
    void SkipBlanks() {
        while (at_ < text_.size()) {
            const char c = Peek();
            if (c == '#' || (c == '/' && Peek(1) == '/')) {
                SkipLine();
            } else if (c == '/' && Peek(1) == '*') {
                const SourcePos start = pos_;
                Advance();
                Advance();
                while (at_ < text_.size() && !(Peek() == '*' && Peek(1) == '/')) Advance();
                if (at_ >= text_.size()) throw ScriptError(start, "this comment is never closed with */");
                Advance();
                Advance();
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                Advance();
            } else {
                return;
            }
        }
    }
    void ReadWord(Token& t) {
        bool digits = true;
        while (at_ < text_.size() && IsWordChar(Peek())) {
            digits = digits && std::isdigit(static_cast<unsigned char>(Peek()));
            t.Text += Peek();
            Advance();
        }
        t.Kind = digits ? TokenKind::Number : TokenKind::Word;
        if (!digits) return;
        for (const char c : t.Text) {
            t.Value = t.Value * 10 + (c - '0');
            if (t.Value > LargestNumber)
                throw ScriptError(t.Pos, "the number " + t.Text + " is too large (the largest is " +
                                             std::to_string(LargestNumber) + ")");
        }
    }
    void ReadString(Token& t) {
        Advance();
        while (at_ < text_.size() && Peek() != '"') {
            t.Text += Peek();
            Advance();
        }
        if (at_ >= text_.size()) throw ScriptError(t.Pos, "this string is never closed with \"");
        Advance();
        t.Kind = TokenKind::String;
    }
    // Two-character operators first, then one-character ones.
    bool ReadOperator(Token& t) {
        struct Op {
            const char* text;
            TokenKind kind;
        };
        static constexpr Op ops[] = {
            {"&&", TokenKind::AndAnd},       {"||", TokenKind::OrOr},      {"==", TokenKind::Equal},
            {"!=", TokenKind::NotEqual},     {"<=", TokenKind::LessEqual}, {">=", TokenKind::GreaterEqual},
            {"\\n", TokenKind::NewlineMark}, {"(", TokenKind::LParen},     {")", TokenKind::RParen},
            {",", TokenKind::Comma},         {"+", TokenKind::Plus},       {"-", TokenKind::Minus},
            {"*", TokenKind::Star},          {"/", TokenKind::Slash},      {"%", TokenKind::Percent},
            {"?", TokenKind::Question},      {":", TokenKind::Colon},      {"!", TokenKind::Bang},
            {"<", TokenKind::Less},          {">", TokenKind::Greater},    {"=", TokenKind::Assign}};
        for (const Op& op : ops) {
            const std::string_view s = op.text;
            if (text_.substr(at_, s.size()) != s) continue;
            t.Kind = op.kind;
            t.Text = s;
            for (std::size_t i = 0; i < s.size(); ++i) Advance();
            return true;
        }
        return false;
    }
    void ReadToken(Token& t) {
        const char c = Peek();
        if (IsWordChar(c)) return ReadWord(t);
        if (c == '"') return ReadString(t);
        if (ReadOperator(t)) return;
        std::string shown = std::isprint(static_cast<unsigned char>(c))
                                ? std::string("'") + c + "'"
                                : "byte " + std::to_string(static_cast<unsigned char>(c));
        throw ScriptError(pos_, "unexpected character " + shown);
    }

    std::string_view text_;
    std::size_t at_ = 0;
    SourcePos pos_;
};

} // namespace

std::vector<Token> Tokenize(std::string_view text) { return Scanner(text).Run(); }

std::string DescribeKind(TokenKind kind) {
    switch (kind) {
    case TokenKind::End:
        return "the end of the script";
    case TokenKind::Number:
        return "a number";
    case TokenKind::Word:
        return "a name";
    case TokenKind::String:
        return "a string";
    case TokenKind::NewlineMark:
        return "'\\n'";
    case TokenKind::LParen:
        return "'('";
    case TokenKind::RParen:
        return "')'";
    case TokenKind::Comma:
        return "','";
    case TokenKind::Plus:
        return "'+'";
    case TokenKind::Minus:
        return "'-'";
    case TokenKind::Star:
        return "'*'";
    case TokenKind::Slash:
        return "'/'";
    case TokenKind::Percent:
        return "'%'";
    case TokenKind::Question:
        return "'?'";
    case TokenKind::Colon:
        return "':'";
    case TokenKind::Bang:
        return "'!'";
    case TokenKind::AndAnd:
        return "'&&'";
    case TokenKind::OrOr:
        return "'||'";
    case TokenKind::Equal:
        return "'=='";
    case TokenKind::NotEqual:
        return "'!='";
    case TokenKind::Less:
        return "'<'";
    case TokenKind::LessEqual:
        return "'<='";
    case TokenKind::Greater:
        return "'>'";
    case TokenKind::GreaterEqual:
        return "'>='";
    case TokenKind::Assign:
        return "'='";
    }
    return "a token";
}

std::string DescribeToken(const Token& token) {
    switch (token.Kind) {
    case TokenKind::End:
        return DescribeKind(token.Kind);
    case TokenKind::Number:
        return "the number " + token.Text;
    case TokenKind::String:
        return "the string \"" + token.Text + "\"";
    default:
        return "'" + token.Text + "'";
    }
}

} // namespace zelv
