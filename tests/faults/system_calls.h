// Fault injection into the system calls through which the counter is
// replaced. This file's .cpp defines open, mkstemp, fchmod, write, fsync,
// linkat, close and rename for the whole test program; they pass every call
// through to the system, except the one call that a test has armed to fail,
// and only when it concerns the counter's temporary file (or, for rename, the
// counter).
#pragma once

namespace faults {

enum class Call {
    CreateUnnamed,    // open with O_TMPFILE of the unnamed temporary file
    CreateTemporary,  // that open, or mkstemp of a named temporary file
    SetMode,          // fchmod of the temporary file
    Write,            // write to the temporary file
    Flush,            // fsync of the temporary file
    Link,             // linkat naming the unnamed temporary file
    Close,            // close of the temporary file
    Rename,           // rename of the temporary file over the counter
    FlushFolder,      // fsync of the folder after the rename
};

struct Injection {
    Call call;
    int error;              // errno of the failing call
    int bytesBefore = 0;    // Write: bytes written for real before the failure
    bool once = false;      // fail only the first matching call, then pass again
};

// Arms one injection until disarm(); resets the count of hits.
void arm(const Injection& injection);
void disarm();
// How many calls have failed since arm().
int hits();

}  // namespace faults
