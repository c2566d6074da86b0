#pragma once
#include <QString>
#include <cstdint>

// A value as the station's routines and records hold it: Empty, Null or one of
// the basic types. Null is a value of its own; reading it into a typed
// variable raises "Invalid use of Null" (94).
class Variant {
public:
    enum class Type { Empty, Null, Boolean, Integer, Long, Single, Double, Date, String };

    Variant() = default;
    Variant(bool iValue) : mType(Type::Boolean), mNumber(iValue ? -1 : 0) {}
    Variant(int16_t iValue) : mType(Type::Integer), mNumber(iValue) {}
    Variant(int32_t iValue) : mType(Type::Long), mNumber(iValue) {}
    Variant(int64_t iValue) = delete;   // say which 32-bit or floating type is meant
    Variant(float iValue) : mType(Type::Single), mNumber(iValue) {}
    Variant(double iValue) : mType(Type::Double), mNumber(iValue) {}
    Variant(const QString& iValue) : mType(Type::String), mText(iValue) {}
    Variant(const char* iValue) : mType(Type::String), mText(QString::fromUtf8(iValue)) {}

    static Variant null() { Variant v; v.mType = Type::Null; return v; }
    static Variant date(double iDays) { Variant v; v.mType = Type::Date; v.mNumber = iDays; return v; }

    Type type() const { return mType; }
    bool isNull() const { return mType == Type::Null; }
    bool isEmpty() const { return mType == Type::Empty; }
    bool isString() const { return mType == Type::String; }
    bool isNumeric() const;   // a number, Boolean or Date held as such (not a text)

    // The stored number of a numeric value (Boolean -1/0, Date as days).
    double number() const { return mNumber; }
    // The stored text of a String value.
    const QString& text() const { return mText; }

    // Same type and value (Null equals Null); used by bound controls to see a change.
    bool sameAs(const Variant& iOther) const;

private:
    Type mType = Type::Empty;
    double mNumber = 0.0;
    QString mText;
};
