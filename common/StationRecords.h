#pragma once
#include <QString>
#include <cstdint>
#include <functional>

class Recordset;
class Variant;

// The most points a sweep has: reference and logged curves hold no more.
constexpr int16_t kMaxSweepPoints = 100;

// Typed views of the station's records on a record set's current row. A field
// is read when asked for, so that a Null reaches the central handler (94) only
// where a routine really needs the value; the fields where Null has a meaning
// of its own say so. A value that cannot be used (Null where a value is
// needed, a text that is no number, a number out of range, infinite or not a
// number) raises the conversion's error with a text naming the table, the
// record and the field.

// One row of vexo_seq.
class SequenceRecord {
public:
    explicit SequenceRecord(const Recordset& iRs) : mRs(iRs) {}
    QString Seq_Name() const;
    int16_t Test_No() const;
    // A slot's test name, trailing blanks removed; Null reads as empty.
    QString TestName(int iSlot) const;
    // File paths right-trimmed; Null, empty or blank is none ("").
    QString Prompt_File() const;
    QString Script_File() const;
    QString Target_File() const;
    double Last_Cali() const;          // 0: never calibrated or stale
    double Cali_ETime() const;         // days; 0 or less never expires
    QString Serial_Flag() const;
    QString Log_Disc() const;
    int32_t Serial_No() const;         // Null counts as 0
    float Ref_Lim() const;
    float Sel_Lim() const;
    QString Main_Resp() const;
    // "Test_" followed by the slot in two digits.
    static QString slotField(int iSlot);

private:
    const Recordset& mRs;
};

// The bits of a unit run's fail set, one per kind of failed test; a unit whose
// fail set is 0 passed. The curve store keeps the set as the run hands it over.
namespace failbit {
constexpr int16_t kResponse = 8;
constexpr int16_t kPolarity = 4;
constexpr int16_t kSineOrDistortion = 2;   // "Sine" and "Ext Dist"
}

// A response layer's field of the test table: layerField(2, "fLo") is
// "Layer2_fLo" (iLayer 1..6; parts On, fLo, fMLo, fMHi, fHi, Pt#, Lim).
QString layerField(int iLayer, const char* isPart);

// One of the six limit layers of a response test. An off layer carries only On.
struct ResponseLayer {
    bool On = false;          // any non-zero value is on, Null is off
    int32_t fLo = 0;
    int32_t fHi = 0;
    int32_t fMLo = 0;         // 0 (or Null): no hole
    int32_t fMHi = 0;
    int16_t Pt = 0;           // block size in sweep points
    float Lim = 0.0f;         // dB
    bool hasHole() const { return fMLo != 0; }
};

// What a response sweep is played with, as one test row gives it.
struct ResponseSweepFields {
    float fLo = 0.0f, fHi = 0.0f;         // Hz
    int16_t nPoints = 0;
    float fDelay = 0.0f, fDrive = 0.0f;   // s, V
    bool bActive = false;
};

// One row of vexo_tst.
class TestRecord {
public:
    explicit TestRecord(const Recordset& iRs) : mRs(iRs) {}
    QString Test_Name() const;
    QString Test_Type() const;
    bool Exit_flag() const;
    float fLo_Hz() const;
    float fHi_Hz() const;
    int32_t fLo_HzLong() const;
    int32_t fHi_HzLong() const;
    int16_t Swp_Point() const;
    QString Swp_Type() const;
    float SwpDur_s() const;
    float Delay_s() const;
    float Drive_V() const;
    bool Active_Flag() const;
    // Null counts as False where the caller says so (a response test's decision,
    // the second read of PC_Decide); elsewhere a Null is an error.
    bool Op_Decide(bool ibNullIsFalse) const;
    bool Op_DecideY() const;
    bool PC_Decide(bool ibNullIsFalse) const;
    QString Op_Prompt() const;
    int16_t fLo_Lim() const;
    int16_t fHi_Lim() const;
    bool Pulse_LF() const;
    bool P_Neg_Flag() const;
    ResponseLayer Layer(int iLayer) const;   // 1..6
    // fLo_Hz, fHi_Hz, Swp_Point, Delay_s, Drive_V and Active_Flag together.
    ResponseSweepFields Sweep() const;

private:
    const Recordset& mRs;
};

// One row of a calibration table vexo_seq_calNN.
class CalibrationRecord {
public:
    explicit CalibrationRecord(const Recordset& iRs) : mRs(iRs) {}
    QString Seq_Name() const;
    QString Test_Name() const;
    int32_t AttIn() const;             // Null reads as 0
    // The four 150-character reference texts; Null (never calibrated) reads as "".
    QString Ref(int iQuarter) const;   // 1..4
    bool hasReference() const;         // Ref_01_025 holds a value
    static QString refField(int iQuarter);

private:
    const Recordset& mRs;
};

// One row of vexo_op.
class OperatorRecord {
public:
    explicit OperatorRecord(const Recordset& iRs) : mRs(iRs) {}
    QString Operator() const;

private:
    const Recordset& mRs;
};

// Runs iUse on the value of a field of the current record; an error it raises
// names the table, the record and the field, as the typed views' errors do.
void gUseRecordField(const Recordset& iRs, const QString& iField, const std::function<void(const Variant&)>& iUse);
