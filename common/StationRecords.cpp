#include "common/StationRecords.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"

#include <cmath>

namespace {
QString nullAsEmpty(const Variant& iValue) { return iValue.isNull() ? QString() : CStr(iValue); }

// The record a field belongs to, as a user knows it ("test 'Demo Response'").
QString recordLabel(const Recordset& iRs) {
    const auto text = [&](const char* iField) {
        try {
            return QStringLiteral("'") + nullAsEmpty(iRs.field(QString::fromLatin1(iField))) + QLatin1Char('\'');
        } catch (const VbError&) {
            return QStringLiteral("(unknown)");
        }
    };
    const QString table = iRs.tableName().toLower();
    if (table == QLatin1String("vexo_tst")) return QStringLiteral("test ") + text("Test_Name");
    if (table == QLatin1String("vexo_seq")) return QStringLiteral("sequence ") + text("Seq_Name");
    if (table.startsWith(QLatin1String("vexo_seq_cal")))
        return QStringLiteral("sequence ") + text("Seq_Name") + QStringLiteral(", test ") + text("Test_Name");
    if (table == QLatin1String("vexo_op")) return QStringLiteral("operator ") + text("Operator");
    return QStringLiteral("the current record");
}

// Reads one field through a conversion. A value the conversion refuses (Null, a
// text that is no number, a number out of the field's range or not finite) is
// reported naming the table, the record and the field, so that the engineer
// knows which record to mend; the error's number stays the conversion's.
template <class Convert>
auto fieldAs(const Recordset& iRs, const QString& iField, Convert iConvert) -> decltype(iConvert(Variant())) {
    const Variant v = iRs.field(iField);
    try {
        return iConvert(v);
    } catch (const VbError& e) {
        QString shown;
        if (!v.isNull()) shown = QStringLiteral(" (it holds '") + CStr(v) + QStringLiteral("')");
        vbRaise(e.number, iRs.tableName() + QStringLiteral(", ") + recordLabel(iRs) + QStringLiteral(", field ") + iField +
                              QStringLiteral(": ") + e.description + shown);
    }
}

// A number the station computes with: infinity and "not a number" are refused
// as a text that is no number is.
double finite(double iValue) {
    if (!std::isfinite(iValue)) vbRaise(vberr::kTypeMismatch);
    return iValue;
}
int16_t toInt(const Variant& v) { return CInt(finite(CDbl(v))); }
int32_t toLong(const Variant& v) { return CLng(finite(CDbl(v))); }
float toSingle(const Variant& v) { return CSng(finite(CDbl(v))); }
double toDouble(const Variant& v) { return finite(CDbl(v)); }
bool toBool(const Variant& v) { return finite(CDbl(v)) != 0.0; }
QString toText(const Variant& v) { return CStr(v); }
}

QString SequenceRecord::slotField(int iSlot) { return QStringLiteral("Test_%1").arg(iSlot, 2, 10, QLatin1Char('0')); }
QString SequenceRecord::Seq_Name() const { return fieldAs(mRs, QStringLiteral("Seq_Name"), toText); }
int16_t SequenceRecord::Test_No() const { return fieldAs(mRs, QStringLiteral("Test_No"), toInt); }
QString SequenceRecord::TestName(int iSlot) const { return RTrim(nullAsEmpty(mRs.field(slotField(iSlot)))); }
QString SequenceRecord::Prompt_File() const { return Trim(nullAsEmpty(mRs.field(QStringLiteral("Prompt_File")))); }
QString SequenceRecord::Script_File() const { return Trim(nullAsEmpty(mRs.field(QStringLiteral("Script_File")))); }
QString SequenceRecord::Target_File() const { return Trim(nullAsEmpty(mRs.field(QStringLiteral("Target_File")))); }
double SequenceRecord::Last_Cali() const {
    return fieldAs(mRs, QStringLiteral("Last_Cali"), [](const Variant& v) { return CDate(v); });
}
double SequenceRecord::Cali_ETime() const { return fieldAs(mRs, QStringLiteral("Cali_ETime"), toDouble); }
QString SequenceRecord::Serial_Flag() const { return fieldAs(mRs, QStringLiteral("Serial_Flag"), toText); }
QString SequenceRecord::Log_Disc() const { return fieldAs(mRs, QStringLiteral("Log_Disc"), toText); }
int32_t SequenceRecord::Serial_No() const {
    return fieldAs(mRs, QStringLiteral("Serial_No"), [](const Variant& v) { return v.isNull() ? 0 : toLong(v); });
}
float SequenceRecord::Ref_Lim() const { return fieldAs(mRs, QStringLiteral("Ref_Lim"), toSingle); }
float SequenceRecord::Sel_Lim() const { return fieldAs(mRs, QStringLiteral("Sel_Lim"), toSingle); }
QString SequenceRecord::Main_Resp() const { return fieldAs(mRs, QStringLiteral("Main_Resp"), toText); }

