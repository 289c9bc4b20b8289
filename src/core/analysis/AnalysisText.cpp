#include "core/analysis/AnalysisText.h"

namespace zelv {

namespace {

constexpr const char* Letters[StrainCount] = {"NT", "S", "H", "D", "C"};
constexpr const char* Signs[StrainCount] = {"NT", "\u2660", "\u2665", "\u2666", "\u2663"};
// Declarers in the order of the table's rows, by seat index.
constexpr char RowLetters[4] = {'N', 'S', 'E', 'W'};

std::string Signed(int score) { return score > 0 ? "+" + std::to_string(score) : std::to_string(score); }

} // namespace

std::string StrainText(int strain, StrainStyle style) {
    if (strain < 0 || strain >= StrainCount) return "?";
    return style == StrainStyle::Signs ? Signs[strain] : Letters[strain];
}

std::string ContractText(const ParContract& c, StrainStyle style) {
    std::string text = std::to_string(c.Level) + StrainText(c.Denomination, style);
    if (c.Doubled) text += 'x';
    if (c.Result != 0) text += c.Result > 0 ? "+" + std::to_string(c.Result) : std::to_string(c.Result);
    return text;
}

std::string ParText(const ParResult& par, StrainStyle style) {
    if (!par.Error.empty()) return "par not computed: " + par.Error;
    if (par.Contracts.empty()) return "0: passed out";
    std::string text = Signed(par.Score) + ":";
    for (std::size_t i = 0; i < par.Contracts.size(); ++i)
        text += (i ? ", " : " ") + ContractText(par.Contracts[i], style) + " by " + par.Contracts[i].Declarers;
    return text;
}

std::string ParLine(const ParResult& par, StrainStyle style) {
    if (!par.Error.empty()) return "Par not computed: " + par.Error;
    return "Par " + ParText(par, style);
}

std::string AnalysisTextBlock(const BoardAnalysis& analysis, const Board& board) {
    const std::string indent(10, ' ');
    std::string t = indent + "   NT  S  H  D  C\n";
    for (int seat = 0; seat < 4; ++seat) {
        t += indent + RowLetters[seat] + ' ';
        for (int tricks : analysis.Tricks[seat]) {
            const std::string n = std::to_string(tricks);
            t += std::string(3 - n.size(), ' ') + n;
        }
        t += '\n';
    }
    t += indent + ParLine(analysis.Par, StrainStyle::Letters) + "\n";
    t += indent + "HCP";
    for (int seat : {North, South, East, West})
        t += std::string(seat == North ? " " : ", ") + RowLetters[seat] + ' ' +
             std::to_string(HighCardPoints(board.Hands[seat]));
    return t + "\n";
}

std::string PbnAnalysisTags(const BoardAnalysis& analysis) {
    std::string hex, rows;
    for (int seat = 0; seat < 4; ++seat)
        for (int strain = 0; strain < StrainCount; ++strain) {
            const int tricks = analysis.Tricks[seat][static_cast<std::size_t>(strain)];
            hex += "0123456789ABCDEF"[tricks & 15];
            rows += std::string(1, RowLetters[seat]) + " " + Letters[strain] + " " + std::to_string(tricks) + "\r\n";
        }
    const std::string tricks = "[DoubleDummyTricks \"" + hex + "\"]\r\n" +
                               "[OptimumResultTable \"Declarer;Denomination\\2R;Result\\2R\"]\r\n" + rows;
    if (!analysis.Par.Error.empty()) return tricks;
    std::string contract;
    for (const ParContract& c : analysis.Par.Contracts) {
        if (!contract.empty()) contract += ", ";
        contract += c.Declarers + " " + std::to_string(c.Level) + StrainText(c.Denomination, StrainStyle::Letters) +
                    (c.Doubled ? "X" : "");
    }
    if (contract.empty()) contract = "Pass";
    return tricks + "[OptimumScore \"NS " + std::to_string(analysis.Par.Score) + "\"]\r\n" + "[ParContract \"" +
           contract + "\"]\r\n";
}

std::string ParNotComputedNote(const std::string& name, std::uint64_t board, const ParResult& par, bool inPbn) {
    if (par.Error.empty()) return {};
    return name + ": board " + std::to_string(board) + ": " + ParText(par, StrainStyle::Letters) +
           (inPbn ? "; its game has no OptimumScore or ParContract tag" : "");
}

} // namespace zelv
