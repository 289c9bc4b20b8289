#include "core/conditions/ActionOutput.h"

#include <cstdio>

namespace zelv {

namespace {

const char* const SeatWords[] = {"North", "East", "South", "West"};

// One suit of a hand as the diagrams print it: "A K 5 " or "- ".
std::string SpacedSuit(CardSet hand, int suit) {
    const std::string letters = HoldingLetters(Holding(hand, suit));
    if (letters.empty()) return "- ";
    std::string out;
    for (const char c : letters) {
        out += c;
        out += ' ';
    }
    return out;
}

std::string Padded(std::string s, std::size_t width = 20) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string Number(const char* format, long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

} // namespace

std::string DottedHand(CardSet hand) {
    std::string out;
    for (int suit = 0; suit < 4; ++suit) {
        if (suit) out += '.';
        out += HoldingLetters(Holding(hand, suit));
    }
    return out;
}

ActionOutput::ActionOutput(const Program& program, OutputInfo info, std::ostream& out)
    : program_(program), script_(program.Source()), info_(std::move(info)), out_(out) {
    program_.Prepare(deal_);
    deal_.DealSeat = [](void*, int, DealState&) {}; // every hand is in place
    sums_.resize(script_.Actions.size());
    counts_.resize(script_.Actions.size());
    for (std::size_t i = 0; i < script_.Actions.size(); ++i) {
        const Action& a = script_.Actions[i];
        if (a.Kind == ActionKind::Print) keepHands_ = true;
        if (a.Kind == ActionKind::Frequency) counts_[i].assign(static_cast<std::size_t>(a.High - a.Low + 3), 0);
        if (a.Kind == ActionKind::Frequency2D)
            counts_[i].assign(static_cast<std::size_t>((a.High - a.Low + 3) * (a.High2 - a.Low2 + 3)), 0);
    }
}

std::int64_t ActionOutput::Value(int expr) {
    const std::int64_t v = program_.Evaluate(expr, deal_);
    if (!deal_.Error.empty() && error_.empty()) {
        error_ = deal_.Error;
        errorPos_ = deal_.ErrorPos;
    }
    return v;
}

bool ActionOutput::OnDeal(const Hands& hands, std::uint64_t produced) {
    produced_ = produced;
    deal_.Clear();
    deal_.Cards = hands;
    deal_.Dealt = 15;
    if (keepHands_) kept_.push_back(hands);
    for (std::size_t i = 0; i < script_.Actions.size() && error_.empty(); ++i) {
        const Action& a = script_.Actions[i];
        switch (a.Kind) {
        case ActionKind::PrintAll:
            PrintAll(hands, produced);
            break;
        case ActionKind::PrintEW:
            PrintEW(hands);
            break;
        case ActionKind::PrintPbn:
            PrintPbn(hands, produced);
            break;
        case ActionKind::PrintCompact:
            PrintCompact(hands, a);
            break;
        case ActionKind::PrintOneLine:
            PrintOneLine(hands, a);
            break;
        case ActionKind::PrintEs:
            PrintEs(a);
            break;
        case ActionKind::Print:
            break;
        default:
            Count(i, a);
            break;
        }
    }
    return error_.empty();
}

void ActionOutput::PrintAll(const Hands& h, std::uint64_t n) {
    out_ << Number("%4lld.", static_cast<long long>(n)) << "\n";
    for (int suit = 0; suit < 4; ++suit) {
        for (int seat = 0; seat < 3; ++seat) out_ << Padded(SpacedSuit(h[static_cast<std::size_t>(seat)], suit));
        out_ << SpacedSuit(h[3], suit) << "\n";
    }
    out_ << "\n";
}

void ActionOutput::PrintEW(const Hands& h) {
    for (int suit = 0; suit < 4; ++suit) out_ << Padded(SpacedSuit(h[3], suit)) << SpacedSuit(h[1], suit) << "\n";
    out_ << "\n";
}

void ActionOutput::PrintPbn(const Hands& h, std::uint64_t n) {
    static const char* const vul[] = {"None", "NS", "EW", "All"};
    out_ << "[Event \"Hand simulated by dealer with file " << info_.FileName << ", seed " << info_.SeedText
         << "\"]\n[Site \"-\"]\n[Date \"" << info_.Date << "\"]\n[Board \"" << n
         << "\"]\n[West \"-\"]\n[North \"-\"]\n[East \"-\"]\n[South \"-\"]\n[Dealer \""
         << "NESW"[script_.Dealer] << "\"]\n[Vulnerable \"" << vul[static_cast<int>(script_.Vulnerable)]
         << "\"]\n[Deal \"N:" << DottedHand(h[0]) << ' ' << DottedHand(h[1]) << ' ' << DottedHand(h[2]) << ' '
         << DottedHand(h[3]) << "\"]\n[Declarer \"?\"]\n[Contract \"?\"]\n[Result \"?\"]\n\n";
}

void ActionOutput::PrintCompact(const Hands& h, const Action& a) {
    for (int seat = 0; seat < 4; ++seat) {
        out_ << "nesw"[seat] << ' ' << DottedHand(h[static_cast<std::size_t>(seat)]);
        if (seat == 3 && a.Expr >= 0) out_ << ' ' << Value(a.Expr);
        out_ << "\n";
    }
}

void ActionOutput::PrintOneLine(const Hands& h, const Action& a) {
    for (int seat = 0; seat < 4; ++seat)
        out_ << "nesw"[seat] << ' ' << DottedHand(h[static_cast<std::size_t>(seat)]) << ' ';
    if (a.Expr >= 0) out_ << Value(a.Expr);
    out_ << "\n";
}

void ActionOutput::PrintEs(const Action& a) {
    for (const PrintItem& item : a.Items) {
        if (item.Expr < 0)
            out_ << item.Text;
        else
            out_ << Value(item.Expr);
    }
}

void ActionOutput::Count(std::size_t index, const Action& a) {
    const std::int64_t v = Value(a.Expr);
    if (a.Kind == ActionKind::Average) {
        sums_[index] += static_cast<double>(v);
        return;
    }
    // Row 0 counts values below the range, the last row those above it.
    auto row = [](std::int64_t x, std::int64_t low, std::int64_t high) {
        return static_cast<std::size_t>(x < low ? 0 : x > high ? high - low + 2 : x - low + 1);
    };
    std::size_t cell = row(v, a.Low, a.High);
    if (a.Kind == ActionKind::Frequency2D)
        cell = cell * static_cast<std::size_t>(a.High2 - a.Low2 + 3) + row(Value(a.Expr2), a.Low2, a.High2);
    ++counts_[index][cell];
}

void ActionOutput::Finish() {
    for (std::size_t i = 0; i < script_.Actions.size(); ++i) {
        const Action& a = script_.Actions[i];
        if (a.Kind == ActionKind::Print)
            PrintPages(a);
        else if (a.Kind == ActionKind::Average)
            PrintAverage(i, a);
        else if (a.Kind == ActionKind::Frequency)
            PrintFrequency(i, a);
        else if (a.Kind == ActionKind::Frequency2D)
            PrintFrequency2D(i, a);
    }
}

void ActionOutput::PrintPages(const Action& a) {
    for (const int seat : a.Seats) {
        out_ << "\n\n" << SeatWords[seat] << " hands:\n\n\n\n";
        for (std::size_t first = 0; first < kept_.size(); first += 4) {
            const std::size_t last = std::min(kept_.size(), first + 4);
            for (std::size_t k = first; k < last; ++k) out_ << Padded(Number("%4lld.", static_cast<long long>(k + 1)));
            out_ << "\n";
            for (int suit = 0; suit < 4; ++suit) {
                for (std::size_t k = first; k < last; ++k) {
                    const std::string s = SpacedSuit(kept_[k][static_cast<std::size_t>(seat)], suit);
                    out_ << (k + 1 < last ? Padded(s) : s);
                }
                out_ << "\n";
            }
            out_ << "\n";
        }
        out_ << "\f";
    }
}

void ActionOutput::PrintAverage(std::size_t index, const Action& a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", sums_[index] / static_cast<double>(produced_));
    if (!a.Label.empty()) out_ << a.Label << ": ";
    out_ << buf << "\n";
}

void ActionOutput::PrintFrequency(std::size_t index, const Action& a) {
    const std::vector<std::uint64_t>& c = counts_[index];
    out_ << "Frequency " << a.Label << ":\n";
    if (c.front()) out_ << "Low\t" << Number("%8lld", static_cast<long long>(c.front())) << "\n";
    for (std::int64_t v = a.Low; v <= a.High; ++v)
        out_ << Number("%5lld", v) << "\t"
             << Number("%8lld", static_cast<long long>(c[static_cast<std::size_t>(v - a.Low + 1)])) << "\n";
    if (c.back()) out_ << "High\t" << Number("%8lld", static_cast<long long>(c.back())) << "\n";
}

void ActionOutput::PrintFrequency2D(std::size_t index, const Action& a) {
    const std::vector<std::uint64_t>& c = counts_[index];
    const auto rows = static_cast<std::size_t>(a.High - a.Low + 3),
               cols = static_cast<std::size_t>(a.High2 - a.Low2 + 3);
    auto label = [](std::size_t i, std::size_t n, std::int64_t low, const char* format) {
        return i == 0       ? std::string(format[1] == '4' ? "Low " : "    Low")
               : i + 1 == n ? std::string(format[1] == '4' ? "High" : "   High")
                            : Number(format, low + static_cast<std::int64_t>(i) - 1);
    };
    out_ << "Frequency " << a.Label << ":\n    ";
    for (std::size_t j = 0; j < cols; ++j) out_ << label(j, cols, a.Low2, "%7lld");
    out_ << "    Sum\n";
    std::vector<std::uint64_t> colSums(cols, 0);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        std::uint64_t rowSum = 0;
        out_ << label(i, rows, a.Low, "%4lld");
        for (std::size_t j = 0; j < cols; ++j) {
            const std::uint64_t v = c[i * cols + j];
            out_ << Number("%7lld", static_cast<long long>(v));
            rowSum += v;
            colSums[j] += v;
        }
        total += rowSum;
        out_ << Number("%7lld", static_cast<long long>(rowSum)) << "\n";
    }
    out_ << "Sum ";
    for (const std::uint64_t v : colSums) out_ << Number("%7lld", static_cast<long long>(v));
    out_ << Number("%7lld", static_cast<long long>(total)) << "\n\n";
}

} // namespace zelv
