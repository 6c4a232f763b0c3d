#include "sim.h"

#include "console.h"
#include "kernel.h"
#include "registry.h"
#include "shell.h"
#include "user.h"

namespace sim {

namespace {

struct Failure {
    bool armed;
    DWORD error;
    int successesBefore;
};

Failure failures[int(Call::Count)];

}  // namespace

void FailCall(Call call, DWORD error, int successesBefore) {
    failures[int(call)] = {true, error, successesBefore};
}

bool TakeFailure(Call call, DWORD* error) {
    Failure& f = failures[int(call)];
    if (!f.armed) return false;
    if (f.successesBefore > 0) {
        f.successesBefore--;
        return false;
    }
    f.armed = false;
    // A failure without a code leaves the thread's last error as it was.
    *error = f.error ? f.error : GetLastError();
    return true;
}

LiveObjects Alive() {
    return {LiveWindowCount(), LiveClassCount(), LiveTimerCount(), OpenHandles(), OpenRegistryKeys()};
}

void Reset() {
    for (Failure& f : failures) f = Failure();
    ResetKernel();
    ResetShell();
    ResetConsole();
    ResetGdi();
    ResetRegistry();
    ResetUser();
}

}  // namespace sim
