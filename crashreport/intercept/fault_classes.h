#pragma once

// The exception classes FaultTrap itself raises or reports. They live in the global namespace
// because their names are what reports show and what exception filters name.

#include <stdexcept>
#include <string>

// The silent abort: never reported, the standard handling goes on.
class EAbort : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A fault the operating system raised (a fatal signal).
class EExternal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EAccessViolation : public EExternal {
public:
    using EExternal::EExternal;
};

class EStackOverflow : public EExternal {
public:
    using EExternal::EExternal;
};

class EZeroDivide : public EExternal {
public:
    using EExternal::EExternal;
};

class EIntOverflow : public EExternal {
public:
    using EExternal::EExternal;
};

class EInvalidOp : public EExternal {
public:
    using EExternal::EExternal;
};

class EPrivilege : public EExternal {
public:
    using EExternal::EExternal;
};

class EExternalException : public EExternal {
public:
    using EExternal::EExternal;
};

// The main window did not answer for FreezeTimeout seconds.
class EFrozenApplication : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMemoryLeak : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMemoryOverrun : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMultiFree : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
