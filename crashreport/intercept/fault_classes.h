#pragma once

// The exception classes FaultTrap itself raises or reports. They live in the global namespace
// because their names are what reports show and what exception filters name.

#include "crashreport/text/faulttrap_error.h"

#include <string>

// The silent abort: never reported, the standard handling goes on.
class EAbort : public faulttrap::Error {
public:
    using faulttrap::Error::Error;
};

// A fault the operating system raised (a fatal signal).
class EExternal : public faulttrap::Error {
public:
    using faulttrap::Error::Error;
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
class EFrozenApplication : public faulttrap::Error {
public:
    using faulttrap::Error::Error;
};

class EMemoryLeak : public faulttrap::Error {
public:
    using faulttrap::Error::Error;
};

class EMemoryOverrun : public faulttrap::Error {
public:
    using faulttrap::Error::Error;
};

class EMultiFree : public faulttrap::Error {
public:
    using faulttrap::Error::Error;
};
