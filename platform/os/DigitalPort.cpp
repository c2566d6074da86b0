#include "platform/os/DigitalPort.h"

namespace digitalport {
namespace {
// Never found; reads nothing and writes nowhere.
class NoBoard : public Board {
public:
    bool isThere(int16_t) override { return false; }
    uint8_t readOut(int16_t) override { return 0; }
    void writeOut(int16_t, uint8_t) override {}
};

std::unique_ptr<Board>& current() {
    static std::unique_ptr<Board> b = std::make_unique<NoBoard>();
    return b;
}
}

Board& board() { return *current(); }

void setBoard(std::unique_ptr<Board> iBoard) {
    current() = iBoard ? std::move(iBoard) : std::make_unique<NoBoard>();
}

}
