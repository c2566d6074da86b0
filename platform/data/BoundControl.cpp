#include "platform/data/BoundControl.h"
#include "platform/data/DataControl.h"

BoundControl::~BoundControl() { setDataSource(nullptr); }

void BoundControl::setDataSource(DataControl* iSource) {
    if (mSource == iSource) return;
    if (mSource) mSource->detach(this);
    mSource = iSource;
    if (mSource) mSource->attach(this);
}
