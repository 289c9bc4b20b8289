#include "core/conditions/EngineBridge.h"

#include "core/analysis/DoubleDummy.h"
#include "core/analysis/PbnAnalysis.h"
#include "core/dealing/DealEngine.h"
#include "core/dealing/SecureDealer.h"
#include "core/formats/Board.h"
#include "core/formats/DealFiles.h"

namespace zelv {

namespace {

// Dealer's seat order (N, E, S, W) to the engine's seat index.
constexpr std::array<int, 4> EngineSeat = {North, East, South, West};

std::array<CardMask, 4> ToEngine(const Hands& hands) {
    std::array<CardMask, 4> out{};
    for (std::size_t s = 0; s < 4; ++s) out[static_cast<std::size_t>(EngineSeat[s])] = hands[s];
    return out;
}

} // namespace

std::string HoldingLetters(unsigned holding) {
    std::string out = HighLetters[holding & 127u].Text;
    out += LowLetters[holding >> 7].Text;
    return out;
}

CardSet PickFromPack(std::uint64_t positions, CardSet pack) { return ScatterOnPack(positions, pack); }

std::unique_ptr<SecureStream> SecureStream::Open(std::string* error) {
    SecureKey key;
    if (!SecureRandom::SystemKey(key, error)) return nullptr;
    return std::unique_ptr<SecureStream>(new SecureStream(std::make_unique<SecureRandom>(key)));
}

SecureStream::SecureStream(std::unique_ptr<SecureRandom> random) : random_(std::move(random)) {}
SecureStream::~SecureStream() = default;
unsigned SecureStream::Below(unsigned n) { return random_->SmallBelow(n); }

bool SolveTricks(const Hands& hands, std::array<std::array<int, 5>, 4>& tricks, std::string* error) {
    Board board;
    board.Hands = {ToEngine(hands)};
    BoardAnalysis result;
    if (!AnalyseBatch(&board, 1, &result, error)) return false;
    for (std::size_t s = 0; s < 4; ++s)
        for (std::size_t strain = 0; strain < 5; ++strain)
            tricks[s][strain] = result.Tricks[static_cast<std::size_t>(EngineSeat[s])][strain];
    return true;
}

BoardSetWriter::BoardSetWriter() : files_(std::make_unique<DealFiles>()) {}
BoardSetWriter::~BoardSetWriter() = default;

bool BoardSetWriter::Open(const Choice& choice, std::string* error) {
    DealFileChoice files;
    files.Pbn = choice.Pbn;
    files.Dup = choice.Dup;
    files.Dlm = choice.Dlm;
    if (choice.Pbn && choice.DoubleDummy) {
        analysis_ = std::make_unique<PbnAnalysis>(choice.Code + ".PBN");
        files.PbnTags = analysis_.get();
    }
    return files_->OpenDealFiles(choice.Folder, choice.Code, files, error);
}

void BoardSetWriter::Write(const Hands& hands) {
    const std::array<CardMask, 4> engine = ToEngine(hands);
    DisplayTable display;
    RenderHands(engine.data(), display);
    files_->WriteBoard(engine.data(), display);
}

bool BoardSetWriter::Close(std::string* error) { return files_->CloseDealFiles(error); }
void BoardSetWriter::Abandon() { files_->Abandon(); }
std::string BoardSetWriter::BoardPath() const { return files_->BoardPath(); }

} // namespace zelv
