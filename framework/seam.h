// Seam: the system calls (or other steps) a flow makes, as a struct of function
// pointers that tests can replace. The program runs with the real ones; a test puts
// in its own and gives the previous ones back when it is done.
//
//   Seam<DriveSystem> driveSystem{{WNetGetConnectionA, GetDriveTypeA}};
//   driveSystem->getConnection(...);
//   DriveSystem SetDriveSystem(const DriveSystem& s) { return driveSystem.Replace(s); }
#pragma once

template <class Calls>
class Seam {
public:
    explicit Seam(const Calls& real) : calls_(real) {}
    const Calls* operator->() const { return &calls_; }
    const Calls& operator*() const { return calls_; }
    // Puts calls in place; returns the ones they replace.
    Calls Replace(const Calls& calls)
    {
        const Calls previous = calls_;
        calls_ = calls;
        return previous;
    }

private:
    Calls calls_;
};
