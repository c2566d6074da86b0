#include "common/StationRecords.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"

namespace {
QString nullAsEmpty(const Variant& iValue) { return iValue.isNull() ? QString() : CStr(iValue); }
}

QString SequenceRecord::slotField(int iSlot) { return QStringLiteral("Test_%1").arg(iSlot, 2, 10, QLatin1Char('0')); }
QString SequenceRecord::Seq_Name() const { return CStr(mRs.field(QStringLiteral("Seq_Name"))); }
int16_t SequenceRecord::Test_No() const { return CInt(mRs.field(QStringLiteral("Test_No"))); }
QString SequenceRecord::TestName(int iSlot) const { return RTrim(nullAsEmpty(mRs.field(slotField(iSlot)))); }
QString SequenceRecord::Prompt_File() const { return Trim(nullAsEmpty(mRs.field(QStringLiteral("Prompt_File")))); }
QString SequenceRecord::Script_File() const { return Trim(nullAsEmpty(mRs.field(QStringLiteral("Script_File")))); }
QString SequenceRecord::Target_File() const { return Trim(nullAsEmpty(mRs.field(QStringLiteral("Target_File")))); }
double SequenceRecord::Last_Cali() const { return CDate(mRs.field(QStringLiteral("Last_Cali"))); }
double SequenceRecord::Cali_ETime() const { return CDbl(mRs.field(QStringLiteral("Cali_ETime"))); }
QString SequenceRecord::Serial_Flag() const { return CStr(mRs.field(QStringLiteral("Serial_Flag"))); }
QString SequenceRecord::Log_Disc() const { return CStr(mRs.field(QStringLiteral("Log_Disc"))); }
int32_t SequenceRecord::Serial_No() const {
    const Variant v = mRs.field(QStringLiteral("Serial_No"));
    return v.isNull() ? 0 : CLng(v);
}
float SequenceRecord::Ref_Lim() const { return CSng(mRs.field(QStringLiteral("Ref_Lim"))); }
float SequenceRecord::Sel_Lim() const { return CSng(mRs.field(QStringLiteral("Sel_Lim"))); }
QString SequenceRecord::Main_Resp() const { return CStr(mRs.field(QStringLiteral("Main_Resp"))); }

QString TestRecord::Test_Name() const { return CStr(mRs.field(QStringLiteral("Test_Name"))); }
QString TestRecord::Test_Type() const { return CStr(mRs.field(QStringLiteral("Test_Type"))); }
bool TestRecord::Exit_flag() const { return CBool(mRs.field(QStringLiteral("Exit_flag"))); }
float TestRecord::fLo_Hz() const { return CSng(mRs.field(QStringLiteral("fLo_Hz"))); }
float TestRecord::fHi_Hz() const { return CSng(mRs.field(QStringLiteral("fHi_Hz"))); }
int32_t TestRecord::fLo_HzLong() const { return CLng(mRs.field(QStringLiteral("fLo_Hz"))); }
int32_t TestRecord::fHi_HzLong() const { return CLng(mRs.field(QStringLiteral("fHi_Hz"))); }
int16_t TestRecord::Swp_Point() const { return CInt(mRs.field(QStringLiteral("Swp_Point"))); }
QString TestRecord::Swp_Type() const { return CStr(mRs.field(QStringLiteral("Swp_Type"))); }
float TestRecord::SwpDur_s() const { return CSng(mRs.field(QStringLiteral("SwpDur_s"))); }
float TestRecord::Delay_s() const { return CSng(mRs.field(QStringLiteral("Delay_s"))); }
float TestRecord::Drive_V() const { return CSng(mRs.field(QStringLiteral("Drive_V"))); }
bool TestRecord::Active_Flag() const { return CBool(mRs.field(QStringLiteral("Active_Flag"))); }
bool TestRecord::Op_Decide(bool ibNullIsFalse) const {
    const Variant v = mRs.field(QStringLiteral("Op_Decide"));
    return (ibNullIsFalse && v.isNull()) ? false : CBool(v);
}
bool TestRecord::Op_DecideY() const { return CBool(mRs.field(QStringLiteral("Op_DecideY"))); }
bool TestRecord::PC_Decide(bool ibNullIsFalse) const {
    const Variant v = mRs.field(QStringLiteral("PC_Decide"));
    return (ibNullIsFalse && v.isNull()) ? false : CBool(v);
}
QString TestRecord::Op_Prompt() const { return CStr(mRs.field(QStringLiteral("Op_Prompt"))); }
int16_t TestRecord::fLo_Lim() const { return CInt(mRs.field(QStringLiteral("fLo_Lim"))); }
int16_t TestRecord::fHi_Lim() const { return CInt(mRs.field(QStringLiteral("fHi_Lim"))); }
bool TestRecord::Pulse_LF() const { return CBool(mRs.field(QStringLiteral("Pulse_LF"))); }
bool TestRecord::P_Neg_Flag() const { return CBool(mRs.field(QStringLiteral("P_Neg_Flag"))); }

ResponseLayer TestRecord::Layer(int iLayer) const {
    const QString p = QStringLiteral("Layer%1_").arg(iLayer);
    ResponseLayer l;
    const Variant on = mRs.field(p + QStringLiteral("On"));
    l.On = !on.isNull() && CInt(on) != 0;
    if (!l.On) return l;
    l.fLo = CLng(mRs.field(p + QStringLiteral("fLo")));
    l.fHi = CLng(mRs.field(p + QStringLiteral("fHi")));
    const Variant mlo = mRs.field(p + QStringLiteral("fMLo"));
    l.fMLo = mlo.isNull() ? 0 : CLng(mlo);
    if (l.fMLo != 0) l.fMHi = CLng(mRs.field(p + QStringLiteral("fMHi")));
    l.Pt = CInt(mRs.field(p + QStringLiteral("Pt#")));
    l.Lim = CSng(mRs.field(p + QStringLiteral("Lim")));
    return l;
}

ResponseSweepFields TestRecord::Sweep() const {
    ResponseSweepFields f;
    f.fLo = fLo_Hz();
    f.fHi = fHi_Hz();
    f.nPoints = Swp_Point();
    f.fDelay = Delay_s();
    f.fDrive = Drive_V();
    f.bActive = Active_Flag();
    return f;
}

QString CalibrationRecord::refField(int iQuarter) {
    static const char* names[] = {"Ref_01_025", "Ref_26_050", "Ref_51_075", "Ref_76_100"};
    if (iQuarter < 1 || iQuarter > 4) vbRaise(vberr::kSubscriptOutOfRange);
    return QString::fromLatin1(names[iQuarter - 1]);
}
QString CalibrationRecord::Seq_Name() const { return CStr(mRs.field(QStringLiteral("Seq_Name"))); }
QString CalibrationRecord::Test_Name() const { return CStr(mRs.field(QStringLiteral("Test_Name"))); }
int32_t CalibrationRecord::AttIn() const {
    const Variant v = mRs.field(QStringLiteral("AttIn"));
    return v.isNull() ? 0 : CLng(v);
}
QString CalibrationRecord::Ref(int iQuarter) const { return nullAsEmpty(mRs.field(refField(iQuarter))); }
bool CalibrationRecord::hasReference() const {
    const Variant v = mRs.field(refField(1));
    return !v.isNull() && !CStr(v).isEmpty();
}

QString OperatorRecord::Operator() const { return CStr(mRs.field(QStringLiteral("Operator"))); }
