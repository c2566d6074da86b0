#pragma once
// Builds the station's records in the program folder's database files, as the
// engineer's editors would leave them: sequences with their slots, calibration
// rows, interval and limits; response tests with sweep and limit layers;
// polarity and sine tests; operators. Fields left out keep the schema's
// defaults (a layer left out stays Null: off). Every field has an initialiser
// (`{}` at least), so that a builder naming only some fields warns of nothing.
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace seed {

struct Layer {
    int32_t fLo = 0;
    int32_t fHi = 0;
    int32_t fMLo = 0;         // 0: no hole
    int32_t fMHi = 0;
    int16_t pt = 1;           // block size in sweep points
    float lim = 1.0f;         // dB
};

struct ResponseTest {
    QString name{};
    int32_t fLo = 100;
    int32_t fHi = 10000;
    int16_t points = 40;
    float delay = 0.1f;       // s
    float drive = 1.0f;       // Vrms
    bool active = false;
    bool opDecide = false;
    bool exitOnFail = false;
    std::vector<Layer> layers{}; // layers 1, 2, ... in order
};

struct PolarityTest {
    QString name{};
    bool negative = false;    // the unit is wired the other way round
    bool pulseLF = false;
    float drive = 1.0f;
    bool exitOnFail = false;
};

struct SineTest {
    QString name{};
    int32_t fLo = 1000;
    int32_t fHi = 1000;
    QString sweep = QStringLiteral("No Sweep");
    float duration = 1.0f;    // s
    float delay = 0.1f;
    float drive = 1.0f;
    bool opDecide = true;
    bool opDecideY = true;
    bool pcDecide = false;
    float loLim = 0.0f;       // dB, for the station's decision
    float hiLim = 0.0f;
    QString prompt{};
    bool exitOnFail = false;
};

// A test of any type, the run's four or another, with a sweep range only.
struct PlainTest {
    QString name{};
    QString type{};
    int32_t fLo = 20;
    int32_t fHi = 20000;
    int16_t points = 50;
    float duration = 5.0f;    // s; the timing and drive a new test is made with
    float delay = 0.0f;       // s
    float drive = 1.0f;       // Vrms
    float distLimit = 1.0f;   // %: an "Ext Dist" test's limit, as a new one is made
};

struct Sequence {
    QString name{};
    QStringList tests{};      // test names in run order, at most 16 ("" leaves a slot Null)
    double calInterval = 0.0; // days; 0 never expires
    double lastCal = 0.0;     // 0: never calibrated
    float refLim = 0.0f;
    float selLim = 0.0f;
    int32_t serial = 0;
    QString serialFlag = QStringLiteral("None");
    QString logDisc = QStringLiteral("None");
    QString target{};         // target curve file
    QString prompt{};         // prompt file
    QString script{};         // label script file
    QList<int32_t> micLevels{}; // AttIn of the calibration rows of slots 1, 2, ...; 0 beyond
    QStringList calTests{};   // the test each calibration row remembers; a blank beyond
};

void add(const ResponseTest& iTest);
void add(const PolarityTest& iTest);
void add(const SineTest& iTest);
void add(const PlainTest& iTest);
// The sequence and one calibration row per slot table (1 to 16), holding no
// reference yet.
void add(const Sequence& iSequence);
void addOperator(const QString& iName, const QString& iLevel = QString());   // "": no user level
// Gives the stored tests the sweep, timing and drive values every test the
// editor makes carries (the builders leave some Null), and every response test
// all six layers, the ones off too.
void completeTests();

}
