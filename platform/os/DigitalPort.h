#pragma once
#include <cstdint>
#include <memory>

// A digital output board: eight output lines written as one byte at a
// numbered port. The station ships without board access, so the board in use
// is "no board" unless a test (or a future driver) installs another.
namespace digitalport {

class Board {
public:
    virtual ~Board() = default;
    // Whether a board answers at the port.
    virtual bool isThere(int16_t iPort) = 0;
    // The byte the board's outputs hold now.
    virtual uint8_t readOut(int16_t iPort) = 0;
    virtual void writeOut(int16_t iPort, uint8_t iByte) = 0;
};

// The board in use.
Board& board();
// Installs a board; nullptr goes back to "no board".
void setBoard(std::unique_ptr<Board> iBoard);

}
