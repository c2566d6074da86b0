#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <map>

// A control array: controls of one kind sharing a name, reached by index
// (cmdCmd(0) .. cmdCmd(3)). Its handlers take the index; hook each element to
// the window's handler with its index:
//
//   for (int16_t i = 0; i < 4; ++i) {
//       cmdCmd.add(i, new CommandButton(this, "cmdCmd", 720 + 1440 * i, 240, 1095, 375));
//       cmdCmd(i).Click = [this, i] { cmdCmd_Click(i); };
//   }
template <class T>
class ControlArray {
public:
    // Takes a control made with the array's name and gives it its index.
    T& add(int16_t iIndex, T* iControl) {
        iControl->setIndex(iIndex);
        mItems[iIndex] = iControl;
        return *iControl;
    }
    // The element; "Control array element does not exist" (340) when there is none.
    T& operator()(int16_t iIndex) const {
        auto it = mItems.find(iIndex);
        if (it == mItems.end()) throwMissing();
        return *it->second;
    }
    bool exists(int16_t iIndex) const { return mItems.count(iIndex) != 0; }
    int16_t Count() const { return static_cast<int16_t>(mItems.size()); }
    int16_t LBound() const { return mItems.empty() ? 0 : mItems.begin()->first; }
    int16_t UBound() const { return mItems.empty() ? -1 : mItems.rbegin()->first; }
    void each(const std::function<void(T&, int16_t)>& iFn) const {
        for (const auto& [i, c] : mItems) iFn(*c, i);
    }

private:
    [[noreturn]] static void throwMissing();
    std::map<int16_t, T*> mItems;
};

[[noreturn]] void controlArrayMissing();

template <class T>
void ControlArray<T>::throwMissing() {
    controlArrayMissing();
}
