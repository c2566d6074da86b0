// The digital outputs: the start-up report of a configured port without a
// board, and the output byte a board receives.
#include "audio/modDigitalIO.h"
#include "common/modVarSystemParams.h"
#include "tests/support/FakeDigitalPort.h"
#include "tests/support/StationTest.h"

namespace {
class DigitalIO : public StationTest {
protected:
    void TearDown() override {
        endOfScript();
        digitalport::setBoard(nullptr);
        StationTest::TearDown();
    }
    // Every line set and cleared once, as a unit test and a failed unit do.
    void workTheLines() {
        gDigSetTestInProgress(error);
        gDigSetFail(error);
        gDigSetNotFail(error);
        gDigSetNotTestInProgress(error);
    }
    bool error = false;
};
}

TEST_F(DigitalIO, AConfiguredPortWithoutABoardIsReportedOnceAndTestsRunOn) {
    gnDigPort = 1;
    answer({vbOK});
    gDigInit(error);
    EXPECT_FALSE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("Digital I/O not found on port 1"));
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Initialising Digital I/O"));
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(boxes()[0].answers, QList<int>{vbOK});

    workTheLines();
    EXPECT_FALSE(gbDigTestInProgressSet(error));
    EXPECT_FALSE(error);
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(DigitalIO, PortZeroShowsNothingAndTheDefaultBoardIsNeverFound) {
    gnDigPort = 0;
    gDigInit(error);
    workTheLines();
    EXPECT_FALSE(gbDigThere);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbOK});
    gDigShowErrorMessage(0, QStringLiteral("Setup"), error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("No address set for Digital I/O board"));
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Setup"));
}

TEST_F(DigitalIO, ABoardGetsBothLinesWithoutOneClearingTheOther) {
    fakeport::Record board;
    fakeport::install(2, board);
    gnDigPort = 2;
    gDigInit(error);
    EXPECT_TRUE(gbDigThere);
    EXPECT_TRUE(boxes().isEmpty());

    gDigSetFail(error);
    EXPECT_FALSE(gbDigTestInProgressSet(error));
    gDigSetTestInProgress(error);
    EXPECT_TRUE(gbDigTestInProgressSet(error));
    gDigSetNotFail(error);
    gDigSetNotTestInProgress(error);
    EXPECT_FALSE(gbDigTestInProgressSet(error));
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{4, 12, 8, 0}));

    gDigSetTestInProgress(error);
    gDigSetTestInProgress(error);   // setting a set line changes nothing
    EXPECT_EQ(board.out, 8);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}
