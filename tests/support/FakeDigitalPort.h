#pragma once
// A digital output board for tests: found at one port, it records every byte
// written and can be made to fail its writes.
#include "platform/os/DigitalPort.h"
#include "platform/vb/VbError.h"
#include <vector>

namespace fakeport {

struct Record {
    std::vector<uint8_t> writes;   // every byte written, in order
    uint8_t out = 0;               // what the outputs hold
    bool failWrites = false;       // a write raises a board error
};

class FakeBoard : public digitalport::Board {
public:
    FakeBoard(int16_t iPort, Record& ioRecord) : mPort(iPort), mRecord(ioRecord) {}
    bool isThere(int16_t iPort) override { return iPort == mPort; }
    uint8_t readOut(int16_t) override { return mRecord.out; }
    void writeOut(int16_t, uint8_t iByte) override {
        if (mRecord.failWrites) vbRaise(vberr::kUserBase + 1, QStringLiteral("Digital I/O write failed"));
        mRecord.writes.push_back(iByte);
        mRecord.out = iByte;
    }

private:
    int16_t mPort;
    Record& mRecord;
};

// Installs a board at iPort that records into ioRecord.
inline void install(int16_t iPort, Record& ioRecord) {
    digitalport::setBoard(std::make_unique<FakeBoard>(iPort, ioRecord));
}

}