QString TestRecord::Test_Name() const { return fieldAs(mRs, QStringLiteral("Test_Name"), toText); }
QString TestRecord::Test_Type() const { return fieldAs(mRs, QStringLiteral("Test_Type"), toText); }
bool TestRecord::Exit_flag() const { return fieldAs(mRs, QStringLiteral("Exit_flag"), toBool); }
float TestRecord::fLo_Hz() const { return fieldAs(mRs, QStringLiteral("fLo_Hz"), toSingle); }
float TestRecord::fHi_Hz() const { return fieldAs(mRs, QStringLiteral("fHi_Hz"), toSingle); }
int32_t TestRecord::fLo_HzLong() const { return fieldAs(mRs, QStringLiteral("fLo_Hz"), toLong); }
int32_t TestRecord::fHi_HzLong() const { return fieldAs(mRs, QStringLiteral("fHi_Hz"), toLong); }
// A sweep has at most 100 points: the reference curves and the logged curves hold no more.
int16_t TestRecord::Swp_Point() const {
    return fieldAs(mRs, QStringLiteral("Swp_Point"), [](const Variant& v) {
        const int16_t n = toInt(v);
        if (n < 0 || n > kMaxSweepPoints)
            vbRaise(vberr::kSubscriptOutOfRange, QStringLiteral("a sweep has 0 to %1 points").arg(kMaxSweepPoints));
        return n;
    });
}
QString TestRecord::Swp_Type() const { return fieldAs(mRs, QStringLiteral("Swp_Type"), toText); }
float TestRecord::SwpDur_s() const { return fieldAs(mRs, QStringLiteral("SwpDur_s"), toSingle); }
float TestRecord::Delay_s() const { return fieldAs(mRs, QStringLiteral("Delay_s"), toSingle); }
float TestRecord::Drive_V() const { return fieldAs(mRs, QStringLiteral("Drive_V"), toSingle); }
bool TestRecord::Active_Flag() const { return fieldAs(mRs, QStringLiteral("Active_Flag"), toBool); }
bool TestRecord::Op_Decide(bool ibNullIsFalse) const {
    return fieldAs(mRs, QStringLiteral("Op_Decide"),
                   [&](const Variant& v) { return (ibNullIsFalse && v.isNull()) ? false : CBool(v); });
}
bool TestRecord::Op_DecideY() const { return fieldAs(mRs, QStringLiteral("Op_DecideY"), toBool); }
bool TestRecord::PC_Decide(bool ibNullIsFalse) const {
    return fieldAs(mRs, QStringLiteral("PC_Decide"),
                   [&](const Variant& v) { return (ibNullIsFalse && v.isNull()) ? false : CBool(v); });
}
QString TestRecord::Op_Prompt() const { return fieldAs(mRs, QStringLiteral("Op_Prompt"), toText); }
int16_t TestRecord::fLo_Lim() const { return fieldAs(mRs, QStringLiteral("fLo_Lim"), toInt); }
int16_t TestRecord::fHi_Lim() const { return fieldAs(mRs, QStringLiteral("fHi_Lim"), toInt); }
bool TestRecord::Pulse_LF() const { return fieldAs(mRs, QStringLiteral("Pulse_LF"), toBool); }
bool TestRecord::P_Neg_Flag() const { return fieldAs(mRs, QStringLiteral("P_Neg_Flag"), toBool); }

QString layerField(int iLayer, const char* isPart) {
    return QStringLiteral("Layer%1_").arg(iLayer) + QLatin1String(isPart);
}

ResponseLayer TestRecord::Layer(int iLayer) const {
    ResponseLayer l;
    l.On = fieldAs(mRs, layerField(iLayer, "On"), [](const Variant& v) { return !v.isNull() && toInt(v) != 0; });
    if (!l.On) return l;
    l.fLo = fieldAs(mRs, layerField(iLayer, "fLo"), toLong);
    l.fHi = fieldAs(mRs, layerField(iLayer, "fHi"), toLong);
    l.fMLo = fieldAs(mRs, layerField(iLayer, "fMLo"), [](const Variant& v) { return v.isNull() ? 0 : toLong(v); });
    if (l.fMLo != 0) l.fMHi = fieldAs(mRs, layerField(iLayer, "fMHi"), toLong);
    l.Pt = fieldAs(mRs, layerField(iLayer, "Pt#"), toInt);
    l.Lim = fieldAs(mRs, layerField(iLayer, "Lim"), toSingle);
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
QString CalibrationRecord::Seq_Name() const { return fieldAs(mRs, QStringLiteral("Seq_Name"), toText); }
QString CalibrationRecord::Test_Name() const { return fieldAs(mRs, QStringLiteral("Test_Name"), toText); }
int32_t CalibrationRecord::AttIn() const {
    return fieldAs(mRs, QStringLiteral("AttIn"), [](const Variant& v) { return v.isNull() ? 0 : toLong(v); });
}
QString CalibrationRecord::Ref(int iQuarter) const { return nullAsEmpty(mRs.field(refField(iQuarter))); }
bool CalibrationRecord::hasReference() const {
    const Variant v = mRs.field(refField(1));
    return !v.isNull() && !CStr(v).isEmpty();
}

QString OperatorRecord::Operator() const { return fieldAs(mRs, QStringLiteral("Operator"), toText); }

void gUseRecordField(const Recordset& iRs, const QString& iField, const std::function<void(const Variant&)>& iUse) {
    fieldAs(iRs, iField, [&](const Variant& v) {
        iUse(v);
        return 0;
    });
}
