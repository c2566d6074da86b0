#pragma once
#include "platform/vb/VbError.h"
#include <new>
#include <stdexcept>
#include <utility>

// The error block every trapping routine shares. A routine names itself once and
// runs its numbered steps through the trap; a step that raises goes to the
// central handler: Retry runs the step again, Ignore goes on with the next step,
// Abort sets the routine's error flag and the routine returns. An exception
// that is no VbError is reported by number with the station's own text: 9 for
// an index out of range, 7 for memory, 51 (internal error) for anything else.
//
//   ErrorTrap trap("modVarSystemParams", "gVarSystemParamsRead", obError);
//   if (!trap(10, [&] { ... })) return;
class ErrorTrap {
public:
    ErrorTrap(const char* iModule, const char* iRoutine, bool& oError)
        : mModule(iModule), mRoutine(iRoutine), mError(oError) {}

    template <class Step>
    bool operator()(long iLine, Step&& iStep) {
        for (;;) {
            try {
                std::forward<Step>(iStep)();
                return true;
            } catch (const VbError& e) {
                Err().set(e);
            } catch (const std::bad_alloc&) {
                Err().set(VbError(vberr::kOutOfMemory, vbErrorText(vberr::kOutOfMemory)));
            } catch (const std::out_of_range&) {
                // A library's own text means nothing to the user: the error's number says it.
                Err().set(VbError(vberr::kSubscriptOutOfRange, vbErrorText(vberr::kSubscriptOutOfRange)));
            } catch (const std::exception&) {
                Err().set(VbError(vberr::kInternalError, vbErrorText(vberr::kInternalError)));
            } catch (...) {
                // Whatever else a step throws stays here: nothing escapes into Qt.
                Err().set(VbError(vberr::kInternalError, vbErrorText(vberr::kInternalError)));
            }
            switch (handle(iLine)) {
            case 4: continue;          // Retry
            case 5: return true;       // Ignore: on with the next step
            default: mError = true; return false;
            }
        }
    }

    bool failed() const { return mError; }

private:
    int handle(long iLine);
    const char* mModule;
    const char* mRoutine;
    bool& mError;
};
