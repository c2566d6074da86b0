#include "platform/vb/Variant.h"

bool Variant::isNumeric() const {
    switch (mType) {
    case Type::Boolean: case Type::Integer: case Type::Long:
    case Type::Single: case Type::Double: case Type::Date:
        return true;
    default:
        return false;
    }
}

bool Variant::sameAs(const Variant& iOther) const {
    if (mType != iOther.mType) return false;
    if (mType == Type::String) return mText == iOther.mText;
    return mNumber == iOther.mNumber;
}
